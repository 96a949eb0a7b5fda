#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace petrel {

class StatusLine;
struct Document;

// The (10 kHz, 1 kHz) digit pairs of the 6.25 kHz raster that are not on the 5 kHz raster.
inline constexpr std::string_view kStepPairs = "06 12 18 31 37 43 56 62 68 81 87 93";

// True when the frequency text lies on a raster the radio can store.
bool OnRaster(std::string_view freqText);
// True when bandLow <= freq <= bandHigh.
bool InRange(std::string_view freqText, std::string_view bandLow, std::string_view bandHigh);

struct ChannelCheckResult {
    bool anyFrequency = false;  // false: the status message stays as it is
    std::string message;
    int color = 0;
};

// Checks the channel lines against the band edges and the raster.
ChannelCheckResult CheckChannelLines(const std::vector<std::string>& lines,
                                     std::string_view bandLow, std::string_view bandHigh);

// The channel check of a document against its own band edges, as its activation shows it,
// whatever window is active and whatever the status label shows now.
ChannelCheckResult CheckDocumentChannels(const Document& doc);

// The list-wide check of a document against its own band edges: its message and colour become
// the status line's text and colour at the large size (what a red blink comes back to). A
// document without any frequency leaves the status as it is.
void CheckChannels(const Document& doc, StatusLine& status);

}  // namespace petrel
