#include "core/model/channel_line.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/model/bit_text.h"
#include "core/model/radio_image.h"
#include "core/model/tone_table.h"
#include "core/util/text.h"

namespace petrel {

namespace {

// Field widths of an unpacked line.
constexpr std::size_t kNumberWidth = 4;
constexpr std::size_t kFreqWidth = 12;
constexpr std::size_t kCodeWidth = 6;
constexpr std::size_t kDescriptionWidth = 7;

// The tone list item from its 11th character on, as the tone fill writes it.
constexpr std::size_t kToneFillItemStart = 10;

}  // namespace

std::string ChannelLine(int channel, std::string_view rxFreq, int rxTone, std::string_view txFreq,
                        int txTone) {
    std::string line = PadRight(std::to_string(channel), kNumberWidth);
    for (const auto& [freq, tone] : {std::pair{rxFreq, rxTone}, std::pair{txFreq, txTone}}) {
        const bool absent = Trim(freq) == "NONE";
        const int code = absent ? 0 : tone;
        line += PadRight(absent ? std::string("NONE") : Trim(freq), kFreqWidth) +
                PadRight(PadCode3(code) + "=", kCodeWidth) +
                PadRight(ToneDescription(code), kDescriptionWidth);
    }
    return line;
}

ParsedLine ParseLine(std::string_view line) {
    return ParsedLine{Mid(line, 0, 4), Mid(line, 3, 12), Mid(line, 15, 4), Mid(line, 28, 12),
                      Mid(line, 40, 4)};
}

std::string ChannelNumberText(int channel) {
    std::string text = std::to_string(channel);
    if (text.size() == 1) {
        text += ' ';
    }
    return text;
}

std::string EmptyChannelLine(int channel) {
    return ChannelNumberText(channel) + std::string(kEmptyChannelBody);
}

std::string PresetChannelLine(int channel, std::string_view freq) {
    const std::string f = PadRight(freq, 10);
    return ChannelNumberText(channel) + "  " + f + "  000=  None   " + f + "  000=  None";
}

std::string RenumberLine(int channel, std::string_view line) {
    return ChannelNumberText(channel) + Mid(line, 2);
}

std::string ToneFillField(int code) {
    if (code == 0) {
        return "000 = None ";
    }
    const std::string item = ToneItemText(code);
    return Mid(item, 0, 3) + " = " + Mid(item, kToneFillItemStart);
}

int ChannelCountOf(std::size_t imageSize) {
    if (imageSize <= kImageHeaderSize) {
        return 0;
    }
    const double upperIndex = static_cast<double>(imageSize) - 1.0;
    // Rounded half to even, as the count always was.
    const double count = std::nearbyint((upperIndex - static_cast<double>(kImageHeaderSize)) / 8.0);
    return count < 0 ? 0 : static_cast<int>(count);
}

UnpackedChannels UnpackChannels(const std::vector<std::uint8_t>& image, const PllParams& params,
                                int freqTextLen) {
    UnpackedChannels result;
    const int count = ChannelCountOf(image.size());
    result.lines.reserve(count);
    result.options.reserve(count);
    for (int n = 1; n <= count; ++n) {
        std::uint8_t r[kChannelRecordSize] = {};
        const std::size_t base = kImageHeaderSize + kChannelRecordSize * (n - 1);
        for (std::size_t j = 0; j < kChannelRecordSize; ++j) {
            if (base + j < image.size()) {
                r[j] = image[base + j];
            }
        }
        // Erased memory (and an untouched new configuration's file) holds 0xFF throughout: no
        // options. Only such a record is cleaned, here where it comes in; a used channel with
        // all six options on also has flags 0xFF and keeps them.
        const bool erased = std::all_of(std::begin(r), std::end(r),
                                        [](std::uint8_t byte) { return byte == kErasedByte; });
        result.options.push_back(erased ? 0 : r[kRecFlags]);

        std::optional<std::string> rx;
        std::optional<std::string> tx;
        if (r[kRecFlags] & kFlagRxPresent) {
            rx = DecodeFreq(params, r[kRecRxPllHigh], r[kRecRxPllLow], r[kRecNibbles], true,
                            freqTextLen);
        }
        // A channel without a usable Rx side cannot carry a Tx side either.
        if (rx && (r[kRecFlags] & kFlagTxPresent)) {
            tx = DecodeFreq(params, r[kRecTxPllHigh], r[kRecTxPllLow], r[kRecNibbles], false,
                            freqTextLen);
        }
        result.lines.push_back(
            ChannelLine(n, rx.value_or("NONE"), r[kRecRxTone], tx.value_or("NONE"), r[kRecTxTone]));
    }
    return result;
}

void PackChannels(std::vector<std::uint8_t>& image, const std::vector<std::string>& lines,
                  const std::vector<std::uint8_t>& options, const PllParams& params) {
    PllEncoder encoder(params);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::uint8_t r[kChannelRecordSize] = {};
        const ParsedLine fields = ParseLine(lines[i]);
        r[kRecFlags] = i < options.size() ? options[i] : 0;

        const std::string rx = encoder.EncodeFreq(fields.LineRxFreq, true);
        r[kRecRxPllHigh] = encoder.PllHigh();
        r[kRecRxPllLow] = encoder.PllLow();
        const std::string tx = encoder.EncodeFreq(fields.LineTxFreq, false);
        r[kRecTxPllHigh] = encoder.PllHigh();
        r[kRecTxPllLow] = encoder.PllLow();
        r[kRecNibbles] = NibbleByte(tx, rx);

        if (rx == kUnstorableCode) {
            r[kRecFlags] = 0;  // an empty channel; its tones stay 0
        } else {
            r[kRecRxTone] = static_cast<std::uint8_t>(LeadingNumber(fields.LineRxTone));
            r[kRecFlags] |= kFlagRxPresent;
            if (tx == kUnstorableCode) {
                r[kRecFlags] &= static_cast<std::uint8_t>(~kFlagTxPresent);
            } else {
                r[kRecTxTone] = static_cast<std::uint8_t>(LeadingNumber(fields.LineTxTone));
                r[kRecFlags] |= kFlagTxPresent;
            }
        }
        image.insert(image.end(), std::begin(r), std::end(r));
    }
}

}  // namespace petrel
