#include "core/alignment/tx_power.h"

#include <cstdio>

#include "core/link/frame_protocol.h"
#include "core/link/radio_link.h"
#include "core/model/bit_text.h"
#include "core/model/workspace.h"
#include "core/ports/prompter.h"

namespace petrel {

namespace {

constexpr const char* kCaption = "RF Power Softpot";
constexpr char kBackspace = '\b';
constexpr char kEnter = '\r';

std::size_t At(PowerLevel level) {
    return static_cast<std::size_t>(level);
}

std::string HexByte(std::uint8_t value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

}  // namespace

bool WorkingBoxTakes(char c) {
    return (c >= '0' && c <= '9') || c == kBackspace || c == kEnter;
}

TxPowerModel::TxPowerModel(AlignmentContext context, InfoTables& tables)
    : caption(kCaption),
      context_(context),
      tables_(tables),
      test_(context.link.Params(), context.prompter, kCodeEndTest) {
    for (std::size_t i = 0; i < kPowerFrames.size(); ++i) {
        defaults[i] = tables.power[kPowerFrames[i].firstElement];
        working_[i] = defaults[i];
        bars[i] = defaults[i];
        boxes[i] = std::to_string(defaults[i]);
    }
}

bool TxPowerModel::SetUp() {
    ParamLink& link = context_.link.Params();
    const auto frequency = PrepareTestFrequency(context_, false);
    bool done = frequency.has_value();
    if (frequency) {
        caption = std::string(kCaption) + " " + " ( " + frequency->text + " MHz )";
        refText = HexByte(frequency->reference) + "H";
        pllText = Bin8(frequency->pllHigh) + Bin8(frequency->pllLow) + "B";
        const TestFrequency f = *frequency;
        done = RunSetUp(
            context_.prompter,
            {[&] { return link.WriteTransmitFrequency(f.pllHigh, f.pllLow, f.third); },
             [&] { return link.WriteTransmitReference(f.reference); },
             [&] { return link.WriteTransmitFlag(); }, [&] { return link.WriteControlAD(); }});
    }
    if (!done) {
        test_.Leave();
    }
    return done;
}

void TxPowerModel::Changed() {
    if (onChanged) {
        onChanged();
    }
}

void TxPowerModel::SetPower() {
    TxFail = !context_.link.Params().WritePowerValue(powerValue);
}

void TxPowerModel::KeyOn() {
    context_.link.Params().WritePowerCode(kCodeKeyOn);
    SetPower();
    context_.link.Params().SetHighPowerBit(false);
}

bool TxPowerModel::KeyOff() {
    const bool released = context_.link.Params().WritePowerCode(kCodeKeyOff);
    context_.link.Params().SetHighPowerBit(true);
    return released;
}

void TxPowerModel::PressKey(PowerLevel level) {
    const bool high = level == PowerLevel::High;
    if (!TxOn) {
        TxOn = true;
        TxHigh = high;
    } else if (TxHigh == high) {
        TxOn = false;  // the keyed level's button again releases the key
    } else {
        TxHigh = high;  // the other level, still keyed
    }
    // The picture shows keyed whenever the radio may be transmitting: a release the radio did
    // not confirm leaves the level keyed, so the same button sends it again.
    if (!TxOn) {
        TxOn = !KeyOff();
        powerValue = 0;
    } else {
        KeyOn();
        const std::size_t i = At(level);
        working_[i] = CheckLevelText(boxes[i]).value_or(working_[i]);
        bars[i] = working_[i];
        boxes[i] = std::to_string(working_[i]);
        powerValue = working_[i];
    }
    SetPower();
}

void TxPowerModel::MoveBar(PowerLevel level, int value) {
    const std::size_t i = At(level);
    if (!Keyed(level)) {
        bars[i] = working_[i];  // a bar moves only while its level is keyed
        return;
    }
    TxFail = false;
    if (context_.link.Params().WritePowerValue(static_cast<std::uint8_t>(value))) {
        working_[i] = static_cast<std::uint8_t>(value);
        powerValue = working_[i];
    } else {
        // The bar and box stay on the last value the radio took; when the radio is there but
        // its answer got lost, that value goes out again, as the lost one may have landed.
        TxFail = true;
        if (context_.link.Frames().DetectedBand()) {
            context_.link.Params().WritePowerValue(working_[i]);
        }
    }
    bars[i] = working_[i];
    boxes[i] = std::to_string(working_[i]);
}

bool TxPowerModel::BadBox(PowerLevel level) {
    const std::size_t i = At(level);
    boxes[i] = std::to_string(bars[i]);
    focusFrame = static_cast<int>(i);
    Changed();
    selectText = AskDataErrorRetry(context_.prompter, kPowerFrames[i].caption);
    return selectText;
}

void TxPowerModel::EnterBox(PowerLevel level) {
    const std::size_t i = At(level);
    const auto value = CheckLevelText(boxes[i]);
    if (!value) {
        BadBox(level);
        return;
    }
    if (Keyed(level)) {
        MoveBar(level, *value);
        return;
    }
    working_[i] = *value;
    bars[i] = *value;
    boxes[i] = std::to_string(*value);
}

OkResult TxPowerModel::Ok() {
    std::array<std::uint8_t, 2> values{};
    for (const PowerLevel level : {PowerLevel::High, PowerLevel::Low}) {
        const auto value = CheckLevelText(boxes[At(level)]);
        if (!value) {
            if (BadBox(level)) {
                return OkResult::Stay;
            }
            Cancel();
            return OkResult::Cancelled;
        }
        values[At(level)] = *value;
    }
    for (std::size_t i = 0; i < kPowerFrames.size(); ++i) {
        for (std::size_t copy = 0; copy < kPowerCopies; ++copy) {
            tables_.power.at(kPowerFrames[i].firstElement + copy) = values[i];
        }
    }
    test_.Leave();
    return OkResult::Stored;
}

void TxPowerModel::Cancel() {
    test_.Leave();
}

}  // namespace petrel
