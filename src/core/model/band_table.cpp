#include "core/model/band_table.h"

#include <array>

#include "core/model/freq_codec.h"
#include "core/util/text.h"

namespace petrel {

namespace {

// Rows of exactly 82 characters; fields are cut from them by position.
constexpr std::array<std::string_view, kBandCount> kBandRows = {
    " 1  Low Band I             29.7 ~ 39.0       IF=+45.1  PLL OSC=14.4  PreScaler=64 ",
    " 2  Low Band II            38.0 ~ 50.0       IF=+45.1  PLL OSC=14.4  PreScaler=64 ",
    " 3  VHF Low Band            136 ~ 156        IF=+45.1  PLL OSC=14.4  PreScaler=128",
    " 4  VHF High Band           148 ~ 174        IF=+45.1  PLL OSC=14.4  PreScaler=128",
    " 5  UHF Low Band            400 ~ 440        IF=-45.1  PLL OSC=14.4  PreScaler=128",
    " 6  UHF Mid Band            440 ~ 470        IF=-45.1  PLL OSC=14.4  PreScaler=128",
    " 7  UHF High Band           470 ~ 512        IF=-45.1  PLL OSC=14.4  PreScaler=128",
    " 8  350MHz Band             350 ~ 385        IF=-45.1  PLL OSC=14.4  PreScaler=128",
    " 9  Petrel (PMR)      446.00625 ~ 446.09375  IF=-21.7  PLL OSC=21.25 PreScaler=128",
    "10  Petrel (Korea)     448.7500 ~ 449.2625   IF=-21.7  PLL OSC=21.25 PreScaler=128",
    "11  Petrel (Taiwan)    462.0000 ~ 467.9875   IF=-21.7  PLL OSC=21.25 PreScaler=128",
    "12  Petrel                  440 ~ 470        IF=-21.7  PLL OSC=21.25 PreScaler=128",
};

struct ReferenceFrequencies {
    std::string_view squelch;
    std::array<std::string_view, 4> rx;
    std::array<std::string_view, 4> tx;
    std::array<std::string_view, 4> mod;
};

constexpr ReferenceFrequencies kBand6References = {
    "455.050000",
    {"440.025000", "450.025000", "460.025000", "469.975000"},
    {"440.525000", "450.525000", "460.525000", "469.475000"},
    {"470.000000", "462.500000", "455.000000", "447.500000"}};

constexpr std::array<ReferenceFrequencies, kBandCount> kReferences = {{
    {"34.350000",
     {"29.750000", "32.850000", "35.950000", "38.950000"},
     {"29.750000", "32.850000", "35.950000", "38.950000"},
     {"32.100000", "34.500000", "36.900000", "39.000000"}},
    {"44.050000",
     {"38.050000", "42.050000", "46.050000", "49.950000"},
     {"38.050000", "42.050000", "46.050000", "49.950000"},
     {"41.000000", "44.000000", "47.000000", "50.000000"}},
    {"146.050000",
     {"136.050000", "142.550000", "149.050000", "155.950000"},
     {"136.050000", "142.550000", "149.050000", "155.950000"},
     {"141.000000", "146.000000", "151.000000", "156.000000"}},
    {"161.050000",
     {"148.025000", "156.725000", "165.425000", "173.975000"},
     {"148.525000", "156.525000", "165.225000", "173.775000"},
     {"154.500000", "161.000000", "167.500000", "174.000000"}},
    {"420.050000",
     {"403.050000", "414.050000", "427.050000", "439.950000"},
     {"403.050000", "414.050000", "427.050000", "439.950000"},
     {"440.000000", "430.000000", "420.000000", "410.000000"}},
    kBand6References,
    {"490.050000",
     {"470.050000", "484.050000", "498.050000", "511.950000"},
     {"470.050000", "484.050000", "498.050000", "511.950000"},
     {"512.000000", "500.000000", "490.000000", "480.000000"}},
    {"367.525000",
     {"350.025000", "362.025000", "374.025000", "384.975000"},
     {"350.025000", "362.025000", "374.025000", "384.975000"},
     {"385.000000", "376.525000", "367.500000", "358.750000"}},
    {"446.006250", kBand6References.rx, kBand6References.tx, kBand6References.mod},
    {"448.750000", kBand6References.rx, kBand6References.tx, kBand6References.mod},
    {"465.750000", kBand6References.rx, kBand6References.tx, kBand6References.mod},
    {"446.006250", kBand6References.rx, kBand6References.tx, kBand6References.mod},
}};

constexpr std::array<std::string_view, 8> kPmrPresets = {"446.006250", "446.018750", "446.031250",
                                                         "446.043750", "446.056250", "446.068750",
                                                         "446.081250", "446.093750"};

constexpr std::array<std::string_view, 25> kKoreaPresets = {
    "448.750000", "448.762500", "448.775000", "448.787500", "448.800000",
    "448.812500", "448.825000", "448.837500", "448.850000", "448.862500",
    "448.875000", "448.887500", "448.900000", "448.912500", "448.925000",
    "449.150000", "449.162500", "449.175000", "449.187500", "449.200000",
    "449.212500", "449.225000", "449.237500", "449.250000", "449.262500"};

constexpr int kBandTaiwan = 11;
constexpr int kTaiwanPresetCount = 280;
constexpr long kTaiwanFirstHz = 462000000;
constexpr long kTaiwanStepHz = 12500;

struct DelayEntry {
    std::string_view text;
    int code;
};
constexpr std::array<DelayEntry, 12> kDelays = {{{"80 mS     ", 4},
                                                 {"100mS     ", 5},
                                                 {"150mS     ", 6},
                                                 {"200mS     ", 7},
                                                 {"250mS     ", 8},
                                                 {"300mS     ", 9},
                                                 {"350mS     ", 10},
                                                 {"400mS     ", 11},
                                                 {"450mS     ", 12},
                                                 {"500mS     ", 13},
                                                 {"550mS     ", 14},
                                                 {"600mS     ", 15}}};
constexpr int kDefaultDelayCode = 5;

const ReferenceFrequencies* ReferencesOf(int band) {
    if (band < 1 || band > kBandCount) {
        return nullptr;
    }
    return &kReferences[band - 1];
}

// Characters after a marker inside a row ("IF=", "OSC=", ...), trimmed.
std::string FieldAfter(std::string_view row, std::string_view marker, std::size_t length) {
    const auto at = row.find(marker);
    if (at == std::string_view::npos) {
        return {};
    }
    return Trim(Mid(row, at + marker.size(), length));
}

}  // namespace

std::string_view BandRow(int band) {
    if (band == 0) {
        return kBandRows[0];
    }
    if (band < 1 || band > kBandCount) {
        return {};
    }
    return kBandRows[band - 1];
}

std::string BandName(std::string_view row) {
    const auto doubleBlank = row.find("  ");
    if (doubleBlank == std::string_view::npos) {
        return {};
    }
    return Trim(Mid(row, doubleBlank + 2, 18));
}

std::string RangeText(std::string_view row) {
    const auto tilde = row.find('~');
    if (tilde == std::string_view::npos || tilde < 11) {
        return {};
    }
    return Trim(Mid(row, tilde - 11, 22));
}

std::string LowerEdge(std::string_view rangeText) {
    const auto tilde = rangeText.find('~');
    return Trim(rangeText.substr(0, tilde));
}

std::string UpperEdge(std::string_view rangeText) {
    const auto tilde = rangeText.find('~');
    if (tilde == std::string_view::npos) {
        return {};
    }
    return Trim(rangeText.substr(tilde + 1));
}

std::string IfSign(std::string_view row) {
    return FieldAfter(row, "IF=", 1);
}
std::string IfText(std::string_view row) {
    return FieldAfter(row, "IF=", 6);
}
std::string OscText(std::string_view row) {
    return FieldAfter(row, "OSC=", 6);
}
std::string PrescalerText(std::string_view row) {
    return FieldAfter(row, "PreScaler=", 3);
}

std::string BandInfo(int band) {
    const auto row = BandRow(band);
    return row.empty() ? std::string() : BandName(row);
}

std::string SqlFreqOf(int band) {
    const auto* refs = ReferencesOf(band);
    return refs ? std::string(refs->squelch) : std::string("Unknow");
}

std::string RxFreqOf(int band, int i) {
    const auto* refs = ReferencesOf(band);
    return refs && i >= 0 && i < 4 ? std::string(refs->rx[i]) : std::string();
}

std::string TxFreqOf(int band, int i) {
    const auto* refs = ReferencesOf(band);
    return refs && i >= 0 && i < 4 ? std::string(refs->tx[i]) : std::string();
}

std::string ModFreqOf(int band, int i) {
    const auto* refs = ReferencesOf(band);
    return refs && i >= 0 && i < 4 ? std::string(refs->mod[i]) : std::string();
}

int PresetCount(int band) {
    switch (band) {
        case kBandPmr:
            return static_cast<int>(kPmrPresets.size());
        case kBandKorea:
            return static_cast<int>(kKoreaPresets.size());
        case kBandTaiwan:
            return kTaiwanPresetCount;
        default:
            return 0;
    }
}

std::string PresetFreq(int band, int i) {
    const bool fixedBand = band == kBandPmr || band == kBandKorea || band == kBandTaiwan;
    if (fixedBand && i == 0) {
        return "NONE      ";
    }
    if (i < 1 || i > PresetCount(band)) {
        return "NONE";
    }
    switch (band) {
        case kBandPmr:
            return std::string(kPmrPresets[i - 1]);
        case kBandKorea:
            return std::string(kKoreaPresets[i - 1]);
        default: {
            // The Taiwan raster is computed: 462 MHz plus 12.5 kHz steps, six decimals.
            const long hz = kTaiwanFirstHz + (i - 1) * kTaiwanStepHz;
            return FrequencyTextFromHz(hz, ValueWidth(LowerEdge(RangeText(BandRow(band)))));
        }
    }
}

std::string DelayText(int i) {
    if (i < 0 || i >= static_cast<int>(kDelays.size())) {
        return "NONE";
    }
    return std::string(kDelays[i].text);
}

int DelayCode(int i) {
    if (i < 0 || i >= static_cast<int>(kDelays.size())) {
        return kDefaultDelayCode;
    }
    return kDelays[i].code;
}

int ValueWidth(std::string_view text) {
    const auto dot = text.find('.');
    const auto position = dot == std::string_view::npos ? text.size() + 1 : dot + 1;
    return static_cast<int>(position) + 6;
}

}  // namespace petrel
