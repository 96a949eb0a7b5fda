#pragma once

#include <string>
#include <string_view>

namespace petrel {

inline constexpr int kBandCount = 12;
// The PMR446 band and the Korean band, whose channels the law fixes: their channels come from
// the band's channel table while FreqLock is on.
inline constexpr int kBandPmr = 9;
inline constexpr int kBandKorea = 10;
inline constexpr int kFixedBands[] = {kBandPmr, kBandKorea};

// The band row of a band number: band 0 gives row 1; bands above 12 give "".
std::string_view BandRow(int band);

// Fields cut from a band row by position; the row's spacing is part of its format.
std::string BandName(std::string_view row);
std::string RangeText(std::string_view row);  // "29.7 ~ 39.0"
std::string LowerEdge(std::string_view rangeText);
std::string UpperEdge(std::string_view rangeText);
std::string IfSign(std::string_view row);         // "+" or "-"
std::string IfText(std::string_view row);         // "-21.7"
std::string OscText(std::string_view row);        // "21.25"
std::string PrescalerText(std::string_view row);  // "128" or "64"

// The name of band's row; "" above band 12.
std::string BandInfo(int band);

// Alignment reference frequencies (i = 0..3). Bands outside 1..12: "Unknow" / "".
std::string SqlFreqOf(int band);
std::string RxFreqOf(int band, int i);
std::string TxFreqOf(int band, int i);
std::string ModFreqOf(int band, int i);

// Preset channel frequencies of the fixed-channel bands, i = 1..PresetCount(band).
int PresetCount(int band);
std::string PresetFreq(int band, int i);

// The VOX attack time list, index 0..11.
std::string DelayText(int i);
int DelayCode(int i);

// Length of a frequency text with six decimals whose integer part is that of text.
int ValueWidth(std::string_view text);

}  // namespace petrel
