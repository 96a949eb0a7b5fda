#include "core/link/radio_link.h"

#include <algorithm>

#include "core/link/frame_protocol.h"
#include "core/link/link_trace.h"
#include "core/link/port_scan.h"
#include "core/link/serial_port.h"
#include "core/model/band_table.h"
#include "core/model/program_state.h"
#include "core/ports/clock.h"
#include "core/ports/prompter.h"
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
constexpr std::array<std::uint8_t, kBlockSize> kNoData{};
constexpr double kLetterPause = 0.002;
constexpr double kDtrSettle = 0.1;
constexpr int kHighestBand = 12;

std::int64_t TimeoutFor(int expected, bool writeBlock) {
    return (expected - 1) * kPerByteUs + (writeBlock ? kWriteBlockExtraUs : 0);
}

}  // namespace

RadioLink::RadioLink(ProgramState& state, SerialPort& port, Clock& clock, Prompter& prompter,
                     StatusLine& status, LinkHost& host)
    : state_(state),
      port_(port),
      clock_(clock),
      prompter_(prompter),
      status_(status),
      host_(host) {}

RadioLink::~RadioLink() = default;

void RadioLink::SetTrace(LinkTrace* trace) {
    trace_ = trace;
    TracePorts();
}

void RadioLink::TracePorts() {
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

void RadioLink::Trace(const std::string& text) {
    if (trace_) {
        trace_->Event(clock_.NowUs(), text);
    }
}

// The bytes of an exchange at the times the link saw them come: each arrival is the time and
// the count the receive buffer had reached then.
void RadioLink::TraceReceived(std::span<const std::uint8_t> bytes, const Arrivals& arrivals) {
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

Answer RadioLink::Ask(const Message& message) {
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

RadioLink::BlockLoop::BlockLoop(RadioLink& link) : link_(link) {
    link_.loop_ = LoopState::First;
}

RadioLink::BlockLoop::~BlockLoop() {
    link_.loop_ = LoopState::None;
}

bool RadioLink::BlockLoop::Finish() {
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

std::optional<std::vector<std::uint8_t>> RadioLink::FailExchange(const std::string& why,
                                                                 const Arrivals& arrivals) {
    // What did come is taken off the line, so that the trace shows it; the next exchange
    // would throw it away anyway.
    const auto bytes = port_.ReadAll();
    TraceReceived(bytes, arrivals);
    Trace(why);
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> RadioLink::Exchange(const Frame& frame) {
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

bool RadioLink::RunCommand(const Frame& frame, bool isCheck) {
    state_.LinkOk = false;
    for (int budget = kCheckRetries;; --budget) {
        auto received = Exchange(frame);
        if (!received) {
            return false;
        }
        rxFrame_ = std::move(*received);
        if (!isCheck || rxFrame_[kAnswerAt] == kCheckAnswer) {
            state_.LinkOk = true;
            return true;
        }
        if (budget == 0) {
            return false;
        }
        Trace("retry: wrong check answer " + HexBytes(std::span(rxFrame_).subspan(kAnswerAt, 1)) +
              ", " + std::to_string(budget) + " retries left");
    }
}

RadioLink::Frame RadioLink::BlockFrame(bool write,
                                       std::span<const std::uint8_t, kBlockSize> data) const {
    if (!write) {
        return {{kReadBlockLetter, AddrHi, AddrLo},
                kReadBlockCount,
                TimeoutFor(kReadBlockCount, false)};
    }
    Frame frame{
        {kWriteBlockLetter, AddrHi, AddrLo}, kWriteBlockCount, TimeoutFor(kWriteBlockCount, true)};
    frame.request.insert(frame.request.end(), data.begin(), data.end());
    return frame;
}

std::array<std::uint8_t, kBlockSize> RadioLink::ImageBlock(std::size_t address) const {
    std::array<std::uint8_t, kBlockSize> block;
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        block[i] = address + i < image_.size() ? image_[address + i] : 0xFF;
    }
    return block;
}

bool RadioLink::SendCommand(ImageCommand cmd) {
    switch (cmd) {
        case ImageCommand::Check:
            return RunCommand({{kCheckLetter}, kCheckCount, TimeoutFor(kCheckCount, false)}, true);
        case ImageCommand::Identify:
        case ImageCommand::IdentifyAgain:
            return RunCommand({{kIdentifyLetter, kIdentifyByte},
                               kIdentifyCount,
                               TimeoutFor(kIdentifyCount, false)},
                              false);
        case ImageCommand::ReadBlock:
            return RunCommand(BlockFrame(false, kNoData), false);
        case ImageCommand::WriteBlock:
            return RunCommand(
                BlockFrame(true, ImageBlock(static_cast<std::size_t>(AddrHi) << 8 | AddrLo)),
                false);
    }
    return false;
}

bool RadioLink::SendParamCommand(ParamCommand cmd) {
    switch (cmd) {
        case ParamCommand::Check:
            return SendCommand(ImageCommand::Check);
        case ParamCommand::ReadParam:
            return RunCommand({{kReadParamLetter, AddrHi, AddrLo},
                               kReadParamCount,
                               TimeoutFor(kReadParamCount, false)},
                              false);
        case ParamCommand::WriteParam:
            return RunCommand({{kWriteParamLetter, AddrHi, AddrLo, ParamValue},
                               kWriteParamCount,
                               TimeoutFor(kWriteParamCount, false)},
                              false);
        case ParamCommand::ReadBlock:
            return SendCommand(ImageCommand::ReadBlock);
        case ParamCommand::WriteBlock: {
            std::array<std::uint8_t, kBlockSize> data{};
            std::copy_n(ParamBuf.begin(), std::min(ParamBuf.size(), kBlockSize), data.begin());
            return RunCommand(BlockFrame(true, data), false);
        }
    }
    return false;
}

BlockWrite RadioLink::WriteBlockChecked(std::span<const std::uint8_t, kBlockSize> source) {
    Frame frame = BlockFrame(true, source);
    frame.timeoutUs = kCheckedExtraUs + (kWriteBlockCount - 1) * kCheckedPerByteUs;
    auto received = Exchange(frame);
    if (!received) {
        return BlockWrite::NotAnswered;  // silent; LinkOk keeps its value
    }
    rxFrame_ = std::move(*received);
    state_.LinkOk = true;
    const auto readBack = ReadBack();
    BlockWrite result = BlockWrite::Written;
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        if (readBack[i] != source[i]) {
            Ask(Message{"Write Error !", {}, Buttons::Ok, Icon::None, std::nullopt});
            result = BlockWrite::ReadBackDiffers;
        }
    }
    return result;
}

std::span<const std::uint8_t, kBlockSize> RadioLink::ReadBack() const {
    return std::span(rxFrame_).subspan(kReadBackAt).first<kBlockSize>();
}

std::optional<std::array<std::uint8_t, kBlockSize>> RadioLink::ReadBlockAt(std::uint16_t address) {
    SetAddress(address);
    if (!SendCommand(ImageCommand::ReadBlock)) {
        return std::nullopt;
    }
    std::array<std::uint8_t, kBlockSize> data;
    std::copy_n(rxFrame_.begin() + kBlockDataAt, kBlockSize, data.begin());
    return data;
}

void RadioLink::SetAddress(std::uint16_t address) {
    AddrHi = static_cast<std::uint8_t>(address >> 8);
    AddrLo = static_cast<std::uint8_t>(address & 0xFF);
}

void RadioLink::ShowLinkStatus(const std::string& text, int color) {
    status_.SetStatus(text, color, kStatusFontLarge);
}

bool RadioLink::SearchPorts(const std::vector<int>& numbers, std::vector<std::string>& searched) {
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
        if (SendCommand(ImageCommand::Check)) {
            portNumber_ = number;
            return true;
        }
        ClosePort();
    }
    return false;
}

void RadioLink::RescanPorts() {
    port_.RefreshDevices();
    Trace("ports scanned again");
    TracePorts();
    for (const auto& problem : ScanPorts(state_, port_)) {
        const bool known =
            std::any_of(portProblems_.begin(), portProblems_.end(),
                        [&](const PortProblem& p) { return p.device == problem.device; });
        if (!known) {
            portProblems_.push_back(problem);
        }
    }
}

std::string RadioLink::PortDetail() const {
    return portProblems_.empty() ? std::string() : PortProblemsText(portProblems_);
}

void RadioLink::DetectRadio() {
    bool answered = false;
    if (port_.IsOpen()) {
        answered = SendCommand(ImageCommand::Check);
    } else {
        portProblems_.clear();
        if (state_.PortList.empty()) {
            RescanPorts();
        }
        if (state_.PortList.empty()) {
            Ask(Message{"AvailableRS232 port was not detected !", "Comm Port Error", Buttons::Ok,
                        Icon::Stop, std::nullopt, PortProblemsText(portProblems_)});
            return;
        }
        std::vector<std::string> searched;
        answered = SearchPorts(state_.PortList, searched);
        if (!answered) {
            // Only the ports the new scan adds are searched again.
            RescanPorts();
            std::vector<int> added;
            for (const int number : state_.PortList) {
                const std::string device = port_.DeviceName(number);
                if (std::find(searched.begin(), searched.end(), device) == searched.end()) {
                    added.push_back(number);
                }
            }
            answered = SearchPorts(added, searched);
        }
    }
    if (answered && SendCommand(ImageCommand::Identify)) {
        radioBand_ = rxFrame_[kBandAt];
        state_.BandNo = radioBand_;
        const std::string name = radioBand_ >= 1 && radioBand_ <= kHighestBand
                                     ? BandName(BandRow(radioBand_))
                                     : std::string("unknow Radio");
        ShowLinkStatus(name + " detected", kStatusBlack);
        state_.RadioAbsent = false;
        return;
    }
    ShowLinkStatus("Not detected", kStatusRed);
    state_.RadioAbsent = true;
}

void RadioLink::ConnectRadio() {
    state_.UserAbort = false;
    for (;;) {
        DetectRadio();
        if (!state_.RadioAbsent) {
            return;
        }
        AskTryAgain("Connecting Err", {}, PortDetail());
        if (state_.UserAbort) {
            ClosePort();
            return;
        }
    }
}

void RadioLink::ClosePort() {
    if (port_.IsOpen()) {
        port_.Close();
        if (trace_) {
            Trace("close");
            trace_->Flush();
        }
    }
}

std::string RadioLink::ActiveCaption() const {
    const int slot = host_.ActiveSlot();
    if (slot > 0 && slot <= state_.workspace.UpperSlot() &&
        !state_.workspace.At(slot).state.Deleted) {
        return state_.workspace.At(slot).title;
    }
    return kMainWindowCaption;
}

void RadioLink::AskTryAgain(const std::string& what, const std::string& facts,
                            const std::string& detail) {
    state_.UserAbort = false;
    const std::string question =
        what + " !  Make sure the connection is OK" + kLineBreak + "Try Again ?";
    const Answer answer =
        Ask(Message{facts.empty() ? question : facts + kLineBreak + question, ActiveCaption(),
                    Buttons::YesNo, Icon::Question, std::nullopt, detail});
    state_.UserAbort = answer != Answer::Yes;
}

}  // namespace petrel
