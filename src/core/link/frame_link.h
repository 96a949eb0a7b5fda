#pragma once

// The frame layer of the radio link: finding the radio on a port, one exchange per frame with
// its time-out, back-to-back block loops, and the serial trace. The parameter commands
// (param_link.h) and the image transfers (image_link.h) are built on it.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/link/frame_protocol.h"
#include "core/link/serial_port.h"
#include "core/ports/prompter.h"

namespace petrel {

class Clock;
class LinkTrace;
class StatusLine;

// Four bytes of radio memory: what a block read brings and a block write sends.
using Block = std::array<std::uint8_t, kBlockSize>;

// How a radio operation ended: done; failed (the radio did not answer as it must); or given
// up, when the user answered No to a question about connecting or trying again.
enum class LinkEnd { Done, Failed, Aborted };

// How a checked block write ended: no answer, an answer whose read-back differs from what was
// sent (the radio holds those bytes now), or written.
enum class BlockWrite { NotAnswered, ReadBackDiffers, Written };

// The radio's name from the band it identified with: the band's name, "unknow Radio" for a
// band the program does not know.
std::string RadioName(int band);

// A radio a detection identified, and the port it answered on.
struct SeenRadio {
    int number = 0;      // COM number
    std::string device;  // "/dev/ttyUSB0"
    int band = 0;
};

// What a test of one port found: the radio's band when it identified itself, or why not.
struct PortTest {
    enum class Outcome { Identified, NotOpened, NoAnswer, NotIdentified };
    Outcome outcome = Outcome::NoAnswer;
    int number = 0;
    std::string device;
    std::optional<int> band;  // Identified
    PortProblem problem;      // NotOpened: the system's reason
};

class FrameLink {
  public:
    FrameLink(SerialPort& port, Clock& clock, Prompter& prompter, StatusLine& status);
    ~FrameLink();
    FrameLink(const FrameLink&) = delete;
    FrameLink& operator=(const FrameLink&) = delete;

    // Writes a serial trace from now on (nullptr: none); the trace must outlive its use. It
    // starts with the devices behind the port numbers.
    void SetTrace(LinkTrace* trace);
    // The title of the questions from now on: the caption of the configuration the operations
    // are for ("" for the program's own caption).
    void SetCaption(std::string caption) { caption_ = std::move(caption); }
    std::string Caption() const;

    // The port numbers to search for a radio, ascending (the start-up scan's). A search that
    // finds no radio scans again and keeps what that scan found. The port a radio was found on
    // is forgotten: the numbers may stand for other devices now.
    void SetPorts(std::vector<int> numbers) {
        ports_ = std::move(numbers);
        portNumber_ = 0;
    }
    const std::vector<int>& Ports() const { return ports_; }

    // Finds and identifies the radio: on the open port, or else on the listed ports in order
    // (scanning again when none is listed or none answers). The port that answered stays open.
    // The band the radio identified with, or nothing when no radio answered.
    std::optional<int> DetectRadio();
    // One look for a radio that is coming or going, for a loop that waits on the cable: the
    // check command on the port the radio was found on last (on the listed ports until one
    // was), then identify. No rescan and no status text. The port stays open while a radio
    // answers. The band, or nothing.
    std::optional<int> PollRadio();
    // The check and identify commands on one port, whatever the port list holds: opens it,
    // raises DTR, lets it settle, and closes it again. Bounded by the commands' time-outs.
    PortTest TestPort(int number);
    // Called after every detection, identify and port test with the radio identified, or
    // nothing when none was (the status bar's radio field follows it).
    void SetIdentifyHook(std::function<void(const std::optional<SeenRadio>&)> hook) {
        identifyHook_ = std::move(hook);
    }
    // DetectRadio until a radio answers, asking to try again each time; false when the user
    // gave up (the port is then closed). facts, when given, lead each question: what the user
    // must know if the answer is No.
    bool ConnectRadio(const std::string& facts = {});
    void ClosePort();
    // A request to stop the running operation, made while the windows are serviced (the
    // Cancel button, Escape). Transfers look at it between two blocks and a connection attempt
    // before it asks to try again; each operation starts without one.
    void RequestCancel() { cancelRequested_ = true; }
    bool CancelRequested() const { return cancelRequested_; }
    void ClearCancel() { cancelRequested_ = false; }
    // "<what> !  Make sure the connection is OK" / "Try Again ?", after the facts when there
    // are any; detail is the box's detail text. True for Yes.
    bool AskTryAgain(const std::string& what, const std::string& facts = {},
                     const std::string& detail = {});
    // What the last detection found: the radio's band, nothing when no radio answered. This
    // is the radio's band; a configuration's band is its document's.
    std::optional<int> DetectedBand() const { return detectedBand_; }
    // The port the radio was found on last, as "COM1 /dev/ttyUSB0".
    std::string PortName() const;
    // Ports that would not open during the last search, and the same as a message's detail.
    const std::vector<PortProblem>& PortProblems() const { return portProblems_; }
    std::string PortDetail() const;

    // One exchange each, on the open port.
    bool Check();
    std::optional<int> Identify();  // the band byte
    std::optional<Block> ReadBlock(std::uint16_t address);
    // The four bytes the radio read back.
    std::optional<Block> WriteBlock(std::uint16_t address, const Block& data);
    // A block write with the longer time-out of the table writes; a differing read-back is
    // reported ("Write Error !").
    BlockWrite WriteBlockChecked(std::uint16_t address, const Block& data);
    std::optional<std::uint8_t> ReadParam(std::uint8_t page, std::uint8_t index);
    bool WriteParam(std::uint8_t page, std::uint8_t index, std::uint8_t value);
    // Everything the last complete exchange received (echo and answer).
    const std::vector<std::uint8_t>& RxFrame() const { return rxFrame_; }

    // An all-or-nothing block loop runs its exchanges back to back. Each answer is taken the
    // moment its count is reached; a byte already waiting before the next request, or an echo
    // that differs from the request (what a byte left over from an answer one byte too long
    // makes of it), fails the loop; one quiet period at the end proves the last answer was not
    // too long. Outside a loop every answer must be followed by a quiet period of its own.
    class BlockLoop {
      public:
        explicit BlockLoop(FrameLink& link);
        ~BlockLoop();
        BlockLoop(const BlockLoop&) = delete;
        BlockLoop& operator=(const BlockLoop&) = delete;
        // After the last exchange: false when a byte came after the last answer.
        bool Finish();

      private:
        FrameLink& link_;
    };

    // A question, noted in the trace with its answer.
    Answer Ask(const Message& message);
    void Tell(const std::string& text, Icon icon);
    void Trace(const std::string& text);
    // The status label at the link's size.
    void ShowLinkStatus(const std::string& text, int color);

    Clock& LinkClock() { return clock_; }
    StatusLine& Status() { return status_; }

  private:
    struct Frame {
        std::vector<std::uint8_t> request;
        int expected = 0;            // bytes in the receive buffer: echo and answer
        std::int64_t timeoutUs = 0;  // from the moment the request was handed over
    };

    // When the link saw bytes come: the time and the count the receive buffer had reached.
    using Arrivals = std::vector<std::pair<std::int64_t, int>>;

    std::optional<std::vector<std::uint8_t>> Exchange(const Frame& frame);
    std::optional<std::vector<std::uint8_t>> FailExchange(const std::string& why,
                                                          const Arrivals& arrivals = {});
    bool RunCommand(const Frame& frame, bool isCheck);
    static Frame BlockFrame(std::uint16_t address, const Block* data);

    bool SearchPorts(const std::vector<int>& numbers, std::vector<std::string>& searched);
    void RescanPorts();
    void TracePorts();
    void TraceReceived(std::span<const std::uint8_t> bytes, const Arrivals& arrivals);
    // Keeps the band identified (or none) and tells the identify hook.
    void NoteIdentified(std::optional<int> band);

    enum class LoopState { None, First, Running };

    SerialPort& port_;
    Clock& clock_;
    Prompter& prompter_;
    StatusLine& status_;
    LinkTrace* trace_ = nullptr;
    std::string caption_;
    std::vector<int> ports_;
    std::vector<std::uint8_t> rxFrame_;
    std::vector<PortProblem> portProblems_;
    LoopState loop_ = LoopState::None;
    std::optional<int> detectedBand_;
    int portNumber_ = 0;  // the port the radio was found on last
    bool cancelRequested_ = false;
    std::function<void(const std::optional<SeenRadio>&)> identifyHook_;
};

}  // namespace petrel
