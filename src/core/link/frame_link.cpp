#include "core/link/frame_link.h"

#include <algorithm>

#include "core/link/link_trace.h"
#include "core/link/port_scan.h"
#include "core/model/band_table.h"
#include "core/ports/clock.h"
#include "core/ports/status_line.h"

namespace petrel {

namespace {

// Bytes in the receive buffer after each request: its echo, then the answer.
constexpr int kCheckCount = 2;
constexpr int kIdentifyCount = 3;
constexpr int kReadParamCount = 4;
constexpr int kWriteParamCount = 5;
constexpr int kReadBlockCount = 7;
constexpr int kWriteBlockCount = 11;
constexpr std::size_t kAnswerAt = 1;      // check: its answer byte
constexpr std::size_t kBandAt = 2;        // identify: the band byte
constexpr std::size_t kParamValueAt = 3;  // read parameter: the value
constexpr std::size_t kBlockDataAt = 3;   // read block: the four data bytes
constexpr std::size_t kReadBackAt = 7;    // write block: the four bytes read back

// Time-outs: 25 ms per expected byte after the first, 10 ms more for a block write; the
// checked table write allows 20 ms per byte and 10 ms.
constexpr std::int64_t kPerByteUs = 25'000;
constexpr std::int64_t kWriteBlockExtraUs = 10'000;
constexpr std::int64_t kCheckedPerByteUs = 20'000;
constexpr std::int64_t kCheckedExtraUs = 10'000;
// A single exchange's answer counts as complete when no further byte follows within about one
// character time at 2400 baud (4.2 ms): an answer one byte too long must not pass for a
// complete one. A block loop waits this quiet period once, after its last answer.
constexpr std::int64_t kAnswerQuietUs = 5'000;

constexpr int kCheckRetries = 18;  // the check is sent at most 19 times
constexpr double kLetterPause = 0.002;
constexpr double kDtrSettle = 0.1;

std::int64_t TimeoutFor(int expected, bool writeBlock) {
    return (expected - 1) * kPerByteUs + (writeBlock ? kWriteBlockExtraUs : 0);
}

std::uint8_t High(std::uint16_t address) {
    return static_cast<std::uint8_t>(address >> 8);
}
std::uint8_t Low(std::uint16_t address) {
    return static_cast<std::uint8_t>(address & 0xFF);
}

template <std::size_t At>
Block BlockAt(const std::vector<std::uint8_t>& frame) {
    Block block;
    std::copy_n(frame.begin() + At, kBlockSize, block.begin());
    return block;
}

}  // namespace

std::string RadioName(int band) {
    return band >= 1 && band <= kBandCount ? BandName(BandRow(band)) : std::string("unknow Radio");
}

FrameLink::FrameLink(SerialPort& port, Clock& clock, Prompter& prompter, StatusLine& status)
    : port_(port), clock_(clock), prompter_(prompter), status_(status) {}

FrameLink::~FrameLink() = default;

void FrameLink::SetTrace(LinkTrace* trace) {
    trace_ = trace;
    TracePorts();
}

std::string FrameLink::Caption() const {
    return caption_.empty() ? std::string(kMainWindowCaption) : caption_;
}

void FrameLink::TracePorts() {
    if (!trace_) {
        return;
    }
    for (int number = kFirstPortNumber; number <= kLastPortNumber; ++number) {
        const std::string device = port_.DeviceName(number);
        if (!device.empty()) {
            trace_->Line("COM" + std::to_string(number) + " " + device);
        }
    }
}

void FrameLink::Trace(const std::string& text) {
    if (trace_) {
        trace_->Event(clock_.NowUs(), text);
    }
}

// The bytes of an exchange at the times the link saw them come: each arrival is the time and
// the count the receive buffer had reached then.
void FrameLink::TraceReceived(std::span<const std::uint8_t> bytes, const Arrivals& arrivals) {
    if (!trace_) {
        return;
    }
    std::size_t from = 0;
    for (const auto& [timeUs, count] : arrivals) {
        const auto to = std::min(bytes.size(), static_cast<std::size_t>(count));
        if (to > from) {
            trace_->Bytes(timeUs, '<', bytes.subspan(from, to - from));
            from = to;
        }
    }
    trace_->Bytes(clock_.NowUs(), '<', bytes.subspan(from));
}

Answer FrameLink::Ask(const Message& message) {
    const Answer answer = prompter_.Ask(message);
    if (trace_) {
        std::string text = message.text;
        for (std::size_t at; (at = text.find(kLineBreak)) != std::string::npos;) {
            text.replace(at, 2, " / ");
        }
        static constexpr const char* kAnswerNames[] = {"OK", "Cancel", "Yes", "No", "Retry"};
        Trace("question \"" + text + "\": " + kAnswerNames[static_cast<int>(answer)]);
    }
    return answer;
}

void FrameLink::Tell(const std::string& text, Icon icon) {
    prompter_.Tell(text, icon);
}

void FrameLink::ShowLinkStatus(const std::string& text, int color) {
    status_.SetStatus(text, color, kStatusFontLarge);
}

FrameLink::BlockLoop::BlockLoop(FrameLink& link) : link_(link) {
    link_.loop_ = LoopState::First;
}

FrameLink::BlockLoop::~BlockLoop() {
    link_.loop_ = LoopState::None;
}

bool FrameLink::BlockLoop::Finish() {
    link_.loop_ = LoopState::None;
    const std::int64_t quietEnd = link_.clock_.NowUs() + kAnswerQuietUs;
    for (;;) {
        if (link_.port_.InBufferCount() > 0) {
            link_.FailExchange("block loop failed: a byte came after the last answer");
            return false;
        }
        const std::int64_t now = link_.clock_.NowUs();
        if (now >= quietEnd) {
            link_.Trace("block loop complete");
            return true;
        }
        link_.port_.WaitForInput(quietEnd - now);
    }
}

std::optional<std::vector<std::uint8_t>> FrameLink::FailExchange(const std::string& why,
                                                                 const Arrivals& arrivals) {
    // What did come is taken off the line, so that the trace shows it; the next exchange
    // would throw it away anyway.
    const auto bytes = port_.ReadAll();
    TraceReceived(bytes, arrivals);
    Trace(why);
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> FrameLink::Exchange(const Frame& frame) {
    const bool inLoop = loop_ != LoopState::None;
    if (trace_) {
        Trace("frame " + std::string(1, static_cast<char>(frame.request[0])) +
              (frame.request.size() > 1 ? " " + HexBytes(std::span(frame.request).subspan(1))
                                        : std::string()) +
              ": " + std::to_string(frame.expected) + " bytes within " +
              std::to_string(frame.timeoutUs / 1000) + " ms" + (inLoop ? ", block loop" : ""));
    }
    port_.SetBinaryMode();
    if (loop_ == LoopState::Running) {
        // The last answer was taken at its count: a byte waiting now means it was too long.
        // It fails the loop instead of being thrown away, and the buffer is known empty.
        if (const int waiting = port_.InBufferCount(); waiting > 0) {
            return FailExchange("frame failed: " + std::to_string(waiting) +
                                " byte(s) waiting before the request");
        }
    } else {
        port_.ClearInBuffer();
        if (inLoop) {
            loop_ = LoopState::Running;
        }
    }
    const auto letter = std::span(frame.request).first(1);
    if (trace_) {
        trace_->Bytes(clock_.NowUs(), '>', letter);
    }
    port_.Write(letter);
    clock_.Delay(kLetterPause);
    if (frame.request.size() > 1) {
        const auto payload = std::span(frame.request).subspan(1);
        if (trace_) {
            trace_->Bytes(clock_.NowUs(), '>', payload);
        }
        port_.Write(payload);
    }
    const std::int64_t deadline = clock_.NowUs() + frame.timeoutUs;
    std::optional<std::int64_t> completeSince;
    Arrivals arrivals;
    int seen = 0;
    for (;;) {
        const int count = port_.InBufferCount();
        const std::int64_t now = clock_.NowUs();
        if (trace_ && count > seen) {
            arrivals.emplace_back(now, count);
            seen = count;
        }
        if (count == frame.expected) {
            if (!completeSince) {
                completeSince = now;
            }
            const std::int64_t quietEnd =
                inLoop ? now : std::min(*completeSince + kAnswerQuietUs, deadline);
            if (now >= quietEnd) {
                break;
            }
            port_.WaitForInput(quietEnd - now);
            continue;
        }
        completeSince.reset();
        if (count > frame.expected && inLoop) {
            return FailExchange("frame failed: " + std::to_string(count) + " bytes for " +
                                    std::to_string(frame.expected),
                                arrivals);
        }
        if (now >= deadline) {
            return FailExchange("frame failed: time-out with " + std::to_string(count) + " of " +
                                    std::to_string(frame.expected) + " bytes",
                                arrivals);
        }
        port_.WaitForInput(deadline - now);
    }
    auto bytes = port_.ReadAll();
    TraceReceived(bytes, arrivals);
    if (bytes.size() != static_cast<std::size_t>(frame.expected)) {
        // A byte came between the count and the read.
        Trace("frame failed: " + std::to_string(bytes.size()) + " bytes for " +
              std::to_string(frame.expected));
        return std::nullopt;
    }
    // Within a loop a byte left over from the answer before shifts this frame: its echo
    // cannot then equal the request, whose letter never equals the address byte after it.
    if (inLoop && !std::equal(frame.request.begin(), frame.request.end(), bytes.begin())) {
        Trace("frame failed: the echo differs from the request");
        return std::nullopt;
    }
    Trace("frame complete");
    return bytes;
}

bool FrameLink::RunCommand(const Frame& frame, bool isCheck) {
    for (int budget = kCheckRetries;; --budget) {
        auto received = Exchange(frame);
        if (!received) {
            return false;
        }
        rxFrame_ = std::move(*received);
        if (!isCheck || rxFrame_[kAnswerAt] == kCheckAnswer) {
            return true;
        }
        if (budget == 0) {
            return false;
        }
        Trace("retry: wrong check answer " + HexBytes(std::span(rxFrame_).subspan(kAnswerAt, 1)) +
              ", " + std::to_string(budget) + " retries left");
    }
}

FrameLink::Frame FrameLink::BlockFrame(std::uint16_t address, const Block* data) {
    if (data == nullptr) {
        return {{kReadBlockLetter, High(address), Low(address)},
                kReadBlockCount,
                TimeoutFor(kReadBlockCount, false)};
    }
    Frame frame{{kWriteBlockLetter, High(address), Low(address)},
                kWriteBlockCount,
                TimeoutFor(kWriteBlockCount, true)};
    frame.request.insert(frame.request.end(), data->begin(), data->end());
    return frame;
}

bool FrameLink::Check() {
    return RunCommand({{kCheckLetter}, kCheckCount, TimeoutFor(kCheckCount, false)}, true);
}

std::optional<int> FrameLink::Identify() {
    if (!RunCommand(
            {{kIdentifyLetter, kIdentifyByte}, kIdentifyCount, TimeoutFor(kIdentifyCount, false)},
            false)) {
        return std::nullopt;
    }
    return rxFrame_[kBandAt];
}

std::optional<Block> FrameLink::ReadBlock(std::uint16_t address) {
    if (!RunCommand(BlockFrame(address, nullptr), false)) {
        return std::nullopt;
    }
    return BlockAt<kBlockDataAt>(rxFrame_);
}

std::optional<Block> FrameLink::WriteBlock(std::uint16_t address, const Block& data) {
    if (!RunCommand(BlockFrame(address, &data), false)) {
        return std::nullopt;
    }
    return BlockAt<kReadBackAt>(rxFrame_);
}

BlockWrite FrameLink::WriteBlockChecked(std::uint16_t address, const Block& data) {
    Frame frame = BlockFrame(address, &data);
    frame.timeoutUs = kCheckedExtraUs + (kWriteBlockCount - 1) * kCheckedPerByteUs;
    auto received = Exchange(frame);
    if (!received) {
        return BlockWrite::NotAnswered;
    }
    rxFrame_ = std::move(*received);
    const Block readBack = BlockAt<kReadBackAt>(rxFrame_);
    BlockWrite result = BlockWrite::Written;
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        if (readBack[i] != data[i]) {
            Ask(Message{"Write Error !", {}, Buttons::Ok, Icon::None, std::nullopt});
            result = BlockWrite::ReadBackDiffers;
        }
    }
    return result;
}

std::optional<std::uint8_t> FrameLink::ReadParam(std::uint8_t page, std::uint8_t index) {
    if (!RunCommand(
            {{kReadParamLetter, page, index}, kReadParamCount, TimeoutFor(kReadParamCount, false)},
            false)) {
        return std::nullopt;
    }
    return rxFrame_[kParamValueAt];
}

bool FrameLink::WriteParam(std::uint8_t page, std::uint8_t index, std::uint8_t value) {
    return RunCommand({{kWriteParamLetter, page, index, value},
                       kWriteParamCount,
                       TimeoutFor(kWriteParamCount, false)},
                      false);
}

bool FrameLink::SearchPorts(const std::vector<int>& numbers, std::vector<std::string>& searched) {
    for (const int number : numbers) {
        port_.SetPortNumber(number);
        searched.push_back(port_.DeviceName(number));
        const std::string name = "COM" + std::to_string(number) + " " + port_.DeviceName(number);
        try {
            port_.Open();
        } catch (const SerialPortError& error) {
            portProblems_.push_back({number, error.Device(), error.Reason(), error.Code()});
            Trace("open " + name + " failed: " + error.Reason());
            continue;
        }
        Trace("open " + name + ", DTR on");
        port_.RaiseDtr();
        clock_.Delay(kDtrSettle);
        if (Check()) {
            portNumber_ = number;
            return true;
        }
        ClosePort();
    }
    return false;
}

void FrameLink::RescanPorts() {
    port_.RefreshDevices();
    Trace("ports scanned again");
    TracePorts();
    PortScan scan = ScanPorts(port_);
    ports_ = std::move(scan.numbers);
    for (const auto& problem : scan.problems) {
        const bool known =
            std::any_of(portProblems_.begin(), portProblems_.end(),
                        [&](const PortProblem& p) { return p.device == problem.device; });
        if (!known) {
            portProblems_.push_back(problem);
        }
    }
}

std::string FrameLink::PortDetail() const {
    return portProblems_.empty() ? std::string() : PortProblemsText(portProblems_);
}

std::string FrameLink::PortName() const {
    return "COM" + std::to_string(portNumber_) + " " + port_.DeviceName(portNumber_);
}

std::optional<int> FrameLink::PollRadio() {
    bool answered = false;
    if (port_.IsOpen()) {
        answered = Check();
        if (!answered) {
            ClosePort();
        }
    } else {
        std::vector<std::string> searched;
        answered = SearchPorts(portNumber_ != 0 ? std::vector<int>{portNumber_} : ports_, searched);
    }
    NoteIdentified(answered ? Identify() : std::nullopt);
    if (!detectedBand_) {
        ClosePort();
    }
    return detectedBand_;
}

PortTest FrameLink::TestPort(int number) {
    ClosePort();
    PortTest test;
    test.number = number;
    test.device = port_.DeviceName(number);
    port_.SetPortNumber(number);
    const std::string name = "COM" + std::to_string(number) + " " + test.device;
    try {
        port_.Open();
    } catch (const SerialPortError& error) {
        Trace("test " + name + ": open failed: " + error.Reason());
        test.outcome = PortTest::Outcome::NotOpened;
        test.problem = {number, error.Device(), error.Reason(), error.Code()};
        return test;
    }
    Trace("test " + name + ", DTR on");
    port_.RaiseDtr();
    clock_.Delay(kDtrSettle);
    // A radio found elsewhere stays the one identified unless this is its port.
    const bool radioWasHere = detectedBand_ && portNumber_ == number;
    if (Check()) {
        test.band = Identify();
        test.outcome = test.band ? PortTest::Outcome::Identified : PortTest::Outcome::NotIdentified;
    }
    if (test.band) {
        portNumber_ = number;
    }
    if (test.band || radioWasHere) {
        NoteIdentified(test.band);
    }
    ClosePort();
    cancelRequested_ = false;  // nothing to stop: the next operation starts without it
    return test;
}

void FrameLink::NoteIdentified(std::optional<int> band) {
    detectedBand_ = band;
    if (identifyHook_) {
        identifyHook_(band ? std::optional<SeenRadio>(
                                 SeenRadio{portNumber_, port_.DeviceName(portNumber_), *band})
                           : std::nullopt);
    }
}

std::optional<int> FrameLink::DetectRadio() {
    bool answered = false;
    if (port_.IsOpen()) {
        answered = Check();
    } else {
        portProblems_.clear();
        if (ports_.empty()) {
            RescanPorts();
        }
        if (ports_.empty()) {
            // What the last detection found stays: nothing was searched.
            Ask(Message{"AvailableRS232 port was not detected !", "Comm Port Error", Buttons::Ok,
                        Icon::Stop, std::nullopt, PortProblemsText(portProblems_)});
            return std::nullopt;
        }
        std::vector<std::string> searched;
        answered = SearchPorts(ports_, searched);
        if (!answered) {
            // Only the ports the new scan adds are searched again.
            RescanPorts();
            std::vector<int> added;
            for (const int number : ports_) {
                const std::string device = port_.DeviceName(number);
                if (std::find(searched.begin(), searched.end(), device) == searched.end()) {
                    added.push_back(number);
                }
            }
            answered = SearchPorts(added, searched);
        }
    }
    NoteIdentified(answered ? Identify() : std::nullopt);
    if (detectedBand_) {
        ShowLinkStatus(RadioName(*detectedBand_) + " detected", kStatusBlack);
    } else {
        ShowLinkStatus("Not detected", kStatusRed);
    }
    return detectedBand_;
}

bool FrameLink::ConnectRadio(const std::string& facts) {
    for (;;) {
        if (DetectRadio()) {
            return true;
        }
        if (cancelRequested_ || !AskTryAgain("Connecting Err", facts, PortDetail())) {
            ClosePort();
            return false;
        }
    }
}

void FrameLink::ClosePort() {
    if (port_.IsOpen()) {
        port_.Close();
        if (trace_) {
            Trace("close");
            trace_->Flush();
        }
    }
}

bool FrameLink::AskTryAgain(const std::string& what, const std::string& facts,
                            const std::string& detail) {
    const std::string question =
        what + " !  Make sure the connection is OK" + kLineBreak + "Try Again ?";
    return Ask(Message{facts.empty() ? question : facts + kLineBreak + question, Caption(),
                       Buttons::YesNo, Icon::Question, std::nullopt, detail}) == Answer::Yes;
}

}  // namespace petrel
