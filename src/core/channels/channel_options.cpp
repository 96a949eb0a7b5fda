#include "core/channels/channel_options.h"

#include "core/model/document_edit.h"
#include "core/util/text.h"

namespace petrel {

namespace {
constexpr std::size_t kRxFreqColumn = 4;  // where a channel line's Rx frequency starts
constexpr std::string_view kNoFrequency = "NONE";
constexpr std::uint8_t kPresenceMask = 0xC0;
}  // namespace

std::string ChannelOptionText(std::uint8_t options) {
    std::string text = (options & kOptNarrow) ? "12.5K" : "25.0K";
    text += (options & kOptHighPower) ? "   H " : "   L ";
    text += (options & kOptBclo) ? "   ON " : "   OFF";
    text += (options & kOptScanAuto) ? "  AUTO" : (options & kOptScan) ? "   ON " : "   OFF";
    text += (options & kOptBeatShift) ? "  ON" : "  OFF";
    return text;
}

std::string ChannelOptionLine(int channel, std::uint8_t options) {
    std::string number = std::to_string(channel);
    if (number.size() < 2) {
        number.insert(0, 1, '0');
    }
    return number + ' ' + ChannelOptionText(options);
}

std::vector<ChannelOptionEntry> ChannelOptionList(const Document& doc) {
    std::vector<ChannelOptionEntry> entries;
    const auto& options = doc.state.ChOption;
    for (std::size_t i = 0; i < doc.lines.size() && i < options.size(); ++i) {
        if (Mid(doc.lines[i], kRxFreqColumn, kNoFrequency.size()) != kNoFrequency) {
            const int channel = static_cast<int>(i);
            entries.push_back({channel, ChannelOptionLine(channel + 1, options[i])});
        }
    }
    return entries;
}

ChannelOptionChoices OptionChoices(std::uint8_t options) {
    ChannelOptionChoices choices;
    for (int k = 0; k < kOptionPairCount; ++k) {
        choices.first[k] = options & (kOptNarrow << k);
    }
    choices.autoScan = options & kOptScanAuto;
    return choices;
}

std::uint8_t OptionBits(const ChannelOptionChoices& choices) {
    std::uint8_t bits = choices.autoScan ? kOptScanAuto : 0;
    for (int k = 0; k < kOptionPairCount; ++k) {
        if (choices.first[k]) {
            bits |= static_cast<std::uint8_t>(kOptNarrow << k);
        }
    }
    return bits;
}

bool SetChannelOptions(Document& doc, int channel, std::uint8_t options) {
    auto& store = doc.state.ChOption;
    if (channel < 0 || static_cast<std::size_t>(channel) >= store.size()) {
        return false;
    }
    const auto updated =
        static_cast<std::uint8_t>((store[channel] & kPresenceMask) | (options & kOptionMask));
    if (updated == store[channel]) {
        return false;
    }
    ChangeDocument(doc, DocumentChange{{}, {{channel, updated}}, {}});
    return true;
}

}  // namespace petrel
