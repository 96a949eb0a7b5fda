#include "core/alignment/level_pair.h"

#include "core/link/frame_protocol.h"
#include "core/link/radio_link.h"
#include "core/model/workspace.h"
#include "core/ports/clock.h"
#include "core/ports/prompter.h"

namespace petrel {

namespace {

constexpr LevelMemberInfo kSquelch{
    LevelMember::Squelch,
    Adjustment::Squelch,
    "frmSqlN",
    "Squelch Attn. 12.5K",
    {{{"Squelch Sensitivity ( Tight )", "cmdSqlNHCK", "txtSqlNH", "SqlNHBar", "txtSqlNHDef", 2, 0,
       "Squelch Sensitivity ( Tight )", ""},
      {"Squelch Sensitivity ( Normal )", "cmdSqlNLCK", "txtSqlNL", "SqlNLBar", "txtSqlNLDef", 3, 1,
       "Squelch Sensitivity ( Normal )", ""}}},
    10,
    kCodeEndTest};

constexpr LevelMemberInfo kBattery{
    LevelMember::Battery,
    Adjustment::Battery,
    "frmBattery",
    "Battery Alert Softpot Setup",
    {{{"Battery Low Alert", "cmdBatLoCK", "txtBatLow", "BatLowBar", "txtBatLowDef", 6, -1,
       "Battery Low Alert", "Auto set the Battery Low Alert softpot"},
      {"Battery Over Alert", "cmdBatOverCK", "txtBatOver", "BatOverBar", "txtBatOverDef", 7, -1,
       "Battery Over Alert", "Auto set the Battery Over Alert Softpot"}}},
    5,
    kCodeAlignment};

constexpr LevelMemberInfo kVox{LevelMember::Vox,
                               Adjustment::Vox,
                               "frmVOX",
                               "VOX Sensitivity",
                               {{{"VOX Sensitivity High", "cmdHiVOXck", "txtHiVOX", "VOXHiBar",
                                  "txtHiVOXDef", 8, -1, "VOX Sense High", ""},
                                 {"VOX Sensitivity Low", "cmdLoVOXck", "txtLoVOX", "VOXLoBar",
                                  "txtLoVOXDef", 9, -1, "VOX Sense Low", ""}}},
                               10,
                               kCodeEndTest};

}  // namespace

const LevelMemberInfo& MemberInfo(LevelMember member) {
    switch (member) {
        case LevelMember::Squelch:
            return kSquelch;
        case LevelMember::Battery:
            return kBattery;
        case LevelMember::Vox:
            break;
    }
    return kVox;
}

LevelPairModel::LevelPairModel(LevelMember member, AlignmentContext context, InfoTables& tables)
    : caption(MemberInfo(member).caption),
      info_(MemberInfo(member)),
      context_(context),
      tables_(tables),
      test_(context.link.Params(), context.prompter, info_.closingCode) {
    for (std::size_t f = 0; f < 2; ++f) {
        defaults[f] = tables.level[info_.frames[f].level];
        bars[f] = defaults[f];
        boxes[f] = std::to_string(defaults[f]);
    }
}

bool LevelPairModel::SetUp() {
    ParamLink& link = context_.link.Params();
    bool done = true;
    if (info_.member == LevelMember::Squelch) {
        const auto frequency = PrepareTestFrequency(context_, true);
        done = frequency.has_value();
        if (frequency) {
            receiveFrequency = frequency->text;
            caption += "   ( " + frequency->text + " MHz ) ";
            const TestFrequency f = *frequency;
            done = RunSetUp(
                context_.prompter,
                {[&] { return link.WriteSquelchMode(); },
                 [&] { return link.WriteReceiveFrequency(f.pllHigh, f.pllLow, f.third); },
                 [&] { return link.WriteReceiveReference(f.reference); },
                 [&] { return link.WriteReceiveFlag(); }, [&] { return link.WriteTestEnable(); },
                 [&] { return link.WriteTestPattern(); }, [&] { return link.WriteControlAC(); }});
        }
    } else if (info_.member == LevelMember::Vox) {
        done = RunSetUp(context_.prompter, {[&] { return link.EnableVox(); }});
    }
    if (!done) {
        test_.Leave();
    }
    return done;
}

std::optional<std::uint8_t> LevelPairModel::Average(
    std::optional<std::uint8_t> (ParamLink::*read)()) {
    int sum = 0;
    for (int i = 0; i < kAveragedReadings; ++i) {
        const auto value = (context_.link.Params().*read)();
        if (!value) {
            return std::nullopt;
        }
        sum += *value;
    }
    // Rounded to the nearest: a fifth is never exactly half way.
    return static_cast<std::uint8_t>((sum + kAveragedReadings / 2) / kAveragedReadings);
}

std::optional<std::uint8_t> LevelPairModel::SettledBattery() {
    int previous = 0;  // the first reading is compared with 0
    for (int n = 0; n < kBatteryReadingLimit; ++n) {
        if (n > 0) {
            context_.clock.Delay(kBatteryReadingPause);
        }
        // A failed read counts as 0, so two failures in a row end the readings.
        const auto value = context_.link.Params().ReadBatteryLevel();
        const int reading = value.value_or(0);
        if (reading == previous) {
            // Two failed reads in a row are no reading.
            return value ? std::optional(static_cast<std::uint8_t>(reading)) : std::nullopt;
        }
        previous = reading;
    }
    unsettled_ = true;
    return std::nullopt;
}

bool LevelPairModel::AutoTune(int frame) {
    unsettled_ = false;
    std::optional<std::uint8_t> reading;
    switch (info_.member) {
        case LevelMember::Squelch:
            reading = Average(&ParamLink::ReadSquelchNoise);
            break;
        case LevelMember::Vox:
            reading = Average(&ParamLink::ReadVoxLevel);
            break;
        case LevelMember::Battery:
            reading = SettledBattery();
            break;
    }
    if (onReadingsDone) {
        onReadingsDone();
    }
    if (unsettled_) {
        context_.prompter.Tell(kBatteryUnsettledText, Icon::Exclamation);
    }
    if (!reading) {
        return false;
    }
    bars.at(frame) = *reading;
    boxes.at(frame) = std::to_string(*reading);
    return true;
}

void LevelPairModel::MoveBar(int frame, int value) {
    bars.at(frame) = value;
    boxes.at(frame) = std::to_string(value);
}

OkResult LevelPairModel::Ok() {
    std::array<std::uint8_t, 2> values{};
    for (std::size_t f = 0; f < 2; ++f) {
        const auto value = CheckLevelText(boxes[f]);
        if (!value) {
            boxes[f] = std::to_string(bars[f]);
            focusFrame = static_cast<int>(f);
            if (onChanged) {
                onChanged();
            }
            if (AskDataErrorRetry(context_.prompter, info_.frames[f].name)) {
                return OkResult::Stay;
            }
            Cancel();
            return OkResult::Cancelled;
        }
        values[f] = *value;
    }
    for (std::size_t f = 0; f < 2; ++f) {
        tables_.level.at(info_.frames[f].level) = values[f];
        if (info_.frames[f].wideLevel >= 0) {
            tables_.level.at(static_cast<std::size_t>(info_.frames[f].wideLevel)) = values[f];
        }
    }
    test_.Leave();
    return OkResult::Stored;
}

void LevelPairModel::Cancel() {
    test_.Leave();
}

}  // namespace petrel
