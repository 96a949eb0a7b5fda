#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace petrel {

// The title over the channel option list.
inline constexpr std::string_view kOptionListTitle = "CH SPACE RF_PWR BCLO SCAN SHIFT";

// One entry of the channel option list: the channel as two digits, then spacing, power,
// busy-channel lock-out, scan and beat shift as the option bits of flags say.
std::string ChannelOptionLine(int channel, std::uint8_t flags);

// The option list of a document: one entry per channel that has a receive frequency.
std::vector<std::string> ChannelOptionLines(const std::vector<std::string>& lines,
                                            const std::vector<std::uint8_t>& options);

}  // namespace petrel
