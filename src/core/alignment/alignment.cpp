#include "core/alignment/alignment.h"

#include <cstdio>

#include "core/link/frame_protocol.h"
#include "core/link/radio_link.h"
#include "core/model/band_table.h"
#include "core/model/bit_text.h"
#include "core/model/info_page.h"
#include "core/model/workspace.h"
#include "core/ports/prompter.h"
#include "core/util/text.h"

namespace petrel {

namespace {
constexpr unsigned kLevelLimit = 256;
constexpr unsigned kThirdByteShift = 6;  // A mod 4 sits in the top two bits of the third byte
}  // namespace

std::optional<std::uint8_t> CheckLevelText(std::string_view text) {
    const std::string digits = Trim(text);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (const char c : digits) {
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value >= kLevelLimit) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint8_t>(value);
}

bool AskDataErrorRetry(Prompter& prompter, const std::string& title) {
    return prompter.Ask(Message{kDataErrorText, title, Buttons::RetryCancel, Icon::Stop,
                                std::nullopt}) == Answer::Retry;
}

RadioInfoPage& AlignmentContext::Page() const {
    return workspace.At(slot).info;
}

std::optional<TestFrequency> EncodeTestFrequency(const PllParams& params, int band, bool isRx) {
    if (band < 1 || band > kBandCount) {
        return std::nullopt;
    }
    TestFrequency frequency;
    frequency.text = SqlFreqOf(band);
    PllEncoder encoder(params);
    const std::string code = encoder.EncodeFreq(frequency.text, isRx);
    if (code == kUnstorableCode) {
        return std::nullopt;
    }
    frequency.pllHigh = encoder.PllHigh();
    frequency.pllLow = encoder.PllLow();
    frequency.third = static_cast<std::uint8_t>(BinToVal(code.substr(0, 2)) << kThirdByteShift);
    frequency.reference = static_cast<std::uint8_t>(BinToVal(code.substr(2, 2)));
    return frequency;
}

std::string BandMismatchText(int radioBand, int documentBand) {
    return "The radio reports band " + std::to_string(radioBand) +
           ", the configuration is for band " + std::to_string(documentBand) +
           ": open the radio's own configuration (Upload) before adjusting it.";
}

std::string NoTestFrequencyText(int band) {
    return "There is no test frequency for band " + std::to_string(band) + ".";
}

std::string OtherRadioQuestion(const std::string& radioSerial, const std::string& tablesSerial) {
    const std::string radio = Trim(radioSerial);
    const std::string tables = Trim(tablesSerial);
    std::string first;
    if (tables.empty()) {
        first = radio.empty() ? "Neither this radio nor the configuration has a serial number: "
                                "whether these tables were read from this radio cannot be told."
                              : "This radio (serial " + radio +
                                    ") may not be the one these tables were read from: the "
                                    "configuration has no serial number.";
    } else {
        first = "This radio (" +
                (radio.empty() ? std::string("no serial number") : "serial " + radio) +
                ") is not the one these tables were read from (serial " + tables + ").";
    }
    return first + " Write them anyway?";
}

bool ConfirmTableRadio(const AlignmentContext& context) {
    const Document& doc = context.workspace.At(context.slot);
    if (!doc.info.InfoValid) {
        return false;  // no tables of a radio (the tuner does not open without them)
    }
    const auto radio = context.link.Images().ReadRadioIdentity();
    if (!radio) {
        context.prompter.Tell(kSerialUnreadText, Icon::Exclamation);
        return false;
    }
    if (radio->band != doc.state.Band) {
        context.prompter.Tell(BandMismatchText(radio->band, doc.state.Band), Icon::Exclamation);
        return false;
    }
    const std::string serial = Trim(doc.info.SerialNo);
    if (!serial.empty() && Trim(radio->serialNo) == serial) {
        return true;
    }
    return context.prompter.Ask(Message{OtherRadioQuestion(radio->serialNo, doc.info.SerialNo),
                                        {},
                                        Buttons::YesNo,
                                        Icon::Exclamation,
                                        Answer::No}) == Answer::Yes;
}

std::optional<TestFrequency> PrepareTestFrequency(const AlignmentContext& context, bool isRx) {
    const DocState& doc = context.workspace.At(context.slot).state;
    // The radio's band is the one the link detected when the dialog's set-up connected.
    const int radioBand = context.link.Frames().DetectedBand().value_or(0);
    if (doc.Band != radioBand) {
        context.prompter.Tell(BandMismatchText(radioBand, doc.Band), Icon::Exclamation);
        return std::nullopt;
    }
    auto frequency = EncodeTestFrequency(
        PllFromImage(doc.SysBlock[kPllByte], doc.SysBlock[kRefDividerByte0]), doc.Band, isRx);
    if (!frequency) {
        context.prompter.Tell(NoTestFrequencyText(doc.Band), Icon::Exclamation);
    }
    return frequency;
}

bool RunSetUp(Prompter& prompter, std::initializer_list<std::function<bool()>> writes) {
    for (const auto& write : writes) {
        if (!write()) {
            prompter.Tell(kSetUpFailedText, Icon::Exclamation);
            return false;
        }
    }
    return true;
}

std::string ClosingCodeFailedText(std::uint8_t closingCode, bool keyed) {
    char code[8];
    std::snprintf(code, sizeof code, "%02XH", closingCode);
    const std::string failed = std::string("The radio did not answer the closing code ") + code;
    if (!keyed) {
        return failed + ": the radio may still be in test mode." + kLineBreak +
               "Check the cable, then Retry to send it again.";
    }
    return failed + ": the radio may still be transmitting." + kLineBreak +
           "Check the cable, then Retry to send it again. If it still does not answer, switch "
           "the radio off or remove its battery to stop it; then connect it and run "
           "\"petrel-cli release\", or start this program again, to return it to normal.";
}

TestState::TestState(ParamLink& link, Prompter& prompter, std::uint8_t closingCode)
    : link_(link), prompter_(prompter), closingCode_(closingCode) {}

TestState::~TestState() {
    Leave();
}

bool TestState::Leave() {
    if (left_) {
        return true;
    }
    left_ = true;
    for (;;) {
        const bool answered =
            closingCode_ == kCodeAlignment ? link_.WriteControl92() : link_.WriteControlAA();
        if (answered) {
            return true;
        }
        // When no test code reached a radio there is no test state to speak of.
        const RadioTestState radio = link_.TestStateOfRadio();
        if (!radio.Open()) {
            return false;
        }
        const Answer again = prompter_.Ask(Message{ClosingCodeFailedText(closingCode_, radio.keyed),
                                                   {},
                                                   Buttons::RetryCancel,
                                                   Icon::Exclamation,
                                                   std::nullopt});
        if (again != Answer::Retry) {
            return false;
        }
    }
}

}  // namespace petrel
