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

}  // namespace petrel
