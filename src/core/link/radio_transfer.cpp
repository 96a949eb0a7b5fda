// Upload and Download of the radio image, the information page and its tables and texts.

#include <algorithm>
#include <cstdio>

#include "core/document/config_file.h"
#include "core/document/document_lifecycle.h"
#include "core/link/radio_link.h"
#include "core/model/band_table.h"
#include "core/model/channel_line.h"
#include "core/model/info_page.h"
#include "core/model/program_state.h"
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

// Identification parameters in ParamBuf after ReadIdentification.
constexpr std::size_t kFirmwareMajor = 0;
constexpr std::size_t kFirmwareMinor = 1;
constexpr std::size_t kMaskYear = 2;

constexpr const char* kChannelMessagePrefix = "Chan";
constexpr const char* kNoTablesForBlankRadioText =
    "The radio had never been programmed, and this configuration has no radio information "
    "(no .ptx file): its calibration tables were not written and are as the radio had them.";
constexpr const char* kContinueQuestion = "Do you want to continue ?";

// The channel count the block at 0x0008 reports: bit 1 of its byte 0x000A.
int ChannelsOf(const std::array<std::uint8_t, kBlockSize>& typeBlock) {
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

// What a Download that stopped at a block leaves behind.
std::string MixtureFacts(std::uint16_t address) {
    char block[8];
    std::snprintf(block, sizeof block, "0x%04X", static_cast<unsigned>(address));
    return std::string("Writing stopped at block ") + block +
           ": the radio now holds a mixture of the new and its old configuration and must be "
           "written again.";
}

// The characters of a text block after its first byte, leading blanks removed.
std::string BlockText(const std::array<std::uint8_t, kTextBlockSize>& block, std::size_t length) {
    std::string text;
    for (std::size_t i = 1; i <= length; ++i) {
        if (IsInfoTextByte(block[i])) {
            text.push_back(static_cast<char>(block[i]));
        }
    }
    return Latin1ToUtf8(TrimLeft(text));
}

}  // namespace

bool RadioLink::AskToContinue(const std::string& first) {
    const Answer answer = Ask(Message{first + kLineBreak + kContinueQuestion, ActiveCaption(),
                                      Buttons::YesNo, Icon::Stop, Answer::No});
    return answer == Answer::Yes;
}

void RadioLink::EndOperation() {
    host_.SetBusy(false);
    host_.RadioOperationEnded();
    ClosePort();
    blankRadio_ = false;
}

std::optional<int> RadioLink::OpenUploadedDocument() {
    if (radioBand_ > kBandCount) {
        return std::nullopt;  // an unknown radio: its image opens no window
    }
    ++state_.TempCount;
    const std::string title = "Temp" + std::to_string(state_.TempCount) + ".cfg";
    ClosePort();
    state_.BandNo = radioBand_;
    BandInfo(state_, radioBand_);
    // The new document takes the page read with its image; the link keeps none of it.
    const int slot = NewDocFromImage(state_, std::move(image_), std::move(page_), title);
    image_.clear();
    page_ = RadioInfoPage{};
    state_.NewUntouched = false;
    host_.SetBusy(false);
    return slot;
}

TransferResult RadioLink::RadioTransfer(TransferOp op) {
    TransferResult result;
    if (op == TransferOp::Upload) {
        if (ReadRadioImage()) {
            result.completed = true;
            result.backup = KeepBackup();
            result.openedSlot = OpenUploadedDocument();
            if (result.openedSlot) {
                return result;
            }
        }
    } else if (op == TransferOp::Download) {
        if (backup_.beforeDownload && backup_.folder.empty()) {
            // Refused before the radio is touched: a backup with nowhere to go cannot be kept.
            prompter_.Tell(
                "No folder is given for the backup of the radio, so it cannot be "
                "kept. Nothing has been read or written.",
                Icon::Exclamation);
        } else if (!backup_.beforeDownload || BackUpBeforeWriting(result)) {
            WriteRadioImage(result);
        }
    }
    // Any other operation does nothing but the clean-up.
    image_.clear();
    EndOperation();
    return result;
}

bool RadioLink::DetectForTransfer() {
    for (;;) {
        DetectRadio();
        if (!state_.RadioAbsent) {
            break;
        }
        AskTryAgain("Connecting Err", {}, PortDetail());
        if (state_.UserAbort) {
            return false;
        }
    }
    AddrHi = 0;
    AddrLo = 0;
    host_.SetBusy(true);
    status_.SetProgress(0);
    state_.UserAbort = false;
    return true;
}

bool RadioLink::ReadRadioImage() {
    for (;;) {
        if (!DetectForTransfer()) {
            return false;
        }
        TransferImage(true);
        if (state_.UserAbort) {
            return false;
        }
        if (state_.LinkOk) {
            // A never-programmed radio holds 0xFF where the image names its band; a file with
            // that byte would not open again, so the band the radio identified takes its place.
            if (radioBand_ <= kBandCount && BandNumberFromByte(image_[kSysBand]) > kBandCount) {
                image_[kSysBand] = static_cast<std::uint8_t>(radioBand_);
            }
            return true;
        }
    }
}

std::optional<std::string> RadioLink::KeepBackup() {
    if (backup_.folder.empty()) {
        return std::nullopt;
    }
    BackupResult kept;
    if (radioBand_ > kBandCount) {
        kept.error = "The radio reports band " + std::to_string(radioBand_) +
                     ", which this program does not know.";
    } else {
        ImageBuf file = image_;
        file.back() = static_cast<std::uint8_t>(radioBand_);  // the band byte a file ends with
        kept = SaveRadioBackup(backup_.folder, file, page_.InfoWords, LocalTimeNow());
    }
    if (!kept.error.empty()) {
        prompter_.Tell("The radio could not be backed up." + std::string(kLineBreak) + kept.error,
                       Icon::Exclamation);
        return std::nullopt;
    }
    return kept.path;
}

bool RadioLink::BackUpBeforeWriting(TransferResult& result) {
    // The read goes into the link's own image and page; the active document's channel count
    // stays the program's.
    const int maxChannel = state_.MaxChannel;
    // A failure here comes as "Upload Err": say why a Download reads, and that it wrote nothing.
    readFacts_ = "Reading the radio to back it up before writing: nothing has been written yet.";
    const bool read = ReadRadioImage();
    readFacts_.clear();
    if (read) {
        result.backup = KeepBackup();
    }
    state_.MaxChannel = maxChannel;
    image_.clear();
    page_ = RadioInfoPage{};
    return read && result.backup;
}

void RadioLink::WriteRadioImage(TransferResult& result) {
    // A blank radio gets the document's tables as they were when the user chose to write: the
    // windows are serviced while the operation runs. A document without an information page
    // has no tables to give.
    std::optional<InfoTables> tables;
    if (const int slot = host_.ActiveSlot(); slot > 0 && slot <= state_.workspace.UpperSlot() &&
                                             state_.workspace.At(slot).info.InfoValid) {
        tables = state_.workspace.At(slot).info.Tables();
    }
    while (DetectForTransfer()) {
        const int slot = host_.ActiveSlot();
        if (slot <= 0 || slot > state_.workspace.UpperSlot() ||
            state_.workspace.At(slot).state.Deleted) {
            return;  // nothing to write
        }
        const Document& doc = state_.workspace.At(slot);
        if (doc.state.Band != radioBand_) {
            // Only an answered read of 0xFF marks a radio that was never programmed.
            const auto mark = ReadBlockAt(kProgrammedMarkBlock);
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
                prompter_.Tell(*missing + kLineBreak + "Nothing has been written to the radio.",
                               Icon::Exclamation);
                return;
            }
        }
        host_.SetBusy(true);
        image_ = PackImage(state_, doc);
        image_[kSysOptions0A] &= kDownloadMask0A;
        image_[kSysOptions0E] &= kDownloadMask0E;
        TransferImage(false);
        if (state_.LinkOk || state_.UserAbort) {
            result.completed = state_.LinkOk && !state_.UserAbort;
            if (blankRadio_) {
                blankRadio_ = false;
                if (tables) {
                    WriteLevelTable(tables->level);
                    WritePowerTable(tables->power);
                } else {
                    prompter_.Tell(kNoTablesForBlankRadioText, Icon::Exclamation);
                }
            }
            return;
        }
    }
}

void RadioLink::TransferImage(bool reading) {
    host_.SetTransferRunning(true);
    status_.ShowProgress(true);
    const std::string errorWord = reading ? "Upload Err" : "Download Err";

    bool failed = false;
    std::string facts;  // what the user must know besides the failure itself
    const auto typeBlock = ReadTypeBlock();
    if (!typeBlock) {
        failed = true;
    } else {
        radioChannels_ = ChannelsOf(*typeBlock);
        const bool big = radioChannels_ == kBigRadioChannels;
        std::size_t imageTop = 0;
        if (reading) {
            page_ = RadioInfoPage{};
            state_.MaxChannel = radioChannels_;
            imageTop =
                static_cast<std::size_t>(radioChannels_) * kChannelRecordSize + kImageHeaderSize;
            image_.assign(imageTop + 1, 0);
            status_.SetProgressRange(static_cast<int>(imageTop + 255));
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
            status_.SetProgressRange(static_cast<int>(imageTop));
        }
        host_.SetBusy(true);
        status_.SetProgress(0);

        bool retryUsed = false;
        std::uint16_t address = 0;
        {
            BlockLoop loop(*this);
            while (!failed && address < imageTop) {
                SetAddress(address);
                if (reading) {
                    const auto data = ReadBlockAt(address);
                    if (!data) {
                        failed = true;
                        break;
                    }
                    std::copy(data->begin(), data->end(), image_.begin() + address);
                } else {
                    const auto sent = ImageBlock(address);
                    if (!SendCommand(ImageCommand::WriteBlock)) {
                        failed = true;
                    } else if (!std::equal(sent.begin(), sent.end(), ReadBack().begin())) {
                        // One repair by sending the block again serves the whole transfer.
                        if (!retryUsed) {
                            retryUsed = true;
                            Trace("retry: the read-back differs, the block is sent again");
                            continue;
                        }
                        failed = true;
                    }
                    if (failed) {
                        facts = MixtureFacts(address);
                        break;
                    }
                }
                address = NextBlock(address);
                status_.SetProgress(address);
                clock_.Pump();
            }
            if (!failed && !loop.Finish()) {
                failed = true;
                if (!reading) {
                    facts = MixtureFacts(static_cast<std::uint16_t>(address - kBlockSize));
                }
            }
        }

        if (!failed && reading) {
            // The information page of the size this radio just reported, then the
            // identification and the closing control code. The page is taken only whole.
            InfoPage infoWords{};
            const std::uint16_t page = static_cast<std::uint16_t>(InfoPageFor(radioChannels_) << 8);
            {
                BlockLoop loop(*this);
                for (std::size_t offset = 0; offset < kInfoPageBytes; offset += kBlockSize) {
                    const auto data = ReadBlockAt(static_cast<std::uint16_t>(page + offset));
                    if (!data) {
                        failed = true;
                        break;
                    }
                    std::copy(data->begin(), data->end(),
                              infoWords.begin() + static_cast<std::ptrdiff_t>(offset));
                    status_.SetProgress(static_cast<int>(
                        imageTop + std::min<std::size_t>(offset + kBlockSize, kLastBlockLow)));
                    clock_.Pump();
                }
                failed = failed || !loop.Finish();
            }
            if (!failed) {
                page_.InfoWords = infoWords;
                page_.InfoValid = true;
                DecodeInfo(page_);
                ReadInfoIds();
            }
        }
        if (!failed && !state_.UserAbort) {
            failed = !CloseTransferWithControlCode(reading);
        }
    }
    if (failed && !state_.UserAbort) {
        ShowLinkStatus("Not detected", kStatusRed);
        AskTryAgain(errorWord, facts.empty() && reading ? readFacts_ : facts);
        state_.LinkOk = false;
    }

    host_.SetTransferRunning(false);
    status_.ShowProgress(false);
}

bool RadioLink::CloseTransferWithControlCode(bool reading) {
    // Both bytes of the code must be answered. A No to its connection question has already
    // ended the transfer.
    const bool answered = reading ? WriteControl90() : WriteControlAA();
    return answered || state_.UserAbort;
}

void RadioLink::ReadInfoIds() {
    if (!ReadIdentification()) {
        page_.FirmwareVersion.clear();
        page_.MaskDate.clear();
        return;
    }
    page_.FirmwareVersion = "V" + std::to_string(ParamBuf[kFirmwareMajor]) + "." +
                            std::to_string(ParamBuf[kFirmwareMinor]);
    page_.MaskDate =
        FormatRadioDate(ParamBuf[kMaskYear], ParamBuf[kMaskYear + 1], ParamBuf[kMaskYear + 2]);
}

std::optional<std::array<std::uint8_t, kBlockSize>> RadioLink::ReadTypeBlock() {
    if (auto block = ReadBlockAt(kRadioTypeBlock)) {
        return block;
    }
    Trace("retry: the block is read once more");
    return ReadBlockAt(kRadioTypeBlock);
}

std::optional<int> RadioLink::AskInfoPage() {
    const auto block = ReadTypeBlock();
    if (!block) {
        return std::nullopt;
    }
    radioChannels_ = ChannelsOf(*block);
    return InfoPageFor(radioChannels_);
}

bool RadioLink::WriteTable(std::span<const std::uint8_t> table, std::uint8_t start) {
    ConnectRadio();
    const auto infoPage = RadioAnswered() ? AskInfoPage() : std::nullopt;
    bool complete = infoPage.has_value();
    if (infoPage) {
        AddrHi = static_cast<std::uint8_t>(*infoPage);
        AddrLo = start;
        for (std::size_t offset = 0; complete;) {
            std::array<std::uint8_t, kBlockSize> block{};
            std::copy_n(table.begin() + static_cast<std::ptrdiff_t>(offset), kBlockSize,
                        block.begin());
            complete = WriteBlockChecked(block) == BlockWrite::Written;
            offset += kBlockSize;
            AddrLo = static_cast<std::uint8_t>(start + offset);
            if (AddrLo >= kLastBlockLow || offset >= kTableWriteLimit) {
                break;
            }
        }
    }
    ClosePort();
    return complete;
}

bool RadioLink::WritePowerTable(const InfoTable& table) {
    return WriteTable(table, kPowerTableStart);
}

bool RadioLink::WriteLevelTable(const InfoTable& table) {
    return WriteTable(table, kLevelTableStart);
}

TextWrite RadioLink::WriteTextBlock(const std::array<std::uint8_t, kTextBlockSize>& block,
                                    std::uint8_t start) {
    host_.SetBusy(true);
    ConnectRadio();
    const auto infoPage = RadioAnswered() ? AskInfoPage() : std::nullopt;
    TextWrite result = TextWrite::NotSent;
    if (infoPage) {
        result = TextWrite::Written;
        AddrHi = static_cast<std::uint8_t>(*infoPage);
        for (std::size_t offset = 0; offset < kTextBlockSize; offset += kBlockSize) {
            AddrLo = static_cast<std::uint8_t>(start + offset);
            std::array<std::uint8_t, kBlockSize> part;
            std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(offset), kBlockSize,
                        part.begin());
            // A block not taken may have landed, whole or changed: the text is now in part.
            if (WriteBlockChecked(part) != BlockWrite::Written) {
                result = TextWrite::Partial;
                break;
            }
        }
    }
    ClosePort();
    host_.SetBusy(false);
    return result;
}

TextWrite RadioLink::WriteNameBlock() {
    return WriteTextBlock(NameBlock, kNameBlockStart);
}
TextWrite RadioLink::WriteSerialBlock() {
    return WriteTextBlock(SerialBlock, kSerialBlockStart);
}

bool RadioLink::ReadTextBlock(std::array<std::uint8_t, kTextBlockSize>& block, std::uint8_t start) {
    host_.SetBusy(true);
    ConnectRadio();
    bool complete = false;
    const auto infoPage = RadioAnswered() ? AskInfoPage() : std::nullopt;
    if (infoPage) {
        const auto page = static_cast<std::uint16_t>(*infoPage << 8);
        std::array<std::uint8_t, kTextBlockSize> read{};
        complete = true;
        BlockLoop loop(*this);
        for (std::size_t offset = 0; offset < kTextBlockSize; offset += kBlockSize) {
            const auto data = ReadBlockAt(static_cast<std::uint16_t>(page + start + offset));
            if (!data) {
                complete = false;  // an unanswered block ends the read
                break;
            }
            std::copy(data->begin(), data->end(),
                      read.begin() + static_cast<std::ptrdiff_t>(offset));
        }
        complete = complete && loop.Finish();
        if (complete) {
            block = read;
        }
    }
    ClosePort();
    host_.SetBusy(false);
    return complete;
}

std::optional<std::string> RadioLink::ReadNameBlock() {
    if (!ReadTextBlock(NameBlock, kNameBlockStart)) {
        return std::nullopt;
    }
    return BlockText(NameBlock, kInfoNameLength);
}

std::optional<std::string> RadioLink::ReadSerialBlock() {
    if (!ReadTextBlock(SerialBlock, kSerialBlockStart)) {
        return std::nullopt;
    }
    return BlockText(SerialBlock, kInfoSerialLength);
}

std::optional<RadioIdentity> RadioLink::ReadRadioIdentity() {
    // The block read connects first, and the connection identifies the radio's band.
    auto serial = ReadSerialBlock();
    if (!serial) {
        return std::nullopt;
    }
    return RadioIdentity{radioBand_, std::move(*serial)};
}

}  // namespace petrel
