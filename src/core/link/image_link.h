#pragma once

// The radio's memory as blocks: Upload and Download of the whole image with its information
// page, and the items of the information page (calibration tables, customer name and serial
// number) the customer and alignment windows read and write.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/history/service_history.h"
#include "core/link/frame_link.h"
#include "core/link/radio_backup.h"
#include "core/model/info_page.h"
#include "core/model/radio_image.h"

namespace petrel {

class ParamLink;

enum class TransferOp { Upload, Download };

// How a name or serial block write ended: nothing was sent (no radio, or its size could not be
// read), a block failed after the first went out (the radio may hold part of it), or written.
enum class TextWrite { NotSent, Partial, Written };

inline constexpr std::size_t kTextBlockSize = 16;
// A customer name or serial number block of the information page: a first byte, then the text.
using TextBlock = std::array<std::uint8_t, kTextBlockSize>;

// The radio on the cable as the table writes check it.
struct RadioIdentity {
    int band = 0;
    std::string serialNo;  // leading blanks removed
};

struct TransferResult {
    bool completed = false;  // every block and the closing control code went through
    bool cancelled = false;  // stopped by a cancel request
    int channels = 0;        // the channels read, or written and verified
    // Upload: the radio read, when its band is one this program knows.
    std::optional<RadioRead> read;
    std::optional<std::string> backup;  // the backup of the radio this operation kept
    bool writeStarted = false;          // Download: the image went out to the radio
};

// What the status line says when a transfer is over: what was read or written, where the
// radio as it was is kept, or that it was cancelled. After a failure "" (its messages said
// it), but a Download that failed after its backup was kept names the backup.
std::string TransferReport(TransferOp op, const TransferResult& result);

class ImageLink {
  public:
    ImageLink(FrameLink& frames, ParamLink& params);

    // With a backup folder every Upload is kept there too, and with beforeDownload a Download
    // reads the radio and keeps it first; it writes nothing when that fails.
    void SetBackupPolicy(BackupPolicy policy) { backup_ = std::move(policy); }

    // From now on every Upload, Download, table write and customer write is recorded in history
    // (nullptr: none). It must outlive its use.
    void SetHistory(ServiceHistory* history) { history_ = history; }
    ServiceHistory* History() const { return history_; }
    // Keeps a record of an operation on the radio found last: the port and, when not given, the
    // band are filled in. A notice of the history (it was damaged, say) is told here.
    void Record(HistoryRecord record);

    // Upload or Download with detection, questions, progress and the retry loop. A Download
    // writes doc, which must stay as it is until the call returns (the windows are serviced
    // meanwhile: whatever could change it must take no input).
    TransferResult Upload();
    TransferResult Download(const Document& doc);

    // Information page items. Each asks the radio for its size (block 0x0008) and uses the
    // page of that size: the active document's channel count may belong to another radio, and
    // the other page is channel memory there.
    // The table writes: true when the radio was there and took every block as sent. The first
    // block it does not take ends the write.
    bool WritePowerTable(const InfoTable& table);
    bool WriteLevelTable(const InfoTable& table);
    // The name and serial blocks; the first block the radio does not take ends the write.
    TextWrite WriteNameBlock(const TextBlock& block);
    TextWrite WriteSerialBlock(const TextBlock& block);
    // The customer name and serial number the radio holds (leading blanks removed), or nothing
    // when the blocks could not be read whole.
    std::optional<std::string> ReadNameBlock();
    std::optional<std::string> ReadSerialBlock();
    // The band the radio identifies with and its serial number; nothing when it did not answer.
    std::optional<RadioIdentity> ReadRadioIdentity();

  private:
    // One image transfer on the connection the detection made: Done, Failed after the user
    // chose to try again, or Aborted.
    LinkEnd TransferImage(bool reading);
    bool DetectForTransfer(const std::string& facts = {});
    std::optional<RadioRead> ReadRadioImage();
    bool AskToContinue(const std::string& first);
    void WriteRadioImage(const Document& doc, TransferResult& result);
    std::optional<std::string> KeepBackup(const RadioRead& read);
    bool CloseTransferWithControlCode(bool reading, bool& aborted);
    Block ImageBlock(std::size_t address) const;
    std::optional<Block> ReadTypeBlock();
    std::optional<int> AskInfoPage();
    bool WriteTable(const InfoTable& table, std::uint8_t start);
    TextWrite WriteTextBlock(const TextBlock& block, std::uint8_t start);
    std::optional<TextBlock> ReadTextBlock(std::uint8_t start);
    void EndOperation();
    void RecordTableWrite(bool written, const std::string& table);
    void RecordDownload(const Document& doc, const std::optional<RadioRead>& before,
                        const TransferResult& result);

    FrameLink& frames_;
    ParamLink& params_;
    BackupPolicy backup_;
    ServiceHistory* history_ = nullptr;
    std::optional<RadioIdentity> identity_;  // what the last identity read found
    ImageBuf image_;                         // the image on its way to or from the radio
    RadioInfoPage page_;                     // the information page read with it
    std::string readFacts_;   // why an Upload-type read runs, for its failure question
    std::string keptBackup_;  // the backup a Download made first, for its failure messages
    bool blankRadio_ = false;
    int radioChannels_ = 0;  // what the last read at 0x0008 said the radio holds
};

}  // namespace petrel
