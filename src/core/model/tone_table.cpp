#include "core/model/tone_table.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "core/model/bit_text.h"
#include "core/util/text.h"

namespace petrel {

namespace {

// CTCSS tones in tenths of a hertz, codes 1..50, in the radio's order (not sorted).
constexpr std::array<int, 50> kCtcssTenths = {
    670,  719,  744,  770,  797,  825,  854,  885,  915,  948,  974,  1000, 1035,
    1072, 1109, 1148, 1188, 1230, 1273, 1318, 1365, 1413, 1462, 1514, 1567, 1622,
    1679, 1738, 1799, 1862, 1928, 2035, 2107, 2181, 2257, 2336, 2418, 2503, 694,
    1598, 1655, 1713, 1773, 1835, 1899, 1966, 1995, 2065, 2291, 2541};

// DCS codes (octal digits), codes 51..154.
constexpr std::array<std::string_view, 104> kDcsCodes = {
    "023", "025", "026", "031", "032", "036", "043", "047", "051", "053", "054", "065", "071",
    "072", "073", "074", "114", "115", "116", "122", "125", "131", "132", "134", "143", "145",
    "152", "155", "156", "162", "165", "172", "174", "205", "212", "223", "225", "226", "243",
    "244", "245", "246", "251", "252", "255", "261", "263", "265", "266", "271", "274", "306",
    "311", "315", "325", "331", "332", "343", "346", "351", "356", "364", "365", "371", "411",
    "412", "413", "423", "431", "432", "445", "446", "452", "454", "455", "462", "464", "465",
    "466", "503", "506", "516", "523", "526", "532", "546", "565", "606", "612", "624", "627",
    "631", "632", "654", "662", "664", "703", "712", "723", "731", "732", "734", "743", "754"};

static_assert(1 + kCtcssTenths.size() + kDcsCodes.size() == kToneCount);

// The description starts at the 10th character of the item text.
constexpr std::size_t kDescriptionStart = 9;

}  // namespace

std::string ToneItemText(int code) {
    if (code < 0 || code > kLastToneCode) {
        return {};
    }
    if (code == 0) {
        return "000 No Tone";
    }
    if (code < kFirstDcsCode) {
        const int tenths = kCtcssTenths[code - 1];
        char frequency[16];
        std::snprintf(frequency, sizeof frequency, "%3d.%d", tenths / 10, tenths % 10);
        // snprintf with %d is locale-independent; the point is written by hand.
        return PadCode3(code) + " CTCSS " + frequency;
    }
    return PadCode3(code) + " CDCSS   " + std::string(kDcsCodes[code - kFirstDcsCode]);
}

std::string ToneDescription(int code) {
    if (code == 0) {
        return "None";
    }
    return Trim(Mid(ToneItemText(code), kDescriptionStart));
}

std::optional<int> CtcssToneCode(int tenths) {
    const auto found = std::find(kCtcssTenths.begin(), kCtcssTenths.end(), tenths);
    if (found == kCtcssTenths.end()) {
        return std::nullopt;
    }
    return 1 + static_cast<int>(found - kCtcssTenths.begin());
}

std::optional<int> DcsToneCode(std::string_view digits) {
    const auto found = std::find(kDcsCodes.begin(), kDcsCodes.end(), digits);
    if (found == kDcsCodes.end()) {
        return std::nullopt;
    }
    return kFirstDcsCode + static_cast<int>(found - kDcsCodes.begin());
}

}  // namespace petrel
