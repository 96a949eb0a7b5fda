#include "core/compare/config_compare.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string_view>

#include "core/channels/channel_options.h"
#include "core/model/authorization.h"
#include "core/model/bit_text.h"
#include "core/model/channel_line.h"
#include "core/model/radio_image.h"
#include "core/model/tone_table.h"
#include "core/settings/settings_report.h"
#include "core/util/text.h"

namespace petrel {

namespace {

constexpr std::string_view kNone = "NONE";
constexpr std::size_t kToneCodeWidth = 6;  // "001=" and its blanks, as the list shows it

// The words of a caption line: runs of two or more blanks separate them in the channel list's
// header ("Rx Freq."), single blanks in the option list's title.
std::vector<std::string> Words(std::string_view text, std::size_t gap) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find(std::string(gap, ' '), at);
        if (const std::string word = Trim(text.substr(at, end - at)); !word.empty()) {
            words.push_back(word);
        }
        if (end == std::string_view::npos) {
            break;
        }
        at = end + gap;
    }
    return words;
}

// A tone as the channel list shows it: "001=  67.0", "000=  None".
std::string ToneText(std::string_view field) {
    const int code = static_cast<int>(LeadingNumber(field));
    return Trim(PadRight(PadCode3(code) + "=", kToneCodeWidth) + ToneDescription(code));
}

// The four columns of a channel line after its number, as the list shows them.
std::vector<std::string> ChannelFields(const std::string& line) {
    const ParsedLine fields = ParseLine(line);
    const std::string rx = Trim(fields.LineRxFreq);
    const std::string tx = Trim(fields.LineTxFreq);
    return {rx, ToneText(rx == kNone ? "0" : fields.LineRxTone), tx,
            ToneText(rx == kNone || tx == kNone ? "0" : fields.LineTxTone)};
}

bool InUse(const std::string& line) {
    return Trim(ParseLine(line).LineRxFreq) != kNone;
}

std::uint8_t OptionsOf(const Document& doc, std::size_t channel) {
    return channel < doc.state.ChOption.size() ? doc.state.ChOption[channel] : 0;
}

std::string LabelValue(const std::string& label) {
    return Trim(Mid(label, label.find(':') + 1));
}

}  // namespace

std::string ConfigDifference::Text() const {
    if (!onlyIn.empty()) {
        return where + ": only in " + onlyIn;
    }
    const std::string separator = channel > 0 ? " " : ", ";
    return where + (what.empty() ? "" : separator + what) + ": " + first + " | " + second;
}

std::vector<ConfigDifference> CompareConfigurations(const Authorization& authorization,
                                                    const Document& first,
                                                    const std::string& firstName,
                                                    const Document& second,
                                                    const std::string& secondName) {
    std::vector<ConfigDifference> differences;
    const auto differ = [&](int channel, std::string where, std::string what, std::string a,
                            std::string b) {
        if (a != b) {
            differences.push_back(
                {channel, std::move(where), std::move(what), std::move(a), std::move(b), {}});
        }
    };

    differ(0, "Model", {}, LabelValue(first.modelLabel), LabelValue(second.modelLabel));
    differ(0, "Channels", {}, std::to_string(first.lines.size()),
           std::to_string(second.lines.size()));

    const std::vector<std::string> columns = Words(kColumnHeader, 2);     // CH, Rx Freq., ...
    const std::vector<std::string> options = Words(kOptionListTitle, 1);  // CH, SPACE, ...
    const std::size_t count = std::max(first.lines.size(), second.lines.size());
    for (std::size_t i = 0; i < count; ++i) {
        const int channel = static_cast<int>(i) + 1;
        const std::string where = "CH " + std::to_string(channel);
        if (i >= first.lines.size() || i >= second.lines.size()) {
            const bool inFirst = i < first.lines.size();
            if (InUse(inFirst ? first.lines[i] : second.lines[i])) {
                differences.push_back(
                    {channel, where, {}, {}, {}, inFirst ? firstName : secondName});
            }
            continue;
        }
        const auto a = ChannelFields(first.lines[i]);
        const auto b = ChannelFields(second.lines[i]);
        for (std::size_t field = 0; field < a.size(); ++field) {
            differ(channel, where, columns.at(field + 1), a[field], b[field]);
        }
        if (InUse(first.lines[i]) && InUse(second.lines[i])) {
            std::istringstream aText(ChannelOptionText(OptionsOf(first, i)));
            std::istringstream bText(ChannelOptionText(OptionsOf(second, i)));
            for (std::size_t option = 1; option < options.size(); ++option) {
                std::string aValue, bValue;
                aText >> aValue;
                bText >> bValue;
                differ(channel, where, options[option], aValue, bValue);
            }
        }
    }

    const auto aSettings = SettingItems(authorization, first);
    const auto bSettings = SettingItems(authorization, second);
    for (std::size_t i = 0; i < std::min(aSettings.size(), bSettings.size()); ++i) {
        differ(0, aSettings[i].heading, aSettings[i].caption, Trim(aSettings[i].value),
               Trim(bSettings[i].value));
    }
    return differences;
}

}  // namespace petrel
