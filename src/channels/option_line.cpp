#include "channels/option_line.h"

#include <cstdio>

#include "util/text.h"

namespace petrel {

namespace {

constexpr std::uint8_t kScanAutoBit = 0x01;
constexpr std::uint8_t kNarrowBit = 0x02;
constexpr std::uint8_t kHighPowerBit = 0x04;
constexpr std::uint8_t kBcloBit = 0x08;
constexpr std::uint8_t kScanBit = 0x10;
constexpr std::uint8_t kBeatShiftBit = 0x20;
constexpr std::size_t kRxColumn = 4;  // the receive frequency starts in column 5

}  // namespace

std::string ChannelOptionLine(int channel, std::uint8_t flags) {
    char number[8];
    std::snprintf(number, sizeof number, "%02d", channel);
    std::string line = number;
    line += ' ';
    line += (flags & kNarrowBit) != 0 ? "12.5K" : "25.0K";
    line += "  ";
    line += (flags & kHighPowerBit) != 0 ? " H " : " L ";
    line += "   ";
    line += (flags & kBcloBit) != 0 ? "ON " : "OFF";
    line += "  ";
    if ((flags & kScanAutoBit) != 0) {
        line += "AUTO";
    } else {
        line += (flags & kScanBit) != 0 ? " ON " : " OFF";
    }
    line += "  ";
    line += (flags & kBeatShiftBit) != 0 ? "ON" : "OFF";
    return line;
}

std::vector<std::string> ChannelOptionLines(const std::vector<std::string>& lines,
                                            const std::vector<std::uint8_t>& options) {
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (Mid(lines[i], kRxColumn, 4) == "NONE") {
            continue;  // no receive frequency: the channel is not in use
        }
        entries.push_back(
            ChannelOptionLine(static_cast<int>(i) + 1, i < options.size() ? options[i] : 0));
    }
    return entries;
}

}  // namespace petrel
