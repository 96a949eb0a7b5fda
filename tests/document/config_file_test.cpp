#include "document/config_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

#include "channels/channel_line.h"
#include "document/info_page.h"
#include "document/new_config.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "util/text.h"

namespace petrel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

// A configuration file holding an image whose band byte is band.
std::vector<std::uint8_t> ConfigBytes(std::uint8_t band, std::size_t channels = 16) {
    ImageBuf image(0x60 + 8 * channels + 1, 0);
    image[0x0B] = 0x38;
    image[0x0C] = 0x1A;
    image[0x10] = band;
    image.back() = band;
    return EncodeConfigFile(image);
}

InfoPage InfoWithTexts() {
    InfoPage info{};
    const std::string serial = "  SN-00042   ";
    const std::string name = " Petrel Shop   ";
    for (std::size_t i = 0; i < serial.size() && i < kInfoSerialLength; ++i) {
        info[kInfoSerialText + i] = serial[i];
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        info[kInfoNameText + i] = name[i];
    }
    info[kInfoProgDate] = 26;
    info[kInfoProgDate + 1] = 12;
    info[kInfoProgDate + 2] = 6;
    return info;
}

void MakeReadOnly(const std::string& path) {
    ::chmod(path.c_str(), 0444);
}

class ConfigFileTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    test::ScopedWorkingDir cwd{dir.Path()};
    ProgramState state;
    test::ScriptedPrompter prompter;
    test::ScriptedFileChooser chooser;
};

TEST(ConfigFileFormat, ByteRecordsRoundTrip) {
    ImageBuf image(225);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7);
    }
    const auto bytes = EncodeConfigFile(image);
    ASSERT_EQ(bytes.size(), 675u);
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 6)),
              (std::vector<std::uint8_t>{0x11, 0x00, image[0], 0x11, 0x00, image[1]}));
    EXPECT_EQ(DecodeConfigFile(bytes), image);
}

TEST(ConfigFileFormat, ReadingStopsAtAnythingThatIsNotAByteRecord) {
    auto bytes = ConfigBytes(9);
    // Records stop after record 60: the rest of the header reads as 0, no channels.
    const auto shortImage = DecodeConfigFile({bytes.begin(), bytes.begin() + 61 * 3});
    EXPECT_EQ(shortImage.size(), 96u);
    EXPECT_EQ(shortImage[0x10], 9);
    EXPECT_EQ(shortImage[61], 0);

    // A partial record at the end is ignored.
    EXPECT_EQ(DecodeConfigFile({bytes.begin(), bytes.end() - 1}).size(), 224u);
    // An unknown tag ends the file as its end would.
    auto tagged = bytes;
    tagged[100 * 3] = 0x05;
    EXPECT_EQ(DecodeConfigFile(tagged).size(), 100u);
    // An integer record holding a byte value counts; one that does not ends the image.
    std::vector<std::uint8_t> integers = {0x02, 0x00, 0x07, 0x00, 0x02, 0x00, 0x00, 0x01};
    const auto fromIntegers = DecodeConfigFile(integers);
    EXPECT_EQ(fromIntegers[0], 7);
    EXPECT_EQ(fromIntegers[1], 0);
    EXPECT_EQ(DecodeConfigFile({}).size(), 96u);
}

TEST(CompanionFormat, HoldsExactly256IntegerRecords) {
    InfoPage info{};
    info[0] = -2;
    info[255] = 0x1234;
    const auto bytes = EncodeCompanionFile(info);
    ASSERT_EQ(bytes.size(), 1024u);
    EXPECT_EQ(bytes[4 * 255 + 2], 0x34);
    EXPECT_EQ(DecodeCompanionFile(bytes), info);
    EXPECT_FALSE(DecodeCompanionFile({bytes.begin(), bytes.end() - 1}));
    auto wrongTag = bytes;
    wrongTag[4 * 17] = 0x11;
    EXPECT_FALSE(DecodeCompanionFile(wrongTag));
}

TEST(BandByte, IsReadAsHexDigitsWhenItHasNoLetters) {
    EXPECT_EQ(BandNumberFromByte(0x09), 9);
    EXPECT_EQ(BandNumberFromByte(0x0A), 10);
    EXPECT_EQ(BandNumberFromByte(0x0C), 12);
    EXPECT_EQ(BandNumberFromByte(0x0D), 13);
    EXPECT_EQ(BandNumberFromByte(0x10), 10);
    EXPECT_EQ(BandNumberFromByte(0x12), 12);
    EXPECT_EQ(BandNumberFromByte(0x13), 13);
    EXPECT_EQ(BandNumberFromByte(0xFF), 255);
}

TEST(FileNames, CompanionSitsBesideItsConfiguration) {
    EXPECT_EQ(FileBase("/home/u/.config/shop.v2.cfg"), "shop");
    EXPECT_EQ(FileBase("TEMP3"), "TEMP3");
    EXPECT_EQ(CompanionPath("/home/u/.config/shop.v2.cfg"), "/home/u/.config/shop.ptx");
    EXPECT_EQ(CompanionPath("shop.cfg"), "shop.ptx");
}

TEST_F(ConfigFileTest, OpensAcceptedBandBytesAndRefusesOthers) {
    for (const auto& [byte, band] :
         {std::pair{0x12, 12}, std::pair{0x0A, 10}, std::pair{0x00, 0}}) {
        const std::string name = dir.File("band" + std::to_string(byte) + ".cfg");
        WriteBytes(name, ConfigBytes(static_cast<std::uint8_t>(byte)));
        ASSERT_TRUE(OpenConfigFile(state, name, prompter)) << byte;
        EXPECT_EQ(state.BandNo, band);
    }
    for (const int byte : {0x0D, 0x13}) {
        const std::string name = dir.File("bad.cfg");
        WriteBytes(name, ConfigBytes(static_cast<std::uint8_t>(byte)));
        prompter.Then(Answer::Ok);
        EXPECT_FALSE(OpenConfigFile(state, name, prompter));
        EXPECT_EQ(prompter.Texts().back(), "Model or Type Error!  Can not Open  " + name);
    }
}

TEST_F(ConfigFileTest, RefusesFilesTooBigMissingOrUnreadable) {
    const std::string big = dir.File("big.cfg");
    WriteBytes(big, std::vector<std::uint8_t>(5001, 0x11));
    prompter.Then(Answer::Ok).Then(Answer::Ok).Then(Answer::Ok);
    EXPECT_FALSE(OpenConfigFile(state, big, prompter));
    EXPECT_FALSE(OpenConfigFile(state, dir.File("missing.cfg"), prompter));
    EXPECT_FALSE(OpenConfigFile(state, dir.Path().string(), prompter));
    EXPECT_EQ(prompter.Texts(),
              (std::vector<std::string>{"File is too big to open",
                                        "Can't open file: " + dir.File("missing.cfg"),
                                        "Can't open file: " + dir.Path().string()}));
    EXPECT_EQ(prompter.Asked()[0].icon, Icon::None);
    EXPECT_EQ(state.workspace.OpenSlots().size(), 0u);

    // 5000 bytes is still allowed, garbage or not.
    WriteBytes(big, std::vector<std::uint8_t>(5000, 0x11));
    EXPECT_TRUE(OpenConfigFile(state, big, prompter));
}

TEST_F(ConfigFileTest, GarbageEitherOpensAsWhatItHoldsOrIsRefused) {
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<std::uint8_t> garbage(random() % 5000);
        for (auto& byte : garbage) {
            byte = static_cast<std::uint8_t>(random());
        }
        // Mostly byte records, so that reading gets past the header now and then.
        for (std::size_t at = 0; at + 1 < garbage.size(); at += 3) {
            if (random() % 50 != 0) {
                garbage[at] = 0x11;
                garbage[at + 1] = 0x00;
            }
        }
        const std::string name = dir.File("garbage.cfg");
        WriteBytes(name, garbage);
        const ImageBuf image = DecodeConfigFile(garbage);
        prompter.Then(Answer::Ok);
        const auto slot = OpenConfigFile(state, name, prompter);
        if (slot) {
            EXPECT_EQ(state.workspace.At(*slot).lines.size(),
                      static_cast<std::size_t>(ChannelCountOf(image.size())));
            EXPECT_LE(BandNumberFromByte(image[0x10]), 12);
            prompter = test::ScriptedPrompter{};
        } else {
            EXPECT_EQ(prompter.Texts().back(), "Model or Type Error!  Can not Open  " + name);
            EXPECT_GT(BandNumberFromByte(image[0x10]), 12);
        }
    }
}

TEST_F(ConfigFileTest, CompanionBesideTheFileWinsOverTheWorkingFolder) {
    fs::create_directory(dir.Path() / "shop");
    const std::string name = dir.File("shop/radio.cfg");
    WriteBytes(name, ConfigBytes(9));
    InfoPage beside = InfoWithTexts();
    InfoPage inCwd{};
    inCwd[kInfoNameText] = 'X';
    WriteBytes(dir.File("radio.ptx"), EncodeCompanionFile(inCwd));

    ASSERT_TRUE(OpenConfigFile(state, name, prompter));
    EXPECT_EQ(state.CustomerName, "X");  // older layout: found in the working folder

    WriteBytes(dir.File("shop/radio.ptx"), EncodeCompanionFile(beside));
    const auto slot = OpenConfigFile(state, name, prompter);
    ASSERT_TRUE(slot);
    EXPECT_TRUE(state.InfoValid);
    EXPECT_EQ(state.CustomerName, "Petrel Shop");
    EXPECT_EQ(state.SerialNo, "SN-00042");
    EXPECT_EQ(state.ProgDate, "Dec-06-2026");
    EXPECT_EQ(state.workspace.At(*slot).customerLabel, "Customer:Petrel Shop");
}

TEST_F(ConfigFileTest, ABrokenCompanionCountsAsMissing) {
    const std::string name = dir.File("radio.cfg");
    WriteBytes(name, ConfigBytes(9));
    state.CustomerName = "Earlier";
    WriteBytes(dir.File("radio.ptx"), std::vector<std::uint8_t>(1020, 0x02));
    ASSERT_TRUE(OpenConfigFile(state, name, prompter));
    EXPECT_FALSE(state.InfoValid);
    EXPECT_EQ(state.CustomerName, "Earlier");
}

TEST_F(ConfigFileTest, SavedConfigurationOpensWithTheSameLines) {
    const int slot = BuildNewConfiguration(state, 9, 16);
    const std::string name = dir.File("pmr.cfg");
    ASSERT_TRUE(SaveConfigFile(state, slot, name, prompter));
    const auto bytes = ReadBytes(name);
    ASSERT_EQ(bytes.size(), 675u);
    EXPECT_EQ(bytes[672], 0x11);
    EXPECT_EQ(bytes[674], 9);
    EXPECT_EQ(ReadBytes(dir.File("pmr.ptx")).size(), 1024u);
    EXPECT_EQ(state.workspace.At(slot).title, ToUpperAscii(name));

    const auto reopened = OpenConfigFile(state, name, prompter);
    ASSERT_TRUE(reopened);
    const auto& before = state.workspace.At(slot).lines;
    const auto& after = state.workspace.At(*reopened).lines;
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(Trim(after[i]), Trim(before[i]));
    }
    // Saving the reopened document writes the same bytes.
    ASSERT_TRUE(SaveConfigFile(state, *reopened, dir.File("again.cfg"), prompter));
    EXPECT_EQ(ReadBytes(dir.File("again.cfg")), bytes);
}

TEST_F(ConfigFileTest, AReadOnlyConfigurationIsLeftAlone) {
    const int slot = BuildNewConfiguration(state, 9, 16);
    state.workspace.At(slot).state.Dirty = true;
    const std::string name = dir.File("locked.cfg");
    WriteBytes(name, {1, 2, 3});
    MakeReadOnly(name);
    prompter.Then(Answer::Ok);
    EXPECT_FALSE(SaveConfigFile(state, slot, name, prompter));
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{name + " is a read only file"});
    EXPECT_EQ(prompter.Asked()[0].icon, Icon::Exclamation);
    EXPECT_EQ(ReadBytes(name), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_TRUE(state.workspace.At(slot).state.Dirty);
    EXPECT_EQ(state.workspace.At(slot).title, "Temp1.cfg");
}

TEST_F(ConfigFileTest, AReadOnlyCompanionLeavesTheConfigurationRewrittenButUnsaved) {
    const int slot = BuildNewConfiguration(state, 9, 16);
    state.workspace.At(slot).state.Dirty = true;
    const std::string name = dir.File("half.cfg");
    WriteBytes(dir.File("half.ptx"), {9, 9});
    MakeReadOnly(dir.File("half.ptx"));
    prompter.Then(Answer::Ok);
    EXPECT_FALSE(SaveConfigFile(state, slot, name, prompter));
    EXPECT_EQ(prompter.Texts(),
              std::vector<std::string>{dir.File("half.ptx") + " is a read only file"});
    EXPECT_EQ(ReadBytes(name).size(), 675u);
    EXPECT_EQ(ReadBytes(dir.File("half.ptx")), (std::vector<std::uint8_t>{9, 9}));
    EXPECT_TRUE(state.workspace.At(slot).state.Dirty);
    EXPECT_EQ(state.workspace.At(slot).title, "Temp1.cfg");
}

TEST_F(ConfigFileTest, AFailedWriteKeepsTheOldFileAndReportsTheSystemError) {
    const int slot = BuildNewConfiguration(state, 9, 16);
    fs::create_directory(dir.Path() / "closed");
    const std::string name = dir.File("closed/radio.cfg");
    WriteBytes(name, {4, 5, 6});
    ::chmod((dir.Path() / "closed").c_str(), 0555);
    if (::access((dir.Path() / "closed").c_str(), W_OK) == 0) {
        // The superuser writes anywhere: use a path below a file instead.
        ::chmod((dir.Path() / "closed").c_str(), 0755);
        prompter.Then(Answer::Ok);
        EXPECT_FALSE(SaveConfigFile(state, slot, dir.File("closed/radio.cfg/x.cfg"), prompter));
        EXPECT_EQ(prompter.Texts().at(0), std::generic_category().message(ENOTDIR));
    } else {
        prompter.Then(Answer::Ok);
        EXPECT_FALSE(SaveConfigFile(state, slot, name, prompter));
        EXPECT_EQ(prompter.Texts().at(0), std::generic_category().message(EACCES));
    }
    EXPECT_EQ(prompter.Asked()[0].title, kMainWindowCaption);
    EXPECT_EQ(ReadBytes(name), (std::vector<std::uint8_t>{4, 5, 6}));
    EXPECT_EQ(state.workspace.At(slot).title, "Temp1.cfg");
    for (const auto& entry : fs::directory_iterator(dir.Path() / "closed")) {
        EXPECT_EQ(entry.path().filename(), "radio.cfg") << "a temporary file was left behind";
    }
}

TEST_F(ConfigFileTest, WithoutAnInformationPageAnOldCompanionIsRemoved) {
    const std::string name = dir.File("radio.cfg");
    WriteBytes(name, ConfigBytes(9));
    const auto slot = OpenConfigFile(state, name, prompter);
    ASSERT_TRUE(slot);
    ASSERT_FALSE(state.InfoValid);
    WriteBytes(dir.File("copy.ptx"), EncodeCompanionFile(InfoWithTexts()));
    ASSERT_TRUE(SaveConfigFile(state, *slot, dir.File("copy.cfg"), prompter));
    EXPECT_FALSE(fs::exists(dir.File("copy.ptx")));
}

TEST_F(ConfigFileTest, SaveOfAnUntitledDocumentAsksForAName) {
    const int slot = BuildNewConfiguration(state, 9, 16);
    state.workspace.At(slot).title = "TEMP3";
    chooser.Then("");
    EXPECT_EQ(SaveDocument(state, slot, chooser, prompter), SaveOutcome::Cancelled);
    chooser.Then("");
    EXPECT_EQ(SaveDocumentAs(state, slot, chooser, prompter), SaveOutcome::Cancelled);
    EXPECT_EQ(chooser.proposed, (std::vector<std::string>{"TEMP3", "Untitled.cfg"}));

    chooser.Then(dir.File("named.cfg"));
    EXPECT_EQ(SaveDocument(state, slot, chooser, prompter), SaveOutcome::Saved);
    EXPECT_EQ(state.workspace.At(slot).title, ToUpperAscii(dir.File("named.cfg")));
    // Now titled: Save writes the same file again without a dialog, Save As proposes it.
    EXPECT_EQ(SaveDocument(state, slot, chooser, prompter), SaveOutcome::Saved);
    chooser.Then("");
    SaveDocumentAs(state, slot, chooser, prompter);
    EXPECT_EQ(chooser.proposed.back(), dir.File("named.cfg"));
}

TEST_F(ConfigFileTest, ANewTempDocumentSavesUnderItsTitleInTheWorkingFolder) {
    const int slot = BuildNewConfiguration(state, 9, 16);
    state.TempCount = 2;
    state.workspace.At(slot).title = "Temp3.cfg";
    EXPECT_EQ(SaveDocument(state, slot, chooser, prompter), SaveOutcome::Saved);
    EXPECT_TRUE(fs::exists(dir.Path() / "Temp3.cfg"));
    EXPECT_TRUE(fs::exists(dir.Path() / "Temp3.ptx"));
    EXPECT_TRUE(chooser.proposed.empty());
}

TEST_F(ConfigFileTest, ClosingAsksOnlyAboutChangedDocuments) {
    const int slot = BuildNewConfiguration(state, 9, 16);
    EXPECT_TRUE(QueryClose(state, slot, chooser, prompter));
    EXPECT_TRUE(prompter.Asked().empty());

    state.workspace.At(slot).state.Dirty = true;
    prompter.Then(Answer::Cancel).Then(Answer::No);
    EXPECT_FALSE(QueryClose(state, slot, chooser, prompter));
    EXPECT_TRUE(QueryClose(state, slot, chooser, prompter));
    const Message& question = prompter.Asked()[0];
    EXPECT_EQ(question.text,
              "The data in [Temp1] has changed.\n\rDo you want to save the changes?");
    EXPECT_EQ(question.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(question.icon, Icon::Exclamation);
    EXPECT_EQ(question.title, kMainWindowCaption);
}

TEST_F(ConfigFileTest, ClosingWithYesSavesAndStaysOpenWhenThatFails) {
    const int slot = BuildNewConfiguration(state, 9, 16);
    state.workspace.At(slot).state.Dirty = true;
    prompter.Then(Answer::Yes);
    chooser.Then("");
    EXPECT_FALSE(QueryClose(state, slot, chooser, prompter));  // the name dialog was cancelled
    EXPECT_EQ(chooser.proposed.back(), "Temp1");

    const std::string locked = dir.File("locked.cfg");
    WriteBytes(locked, {1});
    MakeReadOnly(locked);
    prompter.Then(Answer::Yes).Then(Answer::Ok);
    chooser.Then(locked);
    EXPECT_FALSE(QueryClose(state, slot, chooser, prompter));

    prompter.Then(Answer::Yes);
    chooser.Then(dir.File("kept.cfg"));
    EXPECT_TRUE(QueryClose(state, slot, chooser, prompter));
    EXPECT_TRUE(fs::exists(dir.File("kept.cfg")));
    EXPECT_TRUE(prompter.AllAnswered());
}

TEST(IsReadOnlyFile, HonoursTheMissingWriteBitsEvenForTheSuperuser) {
    test::TempDir dir;
    const std::string name = dir.File("f");
    EXPECT_FALSE(IsReadOnlyFile(name));
    WriteBytes(name, {1});
    EXPECT_FALSE(IsReadOnlyFile(name));
    MakeReadOnly(name);
    EXPECT_TRUE(IsReadOnlyFile(name));
}

TEST(FormatRadioDate, UsesTwoDigitYearsAndRollsOverLikeACalendar) {
    EXPECT_EQ(FormatRadioDate(26, 12, 6), "Dec-06-2026");
    EXPECT_EQ(FormatRadioDate(29, 1, 1), "Jan-01-2029");
    EXPECT_EQ(FormatRadioDate(30, 2, 28), "Feb-28-1930");
    EXPECT_EQ(FormatRadioDate(99, 12, 31), "Dec-31-1999");
    EXPECT_EQ(FormatRadioDate(0, 0, 0), "Nov-30-1999");
    EXPECT_EQ(FormatRadioDate(24, 2, 30), "Mar-01-2024");
    EXPECT_EQ(FormatRadioDate(1, 13, 1), "Jan-01-2002");
}

}  // namespace
}  // namespace petrel
