#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace petrel {

// Blanks removed at both ends (only the space character, as the radio's texts use).
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);

// Up to length characters from a 0-based position; never reads past the end.
std::string Mid(std::string_view text, std::size_t start,
                std::size_t length = std::string_view::npos);

// Text padded on the right with fill up to width characters (never cut).
std::string PadRight(std::string_view text, std::size_t width, char fill = ' ');

// ASCII letters in upper case; other bytes (UTF-8 included) stay as they are.
std::string ToUpperAscii(std::string_view text);

bool StartsWith(std::string_view text, std::string_view prefix);

// The leading number of a text, read the way the radio software always read numbers typed or
// cut from a line: leading blanks skipped, an optional sign, then decimal digits up to the first
// other character. No digits give 0. Saturates instead of overflowing.
std::int64_t LeadingNumber(std::string_view text);

// Bytes read as Latin-1 characters, returned as UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);
// UTF-8 text as Latin-1 bytes, one per character; a character Latin-1 lacks (or a byte that is
// not UTF-8) becomes replacement.
std::string Utf8ToLatin1(std::string_view text, char replacement = '?');

// Text for one line of plain output: control characters (C0, DEL, and C1 written as UTF-8) as
// "\x1b", and a backslash as "\\", so that a text read from a file or a radio stays on its line
// and every output reads back to one text.
std::string EscapeControls(std::string_view text);

}  // namespace petrel
