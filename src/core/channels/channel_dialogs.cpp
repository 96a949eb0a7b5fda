#include "core/channels/channel_dialogs.h"

#include <algorithm>

#include "core/channels/channel_check.h"
#include "core/model/authorization.h"
#include "core/model/band_table.h"
#include "core/model/channel_line.h"
#include "core/model/tone_table.h"
#include "core/util/text.h"

namespace petrel {

namespace {

constexpr std::size_t kToneCodeDigits = 3;

// Fields of a channel line as the fixed-channel dialog reads them.
constexpr std::size_t kFreqColumn[] = {4, 29};
constexpr std::size_t kFixedFreqWidth = 10;
constexpr std::size_t kToneColumn[] = {16, 41};

constexpr const char* kOutOfRange[] = {"Rx Freqency Out of Range !", "Tx Freqency Out of Range !"};
constexpr const char* kBadStep[] = {"Rx Freqency in Bad Step !", "Tx Freqency in Bad Step !"};

bool AllDigits(std::string_view text, char last = '9') {
    return std::all_of(text.begin(), text.end(), [last](char c) { return c >= '0' && c <= last; });
}

// "88.5" (also "88.50", "88.", "100.0"): the CTCSS tone of that frequency.
std::optional<int> CtcssByValue(std::string_view text) {
    constexpr std::size_t kMaxWhole = 3;
    constexpr std::size_t kMaxDecimals = 2;
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    std::string decimals(text.substr(point + 1));
    if (whole.empty() || whole.size() > kMaxWhole || decimals.size() > kMaxDecimals ||
        !AllDigits(whole) || !AllDigits(decimals)) {
        return std::nullopt;
    }
    decimals.resize(kMaxDecimals, '0');
    if (decimals[1] != '0') {
        return std::nullopt;  // no tone lies between two tenths
    }
    return CtcssToneCode(std::stoi(std::string(whole)) * 10 + (decimals[0] - '0'));
}

// "D023" or "d23": the DCS code of those octal digits.
std::optional<int> DcsByValue(std::string_view text) {
    const std::string_view digits = text.substr(1);
    if (digits.empty() || digits.size() > kToneCodeDigits || !AllDigits(digits, '7')) {
        return std::nullopt;
    }
    return DcsToneCode(std::string(kToneCodeDigits - digits.size(), '0') + std::string(digits));
}

int LineTone(std::string_view field) {
    return static_cast<int>(LeadingNumber(field));
}

bool IsFixedBand(int band) {
    return std::find(std::begin(kFixedBands), std::end(kFixedBands), band) != std::end(kFixedBands);
}

}  // namespace

void ReleaseFreqLockOutsideFixedBands(Authorization& authorization, int band) {
    if (!IsFixedBand(band)) {
        authorization.FreqLock = false;
    }
}

ChannelDialogKind ChooseChannelDialog(const Authorization& authorization, int band) {
    return FixedChannelsOnly(authorization, band) ? ChannelDialogKind::Fixed
                                                  : ChannelDialogKind::Free;
}

bool FixedChannelsOnly(const Authorization& authorization, int band) {
    return authorization.FreqLock && IsFixedBand(band);
}

std::optional<int> ToneCodeOf(std::string_view text) {
    const std::string typed = Trim(text);
    if (typed.size() > 1 && (typed[0] == 'D' || typed[0] == 'd')) {
        return DcsByValue(typed);
    }
    // An item's own text ("001 CTCSS  67.0") has a point too, but after its number.
    if (typed.find('.') != std::string::npos && typed.find(' ') == std::string::npos) {
        return CtcssByValue(typed);
    }
    const std::string digits = Trim(Mid(text, 0, kToneCodeDigits));
    if (digits.empty() || !AllDigits(digits)) {
        return std::nullopt;
    }
    const int code = std::stoi(digits);
    return code <= kLastToneCode ? std::optional(code) : std::nullopt;
}

std::string ToneEntryHint() {
    return "Pick a tone, or type its list number (0-" + std::to_string(kLastToneCode) +
           "), a CTCSS frequency with a point (88.5) or a DCS code after a D (D023)";
}

std::string ToneInputError() {
    return "Input Err! Maximun Number is " + std::to_string(kLastToneCode);
}

ChannelEditModel::ChannelEditModel(int channel, std::string_view line, std::string bandLow,
                                   std::string bandHigh)
    : channel_(channel),
      bandLow_(std::move(bandLow)),
      bandHigh_(std::move(bandHigh)),
      freq_{FreqEntry(ValueWidth(bandLow_)), FreqEntry(ValueWidth(bandLow_))} {
    const ParsedLine fields = ParseLine(line);
    freq_[kRx].Load(fields.LineRxFreq);
    freq_[kTx].Load(fields.LineTxFreq);
    tone_ = {LineTone(fields.LineRxTone), LineTone(fields.LineTxTone)};
}

std::string ChannelEditModel::Activate() {
    outOfRange_ = {};
    badStep_ = {};
    JudgeFreq(kRx);
    return JudgeFreq(kTx);
}

std::string ChannelEditModel::JudgeFreq(int side) {
    // A box without a frequency leaves its flags as they are.
    const FreqEntry& box = freq_[side];
    if (!box.IsNone()) {
        outOfRange_[side] = !InRange(box.Text(), bandLow_, bandHigh_);
        if (!outOfRange_[side]) {
            badStep_[side] = !OnRaster(box.Text());
        }
    }
    return Message();
}

std::string ChannelEditModel::Message() const {
    for (int side : {kRx, kTx}) {
        if (outOfRange_[side]) {
            return kOutOfRange[side];
        }
    }
    for (int side : {kRx, kTx}) {
        if (badStep_[side]) {
            return kBadStep[side];
        }
    }
    return {};
}

std::string ChannelEditModel::RxOnly() {
    freq_[kTx].SetNone();
    tone_[kTx] = 0;
    dtmf_[kTx] = "0000";
    return JudgeFreq(kTx);
}

std::string ChannelEditModel::TxEqualsRx() {
    freq_[kTx].Load(freq_[kRx].Text());
    tone_[kTx] = tone_[kRx];
    dtmf_[kTx] = dtmf_[kRx];
    return JudgeFreq(kTx);
}

std::string ChannelEditModel::Line() const {
    return ChannelLine(channel_, freq_[kRx].Text(), tone_[kRx], freq_[kTx].Text(), tone_[kTx]);
}

std::string ChannelEditCaption(int channel, std::string_view modelLabel,
                               std::string_view rangeLabel) {
    constexpr std::size_t kModelTextStart = 6;  // after "Model:"
    return "Channel No." + std::to_string(channel) + " (" + Mid(modelLabel, kModelTextStart) + "," +
           std::string(rangeLabel) + ")";
}

FixedChannelModel::FixedChannelModel(int band, int channel, std::string_view line)
    : channel_(channel) {
    for (int i = 0; i <= PresetCount(band); ++i) {
        table_.push_back(PresetFreq(band, i));
    }
    for (int side : {kRx, kTx}) {
        freq_[side] = Mid(line, kFreqColumn[side], kFixedFreqWidth);
        const auto at = std::find(table_.begin(), table_.end(), freq_[side]);
        freqIndex_[side] = at == table_.end() ? -1 : static_cast<int>(at - table_.begin());
        tone_[side] = LineTone(Mid(line, kToneColumn[side], kToneCodeDigits));
    }
}

std::string FixedChannelModel::Caption() const {
    return "Channel No." + std::to_string(channel_);
}

void FixedChannelModel::SetFreqIndex(int side, int index) {
    if (index >= 0 && index < static_cast<int>(table_.size())) {
        freqIndex_[side] = index;
    }
}

std::string FixedChannelModel::Line() const {
    std::array<std::string, 2> freq;
    for (int side : {kRx, kTx}) {
        freq[side] = freqIndex_[side] >= 0 ? table_[freqIndex_[side]] : freq_[side];
    }
    const int tx = txEqualsRx ? kRx : kTx;
    return ChannelLine(channel_, freq[kRx], tone_[kRx], freq[tx], tone_[tx]);
}

}  // namespace petrel
