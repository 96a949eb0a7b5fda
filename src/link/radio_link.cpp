#include "link/radio_link.h"

#include <algorithm>

#include "document/band_table.h"
#include "document/program_state.h"
#include "link/frame_protocol.h"
#include "link/port_scan.h"
#include "link/serial_port.h"
#include "ports/clock.h"
#include "ports/prompter.h"
#include "ports/status_line.h"

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
// An answer counts as complete when no further byte follows within about one character time
// at 2400 baud (4.2 ms): an answer one byte too long must not pass for a complete one.
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

std::optional<std::vector<std::uint8_t>> RadioLink::Exchange(const Frame& frame) {
    port_.SetBinaryMode();
    port_.ClearInBuffer();
    port_.Write(std::span(frame.request).first(1));
    clock_.Delay(kLetterPause);
    if (frame.request.size() > 1) {
        port_.Write(std::span(frame.request).subspan(1));
    }
    const std::int64_t deadline = clock_.NowUs() + frame.timeoutUs;
    std::optional<std::int64_t> completeSince;
    for (;;) {
        const int count = port_.InBufferCount();
        const std::int64_t now = clock_.NowUs();
        if (count == frame.expected) {
            if (!completeSince) {
                completeSince = now;
            }
            const std::int64_t quietEnd = std::min(*completeSince + kAnswerQuietUs, deadline);
            if (now >= quietEnd) {
                return port_.ReadAll();
            }
            port_.WaitForInput(quietEnd - now);
            continue;
        }
        completeSince.reset();
        if (now >= deadline) {
            return std::nullopt;
        }
        port_.WaitForInput(deadline - now);
    }
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

bool RadioLink::WriteBlockChecked(std::span<const std::uint8_t, kBlockSize> source) {
    Frame frame = BlockFrame(true, source);
    frame.timeoutUs = kCheckedExtraUs + (kWriteBlockCount - 1) * kCheckedPerByteUs;
    auto received = Exchange(frame);
    if (!received) {
        return false;  // silent; LinkOk keeps its value
    }
    rxFrame_ = std::move(*received);
    state_.LinkOk = true;
    const auto readBack = ReadBack();
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        if (readBack[i] != source[i]) {
            prompter_.Tell("Write Error !");
        }
    }
    return true;
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
        try {
            port_.Open();
        } catch (const SerialPortError& error) {
            portProblems_.push_back({number, error.Device(), error.Reason(), error.Code()});
            continue;
        }
        port_.RaiseDtr();
        clock_.Delay(kDtrSettle);
        if (SendCommand(ImageCommand::Check)) {
            return true;
        }
        port_.Close();
    }
    return false;
}

void RadioLink::RescanPorts() {
    port_.RefreshDevices();
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
            prompter_.Ask(Message{"AvailableRS232 port was not detected !", "Comm Port Error",
                                  Buttons::Ok, Icon::Stop, std::nullopt,
                                  PortProblemsText(portProblems_)});
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
    const Answer answer = prompter_.Ask(
        Message{facts.empty() ? question : facts + kLineBreak + question, ActiveCaption(),
                Buttons::YesNo, Icon::Question, std::nullopt, detail});
    state_.UserAbort = answer != Answer::Yes;
}

}  // namespace petrel
