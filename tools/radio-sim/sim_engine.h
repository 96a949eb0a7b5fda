#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace petrel::sim {

// One byte on the line at 2400 baud: a start bit, 8 data bits and a stop bit.
inline constexpr std::int64_t kByteTimeUs = 10'000'000 / 2400;

// The radio's memory addresses that matter to the programming software.
inline constexpr std::size_t kMemorySize = 0x10000;
inline constexpr std::size_t kRadioTypeByte = 0x000A;  // bit 1 set: a 99-channel radio
inline constexpr std::uint8_t kNinetyNineChannelBit = 0x02;
inline constexpr int kInfoPage99 = 7;
inline constexpr int kInfoPage16 = 1;
inline constexpr int kParamPages = 3;

// The frames the radio understands, named by what they do.
enum class FrameKind { Check, Identify, ReadBlock, WriteBlock, ReadParam, WriteParam };

// How a fault spoils an answer.
enum class FaultKind {
    Drop,         // no answer at all
    Short,        // the answer without its last byte
    Long,         // the answer with one byte too many
    WrongCheck,   // a check answered with 0x00 instead of 0x11
    BadReadback,  // a block write that stores (and reads back) its first byte inverted
};

// A fault armed on one kind of frame: after `skip` such frames went well, the next `count`
// are spoiled (count < 0: all of them).
struct Fault {
    FaultKind kind = FaultKind::Drop;
    FrameKind frame = FrameKind::Check;
    int skip = 0;
    int count = 1;
    int seen = 0;  // frames of that kind so far
};

// The radio's state: its memory (image and information page), the band it reports, and its
// three pages of live parameters.
struct RadioMemory {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kMemorySize, 0xFF);
    std::uint8_t band = 9;
    std::array<std::array<std::uint8_t, 256>, kParamPages> params{};

    bool NinetyNineChannels() const { return (bytes[kRadioTypeByte] & kNinetyNineChannelBit) != 0; }
    int Channels() const { return NinetyNineChannels() ? 99 : 16; }
    // Bytes of the image the programming software moves: 96 + 8 per channel.
    std::size_t ImageTop() const { return 96 + 8 * static_cast<std::size_t>(Channels()); }
    int InfoPage() const { return NinetyNineChannels() ? kInfoPage99 : kInfoPage16; }
    std::uint8_t& Info(std::size_t offset) {
        return bytes[static_cast<std::size_t>(InfoPage()) * 256 + (offset & 0xFF)];
    }
};

// A frame as the radio received it, with the answer it put on the line.
struct LoggedFrame {
    std::int64_t timeUs = 0;  // when its last byte arrived
    FrameKind kind = FrameKind::Check;
    std::vector<std::uint8_t> request;
    std::vector<std::uint8_t> answer;
    std::string note;    // the fault applied, if any
    std::string what;    // what the frame moves, where it matters to a dealer (customer blocks)
    std::string change;  // what the frame changed in the radio's test state, if anything
};

// The test states the alignment codes put the radio in.
enum class TestMode { Normal, Alignment, ReceiveTest, TransmitTest };
std::string TestModeName(TestMode mode);

// What the radio is doing: its test state and its transmitter.
struct RadioActivity {
    TestMode mode = TestMode::Normal;
    bool transmitting = false;
    std::uint8_t power = 0;  // the power value last written (page 0, index 0x00)
};
// "transmitter off, normal mode" or "TRANSMITTING at power 120, transmit test".
std::string DescribeActivity(const RadioActivity& activity);

// Readings the radio gives for one measured parameter, in turn. The last one repeats, so the
// reading settles; with cycle the list starts again, so a list of different values never does.
struct Measurement {
    std::vector<std::uint8_t> readings;
    bool cycle = false;
    std::size_t taken = 0;
    std::uint8_t Next();
};
// "120,121,121" or "cycle:120,121"; nothing when the text is not such a list of bytes.
std::optional<Measurement> ParseMeasurement(const std::string& text);

// One radio of a fleet: its memory, and the faults it has (fault windows count its own frames).
struct FleetMember {
    RadioMemory memory;
    std::vector<Fault> faults;
};

struct EngineOptions {
    bool echo = true;                    // the programming cable echoes every byte sent
    bool silent = false;                 // the radio never answers (switched off)
    std::int64_t byteTimeUs = 0;         // 0: bytes travel at once; kByteTimeUs: real speed
    std::int64_t answerDelayUs = 1'000;  // the radio's time to think before it answers
};

// The simulated radio on its cable. Bytes come in with the time they were sent; the echo and
// the answers go out as bytes with the time they are on the line, one after another as on a
// real shared wire. The same engine runs behind a pseudo-terminal and, in tests, behind an
// in-process port on a virtual clock.
class RadioSimEngine {
  public:
    explicit RadioSimEngine(RadioMemory memory = {}, EngineOptions options = {});

    // Bytes the computer sent at nowUs.
    void Receive(std::span<const std::uint8_t> bytes, std::int64_t nowUs);
    // Bytes on the line by nowUs, in order; they are taken out of the engine.
    std::vector<std::uint8_t> TakeOutput(std::int64_t nowUs);
    // When the next byte will be on the line, if any is coming.
    std::optional<std::int64_t> NextOutputUs() const;

    void AddFault(Fault fault) { faults_.push_back(fault); }
    void ClearFaults() { faults_.clear(); }

    // A fleet: the radios that come to the cable after this one, one after the other. A radio
    // is taken away once its image has been written and it has then been sent the closing code
    // 90H, or once it has been identified and then had no block read or write for a while (a
    // radio the program refused or gave up on, which the dealer takes off); the next one comes
    // gapUs later. Meanwhile the cable only echoes.
    void SetFleet(std::vector<FleetMember> next, std::int64_t gapUs);
    // The radios taken away, in order, as they were when they went.
    const std::vector<RadioMemory>& Departed() const { return departed_; }
    // The radio on the cable is taken away (as a dealer takes off a radio that failed); the
    // next one of the fleet comes after the gap.
    void RemoveRadio() { leaving_ = !gone_; }
    // Whether a radio is on the cable now (at the time of the last bytes received).
    bool Present() const { return !gone_; }
    EngineOptions& Options() { return options_; }
    RadioMemory& Memory() { return memory_; }
    const RadioMemory& Memory() const { return memory_; }

    const std::vector<LoggedFrame>& Log() const { return log_; }
    void ClearLog() { log_.clear(); }
    // Called with every frame as it is handled (the executable prints them).
    void SetFrameSink(std::function<void(const LoggedFrame&)> sink) { sink_ = std::move(sink); }
    // The control codes written to the mailbox (page 2, indexes 0x10 and 0x11), in order.
    const std::vector<std::array<std::uint8_t, 2>>& ControlCodes() const { return controlCodes_; }

    // The readings of a measured parameter (page 1 index 0xA4 noise, page 2 index 0x06 VOX
    // level, page 2 index 0x07 battery); without one a read gives the parameter's memory.
    void SetMeasurement(std::uint8_t page, std::uint8_t index, Measurement measurement);
    const RadioActivity& Activity() const { return activity_; }
    // Where the radio starts: a radio left in a test state, or on the air, by a program that
    // ended without closing it.
    void SetActivity(const RadioActivity& activity) { activity_ = activity; }

  private:
    struct OutByte {
        std::int64_t timeUs;
        std::uint8_t value;
    };

    // Length of the frame that starts the partial bytes, 0 while it cannot be told yet, -1 for
    // a byte that starts no frame.
    int FrameLength() const;
    void HandleFrame(std::int64_t endUs);
    std::vector<std::uint8_t> Answer(FrameKind kind, const std::vector<std::uint8_t>& request,
                                     bool badReadback);
    void Put(std::uint8_t value, std::int64_t earliestUs);
    std::string WhatFrameMoves(FrameKind kind, const std::vector<std::uint8_t>& request,
                               const std::vector<std::uint8_t>& answer) const;
    // A parameter write as the radio acts on it: the test states and the transmitter. Returns
    // what changed, or nothing.
    std::string ApplyParamWrite(std::uint8_t page, std::uint8_t index, std::uint8_t value);

    // Takes a radio away, or brings the next one, as the fleet's time has come.
    void AdvanceFleet(std::int64_t nowUs);

    RadioMemory memory_;
    EngineOptions options_;
    std::deque<FleetMember> fleet_;
    std::vector<RadioMemory> departed_;
    std::int64_t fleetGapUs_ = 0;
    bool fleetMode_ = false;
    bool imageWritten_ = false;  // this radio's image has been written since it came
    bool leaving_ = false;       // it got the closing code: it goes before the next frame
    bool gone_ = false;
    std::int64_t arrivesUs_ = 0;
    std::optional<std::int64_t> busyUs_;  // its last block frame, or when it was first identified
    std::vector<Fault> faults_;
    std::vector<std::uint8_t> partial_;
    std::int64_t lastByteUs_ = 0;
    std::int64_t lineFreeUs_ = 0;  // the wire is busy until then
    std::deque<OutByte> output_;
    std::vector<LoggedFrame> log_;
    std::vector<std::array<std::uint8_t, 2>> controlCodes_;
    std::vector<std::pair<std::uint16_t, Measurement>> measurements_;  // page << 8 | index
    RadioActivity activity_;
    std::function<void(const LoggedFrame&)> sink_;
};

// A fresh memory: a radio programmed with a new configuration of band (1..12) and 16 or 99
// channels, its information page holding the band's tables and the given texts; or, when blank,
// a never-programmed radio (every byte 0xFF but the channel-count bit).
RadioMemory MakeRadio(int band, int channels, bool blank, const std::string& serialNo = {},
                      const std::string& customer = {});

// Makes the radio a 99-channel one for channels above 16, else a 16-channel one (bit 1 of
// byte 0x000A).
void SetChannels(RadioMemory& memory, int channels);

// Memory from a ".cfg" file and its companion (beside it): the image and band byte, and the
// information page when the companion is there. The radio's channel count is channels, or
// else follows the file's. Returns an error text on failure.
std::optional<std::string> LoadRadio(RadioMemory& memory, const std::string& cfgPath,
                                     std::optional<int> channels = std::nullopt);
// The radio's image, band and information page as a ".cfg" file and its companion, as an
// Upload would give them. Returns an error text on failure.
std::optional<std::string> SaveRadio(const RadioMemory& memory, const std::string& cfgPath);

// The customer texts and programming date of the information page:
// serial "PT-1", customer "SHOP", programmed Jan-05-2004.
std::string DescribeInfo(const RadioMemory& memory);

// "R 00 08 -> 01 02 03 04" and the like, for the log.
std::string DescribeFrame(const LoggedFrame& frame);
std::string FrameKindName(FrameKind kind);
std::optional<FrameKind> FrameKindFromName(const std::string& name);

}  // namespace petrel::sim
