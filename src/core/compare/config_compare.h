#pragma once

#include <string>
#include <vector>

namespace petrel {

struct Document;
struct Authorization;

// One difference between two configurations, in the words the program shows them with: the
// channel list's column captions and the option list's, the settings dialogs' captions.
struct ConfigDifference {
    int channel = 0;     // 1-based; 0 when the difference is not a channel's
    std::string where;   // "CH 3", "System Option Edit, BASIC", "Model", "Channels"
    std::string what;    // "Rx Freq.", "SPACE", "Timer Out Time"; empty for "only in"
    std::string first;   // the first configuration's entry
    std::string second;  // the second's
    std::string onlyIn;  // the name of the one configuration that has the channel

    // One line: "CH 3 Rx Freq.: 446.006250 | 446.018750", "CH 17: only in b.cfg",
    // "System Option Edit, BASIC, Timer Out Time: 225 s | 180 s".
    std::string Text() const;
};

// The differences of second from first: the band and the channel count, then channel by
// channel (both frequencies and tones; the options of channels in use in both), "only in" for
// a channel in use beyond the other's last channel, then the settings in the order of
// `petrel-cli show --all`. The button lists are built with the program's authorization flags.
// Names name the configurations in "only in". Nothing when they are the same.
std::vector<ConfigDifference> CompareConfigurations(const Authorization& authorization,
                                                    const Document& first,
                                                    const std::string& firstName,
                                                    const Document& second,
                                                    const std::string& secondName);

}  // namespace petrel
