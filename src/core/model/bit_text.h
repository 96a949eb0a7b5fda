#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace petrel {

// Bit texts of image bytes: "0"/"1" characters, most significant bit first.
std::string Bin8(std::uint8_t value);
// Three characters per octal digit of n ("101" for 5, "001000" for 8).
std::string ToBin(unsigned n);
// A "0"/"1" text read as a number (any character other than "1" counts as 0).
unsigned BinToVal(std::string_view bits);
// Codes of one or two digits get leading zeros up to three ("7" -> "007").
std::string PadCode3(int code);

}  // namespace petrel
