// Upload, Download, the information page and backups against the in-process simulated radio.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iterator>
#include <tuple>

#include "core/document/config_file.h"
#include "core/document/document_lifecycle.h"
#include "core/document/new_config.h"
#include "core/link/radio_backup.h"
#include "core/model/band_table.h"
#include "core/settings/radio_info.h"
#include "core/util/text.h"
#include "link_fixture.h"
#include "support/documents.h"
#include "support/temp_dir.h"

namespace petrel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using sim::FaultKind;
using sim::FrameKind;

std::string TryAgain(const std::string& what) {
    return what + " !  Make sure the connection is OK\n\rTry Again ?";
}

const std::string kBandsCrossed = "Error warning: Band are Crossed !\n\rDo you want to continue ?";

class TransferTest : public test::LinkTest {
  protected:
    TransferTest() : LinkTest(sim::MakeRadio(9, 99, false, "PT0000012345", "  HARBOUR TAXI")) {}

    // A document of band and channels, the one Download writes, carrying the channel-count bit
    // a radio of its size has (the simulated radio stores what it is sent, that bit too).
    int MakeDocument(int band, int channels) {
        return active = BuildNewConfiguration(workspace, band, channels);
    }
    Bytes Memory(std::size_t from, std::size_t to) const {
        return {radio.Memory().bytes.begin() + static_cast<std::ptrdiff_t>(from),
                radio.Memory().bytes.begin() + static_cast<std::ptrdiff_t>(to)};
    }
    // What a Download must leave in the radio: the packed image without its band byte, with
    // the options the radio must not get cleared and the radio's own kind (bit 1 of 0x0A).
    Bytes Downloaded(int slot, std::size_t size = 888, bool ninetyNine = true) const {
        Bytes image = PackImage(workspace.At(slot));
        image.resize(size);
        image[0x0A] = (image[0x0A] & 0x65) | (ninetyNine ? 0x02 : 0x00);
        image[0x0E] &= 0x9E;
        return image;
    }
    TransferResult Upload() { return images.Upload(); }
    // An Upload opened as a document, as the windows and the command line open it.
    std::optional<int> UploadDocument() {
        TransferResult result = images.Upload();
        return result.read ? std::optional(OpenRadioRead(workspace, std::move(*result.read)))
                           : std::nullopt;
    }
    TransferResult DownloadResult() {
        frames.SetCaption(workspace.At(active).title);
        return images.Download(workspace.At(active));
    }
    bool Download() { return DownloadResult().completed; }
    // The address of every block write the radio received.
    std::vector<int> WriteAddresses() const {
        std::vector<int> addresses;
        for (const auto& frame : radio.Log()) {
            if (frame.kind == FrameKind::WriteBlock) {
                addresses.push_back(frame.request[1] << 8 | frame.request[2]);
            }
        }
        return addresses;
    }

    int active = 0;
};

// The radio read opens as the next untitled document with the page read with it.
TEST_F(TransferTest, UploadReadsTheRadioAndItOpensAsANewDocument) {
    radio.Memory().Info(0x00) = 0x42;
    workspace.SetTempCount(2);
    TransferResult result = Upload();
    ASSERT_TRUE(result.completed && result.read);
    EXPECT_EQ(result.read->band, 9);
    EXPECT_EQ(result.read->image.size(), 888u + 1);
    EXPECT_EQ(result.read->image.back(), 9);
    const Document& doc = workspace.At(OpenRadioRead(workspace, std::move(*result.read)));
    EXPECT_EQ(doc.title, "TEMP3.CFG");
    EXPECT_EQ(workspace.TempCount(), 3);
    EXPECT_EQ(doc.state.Band, 9);
    EXPECT_EQ(doc.serialLabel, "Serial No:PT0000012345");
    EXPECT_TRUE(doc.info.InfoValid);
    EXPECT_EQ(doc.info.InfoWords[0x00], 0x42);
    EXPECT_EQ(doc.info.FirmwareVersion + " " + doc.info.MaskDate, "V1.20 May-20-2003");
    EXPECT_EQ(radio.ControlCodes(), (std::vector<std::array<std::uint8_t, 2>>{{0x90, 0x0A}}));
    // Image blocks 0..884 after the type block at 8, then the 64 blocks of page 7.
    EXPECT_EQ(CountFrames(FrameKind::ReadBlock), 1u + 222u + 64u);
    EXPECT_GE(clock.Pumps(), 222 + 64);
    EXPECT_EQ(status.progressMaximum, 888 + 255);
    EXPECT_EQ(status.progress.back(), 888 + 252);
    EXPECT_FALSE(status.progressVisible);
    EXPECT_FALSE(ports.IsOpen());

    // A radio of an unknown band is read but opens nothing.
    radio.Memory().band = 13;
    const TransferResult unknown = Upload();
    EXPECT_TRUE(unknown.completed);
    EXPECT_FALSE(unknown.read);

    // An identification that could not be read leaves no other radio's texts behind.
    radio.Memory().band = 9;
    radio.AddFault({FaultKind::Drop, FrameKind::ReadParam});
    prompter.Expect("Read Error !", Answer::Cancel);
    const auto unidentified = UploadDocument();
    ASSERT_TRUE(unidentified);
    const RadioInfoPage& page = workspace.At(*unidentified).info;
    EXPECT_EQ(page.FirmwareVersion + page.MaskDate, "");
    EXPECT_EQ(page.SerialNo, "PT0000012345");
}

TEST_F(TransferTest, ANeverProgrammedRadioIsSavedAsAFileThatOpens) {
    radio.Memory() = sim::MakeRadio(10, 16, true);
    const auto slot = UploadDocument();
    ASSERT_TRUE(slot);
    // Erased memory holds no channels and no texts.
    const RadioInfoPage& page = workspace.At(*slot).info;
    EXPECT_EQ(page.SerialNo + "|" + page.CustomerName, "|");
    for (const std::string& line : workspace.At(*slot).lines) {
        EXPECT_EQ(line.substr(4, 4) + line.substr(29, 4), "NONENONE") << line;
    }
    test::TempDir dir;
    ASSERT_TRUE(SaveConfigFile(workspace, *slot, dir.File("blank.cfg"), prompter));
    Workspace reader;
    const auto reopened = OpenConfigFile(reader, dir.File("blank.cfg"), prompter);
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reader.At(*reopened).state.Band, 10);
}

TEST_F(TransferTest, FailuresAskToTryAgainAndYesStartsOverFromAddressZero) {
    radio.AddFault({FaultKind::Drop, FrameKind::ReadBlock, 40, 1});
    prompter.Expect(TryAgain("Upload Err"), Answer::Yes);
    EXPECT_TRUE(Upload().read);
    EXPECT_NE(std::find(status.history.begin(), status.history.end(), "Not detected"),
              status.history.end());
    // The type block and 40 blocks up to the lost one, then all again from the type block.
    EXPECT_EQ(CountFrames(FrameKind::ReadBlock), 41u + 287u);

    // One lost answer of the type block is read again without a question; two ask, and No
    // ends without a document.
    radio.AddFault({FaultKind::Drop, FrameKind::ReadBlock});
    EXPECT_TRUE(Upload().read);
    radio.ClearLog();
    radio.AddFault({FaultKind::Drop, FrameKind::ReadBlock, 0, 2});
    prompter.Expect(TryAgain("Upload Err"), Answer::No);
    const TransferResult result = Upload();
    EXPECT_FALSE(result.completed || result.read);
    EXPECT_EQ(CountFrames(FrameKind::ReadBlock), 2u);
    EXPECT_FALSE(ports.IsOpen());
    EXPECT_TRUE(prompter.Done());
}

// A Download whose closing code is never answered is EveryFailureAfterTheBackupNamesIt's.
TEST_F(TransferTest, AnUnansweredControlCodeFailsTheTransferThroughItsQuestion) {
    // The first byte of the code is lost, the second answered; Yes repeats the whole transfer.
    radio.AddFault({FaultKind::Drop, FrameKind::WriteParam});
    prompter.Expect(TryAgain("Upload Err"), Answer::Yes);
    EXPECT_TRUE(Upload().read);
    EXPECT_EQ(CountFrames(FrameKind::WriteParam), 4u);
    EXPECT_TRUE(prompter.Done());
}

TEST_F(TransferTest, DownloadWritesThePackedImageAndTheControlCode) {
    const int slot = MakeDocument(9, 99);
    workspace.At(slot).state.SysBlock[0x0A] = 0xFF;
    workspace.At(slot).state.SysBlock[0x0E] = 0xFF;
    const Bytes documentBefore = PackImage(workspace.At(slot));

    EXPECT_TRUE(Download());
    EXPECT_EQ(Memory(0, 888), Downloaded(slot));
    EXPECT_EQ(PackImage(workspace.At(slot)), documentBefore);
    EXPECT_EQ(CountFrames(FrameKind::WriteBlock), 222u);
    EXPECT_EQ(radio.ControlCodes().back(), (std::array<std::uint8_t, 2>{0xAA, 0x0A}));
    EXPECT_FALSE(ports.IsOpen());

    // A sixteen-channel radio gets only the bytes up to 223 of a larger document.
    radio.Memory() = sim::MakeRadio(10, 16, false);
    radio.ClearLog();
    const int large = MakeDocument(10, 99);
    const Bytes untouched = Memory(224, 888);
    EXPECT_TRUE(Download());
    EXPECT_EQ(Memory(0, 224), Downloaded(large, 224, false));
    EXPECT_EQ(Memory(224, 888), untouched);
    EXPECT_EQ(WriteAddresses().size(), 56u);
    EXPECT_EQ(WriteAddresses().back(), 0x00DC);
}

// Bit 1 of 0x0A tells the radio's kind: a Download leaves it as the radio has it, whatever the
// configuration written says, and the radio reads back as the kind it is. A new configuration
// of more than 16 channels says in its own file that it is a 99-channel radio's.
TEST_F(TransferTest, ADownloadLeavesTheRadiosKindAsItWas) {
    for (const auto& [configChannels, radioChannels] :
         {std::pair{99, 99}, {16, 99}, {99, 16}, {20, 16}}) {
        SCOPED_TRACE(std::to_string(configChannels) + " into " + std::to_string(radioChannels));
        radio.Memory() = sim::MakeRadio(9, radioChannels, false);
        const int slot = MakeDocument(9, configChannels);
        const std::uint8_t fileKind = workspace.At(slot).state.SysBlock[0x0A] & 0x02;
        EXPECT_EQ(fileKind != 0, configChannels > 16);
        EXPECT_TRUE(Download());
        EXPECT_EQ(radio.Memory().NinetyNineChannels(), radioChannels == 99);
        const auto read = UploadDocument();
        ASSERT_TRUE(read);
        EXPECT_EQ(workspace.At(*read).lines.size(), static_cast<std::size_t>(radioChannels));
        EXPECT_EQ(workspace.At(slot).state.SysBlock[0x0A] & 0x02, fileKind);
    }
}

TEST_F(TransferTest, OneReadBackDifferenceIsRepairedASecondFailsTheTransfer) {
    const int slot = MakeDocument(9, 99);
    radio.AddFault({FaultKind::BadReadback, FrameKind::WriteBlock, 70, 1});
    EXPECT_TRUE(Download());
    EXPECT_EQ(CountFrames(FrameKind::WriteBlock), 223u);
    EXPECT_EQ(WriteAddresses()[70], 0x0118);
    EXPECT_EQ(WriteAddresses()[71], 0x0118);
    EXPECT_EQ(Memory(0, 888), Downloaded(slot));

    // The second difference (at the 101st write) stops it: the radio is told to be a mixture.
    radio.ClearLog();
    radio.AddFault({FaultKind::BadReadback, FrameKind::WriteBlock, 10, 1});
    radio.AddFault({FaultKind::BadReadback, FrameKind::WriteBlock, 100, 1});
    prompter.Expect(
        "Writing stopped at block 0x018C: the radio now holds a mixture of the new "
        "and its old configuration and must be written again.\n\r" +
            TryAgain("Download Err"),
        Answer::No);
    EXPECT_FALSE(Download());
    EXPECT_TRUE(prompter.Done());
    EXPECT_EQ(CountFrames(FrameKind::WriteBlock), 101u);
    EXPECT_EQ(radio.ControlCodes().size(), 1u) << "no control code after a failure";
}

TEST_F(TransferTest, CrossedBandsAndAChannelWarningAreAskedAboutAndNoWritesNothing) {
    const int slot = MakeDocument(10, 99);
    workspace.At(slot).title = "C:\\SHOP\\KOREA.CFG";
    prompter.Expect(kBandsCrossed, Answer::No);
    EXPECT_FALSE(Download());
    const Message& asked = prompter.Asked()[0];
    EXPECT_EQ(asked.buttons, Buttons::YesNo);
    EXPECT_EQ(asked.icon, Icon::Stop);
    EXPECT_EQ(asked.defaultButton, Answer::No);
    EXPECT_EQ(asked.title, "C:\\SHOP\\KOREA.CFG");
    EXPECT_FALSE(ports.IsOpen());

    // A blank radio that does not answer the blank test counts as programmed: asked again.
    radio.Memory().bytes[0x0C] = 0xFF;
    radio.AddFault({FaultKind::Drop, FrameKind::ReadBlock});
    prompter.Expect(kBandsCrossed, Answer::No);
    EXPECT_FALSE(Download());

    // The document's own channel check warns, whatever the label shows (here a failure).
    status.SetStatus("Not detected", kStatusRed, kStatusFontLarge);
    const int outOfRange = MakeDocument(9, 99);
    workspace.At(outOfRange).lines[2] = "3   446.200000  000=  None   446.200000  000=  None";
    prompter.Expect("Channel #3 Range Out !\n\rDo you want to continue ?", Answer::No);
    EXPECT_FALSE(Download());
    EXPECT_EQ(CountFrames(FrameKind::WriteBlock), 0u);
    status.SetStatus("Channel #5 Range Out !", kStatusRed, kStatusFontLarge);
    MakeDocument(9, 99);  // in range: a label left from another window asks nothing
    EXPECT_TRUE(Download());

    radio.Memory().bytes[0x0C] = 0x00;
    active = slot;
    prompter.Expect(kBandsCrossed, Answer::Yes);
    EXPECT_TRUE(Download());
    EXPECT_TRUE(prompter.Done());
    EXPECT_EQ(Memory(0, 888), Downloaded(slot));
}

TEST_F(TransferTest, InformationBlocksGoToThePageOfTheRadiosSizeAndALostOneKeepsTheText) {
    EXPECT_EQ(images.ReadNameBlock(), "HARBOUR TAXI ");  // only the leading blanks go
    EXPECT_EQ(images.ReadSerialBlock(), "PT0000012345");

    RadioInfoPage page;
    page.CustomerName = "OLD NAME";
    radio.Memory().Info(0xE4) = 'X';
    radio.AddFault({FaultKind::Drop, FrameKind::ReadBlock, 2, 1});
    EXPECT_FALSE(ReadCustomerInfo(link, page));
    EXPECT_EQ(page.CustomerName + "|" + page.SerialNo, "OLD NAME|PT0000012345");
    EXPECT_FALSE(ports.IsOpen());

    // The radio says its size: page 1 would be channel memory here.
    radio.ClearLog();
    const Bytes channels = Memory(0x100, 0x200);
    EXPECT_EQ(images.WriteSerialBlock(TextBlock{0, 'S', 'N', '1'}), TextWrite::Written);
    EXPECT_EQ(WriteAddresses(), (std::vector<int>{0x07D0, 0x07D4, 0x07D8, 0x07DC}));
    EXPECT_EQ(radio.Memory().bytes[0x7D2], 'N');
    InfoTable power;
    power.fill(0x5A);
    EXPECT_TRUE(images.WritePowerTable(power));
    EXPECT_EQ(Memory(0x7C0, 0x7D0), Bytes(16, 0x5A));
    EXPECT_EQ(Memory(0x100, 0x200), channels);
}

// The customer editor's OK (and petrel-cli customer) stops at the first block the radio does
// not take and says what the radio now holds: never a new serial number beside a name that was
// not written. The page takes only the texts the radio took.
TEST_F(TransferTest, ACustomerWriteStopsAtTheFirstBlockTheRadioDoesNotTake) {
    const struct {
        std::optional<sim::Fault> fault;
        std::string holds;  // "" when complete
        std::size_t blockWrites;
        std::string page;  // its name and serial number after
    } cases[] = {
        {sim::Fault{FaultKind::BadReadback, FrameKind::WriteBlock, 1, 1},
         "the customer name may be written only in part; the serial number is unchanged", 2,
         "OLD|OLD-1"},
        {sim::Fault{FaultKind::Drop, FrameKind::WriteBlock, 5, 1},
         "the customer name was written; the serial number may be written only in part", 6,
         "NEW NAME|OLD-1"},
        {sim::Fault{FaultKind::Drop, FrameKind::WriteParam, 0, 1},
         "the customer name and serial number were written, but the radio did not answer the "
         "closing code 90H",
         8, "NEW NAME|NEW-1"},
        {std::nullopt, "", 8, "NEW NAME|NEW-1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        radio.Memory() = sim::MakeRadio(9, 99, false, "PT0000012345", "HARBOUR TAXI");
        radio.ClearLog();
        if (c.fault) {
            radio.AddFault(*c.fault);
        }
        if (c.fault && c.fault->kind == FaultKind::BadReadback) {
            prompter.Expect("Write Error !", Answer::Ok);
        }
        RadioInfoPage page;
        page.CustomerName = "OLD";
        page.SerialNo = "OLD-1";
        const Result<void> written =
            WriteCustomerInfo(link, page, "NEW NAME", "NEW-1", {2024, 3, 9});
        EXPECT_EQ(written.Ok(), c.holds.empty());
        EXPECT_EQ(written.Message(), c.holds);
        EXPECT_EQ(CountFrames(FrameKind::WriteBlock), c.blockWrites);
        EXPECT_EQ(Trim(page.CustomerName) + "|" + Trim(page.SerialNo), c.page);
        // The serial block's first characters, on information page 7.
        const std::string serial(radio.Memory().bytes.begin() + 0x7D1,
                                 radio.Memory().bytes.begin() + 0x7D4);
        EXPECT_EQ(serial, c.blockWrites > 4 ? "NEW" : "PT0");
        EXPECT_TRUE(prompter.Done()) << prompter.Report();
    }
    // No radio at all: nothing was sent.
    radio.Options().silent = true;
    prompter.Expect(TryAgain("Connecting Err"), Answer::No);
    RadioInfoPage page;
    EXPECT_EQ(WriteCustomerInfo(link, page, "NEW NAME", "NEW-1", {2024, 3, 9}).Message(),
              "the customer name was not written; the serial number is unchanged");
    EXPECT_TRUE(prompter.Done()) << prompter.Report();
}

TEST_F(TransferTest, ABlankRadiosTablesGoWhereItLooksAfterTheDownload) {
    // A 16-channel document leaves a blank 99-channel radio a 99-channel one (page 7).
    radio.Memory() = sim::MakeRadio(10, 99, true);
    RadioInfoPage& page = workspace.At(MakeDocument(9, 16)).info;
    Bytes level(page.LevelTable.begin(), page.LevelTable.begin() + 12);
    level.resize(16, 0xFF);  // the level table's last block is not written
    const auto power = page.PowerTable;
    // The document's tables as they were when the Download started, whatever the program or
    // another document does meanwhile.
    const int other = BuildNewConfiguration(workspace, 10, 99);
    clock.SetPump([&] {
        page.LevelTable.fill(0);
        workspace.At(other).info.PowerTable.fill(0);
    });
    EXPECT_TRUE(Download());
    EXPECT_TRUE(radio.Memory().NinetyNineChannels());
    EXPECT_EQ(Memory(0x7F0, 0x800), level);
    EXPECT_EQ(Memory(0x7C0, 0x7D0), Bytes(power.begin(), power.end()));
    EXPECT_EQ(Memory(0x1C0, 0x200), Bytes(64, 0xFF));

    // A document without an information page has no tables to give: they stay erased.
    radio.Memory() = sim::MakeRadio(10, 16, true);
    clock.SetPump({});
    workspace.At(MakeDocument(9, 16)).info = RadioInfoPage{};
    prompter.Then(Answer::Ok);
    EXPECT_TRUE(Download());
    EXPECT_EQ(Memory(0x1C0, 0x200), Bytes(64, 0xFF));
    EXPECT_TRUE(prompter.Texts().back().starts_with("The radio had never been programmed"));

    // A radio is programmed only with its tables: a Download whose table writes fail is none.
    radio.Memory() = sim::MakeRadio(10, 16, true);
    MakeDocument(9, 16);
    radio.AddFault({FaultKind::Drop, FrameKind::WriteBlock, 56, 100});
    prompter.Then(Answer::Ok);
    EXPECT_FALSE(Download());
    EXPECT_TRUE(prompter.Texts().back().starts_with(
        "The radio had never been programmed: its channels were written, but its calibration "
        "tables were not"))
        << prompter.Report();
}

TEST_F(TransferTest, BlockLoopsRunBackToBackAndEndWithOneQuietPeriod) {
    radio.Options().byteTimeUs = sim::kByteTimeUs;
    ASSERT_TRUE(Upload().read);
    std::vector<std::int64_t> reads;  // when each block read was sent
    for (const auto& write : ports.Writes()) {
        if (write.bytes == Bytes{'R'}) {
            reads.push_back(write.timeUs);
        }
    }
    ASSERT_EQ(reads.size(), 1u + 222u + 64u);
    // Echo and answer on the wire and the radio's 1 ms; a quiet period after the type block
    // read and after each loop, none between the blocks of a loop.
    const std::int64_t exchange = 7 * sim::kByteTimeUs + 1'000;
    for (std::size_t i = 1; i < reads.size(); ++i) {
        const bool afterSingleOrLoop = i == 1 || i == 223;
        ASSERT_EQ(reads[i] - reads[i - 1], exchange + (afterSingleOrLoop ? 5'000 : 0)) << i;
    }
}

TEST_F(TransferTest, AnAnswerOneByteTooLongAnywhereInALoopFailsItBeforeAnythingIsCommitted) {
    // At the line's speed the extra byte comes after the next request has gone out.
    radio.Options().byteTimeUs = sim::kByteTimeUs;
    RadioInfoPage& page = workspace.At(MakeDocument(9, 99)).info;
    page.InfoWords.fill(0x1234);
    const auto infoWords = page.InfoWords;
    const auto codes = radio.ControlCodes().size();
    // Each run answers whether it failed as it must.
    const std::function<bool()> upload = [&] {
        prompter.Expect(TryAgain("Upload Err"), Answer::No);
        const TransferResult result = Upload();
        return !result.completed && !result.read;
    };
    const std::function<bool()> download = [&] {
        prompter.Then(Answer::No);
        return !Download() && prompter.Asked().back().text.ends_with(TryAgain("Download Err"));
    };
    const std::function<bool()> identification = [&] {
        prompter.Expect("Read Error !", Answer::Cancel);
        return !params.ReadIdentification();
    };
    const std::function<bool()> nameRead = [&] { return !images.ReadNameBlock(); };
    struct Case {
        const char* where;
        const std::function<bool()>& run;
        FrameKind kind;
        int longAt;     // the frame of that kind whose answer is too long, from 0
        bool slowUi;    // the windows take 5 ms each time they are serviced
        int framesGot;  // frames of that kind the radio gets before the loop fails
    };
    // Read frames: the type block, 222 image blocks, 64 information blocks. A long answer
    // shifts the next frame, whose echo then fails; with a slow UI the byte is waiting before
    // the next request; after the last block the loop's quiet period sees it.
    const Case cases[] = {
        {"first image block", upload, FrameKind::ReadBlock, 1, false, 3},
        {"image block", upload, FrameKind::ReadBlock, 100, false, 102},
        {"image block, slow UI", upload, FrameKind::ReadBlock, 100, true, 101},
        {"last image block", upload, FrameKind::ReadBlock, 222, false, 223},
        {"information block", upload, FrameKind::ReadBlock, 250, false, 252},
        {"last information block", upload, FrameKind::ReadBlock, 286, false, 287},
        {"block write", download, FrameKind::WriteBlock, 100, false, 102},
        {"block write, slow UI", download, FrameKind::WriteBlock, 100, true, 101},
        {"last block write", download, FrameKind::WriteBlock, 221, false, 222},
        {"identification", identification, FrameKind::ReadParam, 2, false, 4},
        {"last identification byte", identification, FrameKind::ReadParam, 4, false, 5},
        {"name block", nameRead, FrameKind::ReadBlock, 2, false, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        radio.ClearLog();
        radio.AddFault({FaultKind::Long, c.kind, c.longAt, 1});
        clock.SetPump([&] { clock.AdvanceUs(c.slowUi ? 5'000 : 0); });
        EXPECT_TRUE(c.run());
        EXPECT_EQ(CountFrames(c.kind), static_cast<std::size_t>(c.framesGot));
        EXPECT_EQ(radio.ControlCodes().size(), codes);
        EXPECT_EQ(page.InfoWords, infoWords);
    }
    EXPECT_TRUE(prompter.Done());
}

// The backup folder holds the radio as it was read, byte for byte: after an Upload, and read
// before a Download, which leaves the program's information page to the written document.
TEST_F(TransferTest, BackupsKeepTheRadioAsItWasReadAndDownloadReadsFirst) {
    test::TempDir dir;
    const std::string serial = "PT/.\x01:*ok  \xFF";  // bytes no file name should hold
    for (std::size_t i = 0; i < serial.size(); ++i) {
        radio.Memory().Info(0xD1 + i) = static_cast<std::uint8_t>(serial[i]);
    }
    Bytes radioFile = Memory(0, 888);
    radioFile.push_back(9);  // the band byte a file ends with
    const Bytes radioInfo = Memory(0x700, 0x800);
    images.SetBackupPolicy({dir.File("Backups"), true});

    const TransferResult upload = Upload();
    const int slot = MakeDocument(9, 99);
    RadioInfoPage& page = workspace.At(slot).info;
    page.InfoWords[0xE1] = 'Z';  // the written document's own information page
    const auto infoWords = page.InfoWords;
    const TransferResult download = DownloadResult();
    ASSERT_TRUE(upload.backup && download.backup && download.completed);
    EXPECT_EQ(Memory(0, 888), Downloaded(slot));
    EXPECT_EQ(page.InfoWords, infoWords);
    EXPECT_EQ(std::filesystem::path(*upload.backup).filename().string().substr(19),
              " Petrel (PMR) PT_.___ok.cfg");
    EXPECT_NE(*download.backup, *upload.backup);  // the same second gets a name of its own
    for (const std::string& backup : {*upload.backup, *download.backup}) {
        EXPECT_EQ(DecodeConfigFile(test::ReadBytes(backup)), radioFile);
        const auto info = DecodeCompanionFile(test::ReadBytes(CompanionPath(backup)));
        ASSERT_TRUE(info);
        EXPECT_EQ(Bytes(info->begin(), info->end()), radioInfo);
    }

    // A backup that cannot be kept writes nothing: a folder that cannot be made, a radio of a
    // band whose backup would not open.
    test::WriteBytes(dir.File("file"), {});
    for (const auto& [folder, band, reason] :
         {std::tuple{dir.File("file/Backups"), 9, std::string("Can't make the folder ")},
          std::tuple{
              dir.File("Backups"), 13,
              std::string("The radio reports band 13, which this program does not know.")}}) {
        radio.Memory().band = static_cast<std::uint8_t>(band);
        images.SetBackupPolicy({folder, true});
        prompter.Then(Answer::Ok);
        EXPECT_FALSE(Download());
        EXPECT_TRUE(
            prompter.Texts().back().starts_with("The radio could not be backed up.\n\r" + reason));
    }
    // A read for the backup that fails says why a Download reads, and that it wrote nothing.
    radio.Memory().band = 9;
    images.SetBackupPolicy({dir.File("Backups"), true});
    radio.AddFault({FaultKind::Drop, FrameKind::ReadBlock, 10, 1});
    prompter.Expect(
        "Reading the radio to back it up before writing: nothing has been written "
        "yet.\n\r" +
            TryAgain("Upload Err"),
        Answer::No);
    EXPECT_FALSE(Download());
    EXPECT_EQ(WriteAddresses().size(), 222u);  // the first Download only
    EXPECT_TRUE(prompter.Done());
}

// A cancel request stops a transfer between two blocks: an Upload brings nothing, a Download
// says what the radio holds and where it is kept as it was; neither asks to try again.
TEST_F(TransferTest, ACancelledTransferStopsBetweenBlocksAndSaysWhatItLeft) {
    test::TempDir dir;
    clock.SetPump([&] {
        if (CountFrames(FrameKind::ReadBlock) == 20) {
            frames.RequestCancel();
        }
    });
    const TransferResult upload = Upload();
    EXPECT_TRUE(upload.cancelled && !upload.completed && !upload.read);
    EXPECT_EQ(CountFrames(FrameKind::ReadBlock), 20u);
    EXPECT_FALSE(ports.IsOpen());
    EXPECT_TRUE(radio.ControlCodes().empty());
    EXPECT_EQ(TransferReport(TransferOp::Upload, upload), "Upload cancelled: nothing was read.");

    // The next operation starts without the request.
    clock.SetPump({});
    const TransferResult read = Upload();
    EXPECT_EQ(TransferReport(TransferOp::Upload, read),
              "Read 99 channels from " + BandName(BandRow(9)) + ", serial PT0000012345");

    radio.ClearLog();
    images.SetBackupPolicy({dir.File("Backups"), true});
    MakeDocument(9, 99);
    clock.SetPump([&] {
        if (CountFrames(FrameKind::WriteBlock) == 5) {
            frames.RequestCancel();
        }
    });
    prompter.Then(Answer::Ok);
    const TransferResult download = DownloadResult();
    ASSERT_TRUE(download.backup);
    EXPECT_TRUE(download.cancelled && !download.completed);
    EXPECT_EQ(prompter.Texts(),
              std::vector<std::string>{
                  "Writing stopped at block 0x0014: the radio now holds a mixture of the new and "
                  "its old configuration and must be written again. The radio as it was is kept "
                  "in " +
                  *download.backup + " (Radio > Backups... writes it back)."});
    EXPECT_EQ(WriteAddresses().size(), 5u);
    EXPECT_EQ(radio.ControlCodes().size(), 2u) << "the two reads' only";
    EXPECT_FALSE(ports.IsOpen());
    EXPECT_EQ(TransferReport(TransferOp::Download, download),
              "Download cancelled; the radio as it was is in " + *download.backup);

    clock.SetPump({});
    const TransferResult written = DownloadResult();
    EXPECT_EQ(TransferReport(TransferOp::Download, written),
              "Written and verified: 99 channels; the radio as it was is in " + *written.backup);
    EXPECT_EQ(TransferReport(TransferOp::Download, TransferResult{}), "");
}

// Once the radio is backed up, every way a Download can fail names the backup to restore it
// from: a block that never comes back, the radio's kind that cannot be read, the closing code
// that is not answered, the cable pulled in the middle (the retry then finds no radio). The
// status line names it too. Faults count the frames after they are armed: 287 block reads and
// the two frames of the closing code make the backup read of a 99-channel radio.
TEST_F(TransferTest, EveryFailureAfterTheBackupNamesIt) {
    test::TempDir dir;
    images.SetBackupPolicy({dir.File("Backups"), true});
    // A Download the user stops at the band question writes nothing, and says so.
    MakeDocument(10, 99);
    prompter.Then(Answer::No);
    const TransferResult declined = DownloadResult();
    ASSERT_TRUE(declined.backup);
    EXPECT_FALSE(declined.writeStarted);
    EXPECT_EQ(TransferReport(TransferOp::Download, declined),
              "Nothing was written; the radio as it was is in " + *declined.backup);

    const std::string stopped =
        "Writing stopped at block 0x0078: the radio now holds a mixture of the new and its old "
        "configuration and must be written again. @\n\rDownload Err";
    const struct {
        const char* what;
        std::vector<sim::Fault> faults;
        bool pullCable;                  // the radio goes from the cable at the 31st block
        std::vector<std::string> asked;  // each question up to its " !  Make sure ..." line
        std::vector<Answer> answers;
    } cases[] = {
        {"a block without answer",
         {{FaultKind::Drop, FrameKind::WriteBlock, 30, -1}},
         false,
         {stopped},
         {Answer::No}},
        {"the radio's kind unread",
         {{FaultKind::Drop, FrameKind::ReadBlock, 287, 2}},
         false,
         {"@\n\rDownload Err"},
         {Answer::No}},
        {"the closing code unanswered",
         {{FaultKind::Drop, FrameKind::WriteParam, 2, -1}},
         false,
         {"@\n\rDownload Err"},
         {Answer::No}},
        // Last: the radio does not come back.
        {"the cable pulled", {}, true, {stopped, "@\n\rConnecting Err"}, {Answer::Yes, Answer::No}},
    };
    MakeDocument(9, 99);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        radio.ClearFaults();
        for (const sim::Fault& fault : c.faults) {
            radio.AddFault(fault);
        }
        radio.ClearLog();
        if (c.pullCable) {
            clock.SetPump([&] {
                if (CountFrames(FrameKind::WriteBlock) == 30) {
                    radio.RemoveRadio();
                }
            });
        }
        for (const Answer answer : c.answers) {
            prompter.Then(answer);
        }
        const std::size_t before = prompter.Texts().size();
        const TransferResult result = DownloadResult();
        ASSERT_TRUE(result.backup);
        EXPECT_FALSE(result.completed);
        EXPECT_TRUE(result.writeStarted);
        const std::string kept = "The radio as it was is kept in " + *result.backup +
                                 " (Radio > Backups... writes it back).";
        const std::vector<std::string> texts = prompter.Texts();
        std::vector<std::string> asked;
        for (std::size_t i = before; i < texts.size(); ++i) {
            asked.push_back(texts[i].substr(0, texts[i].find(" !  Make sure")));
        }
        std::vector<std::string> expected;
        for (std::string text : c.asked) {
            text.replace(text.find('@'), 1, kept);
            expected.push_back(text);
        }
        EXPECT_EQ(asked, expected);
        EXPECT_EQ(TransferReport(TransferOp::Download, result),
                  "Download failed; the radio as it was is in " + *result.backup);
    }
    EXPECT_TRUE(prompter.Done()) << prompter.Report();
}

// Nothing reaches the radio unless its backup is on disk when the writing starts.
TEST_F(TransferTest, ADownloadWritesOnlyWhileItsBackupIsOnDisk) {
    test::TempDir dir;
    MakeDocument(10, 99);  // another band: the question comes between backup and writing
    images.SetBackupPolicy({"", true});
    prompter.Expect(
        "No folder is given for the backup of the radio, so it cannot be kept. Nothing has been "
        "read or written.",
        Answer::Ok);
    EXPECT_FALSE(Download());
    EXPECT_TRUE(radio.Log().empty());

    images.SetBackupPolicy({dir.File("Backups"), true});
    prompter.onAsk = [&](const Message& message) {
        if (message.text == kBandsCrossed) {
            std::filesystem::remove_all(dir.File("Backups"));
        }
    };
    prompter.Expect(kBandsCrossed, Answer::Yes).Then(Answer::Ok);
    const TransferResult result = DownloadResult();
    EXPECT_FALSE(result.completed || result.backup);
    EXPECT_TRUE(prompter.Texts().back().starts_with("The backup " + dir.File("Backups/")));
    EXPECT_TRUE(prompter.Texts().back().ends_with(
        " is no longer on disk.\n\rNothing has been written to the radio."));
    EXPECT_TRUE(WriteAddresses().empty());
    EXPECT_TRUE(prompter.Done()) << prompter.Report();
}

TEST(RadioBackup, NamesAreSafeAndTheFolderKeepsTheNewest500Files) {
    const LocalTime when{2024, 3, 9, 7, 0, 5};
    // A serial number of no characters adds nothing to the name.
    EXPECT_EQ(BackupFileName(when, "Petrel (PMR)", "  \xFF\xFF"),
              "2024-03-09 07-00-05 Petrel (PMR).cfg");

    // Older backups, and backups from a clock once set ahead (their names and times later than
    // now): the oldest others go, the one just written stays.
    for (const std::string year : {"2023", "2099"}) {
        test::TempDir dir;
        for (int i = 0; i < 502; ++i) {  // 251 backups, each a .cfg and a .ptx
            char name[48];
            std::snprintf(name, sizeof name, "%s-01-01 00-%02d-%02d Petrel.%s", year.c_str(),
                          i / 120, i / 2 % 60, i % 2 ? "ptx" : "cfg");
            test::WriteBytes(dir.File(name), {});
            std::filesystem::last_write_time(
                dir.File(name), std::filesystem::file_time_type::clock::now() +
                                    std::chrono::hours(year == "2099" ? 24 * 365 * 75 : -24));
        }
        test::WriteBytes(dir.File("notes.txt"), {});
        const Result<std::string> kept =
            SaveRadioBackup(dir.Path().string(), ImageBuf(97, 0x09), {}, when);
        ASSERT_TRUE(kept) << kept.Message();
        const auto files = std::distance(std::filesystem::directory_iterator(dir.Path()),
                                         std::filesystem::directory_iterator());
        EXPECT_EQ(files, 500 + 1) << year;  // and the notes
        EXPECT_FALSE(BackupMissing(*kept)) << year;
        EXPECT_TRUE(std::filesystem::exists(dir.File("notes.txt")));
        EXPECT_FALSE(std::filesystem::exists(dir.File(year + "-01-01 00-00-01 Petrel.ptx")));
        EXPECT_TRUE(std::filesystem::exists(dir.File(year + "-01-01 00-00-02 Petrel.cfg")));
        std::filesystem::remove(CompanionPath(*kept));
        EXPECT_EQ(BackupMissing(*kept),
                  "The backup " + CompanionPath(*kept) + " is no longer on disk.");
    }
}

TEST(RadioBackup, ListedNewestFirstWithTheirRadioAndTheUnreadableOnesWithWhy) {
    test::TempDir dir;
    const std::string folder = dir.File("Backups");
    EXPECT_TRUE(ListBackups(folder).entries.empty());  // none made yet
    EXPECT_EQ(ListBackups(folder).error, "");

    const auto keep = [&](int band, int channels, const std::string& serial, int hour) {
        Workspace scratch;
        Document& doc = scratch.At(BuildNewConfiguration(scratch, band, channels));
        const std::string customer = "Depot " + std::to_string(hour);
        std::copy(serial.begin(), serial.end(), doc.info.InfoWords.begin() + kInfoSerialText);
        std::copy(customer.begin(), customer.end(), doc.info.InfoWords.begin() + kInfoNameText);
        const Result<std::string> kept = SaveRadioBackup(folder, PackImage(doc), doc.info.InfoWords,
                                                         LocalTime{2024, 3, 9, hour, 0, 0});
        EXPECT_EQ(kept.Message(), "");
        return kept ? *kept : std::string();
    };
    keep(9, 16, "SN-1", 7);
    const std::string lost = keep(10, 99, "SN-2", 8);
    keep(10, 99, "SN-2", 8);  // the same second: " (2)", the newer
    std::filesystem::remove(CompanionPath(lost));
    test::WriteBytes(folder + "/2024-03-09 09-00-00 Petrel.cfg", std::vector<std::uint8_t>(5001));
    test::WriteBytes(folder + "/2024-03-09 06-00-00 Petrel.ptx", {});
    test::WriteBytes(folder + "/notes.cfg", {});

    const BackupList list = ListBackups(folder);
    EXPECT_EQ(list.error, "");
    std::vector<std::string> rows;
    for (const BackupEntry& entry : list.entries) {
        rows.push_back(entry.taken + "|" + entry.band + "|" + entry.serial + "|" + entry.customer +
                       "|" + std::to_string(entry.channels) + "|" +
                       entry.path.substr(folder.size() + 1) + "|" + entry.problem);
    }
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "2024-03-09 09:00:00||||0|2024-03-09 09-00-00 Petrel.cfg|"
                        "File is too big to open",
                        "2024-03-09 08:00:00|Petrel (Korea)|SN-2|Depot 8|99|"
                        "2024-03-09 08-00-00 Petrel (Korea) SN-2 (2).cfg|",
                        // Without its companion: no serial number, no customer.
                        "2024-03-09 08:00:00|Petrel (Korea)|||99|"
                        "2024-03-09 08-00-00 Petrel (Korea) SN-2.cfg|"
                        "The backup " +
                            CompanionPath(lost) + " is no longer on disk.",
                        "2024-03-09 07:00:00|Petrel (PMR)|SN-1|Depot 7|16|"
                        "2024-03-09 07-00-00 Petrel (PMR) SN-1.cfg|",
                        "2024-03-09 06:00:00||||0|2024-03-09 06-00-00 Petrel.ptx|"
                        "The configuration file beside " +
                            folder + "/2024-03-09 06-00-00 Petrel.ptx is missing.",
                    }));
}

}  // namespace
}  // namespace petrel
