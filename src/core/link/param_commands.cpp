// Live parameter commands: the block read and write of parameters and the fixed writes and
// reads the dialogs use.

#include "core/link/frame_protocol.h"
#include "core/link/radio_link.h"
#include "core/model/program_state.h"
#include "core/ports/prompter.h"

namespace petrel {

namespace {

constexpr std::size_t kParamValueAt = 3;

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

}  // namespace

bool RadioLink::RadioAnswered() const {
    return !state_.RadioAbsent && state_.LinkOk;
}

bool RadioLink::ReadParams() {
    ParamBuf.assign(static_cast<std::size_t>(ParamCount) + 1, 0);
    for (;;) {
        ConnectRadio();
        if (!RadioAnswered()) {
            ClosePort();
            return false;
        }
        AddrHi = ParamPage;
        bool complete = true;
        {
            BlockLoop loop(*this);
            for (std::size_t i = 0; complete && i < ParamCount; ++i) {
                AddrLo = static_cast<std::uint8_t>(ParamStart + i);
                complete = SendParamCommand(ParamCommand::ReadParam);
                if (complete) {
                    ParamBuf[i] = RxFrame()[kParamValueAt];
                }
            }
            complete = complete && loop.Finish();
        }
        // Retry starts the whole block again from a new connection.
        ClosePort();
        if (complete) {
            return true;
        }
        const Answer answer =
            Ask(Message{"Read Error !", {}, Buttons::RetryCancel, Icon::Exclamation, std::nullopt});
        if (answer != Answer::Retry) {
            return false;
        }
    }
}

bool RadioLink::WriteParams() {
    ConnectRadio();
    if (!RadioAnswered()) {
        TxOn = false;
        ClosePort();
        return false;
    }
    AddrHi = ParamPage;
    const bool controlCode =
        ParamPage == kControlPage && ParamStart == kControlCodeIndex && ParamCount > 0;
    const std::uint8_t code = controlCode && !ParamBuf.empty() ? ParamBuf[0] : 0;
    if (controlCode) {
        NoteCodeSent(code);
    }
    // An unanswered write is neither reported nor repeated: the next one follows.
    bool allAnswered = true;
    for (std::size_t i = 0; i < ParamCount; ++i) {
        AddrLo = static_cast<std::uint8_t>(ParamStart + i);
        ParamValue = i < ParamBuf.size() ? ParamBuf[i] : 0;
        allAnswered = SendParamCommand(ParamCommand::WriteParam) && allAnswered;
    }
    ClosePort();
    if (controlCode && allAnswered) {
        NoteCodeAnswered(code);
    }
    return allAnswered;
}

void RadioLink::SetTestMarker(const std::string& path) {
    marker_ = std::make_unique<TestMarkerKeeper>(path);
    markerFailureTold_ = false;
}

// Before a code goes out: from here on the radio may be in its test state or transmitting.
void RadioLink::NoteCodeSent(std::uint8_t code) {
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
void RadioLink::NoteCodeAnswered(std::uint8_t code) {
    RadioTestState next = testState_;
    if (code == kCodeEndTest) {
        next = {};
    } else if (code == kCodeKeyOff) {
        next.keyed = false;
    }
    SetTestState(next);
}

void RadioLink::SetTestState(const RadioTestState& next) {
    if (next == testState_) {
        return;
    }
    testState_ = next;
    if (!marker_) {
        return;
    }
    const std::string port =
        "COM" + std::to_string(portNumber_) + " " + port_.DeviceName(portNumber_);
    if (const auto error = marker_->Update(testState_, port); error && !markerFailureTold_) {
        markerFailureTold_ = true;
        Ask(Message{MarkerNotWrittenText(marker_->Path(), *error),
                    {},
                    Buttons::Ok,
                    Icon::Exclamation,
                    std::nullopt});
    }
}

bool RadioLink::WriteFixed(std::uint8_t page, std::uint8_t start,
                           std::vector<std::uint8_t> values) {
    ParamPage = page;
    ParamStart = start;
    ParamCount = static_cast<std::uint8_t>(values.size());
    ParamBuf = std::move(values);
    return WriteParams();
}

bool RadioLink::ReadFixed(std::uint8_t page, std::uint8_t start, std::uint8_t count) {
    ParamPage = page;
    ParamStart = start;
    ParamCount = count;
    return ReadParams();
}

bool RadioLink::ReadModifyWrite(std::uint8_t page, std::uint8_t index, std::uint8_t setMask,
                                std::uint8_t clearMask) {
    // Without the byte as the radio holds it, writing would clobber its other bits.
    if (!ReadFixed(page, index, 1)) {
        return false;
    }
    const auto value = static_cast<std::uint8_t>((ParamBuf[0] | setMask) & ~clearMask);
    return WriteFixed(page, index, {value});
}

bool RadioLink::WriteControlAA() {
    return WriteFixed(kControlPage, kControlCodeIndex, {kCodeEndTest, kControlArgument});
}
bool RadioLink::WriteControlAD() {
    return WriteFixed(kControlPage, kControlCodeIndex, {kCodeTransmitTest, kControlArgument});
}
bool RadioLink::WriteControl92() {
    return WriteFixed(kControlPage, kControlCodeIndex, {kCodeAlignment, kControlArgument});
}
bool RadioLink::WriteControl90() {
    return WriteFixed(kControlPage, kControlCodeIndex, {kCodeAfterRead, kControlArgument});
}
bool RadioLink::WriteControlAC() {
    return WriteFixed(kControlPage, kControlCodeIndex, {kCodeReceiveTest, kReceiveTestArgument});
}

bool RadioLink::WriteSquelchMode() {
    return WriteFixed(kTestPage, kSquelchModeIndex, {kSquelchModeValue});
}
bool RadioLink::WriteReceiveFlag() {
    return WriteFixed(kTestPage, kReceiveFlagIndex, {0x00});
}
bool RadioLink::WriteTransmitFlag() {
    return WriteFixed(kTestPage, kTransmitFlagIndex, {0x00});
}
bool RadioLink::WriteTestEnable() {
    return WriteFixed(kTestPage, kTestEnableIndex, {0x01});
}

bool RadioLink::WriteReceiveFrequency(std::uint8_t pllHigh, std::uint8_t pllLow,
                                      std::uint8_t third) {
    return WriteFixed(kTestPage, kReceiveFrequencyIndex, {pllHigh, pllLow, third});
}

bool RadioLink::WriteTransmitFrequency(std::uint8_t pllHigh, std::uint8_t pllLow,
                                       std::uint8_t third) {
    return WriteFixed(kTestPage, kTransmitFrequencyIndex, {pllHigh, pllLow, third});
}

bool RadioLink::WriteReceiveReference(std::uint8_t value) {
    return WriteFixed(kReferencePage, kReceiveReferenceIndex, {value});
}

bool RadioLink::WriteTransmitReference(std::uint8_t value) {
    return WriteFixed(kReferencePage, kTransmitReferenceIndex, {value});
}

bool RadioLink::WriteTestPattern() {
    return WriteFixed(kTestPage, kTestPatternIndex,
                      {kTestPatternValue, kTestPatternValue, kTestPatternValue, kTestPatternValue});
}

bool RadioLink::EnableVox() {
    return ReadModifyWrite(kOptionPage, kVoxByteIndex, kVoxEnableBit, 0);
}

bool RadioLink::WritePowerCode(std::uint8_t code) {
    return WriteFixed(kControlPage, kControlCodeIndex, {code});
}

bool RadioLink::WritePowerValue(std::uint8_t value) {
    return WriteFixed(kOptionPage, kPowerValueIndex, {value});
}

bool RadioLink::SetHighPowerBit(bool on) {
    return ReadModifyWrite(kOptionPage, kOption0AIndex, on ? kHighPowerBit : 0,
                           on ? 0 : kHighPowerBit);
}

bool RadioLink::ReadIdentification() {
    return ReadFixed(kControlPage, kIdentIndex, kIdentCount);
}
bool RadioLink::ReadBatteryLevel() {
    return ReadFixed(kControlPage, kBatteryLevelIndex, 1);
}
bool RadioLink::ReadVoxLevel() {
    return ReadFixed(kControlPage, kVoxLevelIndex, 1);
}
bool RadioLink::ReadSquelchNoise() {
    return ReadFixed(kSquelchNoisePage, kSquelchNoiseIndex, 1);
}
bool RadioLink::ReadOption0A() {
    return ReadFixed(kOptionPage, kOption0AIndex, 1);
}
bool RadioLink::ReadVoxByte() {
    return ReadFixed(kOptionPage, kVoxByteIndex, 1);
}

}  // namespace petrel
