#include "core/channels/channel_check.h"

#include "core/model/freq_codec.h"
#include "core/model/radio_image.h"
#include "core/ports/status_line.h"
#include "core/util/text.h"

namespace petrel {

namespace {
// Frequency fields as the check cuts them: columns 5-15 and 30-40.
constexpr std::size_t kRxFieldStart = 4;
constexpr std::size_t kTxFieldStart = 29;
constexpr std::size_t kFieldWidth = 11;
}  // namespace

bool OnRaster(std::string_view freqText) {
    const auto dot = freqText.find('.');
    const std::string decimals =
        dot == std::string_view::npos ? std::string() : Mid(freqText, dot + 1, 3);
    // Missing digits count as "0"; digits below 1 kHz are not examined.
    const std::string digits = PadRight(decimals, 3, '0');
    if (digits[2] == '0' || digits[2] == '5') {
        return true;
    }
    return kStepPairs.find(digits.substr(1, 2)) != std::string_view::npos;
}

bool InRange(std::string_view freqText, std::string_view bandLow, std::string_view bandHigh) {
    // A text that is no frequency is in no band.
    const auto hz = FreqToHz(freqText);
    const auto low = FreqToHz(bandLow);
    const auto high = FreqToHz(bandHigh);
    return hz && low && high && *low <= *hz && *hz <= *high;
}

ChannelCheckResult CheckChannelLines(const std::vector<std::string>& lines,
                                     std::string_view bandLow, std::string_view bandHigh) {
    ChannelCheckResult result;
    bool badStep = false;
    std::size_t badChannel = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t channel = i + 1;
        for (const std::size_t start : {kRxFieldStart, kTxFieldStart}) {
            const std::string freq = Trim(Mid(lines[i], start, kFieldWidth));
            if (freq == "NONE") {
                continue;
            }
            result.anyFrequency = true;
            if (!InRange(freq, bandLow, bandHigh)) {
                result.message = "Channel #" + std::to_string(channel) + " Range Out !";
                result.color = kStatusRed;
                return result;
            }
            if (!badStep && !OnRaster(freq)) {
                badStep = true;
                badChannel = channel;
            }
        }
    }
    if (badStep) {
        result.message = "Channel #" + std::to_string(badChannel) + " in Bad increament !";
        result.color = kStatusRed;
    } else {
        result.message = "ALL Channels In Range";
        result.color = kStatusBlack;
    }
    return result;
}

ChannelCheckResult CheckDocumentChannels(const Document& doc) {
    const BandEdges edges = DocumentBandEdges(doc);
    return CheckChannelLines(doc.lines, edges.low, edges.high);
}

void CheckChannels(const Document& doc, StatusLine& status) {
    const auto result = CheckDocumentChannels(doc);
    if (!result.anyFrequency) {
        return;
    }
    status.SetStatus(result.message, result.color, kStatusFontLarge);
}

}  // namespace petrel
