#pragma once

// frmTxAdj, "RF Power Softpot": keys the radio on its test frequency from the PC and sends
// each new power setting at once, so it can be read on a power meter.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/alignment/alignment.h"
#include "core/alignment/hardware_params.h"

namespace petrel {

enum class PowerLevel { High = 0, Low = 1 };

struct PowerFrame {
    const char* caption;
    const char* keyButton;
    const char* box;
    const char* bar;
    const char* defaultBox;
    std::size_t firstElement;  // power table elements firstElement .. +3
};
inline constexpr std::array<PowerFrame, 2> kPowerFrames = {{
    {"RF Power High", "cmdHiPWRck", "txtHiPWR", "HiPWRBar", "Text1", kPowerHighFirst},
    {"RF Power Low", "cmdLoPWRck", "txtLoPWR", "LoPWRBar", "Text2", kPowerLowFirst},
}};
inline constexpr int kPowerBarMax = 255;
inline constexpr int kPowerLargeChange = 10;

// The characters a working box takes: digits, Backspace and Enter; others are dropped.
bool WorkingBoxTakes(char c);

class TxPowerModel {
  public:
    // The radio is already in alignment (frmHard's Adjust sent 0x92). From here on it is
    // left with 0xAA whatever way the dialog ends, also when the model is destroyed. OK stores
    // into tables (the hardware dialog's).
    TxPowerModel(AlignmentContext context, InfoTables& tables);

    // The transmit test set-up: test frequency, reference, transmit flag, 0xAD. False when it
    // was not completed; 0xAA has then been sent and the dialog does not open.
    bool SetUp();

    std::string caption;
    std::string refText;                     // lblRef: the reference byte, "00H"
    std::string pllText;                     // lblChFreq: the PLL word's 16 bits and "B"
    std::array<std::string, 2> boxes;        // the working boxes
    std::array<int, 2> bars{};               // their scroll bars
    std::array<std::uint8_t, 2> defaults{};  // the power table's values when opened

    // The keyed state: TxOn while the dialog keys the radio, TxHigh for the high level.
    bool TxOn = false;
    bool TxHigh = false;
    // The last live write failed (no radio, or no answer).
    bool TxFail = false;
    // The setting the next power write sends.
    std::uint8_t powerValue = 0;

    int focusFrame = -1;      // the box a question is about
    bool selectText = false;  // Retry: the view selects that box's whole text
    std::function<void()> onChanged;

    bool Keyed(PowerLevel level) const { return TxOn && TxHigh == (level == PowerLevel::High); }

    // The level's key button: keys the radio on it, un-keys it, or switches to it.
    void PressKey(PowerLevel level);
    // The level's scroll bar moved by the user.
    void MoveBar(PowerLevel level, int value);
    // Enter in the level's working box.
    void EnterBox(PowerLevel level);
    // OK: both values into the power table, 0xAA.
    OkResult Ok();
    // CANCEL, the close button, Escape: 0xAA; the power table keeps its values.
    void Cancel();

  private:
    void SetPower();
    void KeyOn();
    bool KeyOff();  // true when the radio answered the release
    bool BadBox(PowerLevel level);
    void Changed();

    AlignmentContext context_;
    InfoTables& tables_;
    // What each working box holds as a number: its start value, a value the radio accepted,
    // or one entered while its level was not keyed. A refused write goes back to it.
    std::array<std::uint8_t, 2> working_{};
    TestState test_;
};

}  // namespace petrel
