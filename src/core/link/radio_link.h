#pragma once

// The radio link: frames, detection, live parameters and the image transfers.
//
// How the desktop program uses it (the seam to the GUI)
// ------------------------------------------------------
// main() builds one TermiosSerialPort over SerialDevicesFromEnvironment(), runs
// DetectRS(state, port, prompter) once at start-up, and keeps one RadioLink for the whole run:
//
//     RadioLink link(state, port, clock, prompter, status, host);
//
// - "&Upload" / toolbar "Upload":     link.RadioTransfer(TransferOp::Upload)
// - "&Download" / toolbar "Download": link.RadioTransfer(TransferOp::Download)
//
// RadioTransfer runs on the UI thread and returns when the operation is over. It serves the UI
// through clock.Pump() once per block and during its short waits. It reads the document to
// write from host.ActiveSlot(). The result says whether the transfer went through and, after
// a successful Upload, which slot holds the new document: the GUI opens an editor window for
// that slot (its title is already "TEMP<n>.CFG"), calls EnableDownload and activates it
// (which runs CheckChannels). Every other ending calls host.RadioOperationEnded() instead.
//
// LinkHost is what the GUI implements (all methods have do-nothing defaults):
// - ActiveSlot():              the active editor window's slot, 0 when none.
// - SetBusy(bool):             hourglass pointer on / back to normal.
// - SetTransferRunning(bool):  true while a transfer runs: disable every menu item and toolbar
//                              button that could start a second radio operation, and every
//                              window whose input could change the program state the transfer
//                              reads, and stop the blink timer; false: undo all that.
// - RadioOperationEnded():     an operation ended without a new document: refresh the menus
//                              and the status for the open documents (RenumberTemp, and
//                              ResetShell when no document is open).
// The status label and progress bar go through StatusLine, questions through Prompter.
// When PETREL_TRACE names a file, main() appends a LinkTrace to it and hands it to SetTrace.
//
// The customer and alignment dialogs use the rest: ReadParams/WriteParams with the Param*
// request members, the named fixed writes and reads, the table writes and the name and serial
// blocks. Every operation opens its own connection and closes the port when it ends.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/link/frame_protocol.h"
#include "core/link/radio_backup.h"
#include "core/link/serial_port.h"
#include "core/link/test_marker.h"
#include "core/model/radio_image.h"
#include "core/ports/prompter.h"

namespace petrel {

class Clock;
class LinkTrace;
class Prompter;
class StatusLine;
struct ProgramState;

enum class TransferOp { Upload = 0, Download = 1 };

// The image commands of SendCommand; identify has two numbers that send the same request.
enum class ImageCommand {
    Check = 1,
    Identify = 2,
    IdentifyAgain = 3,
    ReadBlock = 4,
    WriteBlock = 5
};
// The commands of SendParamCommand.
enum class ParamCommand { Check = 1, ReadParam = 2, WriteParam = 3, ReadBlock = 4, WriteBlock = 5 };

// What the window around the link does for it. The defaults do nothing (command line, tests).
class LinkHost {
  public:
    virtual ~LinkHost() = default;
    virtual int ActiveSlot() const { return 0; }
    virtual void SetBusy(bool /*busy*/) {}
    virtual void SetTransferRunning(bool /*running*/) {}
    virtual void RadioOperationEnded() {}
};

// How a checked block write ended: no answer, an answer whose read-back differs from what was
// sent (the radio holds those bytes now), or written.
enum class BlockWrite { NotAnswered, ReadBackDiffers, Written };

// How a name or serial block write ended: nothing was sent (no radio, or its size could not be
// read), a block failed after the first went out (the radio may hold part of it), or written.
enum class TextWrite { NotSent, Partial, Written };

// The radio on the cable as the table writes check it.
struct RadioIdentity {
    int band = 0;
    std::string serialNo;  // leading blanks removed
};

struct TransferResult {
    bool completed = false;             // every block and the closing control code went through
    std::optional<int> openedSlot;      // Upload: the new document
    std::optional<std::string> backup;  // the backup of the radio this operation kept
};

inline constexpr std::size_t kTextBlockSize = 16;

class RadioLink {
  public:
    RadioLink(ProgramState& state, SerialPort& port, Clock& clock, Prompter& prompter,
              StatusLine& status, LinkHost& host);
    ~RadioLink();
    RadioLink(const RadioLink&) = delete;
    RadioLink& operator=(const RadioLink&) = delete;

    // Writes a serial trace from now on (nullptr: none); the trace must outlive its use. It
    // starts with the devices behind the port numbers.
    void SetTrace(LinkTrace* trace);

    // Upload or Download with detection, questions, progress and the retry loop. With a
    // backup folder every Upload is kept there too, and with beforeDownload a Download reads
    // the radio and keeps it first; it writes nothing when that fails.
    TransferResult RadioTransfer(TransferOp op);
    void SetBackupPolicy(BackupPolicy policy) { backup_ = std::move(policy); }
    // One image transfer on the connection DetectRadio made; result in LinkOk and UserAbort.
    void TransferImage(bool reading);

    // Detection and the connection.
    // When no port is listed, or no listed port answers, the ports are scanned again first
    // (a cable plugged in since) and the ports that scan adds are searched too.
    void DetectRadio();
    void ConnectRadio();
    void ClosePort();
    // "<what> !  Make sure the connection is OK" / "Try Again ?", after the facts when there
    // are any; detail is the box's detail text.
    void AskTryAgain(const std::string& what, const std::string& facts = {},
                     const std::string& detail = {});

    // One exchange each; the result is LinkOk (also returned).
    bool SendCommand(ImageCommand cmd);
    bool SendParamCommand(ParamCommand cmd);
    BlockWrite WriteBlockChecked(std::span<const std::uint8_t, kBlockSize> source);

    // Live parameters: ParamCount parameters from ParamPage:ParamStart. ReadParams returns true
    // when all were read; WriteParams when the radio was there and every write was answered
    // (LinkOk tells about the last one).
    bool ReadParams();
    bool WriteParams();

    // The fixed parameter writes.
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
    bool EnableVox();                        // read-modify-write: bit 0 of page 0 index 0x8E
    bool WritePowerCode(std::uint8_t code);  // 0xAB or 0x86
    bool WritePowerValue(std::uint8_t value);
    bool SetHighPowerBit(bool on);  // read-modify-write: bit 6 of page 0 index 0x0A

    // The fixed parameter reads; the values are in ParamBuf.
    bool ReadIdentification();
    bool ReadBatteryLevel();
    bool ReadVoxLevel();
    bool ReadSquelchNoise();
    bool ReadOption0A();
    bool ReadVoxByte();

    // The identification of the radio (firmware version, mask date) into the page being read.
    void ReadInfoIds();
    // The information page the last Upload-type read brought; an Upload hands it to the new
    // document, which then owns it.
    const RadioInfoPage& Page() const { return page_; }

    // Information page items. Each asks the radio for its size (block 0x0008) and uses the
    // page of that size: the active document's channel count may belong to another radio, and
    // the other page is channel memory there.
    // The table writes: true when the radio was there and took every block as sent. The first
    // block it does not take ends the write.
    bool WritePowerTable(const InfoTable& table);
    bool WriteLevelTable(const InfoTable& table);
    // The name and serial blocks; the first block the radio does not take ends the write.
    TextWrite WriteNameBlock();
    TextWrite WriteSerialBlock();
    // The customer name and serial number the radio holds (leading blanks removed), or nothing
    // when the blocks could not be read.
    std::optional<std::string> ReadNameBlock();
    std::optional<std::string> ReadSerialBlock();
    // The band the radio identifies with and its serial number; nothing when it did not answer.
    std::optional<RadioIdentity> ReadRadioIdentity();

    // The parameter request, filled by the caller before ReadParams/WriteParams.
    std::uint8_t ParamPage = 0;
    std::uint8_t ParamStart = 0;
    std::uint8_t ParamCount = 0;
    std::vector<std::uint8_t> ParamBuf;
    std::uint8_t ParamValue = 0;
    // The address of the next request (image address, or parameter page and index).
    std::uint8_t AddrHi = 0;
    std::uint8_t AddrLo = 0;
    // The customer name and serial number blocks of the information page.
    std::array<std::uint8_t, kTextBlockSize> NameBlock{};
    std::array<std::uint8_t, kTextBlockSize> SerialBlock{};
    // The power dialog's transmit flag: cleared when a parameter write finds no radio.
    bool TxOn = false;

    // The test state the radio may be in because of the codes this link sent: a test code
    // counts from the moment it goes to a radio that was found, answered or not; only an
    // answered closing code 0xAA (0x86 for the transmitter) ends it.
    const RadioTestState& TestStateOfRadio() const { return testState_; }
    // From now on a marker file at path says so while a test state may be open.
    void SetTestMarker(const std::string& path);

    // Everything the last complete exchange received (echo and answer).
    const std::vector<std::uint8_t>& RxFrame() const { return rxFrame_; }
    bool BlankRadio() const { return blankRadio_; }
    // Ports that would not open during the last search.
    const std::vector<PortProblem>& PortProblems() const { return portProblems_; }

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

    // An all-or-nothing block loop runs its exchanges back to back. Each answer is taken the
    // moment its count is reached; a byte already waiting before the next request, or an echo
    // that differs from the request (what a byte left over from an answer one byte too long
    // makes of it), fails the loop; one quiet period at the end proves the last answer was not
    // too long. Outside a loop every answer must be followed by a quiet period of its own.
    class BlockLoop {
      public:
        explicit BlockLoop(RadioLink& link);
        ~BlockLoop();
        BlockLoop(const BlockLoop&) = delete;
        BlockLoop& operator=(const BlockLoop&) = delete;
        // After the last exchange: false when a byte came after the last answer.
        bool Finish();

      private:
        RadioLink& link_;
    };
    enum class LoopState { None, First, Running };
    bool RunCommand(const Frame& frame, bool isCheck);
    Frame BlockFrame(bool write, std::span<const std::uint8_t, kBlockSize> data) const;
    std::optional<std::array<std::uint8_t, kBlockSize>> ReadBlockAt(std::uint16_t address);
    void SetAddress(std::uint16_t address);
    std::array<std::uint8_t, kBlockSize> ImageBlock(std::size_t address) const;
    // The four bytes a block write read back (after a complete write exchange).
    std::span<const std::uint8_t, kBlockSize> ReadBack() const;

    bool WriteFixed(std::uint8_t page, std::uint8_t start, std::vector<std::uint8_t> values);
    bool ReadFixed(std::uint8_t page, std::uint8_t start, std::uint8_t count);
    bool ReadModifyWrite(std::uint8_t page, std::uint8_t index, std::uint8_t setMask,
                         std::uint8_t clearMask);
    bool CloseTransferWithControlCode(bool reading);
    std::optional<std::array<std::uint8_t, kBlockSize>> ReadTypeBlock();
    std::optional<int> AskInfoPage();
    bool WriteTable(std::span<const std::uint8_t> table, std::uint8_t start);
    TextWrite WriteTextBlock(const std::array<std::uint8_t, kTextBlockSize>& block,
                             std::uint8_t start);
    bool ReadTextBlock(std::array<std::uint8_t, kTextBlockSize>& block, std::uint8_t start);
    bool RadioAnswered() const;
    void NoteCodeSent(std::uint8_t code);
    void NoteCodeAnswered(std::uint8_t code);
    void SetTestState(const RadioTestState& next);

    bool SearchPorts(const std::vector<int>& numbers, std::vector<std::string>& searched);
    void RescanPorts();
    std::string PortDetail() const;

    void Trace(const std::string& text);
    void TracePorts();
    void TraceReceived(std::span<const std::uint8_t> bytes, const Arrivals& arrivals);
    Answer Ask(const Message& message);

    void ShowLinkStatus(const std::string& text, int color);
    std::string ActiveCaption() const;
    bool AskToContinue(const std::string& first);
    void EndOperation();
    std::optional<int> OpenUploadedDocument();
    bool DetectForTransfer();
    bool ReadRadioImage();
    void WriteRadioImage(TransferResult& result);
    std::optional<std::string> KeepBackup();
    bool BackUpBeforeWriting(TransferResult& result);

    ProgramState& state_;
    SerialPort& port_;
    Clock& clock_;
    Prompter& prompter_;
    StatusLine& status_;
    LinkHost& host_;

    std::vector<std::uint8_t> rxFrame_;
    ImageBuf image_;         // the image on its way to or from the radio
    RadioInfoPage page_;     // the information page read with it
    std::string readFacts_;  // why an Upload-type read runs, for its failure question
    bool blankRadio_ = false;
    int radioBand_ = 0;      // what the last identification said
    int radioChannels_ = 0;  // what the last read at 0x0008 said the radio holds
    std::vector<PortProblem> portProblems_;
    LoopState loop_ = LoopState::None;
    LinkTrace* trace_ = nullptr;
    BackupPolicy backup_;
    int portNumber_ = 0;  // the port the radio was found on last
    RadioTestState testState_;
    std::unique_ptr<TestMarkerKeeper> marker_;
    bool markerFailureTold_ = false;
};

}  // namespace petrel
