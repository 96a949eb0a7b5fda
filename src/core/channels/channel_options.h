#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace petrel {

struct Document;

// The six option bits in the low bits of ChannelFlags; bits 7 and 6 are the presence bits.
inline constexpr std::uint8_t kOptScanAuto = 0x01;
inline constexpr std::uint8_t kOptNarrow = 0x02;  // 12.5 kHz spacing; clear: 25.0 kHz
inline constexpr std::uint8_t kOptHighPower = 0x04;
inline constexpr std::uint8_t kOptBclo = 0x08;
inline constexpr std::uint8_t kOptScan = 0x10;
inline constexpr std::uint8_t kOptBeatShift = 0x20;
inline constexpr std::uint8_t kOptionMask = 0x3F;

// The title over the option list; the option lines stand under it in a fixed-pitch font.
inline constexpr std::string_view kOptionListTitle = "CH SPACE RF_PWR BCLO SCAN SHIFT";

// The options of one channel as text, without its number: "12.5K   H    OFF   OFF  OFF". The
// option list, the printed report and the command line all show options through it.
std::string ChannelOptionText(std::uint8_t options);
// One line of the option list: the channel number (1-based) in two digits, a blank, the text.
std::string ChannelOptionLine(int channel, std::uint8_t options);

struct ChannelOptionEntry {
    int channel;  // 0-based
    std::string line;
};
// The option list of a document: every channel that has an Rx frequency, in channel order.
std::vector<ChannelOptionEntry> ChannelOptionList(const Document& doc);

// The option dialog's controls for one option byte. Pair k (SPACE, RF_POWER, BCLO, SCAN,
// BEAT-SHIFT) stands for bit k + 1: true selects its first item ("12.5K", "HIGH", "ON").
// "AUTO" is bit 0, independent of the SCAN pair; the list shows AUTO whenever it is set.
inline constexpr int kOptionPairCount = 5;
enum OptionPair { kPairSpace, kPairPower, kPairBclo, kPairScan, kPairShift };
struct ChannelOptionChoices {
    std::array<bool, kOptionPairCount> first{};
    bool autoScan = false;
};
// The option dialog's frames: title, then the words of the first (bit set) and second items.
struct OptionFrame {
    const char* title;
    const char* first;
    const char* second;
};
// In the order of pair k, which stands for bit k + 1.
inline constexpr OptionFrame kOptionFrames[kOptionPairCount] = {{"SPACE", "12.5K", "25.0K"},
                                                                {"RF_POWER", "HIGH", "LOW"},
                                                                {"BCLO", "ON", "OFF"},
                                                                {"SCAN", "ON", "OFF"},
                                                                {"BEAT-SHIFT", "ON", "OFF"}};
inline constexpr const char* kAutoScanText = "AUTO";
ChannelOptionChoices OptionChoices(std::uint8_t options);
// Bits 5..0 of the choices.
std::uint8_t OptionBits(const ChannelOptionChoices& choices);

// Sets bits 5..0 of a channel's option byte (0-based channel), keeping bits 7 and 6. A changed
// byte marks the document dirty; returns whether it changed. Every option edit goes through here.
bool SetChannelOptions(Document& doc, int channel, std::uint8_t options);

}  // namespace petrel
