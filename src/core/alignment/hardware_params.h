#pragma once

// frmHard, "Hardware Parameter setting": the calibration values of the level and power tables,
// written to the radio as blocks, and the hub that opens the tuning dialogs.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/alignment/alignment.h"
#include "core/model/workspace.h"

namespace petrel {

inline constexpr std::size_t kHardFieldCount = 8;

// The tuning dialogs frmHard opens.
enum class Adjustment { Squelch, Battery, Vox, TxPower };

// The eight text fields in the order OK checks them.
struct HardField {
    const char* control;
    const char* frame;
    const char* label;
    std::size_t level;      // level table element
    const char* name;       // the title of its "Data Error !"
    Adjustment adjustment;  // the tuning dialog that sets it
};
inline constexpr std::array<HardField, kHardFieldCount> kHardFields = {{
    {"SQLforWHi", "Squelch ( 25KHz )", "Tight", 0, "High Squelch Sense for Wide Band",
     Adjustment::Squelch},
    {"SQLforWLo", "Squelch ( 25KHz )", "Normal", 1, "Low Squelch Sense for Wide Band",
     Adjustment::Squelch},
    {"SQLforNHi", "Squelch ( 12.5KHz )", "Tight", 2, "High Squelch Sense for Narrow Band",
     Adjustment::Squelch},
    {"SQLforNLo", "Squelch ( 12.5KHz )", "Normal", 3, "Low Squelch Sense for Narrow Band",
     Adjustment::Squelch},
    {"LoBAT", "Battery Alert", "Low", 6, "Battery Low Alarm", Adjustment::Battery},
    {"OverBAT", "Battery Alert", "Over", 7, "Battery Over Alarm", Adjustment::Battery},
    {"HiVOX", "VOX Sensitivity", "High", 8, "VOX Sensitivity High", Adjustment::Vox},
    {"LoVOX", "VOX Sensitivity", "Low", 9, "VOX Sensitivity Low", Adjustment::Vox},
}};

// The "ON" times of squelch sampling (list index = nibble of level table element 10) and the
// sampling rates (0..15, nibbles of element 11).
inline constexpr std::array<const char*, 10> kSamplingTimes = {
    "20mS", "40mS", "60mS", "80mS", "100mS", "120mS", "140mS", "160mS", "180mS", "200mS"};
inline constexpr int kSamplingRateMax = 15;
inline constexpr std::size_t kLevelSamplingTimes = 10;
inline constexpr std::size_t kLevelSamplingRates = 11;

// The power table holds each transmit level four times.
inline constexpr std::size_t kPowerHighFirst = 4;
inline constexpr std::size_t kPowerLowFirst = 8;
inline constexpr std::size_t kPowerCopies = 4;

inline constexpr const char* kTablesNotWrittenText =
    "The radio did not take the tables: they may be written only in part."
    "\n\rPress OK to write them again.";
// CANCEL after a table write that did not complete.
inline constexpr const char* kTablesInPartText =
    "The radio may hold part of the new tables: their last write did not complete."
    "\n\rThe configuration keeps the new tables and is marked changed. Open the Hardware Tuner "
    "and press OK to write them again.";

// What the dialog shows; the view writes the user's changes back into it.
struct HardValues {
    std::array<std::string, kHardFieldCount> fields;
    int powerSaveTime = 0;     // PSampling list index; -1 (none chosen) keeps the nibble
    int priorityScanTime = 0;  // cboSampling list index
    int priorScanRate = 0;     // P_Rate
    int normalRate = 0;        // N_Rate
    std::string powerHigh;     // txtPwrHi: power table element 4, shown only
    std::string powerLow;      // txtPwrLo: element 8
};

class HardwareModel {
  public:
    explicit HardwareModel(AlignmentContext context);
    // Leaving without OK or CANCEL (the window destroyed, the program ending) is a CANCEL.
    ~HardwareModel();
    HardwareModel(const HardwareModel&) = delete;
    HardwareModel& operator=(const HardwareModel&) = delete;

    HardValues values;
    // The field a question is about: the view puts the focus there before it is asked.
    int focusField = -1;
    // Called before a question, so that the window shows the model.
    std::function<void()> onChanged;

    // OK: stores the fields into the tables, checks the radio on the cable (its band and serial
    // number), writes both tables and leaves the test state; the document then takes the
    // tables as one undoable change. It stays when the radio is refused or did not take the
    // tables (any block not answered or read back otherwise is a failure).
    OkResult Ok();
    // CANCEL: the document keeps its tables; 0xAA. After a table write that did not complete
    // the radio may hold part of the new tables: the user is told, and the document takes them
    // (marked changed) so that what it holds is what the radio may hold.
    void Cancel();
    // An Adjust button: 0x92. True when the radio answered, so the tuning dialog may open.
    bool Adjust();
    // After a tuning dialog's OK: its fields show the values it put into the tables.
    void ShowTuned(Adjustment adjustment);
    // The tables this window works on: the document's when it opened, with what its fields and
    // the tuning dialogs stored since. The tuning dialogs store into them.
    InfoTables& Tables() { return tables_; }

  private:
    void Changed();
    // The tables become the document's, as one change of its undo history.
    void Commit(const InfoTables& tables);

    AlignmentContext context_;
    InfoTables tables_;
    // The tables of the last write that did not complete: the radio may hold part of them.
    std::optional<InfoTables> partial_;
    TestState test_;
};

// The fields as the tables hold them.
HardValues LoadHardValues(const InfoTables& tables);

}  // namespace petrel
