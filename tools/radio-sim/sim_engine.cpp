#include "sim_engine.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/document/config_file.h"
#include "core/document/new_config.h"
#include "core/link/frame_protocol.h"
#include "core/link/link_trace.h"
#include "core/model/band_table.h"
#include "core/model/channel_line.h"
#include "core/model/info_page.h"
#include "core/model/radio_image.h"
#include "core/model/workspace.h"

namespace petrel::sim {

namespace {

constexpr std::uint8_t kWrongCheckAnswer = 0x00;
// A frame whose next byte does not come within this time is abandoned, as a radio resets its
// receiver after a pause; the computer's own pause inside a frame is 2 ms.
constexpr std::int64_t kFrameGapUs = 50'000;

// The simulated radio's identification: firmware 1.20, mask date 2003-05-20.
constexpr std::array<std::uint8_t, kIdentCount> kIdentValues = {1, 20, 3, 5, 20};
// What the simulated radio measures until told otherwise: squelch noise, VOX and battery level.
constexpr std::uint8_t kDefaultNoise = 40;
constexpr std::uint8_t kDefaultVox = 60;
constexpr std::uint8_t kDefaultBattery = 125;

struct KindName {
    FrameKind kind;
    const char* name;
};
constexpr KindName kKindNames[] = {
    {FrameKind::Check, "check"},          {FrameKind::Identify, "identify"},
    {FrameKind::ReadBlock, "read"},       {FrameKind::WriteBlock, "write"},
    {FrameKind::ReadParam, "param-read"}, {FrameKind::WriteParam, "param-write"},
};

FrameKind KindOf(const std::vector<std::uint8_t>& request) {
    switch (request[0]) {
        case kCheckLetter:
            return FrameKind::Check;
        case kReadBlockLetter:
            return FrameKind::ReadBlock;
        case kWriteBlockLetter:
            return FrameKind::WriteBlock;
        case kWriteParamLetter:
            return FrameKind::WriteParam;
        default:
            return request.size() == 2 ? FrameKind::Identify : FrameKind::ReadParam;
    }
}

std::size_t AddressOf(const std::vector<std::uint8_t>& request) {
    return static_cast<std::size_t>(request[1]) << 8 | request[2];
}

// The bytes as text, "." for what is not printable.
std::string Printable(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t b : bytes) {
        text += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.';
    }
    return text;
}

const char* FaultNote(FaultKind kind) {
    switch (kind) {
        case FaultKind::Drop:
            return "answer dropped";
        case FaultKind::Short:
            return "answer one byte short";
        case FaultKind::Long:
            return "answer one byte long";
        case FaultKind::WrongCheck:
            return "wrong check byte";
        case FaultKind::BadReadback:
            return "read-back differs";
    }
    return "";
}

}  // namespace

RadioSimEngine::RadioSimEngine(RadioMemory memory, EngineOptions options)
    : memory_(std::move(memory)), options_(options) {}

void RadioSimEngine::Put(std::uint8_t value, std::int64_t earliestUs) {
    const std::int64_t end = std::max(earliestUs, lineFreeUs_) + options_.byteTimeUs;
    lineFreeUs_ = end;
    output_.push_back({end, value});
}

int RadioSimEngine::FrameLength() const {
    switch (partial_[0]) {
        case kCheckLetter:
            return 1;
        case kIdentifyLetter:
            if (partial_.size() < 2) {
                return 0;
            }
            // Pages are 0..2: a second byte of 7 can only be the identify request.
            return partial_[1] == kIdentifyByte ? 2 : 3;
        case kReadBlockLetter:
            return 3;
        case kWriteBlockLetter:
            return 3 + static_cast<int>(kBlockSize);
        case kWriteParamLetter:
            return 4;
        default:
            return -1;
    }
}

namespace {
// A fleet radio that only answers checks for this long after its last block has been left.
constexpr std::int64_t kUnusedRadioUs = 2'000'000;
}  // namespace

void RadioSimEngine::SetFleet(std::vector<FleetMember> next, std::int64_t gapUs) {
    fleet_.assign(std::make_move_iterator(next.begin()), std::make_move_iterator(next.end()));
    fleetGapUs_ = gapUs;
    fleetMode_ = true;
}

void RadioSimEngine::AdvanceFleet(std::int64_t nowUs) {
    if (fleetMode_ && !gone_ && busyUs_ && nowUs - *busyUs_ > kUnusedRadioUs) {
        leaving_ = true;
    }
    if (leaving_) {
        leaving_ = false;
        gone_ = true;
        departed_.push_back(memory_);
        arrivesUs_ = nowUs + fleetGapUs_;
    }
    if (gone_ && !fleet_.empty() && nowUs >= arrivesUs_) {
        memory_ = std::move(fleet_.front().memory);
        faults_ = std::move(fleet_.front().faults);
        fleet_.pop_front();
        gone_ = false;
        imageWritten_ = false;
        busyUs_.reset();
        activity_ = {};
        measurements_.clear();
    }
}

void RadioSimEngine::Receive(std::span<const std::uint8_t> bytes, std::int64_t nowUs) {
    AdvanceFleet(nowUs);
    for (const std::uint8_t b : bytes) {
        // The byte is on the wire after the ones before it; the cable echoes it as it passes.
        const std::int64_t arrived = std::max(nowUs, lineFreeUs_) + options_.byteTimeUs;
        if (options_.echo) {
            Put(b, nowUs);
        } else {
            lineFreeUs_ = arrived;
        }
        if (!partial_.empty() && arrived - lastByteUs_ > kFrameGapUs) {
            partial_.clear();
        }
        lastByteUs_ = arrived;
        partial_.push_back(b);
        const int length = FrameLength();
        if (length < 0) {
            partial_.clear();  // not the start of a frame: ignored
        } else if (length > 0 && static_cast<int>(partial_.size()) == length) {
            HandleFrame(arrived);
            partial_.clear();
        }
    }
}

std::vector<std::uint8_t> RadioSimEngine::Answer(FrameKind kind,
                                                 const std::vector<std::uint8_t>& request,
                                                 bool badReadback) {
    switch (kind) {
        case FrameKind::Check:
            return {kCheckAnswer};
        case FrameKind::Identify:
            return {memory_.band};
        case FrameKind::ReadBlock: {
            std::vector<std::uint8_t> data;
            for (std::size_t i = 0; i < kBlockSize; ++i) {
                data.push_back(memory_.bytes[(AddressOf(request) + i) % kMemorySize]);
            }
            return data;
        }
        case FrameKind::WriteBlock: {
            std::vector<std::uint8_t> stored;
            for (std::size_t i = 0; i < kBlockSize; ++i) {
                std::uint8_t value = request[3 + i];
                if (badReadback && i == 0) {
                    value = static_cast<std::uint8_t>(~value);
                }
                memory_.bytes[(AddressOf(request) + i) % kMemorySize] = value;
                stored.push_back(value);
            }
            return stored;
        }
        case FrameKind::ReadParam:
            if (request[1] >= kParamPages) {
                return {0xFF};
            }
            for (auto& [address, measurement] : measurements_) {
                if (address == (request[1] << 8 | request[2])) {
                    return {measurement.Next()};
                }
            }
            return {memory_.params[request[1]][request[2]]};
        case FrameKind::WriteParam:
            if (request[1] < kParamPages) {
                memory_.params[request[1]][request[2]] = request[3];
                if (request[1] == kControlPage && request[2] == kControlArgumentIndex) {
                    controlCodes_.push_back(
                        {memory_.params[kControlPage][kControlCodeIndex], request[3]});
                }
            }
            return {request[3]};
    }
    return {};
}

void RadioSimEngine::HandleFrame(std::int64_t endUs) {
    LoggedFrame frame;
    frame.timeUs = endUs;
    frame.request = partial_;
    frame.kind = KindOf(partial_);

    std::optional<FaultKind> fault;
    for (Fault& armed : faults_) {
        if (armed.frame != frame.kind) {
            continue;
        }
        ++armed.seen;
        const bool inWindow =
            armed.seen > armed.skip && (armed.count < 0 || armed.seen <= armed.skip + armed.count);
        if (inWindow && !fault) {
            fault = armed.kind;
        }
    }

    if (gone_) {
        // No radio on the cable: the bytes only come back as the cable's echo.
        frame.note = "no radio on the cable";
        if (sink_) {
            sink_(frame);
        }
        log_.push_back(std::move(frame));
        return;
    }
    std::vector<std::uint8_t> answer =
        Answer(frame.kind, frame.request, fault == FaultKind::BadReadback);
    if (frame.kind == FrameKind::WriteBlock && AddressOf(frame.request) < memory_.ImageTop()) {
        imageWritten_ = true;
    }
    if (frame.kind == FrameKind::ReadBlock || frame.kind == FrameKind::WriteBlock ||
        (frame.kind == FrameKind::Identify && !busyUs_)) {
        busyUs_ = endUs;
    }
    if (frame.kind == FrameKind::WriteParam && imageWritten_ && fleetMode_ &&
        frame.request[1] == kControlPage && frame.request[2] == kControlArgumentIndex &&
        memory_.params[kControlPage][kControlCodeIndex] == kCodeAfterRead) {
        leaving_ = true;  // written and closed: the dealer takes it off the cable
    }
    frame.what = WhatFrameMoves(frame.kind, frame.request, answer);
    // A radio that is switched off does nothing; one whose answer gets lost still acts.
    if (frame.kind == FrameKind::WriteParam && frame.request[1] < kParamPages && !options_.silent) {
        frame.change = ApplyParamWrite(frame.request[1], frame.request[2], frame.request[3]);
    }
    if (options_.silent) {
        answer.clear();
        frame.note = "radio silent";
    } else if (fault) {
        frame.note = FaultNote(*fault);
        switch (*fault) {
            case FaultKind::Drop:
                answer.clear();
                break;
            case FaultKind::Short:
                answer.pop_back();
                break;
            case FaultKind::Long:
                answer.push_back(0x00);
                break;
            case FaultKind::WrongCheck:
                if (frame.kind == FrameKind::Check) {
                    answer = {kWrongCheckAnswer};
                }
                break;
            case FaultKind::BadReadback:
                break;  // already stored wrongly
        }
    }
    for (const std::uint8_t b : answer) {
        Put(b, endUs + options_.answerDelayUs);
    }
    frame.answer = std::move(answer);
    if (sink_) {
        sink_(frame);
    }
    log_.push_back(std::move(frame));
}

std::string RadioSimEngine::WhatFrameMoves(FrameKind kind, const std::vector<std::uint8_t>& request,
                                           const std::vector<std::uint8_t>& answer) const {
    if (kind == FrameKind::WriteParam && request[1] == kControlPage &&
        request[2] == kControlArgumentIndex) {
        return "control code " + HexBytes(controlCodes_.back());
    }
    const bool block = kind == FrameKind::ReadBlock || kind == FrameKind::WriteBlock;
    if (!block || request[1] != memory_.InfoPage()) {
        return {};
    }
    const char* name = nullptr;
    if (request[2] >= kInfoSerialBlock && request[2] < kInfoSerialBlock + 16) {
        name = "serial block";
    } else if (request[2] >= kInfoNameBlock && request[2] < kInfoNameBlock + 16) {
        name = "name block";
    } else {
        return {};
    }
    const auto data = kind == FrameKind::WriteBlock
                          ? std::span(request).subspan(3, kBlockSize)
                          : std::span(answer).first(std::min(answer.size(), kBlockSize));
    return std::string(name) + " \"" + Printable(data) + "\"";
}

std::string RadioSimEngine::ApplyParamWrite(std::uint8_t page, std::uint8_t index,
                                            std::uint8_t value) {
    const RadioActivity before = activity_;
    if (page == kControlPage && index == kControlCodeIndex) {
        if (value == kCodeKeyOn) {
            if (activity_.mode != TestMode::TransmitTest) {
                return "key-on ignored: not in the transmit test";
            }
            activity_.transmitting = true;
        } else if (value == kCodeKeyOff) {
            activity_.transmitting = false;
        }
    } else if (page == kControlPage && index == kControlArgumentIndex) {
        // A code takes effect with its argument; every change of test state releases the key.
        const std::uint8_t code = memory_.params[kControlPage][kControlCodeIndex];
        const std::pair<std::uint8_t, TestMode> modes[] = {
            {kCodeAlignment, TestMode::Alignment},
            {kCodeReceiveTest, TestMode::ReceiveTest},
            {kCodeTransmitTest, TestMode::TransmitTest},
            {kCodeEndTest, TestMode::Normal}};
        for (const auto& [modeCode, mode] : modes) {
            if (code == modeCode) {
                activity_.mode = mode;
                activity_.transmitting = false;
            }
        }
    } else if (page == kOptionPage && index == kPowerValueIndex) {
        activity_.power = value;
    }
    const bool changed = before.mode != activity_.mode ||
                         before.transmitting != activity_.transmitting ||
                         (activity_.transmitting && before.power != activity_.power);
    return changed ? DescribeActivity(activity_) : std::string();
}

void RadioSimEngine::SetMeasurement(std::uint8_t page, std::uint8_t index,
                                    Measurement measurement) {
    const auto address = static_cast<std::uint16_t>(page << 8 | index);
    std::erase_if(measurements_, [address](const auto& entry) { return entry.first == address; });
    measurements_.emplace_back(address, std::move(measurement));
}

std::uint8_t Measurement::Next() {
    if (readings.empty()) {
        return 0;
    }
    std::size_t at = taken++;
    at = cycle ? at % readings.size() : std::min(at, readings.size() - 1);
    return readings[at];
}

std::optional<Measurement> ParseMeasurement(const std::string& text) {
    constexpr std::string_view kCyclePrefix = "cycle:";
    Measurement measurement;
    std::string list = text;
    if (list.starts_with(kCyclePrefix)) {
        measurement.cycle = true;
        list.erase(0, kCyclePrefix.size());
    }
    std::size_t at = 0;
    while (at <= list.size()) {
        const std::size_t comma = std::min(list.find(',', at), list.size());
        const std::string item = list.substr(at, comma - at);
        if (item.empty() || item.size() > 3 ||
            item.find_first_not_of("0123456789") != std::string::npos || std::stoi(item) > 255) {
            return std::nullopt;
        }
        measurement.readings.push_back(static_cast<std::uint8_t>(std::stoi(item)));
        at = comma + 1;
    }
    return measurement;
}

std::string TestModeName(TestMode mode) {
    switch (mode) {
        case TestMode::Normal:
            return "normal mode";
        case TestMode::Alignment:
            return "alignment test";
        case TestMode::ReceiveTest:
            return "receive test";
        case TestMode::TransmitTest:
            return "transmit test";
    }
    return "?";
}

std::string DescribeActivity(const RadioActivity& activity) {
    return (activity.transmitting ? "TRANSMITTING at power " + std::to_string(activity.power)
                                  : std::string("transmitter off")) +
           ", " + TestModeName(activity.mode);
}

std::vector<std::uint8_t> RadioSimEngine::TakeOutput(std::int64_t nowUs) {
    std::vector<std::uint8_t> bytes;
    while (!output_.empty() && output_.front().timeUs <= nowUs) {
        bytes.push_back(output_.front().value);
        output_.pop_front();
    }
    return bytes;
}

std::optional<std::int64_t> RadioSimEngine::NextOutputUs() const {
    if (output_.empty()) {
        return std::nullopt;
    }
    return output_.front().timeUs;
}

RadioMemory MakeRadio(int band, int channels, bool blank, const std::string& serialNo,
                      const std::string& customer) {
    RadioMemory memory;
    memory.band = static_cast<std::uint8_t>(band);
    std::copy(kIdentValues.begin(), kIdentValues.end(),
              memory.params[kControlPage].begin() + kIdentIndex);
    memory.params[kSquelchNoisePage][kSquelchNoiseIndex] = kDefaultNoise;
    memory.params[kControlPage][kVoxLevelIndex] = kDefaultVox;
    memory.params[kControlPage][kBatteryLevelIndex] = kDefaultBattery;
    Workspace workspace;
    InfoPage info{};  // a new configuration's: its default tables
    if (!blank && band >= 1 && band <= kBandCount) {
        const int slot = BuildNewConfiguration(workspace, band, channels);
        const ImageBuf image = PackImage(workspace.At(slot));
        std::copy(image.begin(), image.end() - 1, memory.bytes.begin());
        info = workspace.At(slot).info.InfoWords;
    }
    SetChannels(memory, channels);
    if (!blank) {
        for (std::size_t i = 0; i < kInfoPageSize; ++i) {
            memory.Info(i) = static_cast<std::uint8_t>(info[i]);
        }
    }
    const auto putText = [&memory](const std::string& text, std::size_t at, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i) {
            memory.Info(at + i) = static_cast<std::uint8_t>(i < text.size() ? text[i] : ' ');
        }
    };
    if (!serialNo.empty()) {
        putText(serialNo, kInfoSerialText, kInfoSerialLength);
    }
    if (!customer.empty()) {
        putText(customer, kInfoNameText, kInfoNameLength);
    }
    return memory;
}

void SetChannels(RadioMemory& memory, int channels) {
    if (channels > 16) {
        memory.bytes[kRadioTypeByte] |= kNinetyNineChannelBit;
    } else {
        memory.bytes[kRadioTypeByte] &= static_cast<std::uint8_t>(~kNinetyNineChannelBit);
    }
}

std::optional<std::string> LoadRadio(RadioMemory& memory, const std::string& cfgPath,
                                     std::optional<int> channels) {
    std::ifstream in(cfgPath, std::ios::binary);
    if (!in) {
        return "cannot read " + cfgPath;
    }
    const std::vector<std::uint8_t> fileBytes((std::istreambuf_iterator<char>(in)),
                                              std::istreambuf_iterator<char>());
    const ImageBuf image = DecodeConfigFile(fileBytes);
    if (image.size() <= kImageHeaderSize) {
        return cfgPath + " holds no configuration";
    }
    // The last byte of a file's image is the band byte, not radio memory.
    std::copy(image.begin(), image.end() - 1, memory.bytes.begin());
    memory.band = image.back();
    SetChannels(memory, channels.value_or(static_cast<int>((image.size() - 1 - kImageHeaderSize) /
                                                           kChannelRecordSize)));

    std::ifstream companion(CompanionPath(cfgPath), std::ios::binary);
    if (companion) {
        const std::vector<std::uint8_t> infoBytes((std::istreambuf_iterator<char>(companion)),
                                                  std::istreambuf_iterator<char>());
        if (const auto info = DecodeCompanionFile(infoBytes)) {
            for (std::size_t i = 0; i < kInfoPageSize; ++i) {
                memory.Info(i) = static_cast<std::uint8_t>((*info)[i] & 0xFF);
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> SaveRadio(const RadioMemory& memory, const std::string& cfgPath) {
    ImageBuf image(memory.bytes.begin(),
                   memory.bytes.begin() + static_cast<std::ptrdiff_t>(memory.ImageTop()));
    image.push_back(memory.band);
    if (auto error = WriteFileAtomically(cfgPath, EncodeConfigFile(image))) {
        return cfgPath + ": " + *error;
    }
    InfoPage info{};
    const std::size_t base = static_cast<std::size_t>(memory.InfoPage()) * 256;
    for (std::size_t i = 0; i < kInfoPageSize; ++i) {
        info[i] = memory.bytes[base + i];
    }
    const std::string companion = CompanionPath(cfgPath);
    if (auto error = WriteFileAtomically(companion, EncodeCompanionFile(info))) {
        return companion + ": " + *error;
    }
    return std::nullopt;
}

std::string FrameKindName(FrameKind kind) {
    for (const auto& entry : kKindNames) {
        if (entry.kind == kind) {
            return entry.name;
        }
    }
    return "?";
}

std::optional<FrameKind> FrameKindFromName(const std::string& name) {
    for (const auto& entry : kKindNames) {
        if (name == entry.name) {
            return entry.kind;
        }
    }
    return std::nullopt;
}

std::string DescribeFrame(const LoggedFrame& frame) {
    std::string text = FrameKindName(frame.kind) + ": ";
    text += static_cast<char>(frame.request[0]);
    if (frame.request.size() > 1) {
        text += ' ' + HexBytes(std::span(frame.request).subspan(1));
    }
    text += " -> " + (frame.answer.empty() ? std::string("(nothing)") : HexBytes(frame.answer));
    if (!frame.what.empty()) {
        text += "  (" + frame.what + ")";
    }
    if (!frame.note.empty()) {
        text += "  [" + frame.note + "]";
    }
    if (!frame.change.empty()) {
        text += "  => " + frame.change;
    }
    return text;
}

std::string DescribeInfo(const RadioMemory& memory) {
    const std::size_t page = static_cast<std::size_t>(memory.InfoPage()) * 256;
    const auto text = [&](std::size_t at, std::size_t length) {
        return Printable(std::span(memory.bytes).subspan(page + at, length));
    };
    const std::size_t date = page + kInfoProgDate;
    return "serial \"" + text(kInfoSerialText, kInfoSerialLength) + "\", customer \"" +
           text(kInfoNameText, kInfoNameLength) + "\", programmed " +
           FormatRadioDate(memory.bytes[date], memory.bytes[date + 1], memory.bytes[date + 2]);
}

}  // namespace petrel::sim
