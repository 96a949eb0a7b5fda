#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace petrel {

// Sub-tone codes: 0 no tone, 1..50 CTCSS, 51..154 DCS.
inline constexpr int kToneCount = 155;
inline constexpr int kFirstDcsCode = 51;
inline constexpr int kLastToneCode = kToneCount - 1;

// The tone combo item of a code ("000 No Tone", "001 CTCSS  67.0", "051 CDCSS   023"), or ""
// for a code without an item.
std::string ToneItemText(int code);

// The description shown in the channel list: "67.0", "023", "None" for code 0, "" for a code
// without an item.
std::string ToneDescription(int code);

// The code of a CTCSS tone given in tenths of a hertz (885 for 88.5 Hz), or of a DCS code given
// as its octal digits ("023"); nothing when the table has no such tone.
std::optional<int> CtcssToneCode(int tenths);
std::optional<int> DcsToneCode(std::string_view digits);

}  // namespace petrel
