#pragma once

// Live parameters of the radio: reads and writes of page:index addresses, the named fixed
// writes and reads the customer and alignment windows use, and the test state those writes may
// leave the radio in. Every command opens its own connection and closes the port when it ends.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/link/frame_link.h"
#include "core/link/test_marker.h"

namespace petrel {

// The radio's firmware version ("V1.20") and mask date ("May-20-2003").
struct RadioIds {
    std::string firmwareVersion;
    std::string maskDate;
};

class ParamLink {
  public:
    explicit ParamLink(FrameLink& frames);
    ~ParamLink();
    ParamLink(const ParamLink&) = delete;
    ParamLink& operator=(const ParamLink&) = delete;

    // count parameters from page:start (the index wraps within the page), read back to back.
    // An incomplete read asks "Read Error !"; Retry reads them all again on a new connection.
    // Nothing when there was no radio or the user cancelled.
    std::optional<std::vector<std::uint8_t>> ReadParams(std::uint8_t page, std::uint8_t start,
                                                        std::uint8_t count);
    // values to page:start onwards. An unanswered write is neither reported nor repeated: the
    // next one follows. Done when every write was answered, Aborted when there was no radio.
    LinkEnd WriteParams(std::uint8_t page, std::uint8_t start,
                        std::span<const std::uint8_t> values);

    // The fixed parameter writes: true when the radio answered every byte.
    bool WriteControlAA();  // after Download; closing the alignment dialogs
    bool WriteControlAD();  // transmit test set-up
    bool WriteControl92();  // opening the other alignment dialogs; closing the battery dialog
    bool WriteControl90();  // after reading the information page; customer dialog OK
    bool WriteControlAC();  // receive test start of the squelch dialog
    bool WriteSquelchMode();
    bool WriteReceiveFlag();
    bool WriteTransmitFlag();
    bool WriteTestEnable();
    bool WriteReceiveFrequency(std::uint8_t pllHigh, std::uint8_t pllLow, std::uint8_t third);
    bool WriteTransmitFrequency(std::uint8_t pllHigh, std::uint8_t pllLow, std::uint8_t third);
    bool WriteReceiveReference(std::uint8_t value);
    bool WriteTransmitReference(std::uint8_t value);
    bool WriteTestPattern();
    bool EnableVox();  // read-modify-write: bit 0 of page 0 index 0x8E
    // The transmitter's key (kCodeKeyOn) or release (kCodeKeyOff), written alone.
    bool WritePowerCode(std::uint8_t code);
    bool WritePowerValue(std::uint8_t value);
    bool SetHighPowerBit(bool on);  // read-modify-write: bit 6 of page 0 index 0x0A

    // The fixed parameter reads.
    std::optional<RadioIds> ReadIdentification();
    std::optional<std::uint8_t> ReadBatteryLevel();
    std::optional<std::uint8_t> ReadVoxLevel();
    std::optional<std::uint8_t> ReadSquelchNoise();

    // The test state the radio may be in because of the codes this link sent: a test code
    // counts from the moment it goes to a radio that was found, answered or not; only an
    // answered closing code 0xAA (0x86 for the transmitter) ends it.
    const RadioTestState& TestStateOfRadio() const { return testState_; }
    // From now on a marker file at path says so while a test state may be open.
    void SetTestMarker(const std::string& path);

  private:
    bool WriteFixed(std::uint8_t page, std::uint8_t start, std::vector<std::uint8_t> values);
    std::optional<std::uint8_t> ReadOne(std::uint8_t page, std::uint8_t index);
    bool ReadModifyWrite(std::uint8_t page, std::uint8_t index, std::uint8_t setMask,
                         std::uint8_t clearMask);
    void NoteCodeSent(std::uint8_t code);
    void NoteCodeAnswered(std::uint8_t code);
    void SetTestState(const RadioTestState& next);

    FrameLink& frames_;
    RadioTestState testState_;
    std::unique_ptr<TestMarkerKeeper> marker_;
    bool markerFailureTold_ = false;
};

}  // namespace petrel
