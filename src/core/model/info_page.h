#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace petrel {

inline constexpr std::size_t kInfoPageSize = 256;
inline constexpr std::size_t kTableSize = 16;

// The information page as the radio and the companion file hold it: one byte per word.
using InfoPage = std::array<std::int16_t, kInfoPageSize>;
using InfoTable = std::array<std::uint8_t, kTableSize>;

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

// The two calibration tables of a page: what the alignment tunes and writes to the radio.
struct InfoTables {
    InfoTable level{};
    InfoTable power{};

    bool operator==(const InfoTables&) const = default;
};

// One radio's information page and what is decoded from it. Each document holds its own: the
// page its radio was read with, its companion file's, or a new configuration's defaults.
struct RadioInfoPage {
    InfoPage InfoWords{};
    bool InfoValid = false;  // read from a radio, loaded from a companion, or a new one's
    InfoTable PowerTable{};
    InfoTable LevelTable{};
    std::string CustomerName;
    std::string SerialNo;
    std::string ProgDate;
    std::string MaskDate;
    std::string FirmwareVersion;

    InfoTables Tables() const { return {LevelTable, PowerTable}; }
    // Both tables, and the words they are kept in (so a saved companion holds them).
    void SetTables(const InfoTables& tables);
};

// Whether a byte of a text field of the information page is a character: NUL and the 0xFF of
// erased memory (a never-programmed radio) are not.
inline bool IsInfoTextByte(std::uint8_t byte) {
    return byte != 0x00 && byte != 0xFF;
}

// A (year, month, day) of the radio as "mmm-dd-yyyy". Two-digit years 0..29 are 2000..2029,
// 30..99 are 1930..1999; a month or day out of range rolls over as a calendar does.
std::string FormatRadioDate(int year, int month, int day);

// Rebuilds LevelTable, PowerTable, CustomerName, SerialNo and ProgDate from InfoWords.
void DecodeInfo(RadioInfoPage& page);

}  // namespace petrel
