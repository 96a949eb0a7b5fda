#include "core/model/freq_codec.h"

#include <algorithm>
#include <limits>

#include "core/model/bit_text.h"
#include "core/util/text.h"

namespace petrel {

namespace {
constexpr std::size_t kDecimals = 6;
constexpr std::int64_t kHzPerMhz = 1000000;
constexpr std::int64_t kMaxPllWord = 0xFFFF;
constexpr int kPllWordAShift = 5;  // W = N x 32 + A div 4
}  // namespace

std::optional<std::int64_t> FreqToHz(std::string_view text) {
    const std::string t = Trim(text);
    const auto dot = t.find('.');
    const std::string whole = t.substr(0, dot);
    const std::string decimals = dot == std::string::npos ? std::string() : t.substr(dot + 1);
    const std::size_t sign = !whole.empty() && (whole[0] == '-' || whole[0] == '+') ? 1 : 0;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    // Digits only, and at most six decimals: cutting or padding a longer text would read it as
    // another frequency.
    if (whole.size() + decimals.size() == sign || decimals.size() > kDecimals ||
        !std::all_of(whole.begin() + static_cast<std::ptrdiff_t>(sign), whole.end(), isDigit) ||
        !std::all_of(decimals.begin(), decimals.end(), isDigit)) {
        return std::nullopt;
    }
    // The digits before the point joined to exactly six after it, read as one integer.
    const std::int64_t hz = LeadingNumber(whole + PadRight(decimals, kDecimals, '0'));
    if (hz > std::numeric_limits<std::int32_t>::max() ||
        hz < std::numeric_limits<std::int32_t>::min()) {
        return std::nullopt;
    }
    return hz;
}

int StepIndex(std::int64_t hz) {
    for (int k = 0; k < 3; ++k) {
        if (hz % kStepTable[k] == 0) {
            return k;
        }
    }
    return 3;
}

std::string FormatMhz(std::int64_t hz) {
    const bool negative = hz < 0;
    const std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-(hz + 1)) + 1 : static_cast<std::uint64_t>(hz);
    std::string text = negative ? "-" : "";
    text += std::to_string(magnitude / kHzPerMhz);
    std::string fraction = std::to_string(magnitude % kHzPerMhz);
    fraction.insert(0, kDecimals - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    if (!fraction.empty()) {
        text += '.' + fraction;
    }
    return text;
}

std::string FrequencyTextFromHz(std::int64_t hz, int width) {
    std::string text = FormatMhz(hz);
    if (text.find('.') == std::string::npos) {
        text += '.';
    }
    return PadRight(text, static_cast<std::size_t>(width > 0 ? width : 0), '0');
}

std::array<int, 3> MakeRefData(std::string_view oscText, int prescaler) {
    const std::int64_t oscHz = FreqToHz(oscText).value_or(0);
    std::array<int, 3> refData{};
    for (int k = 0; k < 3; ++k) {
        refData[k] = static_cast<int>(2 * oscHz / kStepTable[k]);
        if (prescaler == 64) {
            refData[k] += kRefDataPrescaler64Mark;
        }
    }
    return refData;
}

PllParams PllFromImage(std::uint8_t byte0B, std::uint8_t byte0C) {
    PllParams params;
    const int ifIndex = byte0B & 0x0F;
    const int oscIndex = byte0B >> 4;
    // An index outside a list leaves that list's default (its first entry).
    if (ifIndex < static_cast<int>(kIfList.size())) {
        params.ifIndex = ifIndex;
    }
    if (oscIndex < static_cast<int>(kOscList.size())) {
        params.oscIndex = oscIndex;
    }
    params.ifText = std::string(kIfList[params.ifIndex]);
    params.oscText = std::string(kOscList[params.oscIndex]);
    params.prescaler = (byte0C & kPrescaler64Bit) ? 64 : 128;
    params.refData = MakeRefData(params.oscText, params.prescaler);
    return params;
}

int IfIndexOf(std::string_view ifText) {
    for (std::size_t i = 0; i < kIfList.size(); ++i) {
        if (kIfList[i] == ifText) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

int OscIndexOf(std::string_view oscText) {
    for (std::size_t i = 0; i < kOscList.size(); ++i) {
        if (kOscList[i] == oscText) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

std::string PllEncoder::EncodeFreq(std::string_view text, bool isRx) {
    if (Trim(text) == "NONE") {
        return std::string(kUnstorableCode);
    }
    const auto hz = FreqToHz(text);
    if (!hz) {
        return std::string(kUnstorableCode);
    }
    std::int64_t f = *hz;
    if (isRx) {
        f += FreqToHz(params_.ifText).value_or(0);
    }
    const int k = StepIndex(f);
    // Only the 6.25 and 5 kHz rasters can be stored; nor can a synthesiser frequency of zero
    // or below, or one whose word does not fit 16 bits.
    if (k >= 2 || f <= 0) {
        return std::string(kUnstorableCode);
    }
    const std::int64_t ntot = f / kStepTable[k];
    const std::int64_t n = ntot / params_.prescaler;
    const std::int64_t a = ntot % params_.prescaler;
    const std::int64_t word = (n << kPllWordAShift) + a / 4;
    if (word > kMaxPllWord) {
        return std::string(kUnstorableCode);
    }
    pllBytes_ = {static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word & 0xFF)};
    return Bin8(static_cast<std::uint8_t>(((a % 4) << 2) | k)).substr(4);
}

std::uint8_t NibbleByte(std::string_view txCode, std::string_view rxCode) {
    if (rxCode == kUnstorableCode) {
        return 0;
    }
    const std::string tx = txCode == kUnstorableCode ? std::string("0000") : std::string(txCode);
    return static_cast<std::uint8_t>(BinToVal(tx + std::string(rxCode)));
}

std::optional<std::string> DecodeFreq(const PllParams& params, std::uint8_t hi, std::uint8_t lo,
                                      std::uint8_t nibbleByte, bool isRx, int width) {
    const int nib = isRx ? (nibbleByte & 0x0F) : (nibbleByte >> 4);
    const int word = hi * 256 + lo;
    const std::int64_t n = word >> kPllWordAShift;
    const std::int64_t a = (lo & 31) * 4 + (nib >> 2);
    const int k = nib & 3;
    // Step code 3 is the table's zero step: no frequency was ever stored with it, but erased
    // memory (0xFF throughout) carries it. Such a side, like one that lands at or below 0 Hz,
    // is absent rather than a made-up "21.7000000".
    if (kStepTable[k] == 0) {
        return std::nullopt;
    }
    // The 0x8000 mark on the reference words tells a 64 prescaler.
    const std::int64_t p = params.refData[0] > 16384 ? 64 : 128;
    std::int64_t f = kStepTable[k] * (n * p + a);
    if (isRx) {
        f -= FreqToHz(params.ifText).value_or(0);
    }
    if (f <= 0) {
        return std::nullopt;
    }
    return FrequencyTextFromHz(f, width);
}

}  // namespace petrel
