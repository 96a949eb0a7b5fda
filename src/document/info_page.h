#pragma once

#include <cstdint>
#include <string>

namespace petrel {

struct ProgramState;

// Offsets within the radio's information page.
inline constexpr std::size_t kInfoPowerTable = 0xC0;
inline constexpr std::size_t kInfoSerialBlock = 0xD0;
inline constexpr std::size_t kInfoSerialText = 0xD1;
inline constexpr std::size_t kInfoSerialLength = 12;
inline constexpr std::size_t kInfoProgDate = 0xDD;
inline constexpr std::size_t kInfoNameBlock = 0xE0;
inline constexpr std::size_t kInfoNameText = 0xE1;
inline constexpr std::size_t kInfoNameLength = 15;
inline constexpr std::size_t kInfoLevelTable = 0xF0;

// Whether a byte of a text field of the information page is a character: NUL and the 0xFF of
// erased memory (a never-programmed radio) are not.
inline bool IsInfoTextByte(std::uint8_t byte) {
    return byte != 0x00 && byte != 0xFF;
}

// A (year, month, day) of the radio as "mmm-dd-yyyy". Two-digit years 0..29 are 2000..2029,
// 30..99 are 1930..1999; a month or day out of range rolls over as a calendar does.
std::string FormatRadioDate(int year, int month, int day);

// Rebuilds LevelTable, PowerTable, CustomerName, SerialNo and ProgDate from InfoWords.
void DecodeInfo(ProgramState& state);

}  // namespace petrel
