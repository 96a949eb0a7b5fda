#pragma once

// Programming a fleet: the same configuration into one radio after another, each with the
// customer name and the next serial number, each one recorded in the service history. The run
// is a state machine its driver (the desktop window, the command line) steps until it ends.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/history/service_history.h"
#include "core/ports/prompter.h"

namespace petrel {

class Clock;
class RadioLink;
struct Document;
struct RadioRead;

// Serial numbers in sequence: a prefix, then a number of at least width digits.
struct SerialPattern {
    bool keep = true;  // keep each radio's own serial number instead
    std::string prefix;
    std::int64_t first = 1;
    int width = 1;
};

// "PMR-0001": prefix "PMR-", first 1, width 4. Nothing, with why, when the text does not end in
// a number or its first serial number does not fit the radio's 12 characters.
std::optional<SerialPattern> ParseSerialPattern(const std::string& text, std::string& why);
// The pattern's serial number for the radio index places after the first: the number grows
// past its width when it must ("PMR-9999", then "PMR-10000"); nothing once a serial number no
// longer fits the radio's 12 characters, so that no two radios are numbered alike.
std::optional<std::string> SerialAt(const SerialPattern& pattern, std::int64_t index);

struct FleetOptions {
    std::string customer;  // the customer name written to every radio; empty: each keeps its own
    SerialPattern serial;
    int count = 0;             // radios to program; 0: until stopped
    std::string backupFolder;  // every radio is backed up here before it is written
    double pollSeconds = 0.5;  // how often the port is checked for a radio coming or going
};

enum class FleetOutcome { Written, Refused, Failed };

// One row of the run: one radio that came to the cable.
struct FleetRadio {
    int number = 0;        // 1, 2, ... in the order the radios came
    std::string time;      // when its work ended, "yyyy-mm-dd hh:mm:ss"
    std::string serialNo;  // the serial number it holds now (written or its own), if known
    FleetOutcome outcome = FleetOutcome::Failed;
    std::string reason;  // why it was refused or failed
    std::string backup;  // its backup file

    // "3 PMR-0003 written 2026-12-07 10:41:02", and the reason after a refusal or failure.
    std::string Line() const;
};
const char* FleetOutcomeText(FleetOutcome outcome);  // "written", "refused", "failed"

// Answers the link's questions during a run, so that no box waits for the user in the middle
// of a radio: every offer to try again is declined (the radio becomes a failed row), the
// channel warning the user accepted before the run is accepted. What was said is kept as the
// row's reason.
class FleetPrompter : public Prompter {
  public:
    explicit FleetPrompter(std::string acceptedWarning = {})
        : acceptedWarning_(std::move(acceptedWarning)) {}
    Answer Ask(const Message& message) override;
    void Clear() { said_.clear(); }
    // Everything said since Clear, one line.
    std::string Said() const;

  private:
    std::string acceptedWarning_;
    std::vector<std::string> said_;
};

enum class FleetState {
    WaitingForRadio,    // checking the port for the next radio
    WaitingForRemoval,  // the radio is done: waiting until it stops answering
    Finished,
};

class FleetRun {
  public:
    // link must answer through a FleetPrompter; doc stays as it is while the run lasts.
    // history (may be nullptr) gets one record per radio. The clock paces the checks and dates
    // the serial blocks and the rows.
    FleetRun(RadioLink& link, FleetPrompter& prompter, Clock& clock, const Document& doc,
             FleetOptions options, ServiceHistory* history);

    // One step: a check of the port (and a pause), or one radio programmed from start to end.
    FleetState Step();
    FleetState State() const { return state_; }
    // Ends the run: between two radios at once; a radio being written stops between two
    // blocks (one failed row that says what it holds and where it is kept as it was), one
    // whose customer name and serial number are being written is finished first.
    void Stop();
    bool StopRequested() const { return stopRequested_; }

    // After a failed radio: whether the run goes on (the desktop asks the user). Without it the
    // run goes on.
    std::function<bool(const FleetRadio&)> goOnAfterFailure;
    // Called with each row as it is added.
    std::function<void(const FleetRadio&)> radioDone;

    const std::vector<FleetRadio>& Radios() const { return radios_; }
    // What the run is doing or waiting for, one line.
    const std::string& StatusText() const { return status_; }
    // What the service history had to say (damaged, not writable), once.
    std::optional<std::string> TakeHistoryNotice();
    // "3 radios: 2 written, 1 refused, 0 failed"
    std::string Summary() const;
    bool AllWritten() const;

  private:
    FleetRadio ProgramRadio(int band);
    bool WriteCustomerAndSerial(const std::string& name, const std::string& serial,
                                FleetRadio& row);
    void Finish(FleetRadio row, const HistoryRecord* transfer);
    bool CountReached() const;
    void SetStatus(std::string text);

    RadioLink& link_;
    FleetPrompter& prompter_;
    Clock& clock_;
    const Document& doc_;
    FleetOptions options_;
    ServiceHistory* history_;
    FleetState state_ = FleetState::WaitingForRadio;
    bool stopRequested_ = false;
    std::int64_t nextSerial_ = 0;  // index into the pattern: taken up by each radio written
    std::vector<FleetRadio> radios_;
    std::string status_;
    std::optional<std::string> historyNotice_;
};

}  // namespace petrel
