#include "core/alignment/hardware_params.h"

#include "core/link/frame_protocol.h"
#include "core/link/radio_link.h"
#include "core/model/document_edit.h"
#include "core/ports/prompter.h"

namespace petrel {

namespace {

constexpr int kNibbleBits = 4;
constexpr std::uint8_t kLowNibble = 0x0F;

int HighNibble(std::uint8_t value) {
    return value >> kNibbleBits;
}
int LowNibble(std::uint8_t value) {
    return value & kLowNibble;
}
// Two nibbles from list indexes or slider values; an index of none (-1) keeps the old nibble.
std::uint8_t Nibbles(int high, int low, std::uint8_t old) {
    const int h = high < 0 ? HighNibble(old) : high & kLowNibble;
    const int l = low < 0 ? LowNibble(old) : low & kLowNibble;
    return static_cast<std::uint8_t>(h << kNibbleBits | l);
}

}  // namespace

HardValues LoadHardValues(const InfoTables& tables) {
    HardValues values;
    for (std::size_t i = 0; i < kHardFieldCount; ++i) {
        values.fields[i] = std::to_string(tables.level[kHardFields[i].level]);
    }
    const std::uint8_t times = tables.level[kLevelSamplingTimes];
    const std::uint8_t rates = tables.level[kLevelSamplingRates];
    // A nibble beyond the list shows no choice (and is kept by OK).
    const auto listIndex = [](int nibble) {
        return nibble < static_cast<int>(kSamplingTimes.size()) ? nibble : -1;
    };
    values.powerSaveTime = listIndex(HighNibble(times));
    values.priorityScanTime = listIndex(LowNibble(times));
    values.priorScanRate = HighNibble(rates);
    values.normalRate = LowNibble(rates);
    values.powerHigh = std::to_string(tables.power[kPowerHighFirst]);
    values.powerLow = std::to_string(tables.power[kPowerLowFirst]);
    return values;
}

HardwareModel::HardwareModel(AlignmentContext context)
    : values(LoadHardValues(context.Page().Tables())),
      context_(context),
      tables_(context.Page().Tables()),
      test_(context.link.Params(), context.prompter, kCodeEndTest) {}

HardwareModel::~HardwareModel() {
    if (!test_.Left()) {
        Cancel();
    }
}

void HardwareModel::Changed() {
    if (onChanged) {
        onChanged();
    }
}

OkResult HardwareModel::Ok() {
    InfoTable& level = tables_.level;
    for (std::size_t i = 0; i < kHardFieldCount; ++i) {
        const auto value = CheckLevelText(values.fields[i]);
        if (!value) {
            // The fields before this one keep their new values in the table; nothing is sent.
            focusField = static_cast<int>(i);
            Changed();
            if (AskDataErrorRetry(context_.prompter, kHardFields[i].name)) {
                return OkResult::Stay;
            }
            Cancel();
            return OkResult::Cancelled;
        }
        level.at(kHardFields[i].level) = *value;
    }
    focusField = -1;
    level[kLevelSamplingTimes] =
        Nibbles(values.powerSaveTime, values.priorityScanTime, level[kLevelSamplingTimes]);
    level[kLevelSamplingRates] =
        Nibbles(values.priorScanRate, values.normalRate, level[kLevelSamplingRates]);

    if (!ConfirmTableRadio(context_)) {
        return OkResult::Stay;  // nothing was written
    }
    // The power table follows only a level table the radio took.
    if (!context_.link.Images().WriteLevelTable(tables_.level) ||
        !context_.link.Images().WritePowerTable(tables_.power)) {
        partial_ = tables_;
        context_.prompter.Tell(kTablesNotWrittenText, Icon::Exclamation);
        return OkResult::Stay;
    }
    partial_.reset();
    // The tables go into the companion file of the configuration when it is saved next.
    Commit(tables_);
    test_.Leave();
    return OkResult::Stored;
}

void HardwareModel::Cancel() {
    if (!test_.Left() && partial_) {
        context_.prompter.Tell(kTablesInPartText, Icon::Exclamation);
        Commit(*partial_);
        partial_.reset();
    }
    test_.Leave();
}

void HardwareModel::Commit(const InfoTables& tables) {
    SetInfoTables(context_.workspace.At(context_.slot), tables);
}

bool HardwareModel::Adjust() {
    return context_.link.Params().WriteControl92();
}

void HardwareModel::ShowTuned(Adjustment adjustment) {
    const HardValues tables = LoadHardValues(tables_);
    for (std::size_t i = 0; i < kHardFieldCount; ++i) {
        if (kHardFields[i].adjustment == adjustment) {
            values.fields[i] = tables.fields[i];
        }
    }
    if (adjustment == Adjustment::TxPower) {
        values.powerHigh = tables.powerHigh;
        values.powerLow = tables.powerLow;
    }
}

}  // namespace petrel
