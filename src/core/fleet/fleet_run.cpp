#include "core/fleet/fleet_run.h"

#include <algorithm>

#include "core/history/radio_records.h"
#include "core/link/radio_link.h"
#include "core/model/band_table.h"
#include "core/model/radio_image.h"
#include "core/ports/clock.h"
#include "core/settings/radio_info.h"
#include "core/util/text.h"

namespace petrel {

namespace {

constexpr std::size_t kSerialLimit = kSerialSentLength;  // characters the radio keeps
constexpr int kMaxWidth = 11;                            // digits a 12-character serial can hold

// A message's text on one line: its line breaks become blanks.
std::string OneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        if (c == '\r') {
            continue;
        }
        line.push_back(c == '\n' ? ' ' : c);
    }
    return Trim(line);
}

std::string BandText(int band) {
    if (band >= 1 && band <= kBandCount) {
        return std::to_string(band) + " (" + Trim(BandName(BandRow(band))) + ")";
    }
    return std::to_string(band);
}

// A service history that only keeps what it is given: the run takes the Download's record
// (port, band, images before and after) from it and makes it the radio's one record.
class CapturedRecords : public ServiceHistory {
  public:
    std::optional<std::int64_t> Add(const HistoryRecord& record) override {
        records.push_back(record);
        return static_cast<std::int64_t>(records.size());
    }
    std::vector<HistoryRecord> Find(const HistoryFilter&) override { return {}; }
    std::optional<HistoryRecord> Get(std::int64_t) override { return std::nullopt; }
    std::optional<std::string> TakeNotice() override { return std::nullopt; }

    std::vector<HistoryRecord> records;
};

}  // namespace

std::optional<SerialPattern> ParseSerialPattern(const std::string& text, std::string& why) {
    const std::string trimmed = Trim(text);
    std::size_t digits = 0;
    while (digits < trimmed.size() && trimmed[trimmed.size() - 1 - digits] >= '0' &&
           trimmed[trimmed.size() - 1 - digits] <= '9') {
        ++digits;
    }
    if (digits == 0) {
        why = "a serial number pattern ends in its first number, such as PMR-0001";
        return std::nullopt;
    }
    if (digits > static_cast<std::size_t>(kMaxWidth)) {
        why = "the number of a serial number pattern has at most " + std::to_string(kMaxWidth) +
              " digits";
        return std::nullopt;
    }
    SerialPattern pattern;
    pattern.keep = false;
    pattern.prefix = trimmed.substr(0, trimmed.size() - digits);
    pattern.width = static_cast<int>(digits);
    pattern.first = std::stoll(trimmed.substr(trimmed.size() - digits));
    const std::string bytes = Utf8ToLatin1(pattern.prefix);
    if (Latin1ToUtf8(bytes) != pattern.prefix || bytes.size() + digits > kSerialLimit) {
        why = "a serial number has at most " + std::to_string(kSerialLimit) +
              " Latin-1 characters: " + trimmed + " does not fit";
        return std::nullopt;
    }
    return pattern;
}

std::optional<std::string> SerialAt(const SerialPattern& pattern, std::int64_t index) {
    if (pattern.keep || index < 0) {
        return std::nullopt;
    }
    std::string number = std::to_string(pattern.first + index);
    if (number.size() < static_cast<std::size_t>(pattern.width)) {
        number.insert(0, static_cast<std::size_t>(pattern.width) - number.size(), '0');
    }
    if (Utf8ToLatin1(pattern.prefix).size() + number.size() > kSerialLimit) {
        return std::nullopt;
    }
    return pattern.prefix + number;
}

const char* FleetOutcomeText(FleetOutcome outcome) {
    switch (outcome) {
        case FleetOutcome::Written:
            return "written";
        case FleetOutcome::Refused:
            return "refused";
        case FleetOutcome::Failed:
            break;
    }
    return "failed";
}

std::string FleetRadio::Line() const {
    std::string line = std::to_string(number) + " " + (serialNo.empty() ? "-" : serialNo) + " " +
                       FleetOutcomeText(outcome) + " " + time;
    if (!reason.empty()) {
        line += ": " + reason;
    }
    return line;
}

Answer FleetPrompter::Ask(const Message& message) {
    said_.push_back(OneLine(message.text));
    switch (message.buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            // Only the warning the user accepted before the run goes on by itself.
            return !acceptedWarning_.empty() && message.text.starts_with(acceptedWarning_)
                       ? Answer::Yes
                       : Answer::No;
        case Buttons::OkCancel:
        case Buttons::RetryCancel:
            break;
    }
    return Answer::Cancel;
}

std::string FleetPrompter::Said() const {
    std::string text;
    for (const auto& line : said_) {
        text += (text.empty() ? "" : " ") + line;
    }
    return text;
}

FleetRun::FleetRun(RadioLink& link, FleetPrompter& prompter, Clock& clock, const Document& doc,
                   FleetOptions options, ServiceHistory* history)
    : link_(link),
      prompter_(prompter),
      clock_(clock),
      doc_(doc),
      options_(std::move(options)),
      history_(history) {
    SetStatus("Waiting for radio 1: connect it to the cable and switch it on.");
}

bool FleetRun::CountReached() const {
    return options_.count > 0 && static_cast<int>(radios_.size()) >= options_.count;
}

void FleetRun::SetStatus(std::string text) {
    status_ = std::move(text);
}

void FleetRun::Stop() {
    stopRequested_ = true;
    link_.Frames().RequestCancel();  // a transfer running now looks at it between two blocks
}

std::optional<std::string> FleetRun::TakeHistoryNotice() {
    return std::exchange(historyNotice_, std::nullopt);
}

FleetState FleetRun::Step() {
    FrameLink& frames = link_.Frames();
    switch (state_) {
        case FleetState::WaitingForRadio: {
            if (stopRequested_ || CountReached()) {
                frames.ClosePort();
                state_ = FleetState::Finished;
                SetStatus("Finished: " + Summary() + ".");
                break;
            }
            const int number = static_cast<int>(radios_.size()) + 1;
            SetStatus("Waiting for radio " + std::to_string(number) +
                      ": connect it to the cable and switch it on.");
            const auto band = frames.PollRadio();
            if (!band) {
                clock_.Delay(options_.pollSeconds);
                break;
            }
            if (stopRequested_) {
                break;  // stopped while it answered: the next step ends the run untouched
            }
            FleetRadio row = ProgramRadio(*band);
            const bool failed = row.outcome == FleetOutcome::Failed;
            SetStatus(std::string(row.outcome == FleetOutcome::Written ? "Done" : "Not written") +
                      ": disconnect this radio.");
            state_ = FleetState::WaitingForRemoval;
            // A radio stopped at the user's request ends the run without a question.
            if (failed && !stopRequested_ && goOnAfterFailure &&
                !goOnAfterFailure(radios_.back())) {
                stopRequested_ = true;
            }
            break;
        }
        case FleetState::WaitingForRemoval:
            // The same radio is never taken twice: the next one is looked for only once this one
            // has stopped answering. A stop ends the run here: this radio's work is done.
            if (!stopRequested_ && frames.PollRadio()) {
                clock_.Delay(options_.pollSeconds);
                break;
            }
            frames.ClosePort();
            state_ = FleetState::WaitingForRadio;
            if (stopRequested_ || CountReached()) {
                state_ = FleetState::Finished;
                SetStatus("Finished: " + Summary() + ".");
            } else {
                SetStatus("Waiting for radio " + std::to_string(radios_.size() + 1) +
                          ": connect it to the cable and switch it on.");
            }
            break;
        case FleetState::Finished:
            break;
    }
    return state_;
}

FleetRadio FleetRun::ProgramRadio(int band) {
    FleetRadio row;
    row.number = static_cast<int>(radios_.size()) + 1;
    prompter_.Clear();
    if (band != doc_.state.Band) {
        row.outcome = FleetOutcome::Refused;
        row.reason = "a radio of band " + BandText(band) + "; the configuration is for band " +
                     BandText(doc_.state.Band);
        Finish(std::move(row), nullptr);
        return radios_.back();
    }
    std::optional<std::string> serial;
    if (!options_.serial.keep) {
        serial = SerialAt(options_.serial, nextSerial_);
        if (!serial) {
            row.outcome = FleetOutcome::Refused;
            row.reason = "the serial numbers of the pattern are used up";
            stopRequested_ = true;
            Finish(std::move(row), nullptr);
            return radios_.back();
        }
    }
    SetStatus("Radio " + std::to_string(row.number) + ": backing it up and writing it.");

    // The Download's own record is taken and completed into the radio's one record.
    CapturedRecords captured;
    ServiceHistory* const history = link_.Images().History();
    link_.Images().SetHistory(&captured);
    link_.Images().SetBackupPolicy({options_.backupFolder, true});
    const TransferResult written = link_.Images().Download(doc_);
    link_.Images().SetHistory(history);
    row.backup = written.backup.value_or("");
    const HistoryRecord* transfer = captured.records.empty() ? nullptr : &captured.records.back();
    if (transfer) {
        row.serialNo = transfer->serialNo;
    }
    if (!written.completed) {
        // A write stopped between two blocks told what the radio holds and where its backup
        // is; one stopped while the radio was read for its backup wrote nothing.
        row.reason = prompter_.Said();
        if (row.reason.empty()) {
            row.reason = written.cancelled ? TransferReport(TransferOp::Download, written)
                                           : "the radio was not written";
        }
        Finish(std::move(row), transfer);
        return radios_.back();
    }
    SetStatus("Radio " + std::to_string(row.number) +
              ": writing the customer name and serial number.");
    const std::string name =
        options_.customer.empty() && transfer ? transfer->customer : options_.customer;
    const std::string serialText = serial.value_or(row.serialNo);
    if (WriteCustomerAndSerial(name, serialText, row)) {
        row.outcome = FleetOutcome::Written;
        row.serialNo = serialText;
        if (serial) {
            ++nextSerial_;  // a serial number is used up only by a radio that holds it
        }
    }
    Finish(std::move(row), transfer);
    return radios_.back();
}

bool FleetRun::WriteCustomerAndSerial(const std::string& name, const std::string& serial,
                                      FleetRadio& row) {
    RadioInfoPage radio;
    const Result<void> write =
        WriteCustomerBlocks(link_, radio, name, serial, clock_.WallTime().Date());
    if (!write) {
        row.reason = "the configuration was written, but " + write.Message();
        return false;
    }
    // Read back before the closing code: the radio is taken off the cable once it has that.
    RadioInfoPage back;
    if (!ReadCustomerInfo(link_, back)) {
        row.reason = "the customer name and serial number could not be read back";
        return false;
    }
    if (Trim(back.CustomerName) != Trim(radio.CustomerName) ||
        Trim(back.SerialNo) != Trim(radio.SerialNo)) {
        row.reason = "the customer name and serial number read back as \"" +
                     Trim(back.CustomerName) + "\", \"" + Trim(back.SerialNo) +
                     "\", not as written";
        return false;
    }
    if (!link_.Params().WriteControl90()) {
        row.reason = "the radio did not answer the closing code 90H";
        return false;
    }
    return true;
}

void FleetRun::Finish(FleetRadio row, const HistoryRecord* transfer) {
    row.time = StampText(clock_.WallTime());
    if (history_ != nullptr) {
        HistoryRecord record = transfer ? *transfer : HistoryRecord{};
        record.time = row.time;
        record.operation = kOpFleet;
        record.result = row.outcome == FleetOutcome::Written   ? kResultDone
                        : row.outcome == FleetOutcome::Refused ? kResultRefused
                                                               : kResultFailed;
        record.detail = row.reason;
        if (!transfer) {
            record.port = link_.Frames().PortName();
            record.band = link_.Frames().DetectedBand().value_or(0);
        }
        if (row.outcome == FleetOutcome::Written) {
            record.serialNo = row.serialNo;
            if (!options_.customer.empty()) {
                record.customer = options_.customer;
            }
            if (transfer && record.detail.empty() && transfer->serialNo != row.serialNo) {
                record.detail = "serial number was \"" + transfer->serialNo + "\"";
            }
        }
        record.fileName = doc_.path;
        record.backup = row.backup;
        history_->Add(record);
        if (auto notice = history_->TakeNotice()) {
            historyNotice_ = std::move(notice);
        }
    }
    radios_.push_back(std::move(row));
    if (radioDone) {
        radioDone(radios_.back());
    }
}

std::string FleetRun::Summary() const {
    int written = 0;
    int refused = 0;
    int failed = 0;
    for (const auto& radio : radios_) {
        written += radio.outcome == FleetOutcome::Written;
        refused += radio.outcome == FleetOutcome::Refused;
        failed += radio.outcome == FleetOutcome::Failed;
    }
    return std::to_string(radios_.size()) + (radios_.size() == 1 ? " radio: " : " radios: ") +
           std::to_string(written) + " written, " + std::to_string(refused) + " refused, " +
           std::to_string(failed) + " failed";
}

bool FleetRun::AllWritten() const {
    return std::all_of(radios_.begin(), radios_.end(), [](const FleetRadio& radio) {
        return radio.outcome == FleetOutcome::Written;
    });
}

}  // namespace petrel
