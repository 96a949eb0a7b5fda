#include "core/link/image_link.h"

#include <algorithm>
#include <cstdio>

#include "core/channels/channel_check.h"
#include "core/document/config_file.h"
#include "core/document/document_lifecycle.h"
#include "core/history/radio_records.h"
#include "core/link/param_link.h"
#include "core/model/band_table.h"
#include "core/model/channel_line.h"
#include "core/ports/clock.h"
#include "core/ports/prompter.h"
#include "core/ports/status_line.h"
#include "core/util/text.h"

namespace petrel {

namespace {

constexpr std::uint16_t kRadioTypeBlock = 0x0008;       // its byte 0x000A tells the channel count
constexpr std::size_t kRadioTypeOffset = 2;             // 0x000A within that block
constexpr std::uint16_t kProgrammedMarkBlock = 0x000C;  // 0xFF: never programmed
constexpr std::uint8_t kNeverProgrammed = 0xFF;
constexpr int kBigRadioChannels = 99;
constexpr std::size_t kSmallRadioImageTop = 224;  // a 16-channel radio takes bytes 0..223
constexpr int kInfoPageBig = 7;
constexpr int kInfoPageSmall = 1;
constexpr std::size_t kInfoPageBytes = 256;
constexpr std::uint8_t kLastBlockLow = 252;  // the low address byte wraps after it

// Image bytes the radio must not receive set: bits 3, 4, 7 of 0x0A and 0, 5, 6 of 0x0E.
constexpr std::uint8_t kDownloadMask0A = 0x67;
constexpr std::uint8_t kDownloadMask0E = 0x9E;

// Where the tables and text blocks lie in the information page.
constexpr auto kPowerTableStart = static_cast<std::uint8_t>(kInfoPowerTable);
constexpr auto kLevelTableStart = static_cast<std::uint8_t>(kInfoLevelTable);
constexpr auto kSerialBlockStart = static_cast<std::uint8_t>(kInfoSerialBlock);
constexpr auto kNameBlockStart = static_cast<std::uint8_t>(kInfoNameBlock);
constexpr std::size_t kTableWriteLimit = 14;  // the table loop stops once the offset reaches it

constexpr const char* kChannelMessagePrefix = "Chan";
constexpr const char* kNoTablesForBlankRadioText =
    "The radio had never been programmed, and this configuration has no radio information "
    "(no .ptx file): its calibration tables were not written and are as the radio had them.";
constexpr const char* kContinueQuestion = "Do you want to continue ?";

// The channel count the block at 0x0008 reports: bit 1 of its byte 0x000A.
int ChannelsOf(const Block& typeBlock) {
    return (typeBlock[kRadioTypeOffset] & kNinetyNineChannelBit) != 0 ? kBigRadioChannels
                                                                      : kSmallRadioChannels;
}

int InfoPageFor(int maxChannel) {
    return maxChannel == kBigRadioChannels ? kInfoPageBig : kInfoPageSmall;
}

// The next block address: the low byte runs 0, 4, .. 252, then the high byte advances.
std::uint16_t NextBlock(std::uint16_t address) {
    const auto low = static_cast<std::uint8_t>(address & 0xFF);
    if (low < kLastBlockLow) {
        return static_cast<std::uint16_t>(address + kBlockSize);
    }
    return static_cast<std::uint16_t>(((address >> 8) + 1) << 8);
}

// Where the radio as it was before a Download is kept, to restore it from; "" without a backup.
std::string BackupFacts(const std::string& backup) {
    return backup.empty() ? std::string()
                          : "The radio as it was is kept in " + backup +
                                " (Radio > Backups... writes it back).";
}

// Facts, then a sentence more when there is one.
std::string Then(std::string facts, const std::string& more) {
    if (!more.empty()) {
        facts += (facts.empty() ? "" : " ") + more;
    }
    return facts;
}

// What a Download that stopped at a block leaves behind, and where the radio as it was is.
std::string MixtureFacts(std::uint16_t address, const std::string& backup) {
    char block[8];
    std::snprintf(block, sizeof block, "0x%04X", static_cast<unsigned>(address));
    return Then(std::string("Writing stopped at block ") + block +
                    ": the radio now holds a mixture of the new and its old configuration "
                    "and must be written again.",
                BackupFacts(backup));
}

constexpr const char* kTablesNotWrittenText =
    "The radio had never been programmed: its channels were written, but its calibration "
    "tables were not (the radio stopped answering). Write the configuration again.";

// The characters of a text block after its first byte, leading blanks removed.
std::string BlockText(const TextBlock& block, std::size_t length) {
    std::string text;
    for (std::size_t i = 1; i <= length; ++i) {
        if (IsInfoTextByte(block[i])) {
            text.push_back(static_cast<char>(block[i]));
        }
    }
    return Latin1ToUtf8(TrimLeft(text));
}

}  // namespace

std::string TransferReport(TransferOp op, const TransferResult& result) {
    if (result.cancelled) {
        return op == TransferOp::Upload
                   ? "Upload cancelled: nothing was read."
                   : (result.backup
                          ? "Download cancelled; the radio as it was is in " + *result.backup
                          : std::string("Download cancelled."));
    }
    if (!result.completed) {
        if (op == TransferOp::Download && result.backup) {
            return (result.writeStarted ? "Download failed" : "Nothing was written") +
                   std::string("; the radio as it was is in ") + *result.backup;
        }
        return {};
    }
    const std::string channels = std::to_string(result.channels) + " channels";
    if (op == TransferOp::Download) {
        std::string text = "Written and verified: " + channels;
        if (result.backup) {
            text += "; the radio as it was is in " + *result.backup;
        }
        return text;
    }
    if (!result.read) {
        return "Read " + channels + " from a radio of a band this program does not know";
    }
    std::string text = "Read " + channels + " from " + BandName(BandRow(result.read->band));
    if (const std::string serial = Trim(result.read->page.SerialNo); !serial.empty()) {
        text += ", serial " + serial;
    }
    return text;
}

ImageLink::ImageLink(FrameLink& frames, ParamLink& params) : frames_(frames), params_(params) {}

bool ImageLink::AskToContinue(const std::string& first) {
    const Answer answer =
        frames_.Ask(Message{first + kLineBreak + kContinueQuestion, frames_.Caption(),
                            Buttons::YesNo, Icon::Stop, Answer::No});
    return answer == Answer::Yes;
}

void ImageLink::EndOperation() {
    frames_.ClosePort();
    image_.clear();
    page_ = RadioInfoPage{};
    blankRadio_ = false;
}

void ImageLink::Record(HistoryRecord record) {
    if (history_ == nullptr) {
        return;
    }
    record.port = frames_.PortName();
    if (record.band == 0) {
        record.band = frames_.DetectedBand().value_or(0);
    }
    if (record.channels == 0) {
        record.channels = radioChannels_;
    }
    history_->Add(record);
    if (const auto notice = history_->TakeNotice()) {
        frames_.Tell(*notice, Icon::Exclamation);
    }
}

TransferResult ImageLink::Upload() {
    TransferResult result;
    frames_.ClearCancel();
    if (auto read = ReadRadioImage()) {
        result.completed = true;
        result.channels = radioChannels_;
        result.backup = KeepBackup(*read);
        HistoryRecord record = RadioRecord(kOpUpload, kResultDone, *read);
        record.backup = result.backup.value_or("");
        Record(std::move(record));
        // A radio of a band this program does not know opens nothing.
        if (read->band <= kBandCount) {
            result.read = std::move(read);
        }
    } else if (frames_.DetectedBand()) {
        Record(BareRecord(kOpUpload, kResultStopped, "the radio was not read completely"));
    }
    result.cancelled = !result.completed && frames_.CancelRequested();
    EndOperation();
    return result;
}

TransferResult ImageLink::Download(const Document& doc) {
    TransferResult result;
    frames_.ClearCancel();
    std::optional<RadioRead> before;  // the radio as the backup read it
    if (backup_.beforeDownload && backup_.folder.empty()) {
        // Refused before the radio is touched: a backup with nowhere to go cannot be kept.
        frames_.Tell(
            "No folder is given for the backup of the radio, so it cannot be "
            "kept. Nothing has been read or written.",
            Icon::Exclamation);
    } else if (!backup_.beforeDownload) {
        WriteRadioImage(doc, result);
        RecordDownload(doc, before, result);
    } else {
        // A failure of this read comes as "Upload Err": say why a Download reads, and that it
        // wrote nothing.
        readFacts_ =
            "Reading the radio to back it up before writing: nothing has been written yet.";
        before = ReadRadioImage();
        readFacts_.clear();
        if (before) {
            result.backup = KeepBackup(*before);
        }
        if (result.backup) {
            WriteRadioImage(doc, result);
        }
        RecordDownload(doc, before, result);
    }
    result.cancelled = !result.completed && frames_.CancelRequested();
    result.writeStarted = !image_.empty();  // image_ holds what went out until the end
    if (result.completed) {
        result.channels = std::min(static_cast<int>(doc.lines.size()), radioChannels_);
    }
    keptBackup_.clear();
    EndOperation();
    return result;
}

void ImageLink::RecordDownload(const Document& doc, const std::optional<RadioRead>& before,
                               const TransferResult& result) {
    if (!before && !frames_.DetectedBand()) {
        return;  // no radio was found: nothing happened to one
    }
    // image_ holds what went to the radio until the operation ends; empty when nothing did.
    const char* outcome = result.completed ? kResultDone
                          : image_.empty() ? kResultStopped
                                           : kResultFailed;
    HistoryRecord record =
        before ? RadioRecord(kOpDownload, outcome, *before) : BareRecord(kOpDownload, outcome, {});
    if (!result.completed) {
        record.detail = image_.empty() ? "nothing was written"
                                       : "writing did not complete: the radio may hold a "
                                         "mixture of the new and its old configuration";
    }
    if (!image_.empty()) {
        // What the radio holds now, with the band byte last as a file has it.
        record.imageAfter = image_;
        record.imageAfter.back() = doc.state.Band;
        record.infoAfter = record.infoBefore;  // a Download leaves the information page alone
    }
    record.fileName = doc.path;
    record.backup = result.backup.value_or("");
    Record(std::move(record));
}

bool ImageLink::DetectForTransfer(const std::string& facts) {
    if (!frames_.ConnectRadio(facts)) {
        return false;
    }
    frames_.Status().SetProgress(0);
    return true;
}

std::optional<RadioRead> ImageLink::ReadRadioImage() {
    for (;;) {
        if (!DetectForTransfer()) {
            return std::nullopt;
        }
        const LinkEnd end = TransferImage(true);
        if (end == LinkEnd::Aborted) {
            return std::nullopt;
        }
        if (end == LinkEnd::Done) {
            RadioRead read{std::move(image_), std::move(page_), frames_.DetectedBand().value_or(0)};
            image_.clear();
            page_ = RadioInfoPage{};
            // A never-programmed radio holds 0xFF where the image names its band; a file with
            // that byte would not open again, so the band the radio identified takes its place.
            if (read.band <= kBandCount && BandNumberFromByte(read.image[kSysBand]) > kBandCount) {
                read.image[kSysBand] = static_cast<std::uint8_t>(read.band);
            }
            read.image.back() = static_cast<std::uint8_t>(read.band);  // as a file ends
            return read;
        }
    }
}

std::optional<std::string> ImageLink::KeepBackup(const RadioRead& read) {
    if (backup_.folder.empty()) {
        return std::nullopt;
    }
    const Result<std::string> kept =
        read.band > kBandCount ? Failure{"The radio reports band " + std::to_string(read.band) +
                                         ", which this program does not know."}
                               : SaveRadioBackup(backup_.folder, read.image, read.page.InfoWords,
                                                 frames_.LinkClock().WallTime());
    if (!kept) {
        frames_.Tell("The radio could not be backed up." + std::string(kLineBreak) + kept.Message(),
                     Icon::Exclamation);
        return std::nullopt;
    }
    return *kept;
}

void ImageLink::WriteRadioImage(const Document& doc, TransferResult& result) {
    // A blank radio gets the document's tables as they were when the user chose to write: the
    // windows are serviced while the operation runs. A document without an information page
    // has no tables to give.
    std::optional<InfoTables> tables;
    if (doc.info.InfoValid) {
        tables = doc.info.Tables();
    }
    const ImageBuf packed = PackImage(doc);
    // From here on, every failure names the backup the radio can be restored from.
    const std::string backupFacts = BackupFacts(result.backup.value_or(""));
    while (DetectForTransfer(backupFacts)) {
        if (doc.state.Band != frames_.DetectedBand()) {
            // Only an answered read of 0xFF marks a radio that was never programmed.
            const auto mark = frames_.ReadBlock(kProgrammedMarkBlock);
            if (mark && (*mark)[0] == kNeverProgrammed) {
                blankRadio_ = true;
            } else if (!AskToContinue("Error warning: Band are Crossed !")) {
                return;
            }
        } else if (const auto check = CheckDocumentChannels(doc);
                   check.anyFrequency && StartsWith(check.message, kChannelMessagePrefix) &&
                   !AskToContinue(check.message)) {
            // The document's own check decides, whatever the status label shows now.
            return;
        }
        // The radio is written only while the backup it depends on is still on disk.
        if (result.backup) {
            if (const auto missing = BackupMissing(*result.backup)) {
                result.backup.reset();
                frames_.Tell(*missing + kLineBreak + "Nothing has been written to the radio.",
                             Icon::Exclamation);
                return;
            }
        }
        keptBackup_ = result.backup.value_or("");
        image_ = packed;
        image_[kSysOptions0A] &= kDownloadMask0A;
        image_[kSysOptions0E] &= kDownloadMask0E;
        const LinkEnd end = TransferImage(false);
        if (end != LinkEnd::Failed) {
            result.completed = end == LinkEnd::Done;
            if (blankRadio_) {
                blankRadio_ = false;
                if (tables) {
                    // Without its tables a blank radio is not programmed: no success then.
                    const bool level = WriteLevelTable(tables->level);
                    const bool power = WritePowerTable(tables->power);
                    if (!level || !power) {
                        result.completed = false;
                        frames_.Tell(Then(kTablesNotWrittenText, backupFacts), Icon::Exclamation);
                    }
                } else {
                    frames_.Tell(kNoTablesForBlankRadioText, Icon::Exclamation);
                }
            }
            return;
        }
    }
}

Block ImageLink::ImageBlock(std::size_t address) const {
    Block block;
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        block[i] = address + i < image_.size() ? image_[address + i] : 0xFF;
    }
    return block;
}

LinkEnd ImageLink::TransferImage(bool reading) {
    StatusLine& status = frames_.Status();
    Clock& clock = frames_.LinkClock();
    status.ShowProgress(true);
    const std::string errorWord = reading ? "Upload Err" : "Download Err";

    bool failed = false;
    bool aborted = false;
    bool cancelled = false;  // stopped between two blocks at the user's request
    std::string facts;       // what the user must know besides the failure itself
    const auto typeBlock = ReadTypeBlock();
    if (!typeBlock) {
        failed = true;
    } else {
        radioChannels_ = ChannelsOf(*typeBlock);
        const bool big = radioChannels_ == kBigRadioChannels;
        std::size_t imageTop = 0;
        if (reading) {
            page_ = RadioInfoPage{};
            imageTop =
                static_cast<std::size_t>(radioChannels_) * kChannelRecordSize + kImageHeaderSize;
            image_.assign(imageTop + 1, 0);
            status.SetProgressRange(static_cast<int>(imageTop + 255));
        } else {
            // The image without its band byte; a 16-channel radio takes only its first 224
            // bytes, whatever the document holds.
            imageTop = image_.empty() ? 0 : image_.size() - 1;
            if (!big) {
                imageTop = std::min(imageTop, kSmallRadioImageTop);
            }
            // Bit 1 of 0x0A tells the radio's size: it stays as the radio has it, whatever the
            // document says, or the radio would take itself for the other kind afterwards.
            if (image_.size() > kSysOptions0A) {
                const auto radioKind = static_cast<std::uint8_t>((*typeBlock)[kRadioTypeOffset] &
                                                                 kNinetyNineChannelBit);
                image_[kSysOptions0A] = static_cast<std::uint8_t>(
                    (image_[kSysOptions0A] & ~kNinetyNineChannelBit) | radioKind);
            }
            status.SetProgressRange(static_cast<int>(imageTop));
        }
        status.SetProgress(0);

        bool retryUsed = false;
        std::uint16_t address = 0;
        {
            FrameLink::BlockLoop loop(frames_);
            while (!failed && address < imageTop) {
                if (reading) {
                    const auto data = frames_.ReadBlock(address);
                    if (!data) {
                        failed = true;
                        break;
                    }
                    std::copy(data->begin(), data->end(), image_.begin() + address);
                } else {
                    const Block sent = ImageBlock(address);
                    const auto readBack = frames_.WriteBlock(address, sent);
                    if (!readBack) {
                        failed = true;
                    } else if (*readBack != sent) {
                        // One repair by sending the block again serves the whole transfer.
                        if (!retryUsed) {
                            retryUsed = true;
                            frames_.Trace("retry: the read-back differs, the block is sent again");
                            continue;
                        }
                        failed = true;
                    }
                    if (failed) {
                        facts = MixtureFacts(address, keptBackup_);
                        break;
                    }
                }
                address = NextBlock(address);
                status.SetProgress(address);
                clock.Pump();
                if (frames_.CancelRequested() && address < imageTop) {
                    cancelled = true;
                    failed = true;
                    if (!reading) {
                        facts = MixtureFacts(address, keptBackup_);
                    }
                    break;
                }
            }
            if (!failed && !loop.Finish()) {
                failed = true;
                if (!reading) {
                    facts =
                        MixtureFacts(static_cast<std::uint16_t>(address - kBlockSize), keptBackup_);
                }
            }
        }

        if (!failed && reading) {
            // The information page of the size this radio just reported, then the
            // identification and the closing control code. The page is taken only whole.
            InfoPage infoWords{};
            const std::uint16_t page = static_cast<std::uint16_t>(InfoPageFor(radioChannels_) << 8);
            {
                FrameLink::BlockLoop loop(frames_);
                for (std::size_t offset = 0; offset < kInfoPageBytes; offset += kBlockSize) {
                    const auto data = frames_.ReadBlock(static_cast<std::uint16_t>(page + offset));
                    if (!data) {
                        failed = true;
                        break;
                    }
                    std::copy(data->begin(), data->end(),
                              infoWords.begin() + static_cast<std::ptrdiff_t>(offset));
                    status.SetProgress(static_cast<int>(
                        imageTop + std::min<std::size_t>(offset + kBlockSize, kLastBlockLow)));
                    clock.Pump();
                    if (frames_.CancelRequested()) {
                        cancelled = true;
                        failed = true;
                        break;
                    }
                }
                failed = failed || !loop.Finish();
            }
            if (!failed) {
                page_.InfoWords = infoWords;
                page_.InfoValid = true;
                DecodeInfo(page_);
                // An identification that could not be read leaves the texts empty.
                if (const auto ids = params_.ReadIdentification()) {
                    page_.FirmwareVersion = ids->firmwareVersion;
                    page_.MaskDate = ids->maskDate;
                }
            }
        }
        if (!failed) {
            failed = !CloseTransferWithControlCode(reading, aborted);
        }
    }
    if (cancelled) {
        // Ended as a failure the user chose not to try again ends, without the question; the
        // radio is left as after a failed transfer.
        frames_.Trace("cancelled");
        if (!facts.empty()) {
            frames_.Tell(facts, Icon::Exclamation);
        }
        aborted = true;
    } else if (failed) {
        frames_.ShowLinkStatus("Not detected", kStatusRed);
        // A Download that failed elsewhere than at a block (the radio's kind, the closing
        // code) still names its backup.
        if (facts.empty()) {
            facts = reading ? readFacts_ : BackupFacts(keptBackup_);
        }
        aborted = !frames_.AskTryAgain(errorWord, facts);
    }
    status.ShowProgress(false);
    if (aborted) {
        return LinkEnd::Aborted;
    }
    return failed ? LinkEnd::Failed : LinkEnd::Done;
}

bool ImageLink::CloseTransferWithControlCode(bool reading, bool& aborted) {
    // Both bytes of the code must be answered. A No to its connection question ends the
    // transfer without a further question.
    const std::uint8_t code = reading ? kCodeAfterRead : kCodeEndTest;
    const std::uint8_t values[] = {code, kControlArgument};
    const LinkEnd end = params_.WriteParams(kControlPage, kControlCodeIndex, values);
    aborted = end == LinkEnd::Aborted;
    return end != LinkEnd::Failed;
}

std::optional<Block> ImageLink::ReadTypeBlock() {
    if (auto block = frames_.ReadBlock(kRadioTypeBlock)) {
        return block;
    }
    frames_.Trace("retry: the block is read once more");
    return frames_.ReadBlock(kRadioTypeBlock);
}

std::optional<int> ImageLink::AskInfoPage() {
    const auto block = ReadTypeBlock();
    if (!block) {
        return std::nullopt;
    }
    radioChannels_ = ChannelsOf(*block);
    return InfoPageFor(radioChannels_);
}

bool ImageLink::WriteTable(const InfoTable& table, std::uint8_t start) {
    const auto infoPage = frames_.ConnectRadio() ? AskInfoPage() : std::nullopt;
    bool complete = infoPage.has_value();
    if (infoPage) {
        const auto high = static_cast<std::uint16_t>(*infoPage << 8);
        for (std::size_t offset = 0; complete;) {
            Block block{};
            std::copy_n(table.begin() + static_cast<std::ptrdiff_t>(offset), kBlockSize,
                        block.begin());
            complete =
                frames_.WriteBlockChecked(static_cast<std::uint16_t>(high | (start + offset)),
                                          block) == BlockWrite::Written;
            offset += kBlockSize;
            if (start + offset >= kLastBlockLow || offset >= kTableWriteLimit) {
                break;
            }
        }
    }
    frames_.ClosePort();
    return complete;
}

bool ImageLink::WritePowerTable(const InfoTable& table) {
    const bool written = WriteTable(table, kPowerTableStart);
    RecordTableWrite(written, "power table");
    return written;
}

bool ImageLink::WriteLevelTable(const InfoTable& table) {
    const bool written = WriteTable(table, kLevelTableStart);
    RecordTableWrite(written, "level table");
    return written;
}

void ImageLink::RecordTableWrite(bool written, const std::string& table) {
    if (!frames_.DetectedBand()) {
        return;
    }
    HistoryRecord record = BareRecord(kOpTables, written ? kResultDone : kResultFailed,
                                      table + (written ? " written" : " not written completely"));
    // The tables are written after the radio on the cable was identified by its serial number.
    if (identity_ && identity_->band == frames_.DetectedBand()) {
        record.serialNo = Trim(identity_->serialNo);
    }
    Record(std::move(record));
}

TextWrite ImageLink::WriteTextBlock(const TextBlock& block, std::uint8_t start) {
    const auto infoPage = frames_.ConnectRadio() ? AskInfoPage() : std::nullopt;
    TextWrite result = TextWrite::NotSent;
    if (infoPage) {
        result = TextWrite::Written;
        const auto high = static_cast<std::uint16_t>(*infoPage << 8);
        for (std::size_t offset = 0; offset < kTextBlockSize; offset += kBlockSize) {
            Block part;
            std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(offset), kBlockSize,
                        part.begin());
            // A block not taken may have landed, whole or changed: the text is now in part.
            if (frames_.WriteBlockChecked(static_cast<std::uint16_t>(high | (start + offset)),
                                          part) != BlockWrite::Written) {
                result = TextWrite::Partial;
                break;
            }
        }
    }
    frames_.ClosePort();
    return result;
}

TextWrite ImageLink::WriteNameBlock(const TextBlock& block) {
    return WriteTextBlock(block, kNameBlockStart);
}
TextWrite ImageLink::WriteSerialBlock(const TextBlock& block) {
    return WriteTextBlock(block, kSerialBlockStart);
}

std::optional<TextBlock> ImageLink::ReadTextBlock(std::uint8_t start) {
    const auto infoPage = frames_.ConnectRadio() ? AskInfoPage() : std::nullopt;
    std::optional<TextBlock> result;
    if (infoPage) {
        const auto page = static_cast<std::uint16_t>(*infoPage << 8);
        TextBlock read{};
        bool complete = true;
        FrameLink::BlockLoop loop(frames_);
        for (std::size_t offset = 0; offset < kTextBlockSize; offset += kBlockSize) {
            const auto data = frames_.ReadBlock(static_cast<std::uint16_t>(page + start + offset));
            if (!data) {
                complete = false;  // an unanswered block ends the read
                break;
            }
            std::copy(data->begin(), data->end(),
                      read.begin() + static_cast<std::ptrdiff_t>(offset));
        }
        if (complete && loop.Finish()) {
            result = read;
        }
    }
    frames_.ClosePort();
    return result;
}

std::optional<std::string> ImageLink::ReadNameBlock() {
    const auto block = ReadTextBlock(kNameBlockStart);
    return block ? std::optional(BlockText(*block, kInfoNameLength)) : std::nullopt;
}

std::optional<std::string> ImageLink::ReadSerialBlock() {
    const auto block = ReadTextBlock(kSerialBlockStart);
    return block ? std::optional(BlockText(*block, kInfoSerialLength)) : std::nullopt;
}

std::optional<RadioIdentity> ImageLink::ReadRadioIdentity() {
    // The block read connects first, and the connection identifies the radio's band.
    auto serial = ReadSerialBlock();
    if (!serial) {
        identity_.reset();
        return std::nullopt;
    }
    identity_ = RadioIdentity{frames_.DetectedBand().value_or(0), std::move(*serial)};
    return identity_;
}

}  // namespace petrel
