#pragma once

// The level-pair calibration dialogs frmSqlN, frmBattery and frmVOX: each measures the radio
// ("Auto Tune") and proposes the reading as one of two thresholds of the level table.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/alignment/alignment.h"
#include "core/alignment/hardware_params.h"

namespace petrel {

enum class LevelMember { Squelch, Battery, Vox };

// One threshold's frame: Auto Tune button, working box, scroll bar and default box.
struct LevelFrame {
    const char* caption;
    const char* tuneButton;
    const char* box;
    const char* bar;
    const char* defaultBox;
    std::size_t level;  // level table element
    int wideLevel;      // the wide-band element that takes the same value, or -1
    const char* name;   // the title of its "Data Error !"
    const char* toolTip;
};

struct LevelMemberInfo {
    LevelMember member;
    Adjustment adjustment;  // what frmHard shows again after OK
    const char* form;
    const char* caption;
    std::array<LevelFrame, 2> frames;
    int largeChange;
    std::uint8_t closingCode;
};
const LevelMemberInfo& MemberInfo(LevelMember member);

inline constexpr int kLevelBarMax = 255;
// Squelch and VOX average this many readings.
inline constexpr int kAveragedReadings = 5;
// The battery is read every half second until two readings agree, at most this many times.
inline constexpr int kBatteryReadingLimit = 20;
inline constexpr double kBatteryReadingPause = 0.5;
inline constexpr const char* kBatteryUnsettledText =
    "The battery reading did not settle (20 readings in about 10 s without two equal values):"
    " the value is left unchanged.";

class LevelPairModel {
  public:
    // The radio is already in alignment (frmHard's Adjust sent 0x92). OK stores into tables
    // (the hardware dialog's).
    LevelPairModel(LevelMember member, AlignmentContext context, InfoTables& tables);

    const LevelMemberInfo& Info() const { return info_; }

    std::string caption;
    std::string receiveFrequency;            // frmSqlN's txtRxFreq
    std::array<std::string, 2> boxes;        // the working boxes
    std::array<int, 2> bars{};               // their scroll bars
    std::array<std::uint8_t, 2> defaults{};  // the table values when the dialog opened
    int focusFrame = -1;                     // the box a question is about
    std::function<void()> onChanged;         // called before a question
    std::function<void()> onReadingsDone;    // the readings are over (the auto-tune window goes)

    // The set-up when the dialog loads: the squelch receive test or the VOX enable. False
    // when it was not completed; the closing code has then been sent and the dialog does not
    // open.
    bool SetUp();
    // Auto Tune of a frame: true when a reading was taken (box and bar show it); false leaves
    // them as they were.
    bool AutoTune(int frame);
    // A scroll bar moved: its box shows the value (nothing is sent).
    void MoveBar(int frame, int value);
    // OK: both values into the table and the closing code.
    OkResult Ok();
    // CANCEL: the closing code; the table is unchanged.
    void Cancel();

  private:
    std::optional<std::uint8_t> Average(std::optional<std::uint8_t> (ParamLink::*read)());
    std::optional<std::uint8_t> SettledBattery();
    bool unsettled_ = false;

    const LevelMemberInfo& info_;
    AlignmentContext context_;
    InfoTables& tables_;
    TestState test_;
};

}  // namespace petrel
