#pragma once

#include <cstddef>
#include <cstdint>

namespace petrel {

// The radio's frames as they travel on the programming cable, shared by the computer's side
// of the link and the simulated radio: command letters, fixed bytes and the control mailbox.
inline constexpr std::uint8_t kCheckLetter = 'V';
inline constexpr std::uint8_t kIdentifyLetter = 'I';
inline constexpr std::uint8_t kIdentifyByte = 0x07;  // "I" 0x07 identifies; "I" page index reads
inline constexpr std::uint8_t kReadBlockLetter = 'R';
inline constexpr std::uint8_t kWriteBlockLetter = 'W';
inline constexpr std::uint8_t kReadParamLetter = 'I';
inline constexpr std::uint8_t kWriteParamLetter = 'O';
inline constexpr std::uint8_t kCheckAnswer = 0x11;

// Image data always travel in blocks of four bytes.
inline constexpr std::size_t kBlockSize = 4;

// Parameter page 2: the control mailbox (code, then its argument) and the identification
// (firmware major and minor, mask date year, month, day).
inline constexpr std::uint8_t kControlPage = 2;
inline constexpr std::uint8_t kControlCodeIndex = 0x10;
inline constexpr std::uint8_t kControlArgumentIndex = 0x11;
inline constexpr std::uint8_t kIdentIndex = 0x20;
inline constexpr std::uint8_t kIdentCount = 5;

// Codes of the control mailbox. The test states: 0x92 for alignment, 0xAC the receive test,
// 0xAD the transmit test, all left with 0xAA. Inside the transmit test 0xAB keys the
// transmitter and 0x86 releases it (those two are written alone, without an argument).
inline constexpr std::uint8_t kCodeEndTest = 0xAA;
inline constexpr std::uint8_t kCodeAlignment = 0x92;
inline constexpr std::uint8_t kCodeReceiveTest = 0xAC;
inline constexpr std::uint8_t kCodeTransmitTest = 0xAD;
inline constexpr std::uint8_t kCodeAfterRead = 0x90;
inline constexpr std::uint8_t kCodeKeyOn = 0xAB;
inline constexpr std::uint8_t kCodeKeyOff = 0x86;
inline constexpr std::uint8_t kControlArgument = 0x0A;  // the usual argument of a code
inline constexpr std::uint8_t kReceiveTestArgument = 0xC8;

// What the radio measures, and the transmit power it uses, as live parameters.
inline constexpr std::uint8_t kSquelchNoisePage = 1;
inline constexpr std::uint8_t kSquelchNoiseIndex = 0xA4;
inline constexpr std::uint8_t kVoxLevelIndex = 0x06;      // control page
inline constexpr std::uint8_t kBatteryLevelIndex = 0x07;  // control page
inline constexpr std::uint8_t kOptionPage = 0;
inline constexpr std::uint8_t kPowerValueIndex = 0x00;

}  // namespace petrel
