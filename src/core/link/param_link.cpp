#include "core/link/param_link.h"

#include "core/link/frame_protocol.h"
#include "core/model/info_page.h"

namespace petrel {

namespace {

// Pages and first indexes of the fixed parameters.
constexpr std::uint8_t kOption0AIndex = 0x0A;
constexpr std::uint8_t kVoxByteIndex = 0x8E;
constexpr std::uint8_t kVoxEnableBit = 0x01;
constexpr std::uint8_t kHighPowerBit = 0x40;
constexpr std::uint8_t kTestPage = 0;
constexpr std::uint8_t kSquelchModeIndex = 0xA0;
constexpr std::uint8_t kSquelchModeValue = 0xC2;
constexpr std::uint8_t kReceiveFlagIndex = 0xB0;
constexpr std::uint8_t kTransmitFlagIndex = 0xB4;
constexpr std::uint8_t kTestEnableIndex = 0xBC;
constexpr std::uint8_t kReceiveFrequencyIndex = 0xB1;
constexpr std::uint8_t kTransmitFrequencyIndex = 0xB5;
constexpr std::uint8_t kReferencePage = 1;
constexpr std::uint8_t kReceiveReferenceIndex = 0x3F;
constexpr std::uint8_t kTransmitReferenceIndex = 0x40;
constexpr std::uint8_t kTestPatternIndex = 0xD0;
constexpr std::uint8_t kTestPatternValue = 0xC8;

// The identification's bytes: firmware major and minor, mask date year, month, day.
constexpr std::size_t kFirmwareMajor = 0;
constexpr std::size_t kFirmwareMinor = 1;
constexpr std::size_t kMaskYear = 2;

}  // namespace

ParamLink::ParamLink(FrameLink& frames) : frames_(frames) {}

ParamLink::~ParamLink() = default;

std::optional<std::vector<std::uint8_t>> ParamLink::ReadParams(std::uint8_t page,
                                                               std::uint8_t start,
                                                               std::uint8_t count) {
    for (;;) {
        if (!frames_.ConnectRadio()) {
            return std::nullopt;
        }
        std::vector<std::uint8_t> values;
        bool complete = true;
        {
            FrameLink::BlockLoop loop(frames_);
            for (std::size_t i = 0; complete && i < count; ++i) {
                const auto value = frames_.ReadParam(page, static_cast<std::uint8_t>(start + i));
                complete = value.has_value();
                if (value) {
                    values.push_back(*value);
                }
            }
            complete = complete && loop.Finish();
        }
        // Retry starts the whole block again from a new connection.
        frames_.ClosePort();
        if (complete) {
            return values;
        }
        const Answer answer = frames_.Ask(
            Message{"Read Error !", {}, Buttons::RetryCancel, Icon::Exclamation, std::nullopt});
        if (answer != Answer::Retry) {
            return std::nullopt;
        }
    }
}

LinkEnd ParamLink::WriteParams(std::uint8_t page, std::uint8_t start,
                               std::span<const std::uint8_t> values) {
    if (!frames_.ConnectRadio()) {
        return LinkEnd::Aborted;
    }
    const bool controlCode = page == kControlPage && start == kControlCodeIndex && !values.empty();
    const std::uint8_t code = controlCode ? values[0] : 0;
    if (controlCode) {
        NoteCodeSent(code);
    }
    bool allAnswered = true;
    for (std::size_t i = 0; i < values.size(); ++i) {
        allAnswered =
            frames_.WriteParam(page, static_cast<std::uint8_t>(start + i), values[i]) &&
            allAnswered;
    }
    frames_.ClosePort();
    if (controlCode && allAnswered) {
        NoteCodeAnswered(code);
    }
    return allAnswered ? LinkEnd::Done : LinkEnd::Failed;
}

void ParamLink::SetTestMarker(const std::string& path) {
    marker_ = std::make_unique<TestMarkerKeeper>(path, frames_.LinkClock());
    markerFailureTold_ = false;
}

// Before a code goes out: from here on the radio may be in its test state or transmitting.
void ParamLink::NoteCodeSent(std::uint8_t code) {
    RadioTestState next = testState_;
    if (code == kCodeAlignment || code == kCodeReceiveTest || code == kCodeTransmitTest) {
        next.code = code;
    } else if (code == kCodeKeyOn) {
        next.keyed = true;
    }
    SetTestState(next);
}

// After the radio answered every byte of a code: the closing code ends the test state, the
// release the transmitter.
void ParamLink::NoteCodeAnswered(std::uint8_t code) {
    RadioTestState next = testState_;
    if (code == kCodeEndTest) {
        next = {};
    } else if (code == kCodeKeyOff) {
        next.keyed = false;
    }
    SetTestState(next);
}

void ParamLink::SetTestState(const RadioTestState& next) {
    if (next == testState_) {
        return;
    }
    testState_ = next;
    if (!marker_) {
        return;
    }
    if (const Result<void> updated = marker_->Update(testState_, frames_.PortName());
        !updated && !markerFailureTold_) {
        markerFailureTold_ = true;
        frames_.Ask(Message{MarkerNotWrittenText(marker_->Path(), updated.Message()),
                            {},
                            Buttons::Ok,
                            Icon::Exclamation,
                            std::nullopt});
    }
}

bool ParamLink::WriteFixed(std::uint8_t page, std::uint8_t start,
                           std::vector<std::uint8_t> values) {
    return WriteParams(page, start, values) == LinkEnd::Done;
}

std::optional<std::uint8_t> ParamLink::ReadOne(std::uint8_t page, std::uint8_t index) {
    const auto values = ReadParams(page, index, 1);
    return values ? std::optional(values->front()) : std::nullopt;
}

bool ParamLink::ReadModifyWrite(std::uint8_t page, std::uint8_t index, std::uint8_t setMask,
                                std::uint8_t clearMask) {
    // Without the byte as the radio holds it, writing would clobber its other bits.
    const auto value = ReadOne(page, index);
    if (!value) {
        return false;
    }
    return WriteFixed(page, index, {static_cast<std::uint8_t>((*value | setMask) & ~clearMask)});
}

bool ParamLink::WriteControlAA() {
    return WriteFixed(kControlPage, kControlCodeIndex, {kCodeEndTest, kControlArgument});
}
bool ParamLink::WriteControlAD() {
    return WriteFixed(kControlPage, kControlCodeIndex, {kCodeTransmitTest, kControlArgument});
}
bool ParamLink::WriteControl92() {
    return WriteFixed(kControlPage, kControlCodeIndex, {kCodeAlignment, kControlArgument});
}
bool ParamLink::WriteControl90() {
    return WriteFixed(kControlPage, kControlCodeIndex, {kCodeAfterRead, kControlArgument});
}
bool ParamLink::WriteControlAC() {
    return WriteFixed(kControlPage, kControlCodeIndex, {kCodeReceiveTest, kReceiveTestArgument});
}

bool ParamLink::WriteSquelchMode() {
    return WriteFixed(kTestPage, kSquelchModeIndex, {kSquelchModeValue});
}
bool ParamLink::WriteReceiveFlag() {
    return WriteFixed(kTestPage, kReceiveFlagIndex, {0x00});
}
bool ParamLink::WriteTransmitFlag() {
    return WriteFixed(kTestPage, kTransmitFlagIndex, {0x00});
}
bool ParamLink::WriteTestEnable() {
    return WriteFixed(kTestPage, kTestEnableIndex, {0x01});
}

bool ParamLink::WriteReceiveFrequency(std::uint8_t pllHigh, std::uint8_t pllLow,
                                      std::uint8_t third) {
    return WriteFixed(kTestPage, kReceiveFrequencyIndex, {pllHigh, pllLow, third});
}

bool ParamLink::WriteTransmitFrequency(std::uint8_t pllHigh, std::uint8_t pllLow,
                                       std::uint8_t third) {
    return WriteFixed(kTestPage, kTransmitFrequencyIndex, {pllHigh, pllLow, third});
}

bool ParamLink::WriteReceiveReference(std::uint8_t value) {
    return WriteFixed(kReferencePage, kReceiveReferenceIndex, {value});
}

bool ParamLink::WriteTransmitReference(std::uint8_t value) {
    return WriteFixed(kReferencePage, kTransmitReferenceIndex, {value});
}

bool ParamLink::WriteTestPattern() {
    return WriteFixed(kTestPage, kTestPatternIndex,
                      {kTestPatternValue, kTestPatternValue, kTestPatternValue, kTestPatternValue});
}

bool ParamLink::EnableVox() {
    return ReadModifyWrite(kOptionPage, kVoxByteIndex, kVoxEnableBit, 0);
}

bool ParamLink::WritePowerCode(std::uint8_t code) {
    return WriteFixed(kControlPage, kControlCodeIndex, {code});
}

bool ParamLink::WritePowerValue(std::uint8_t value) {
    return WriteFixed(kOptionPage, kPowerValueIndex, {value});
}

bool ParamLink::SetHighPowerBit(bool on) {
    return ReadModifyWrite(kOptionPage, kOption0AIndex, on ? kHighPowerBit : 0,
                           on ? 0 : kHighPowerBit);
}

std::optional<RadioIds> ParamLink::ReadIdentification() {
    const auto ids = ReadParams(kControlPage, kIdentIndex, kIdentCount);
    if (!ids) {
        return std::nullopt;
    }
    const auto& v = *ids;
    return RadioIds{
        "V" + std::to_string(v[kFirmwareMajor]) + "." + std::to_string(v[kFirmwareMinor]),
        FormatRadioDate(v[kMaskYear], v[kMaskYear + 1], v[kMaskYear + 2])};
}

std::optional<std::uint8_t> ParamLink::ReadBatteryLevel() {
    return ReadOne(kControlPage, kBatteryLevelIndex);
}
std::optional<std::uint8_t> ParamLink::ReadVoxLevel() {
    return ReadOne(kControlPage, kVoxLevelIndex);
}
std::optional<std::uint8_t> ParamLink::ReadSquelchNoise() {
    return ReadOne(kSquelchNoisePage, kSquelchNoiseIndex);
}

}  // namespace petrel
