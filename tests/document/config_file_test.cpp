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
using Bytes = std::vector<std::uint8_t>;
using test::ReadBytes;
using test::WriteBytes;

// A configuration file holding an image whose band byte is band.
Bytes ConfigBytes(std::uint8_t band, std::size_t channels = 16) {
    ImageBuf image(0x60 + 8 * channels + 1, 0);
    image[0x0B] = 0x38;
    image[0x0C] = 0x1A;
    image[0x10] = band;
    image.back() = band;
    return EncodeConfigFile(image);
}

// An information page with padded serial and customer texts and programming date 26-12-06.
InfoPage InfoWithTexts() {
    InfoPage info{};
    const std::string serial = "  SN-00042  ";
    const std::string name = " Petrel Shop   ";
    std::copy(serial.begin(), serial.end(), info.begin() + kInfoSerialText);
    std::copy(name.begin(), name.end(), info.begin() + kInfoNameText);
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
    // A new PMR configuration of 16 channels, titled Temp1.cfg.
    int NewDocument(bool dirty = false) {
        const int slot = BuildNewConfiguration(state, 9, 16);
        state.workspace.At(slot).state.Dirty = dirty;
        return slot;
    }

    test::TempDir dir;
    test::ScopedWorkingDir cwd{dir.Path()};
    ProgramState state;
    test::ScriptedPrompter prompter;
    test::ScriptedFileChooser chooser;
};

TEST(ConfigFileFormat, RecordsRoundTripAndReadingStopsAtAnythingElse) {
    ImageBuf image(225);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7);
    }
    const auto bytes = EncodeConfigFile(image);
    ASSERT_EQ(bytes.size(), 675u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 6), (Bytes{0x11, 0x00, 0, 0x11, 0x00, 7}));
    EXPECT_EQ(DecodeConfigFile(bytes), image);

    // Records stop after record 60: the rest of the header reads as 0, no channels.
    const auto shortImage = DecodeConfigFile({bytes.begin(), bytes.begin() + 61 * 3});
    EXPECT_EQ(shortImage.size(), 96u);
    EXPECT_EQ(shortImage[60], image[60]);
    EXPECT_EQ(shortImage[61], 0);
    // A partial record at the end is ignored; an unknown tag ends the file as its end would.
    EXPECT_EQ(DecodeConfigFile({bytes.begin(), bytes.end() - 1}).size(), 224u);
    auto tagged = bytes;
    tagged[100 * 3] = 0x05;
    EXPECT_EQ(DecodeConfigFile(tagged).size(), 100u);
    // An integer record holding a byte value counts; one that does not ends the image.
    const auto fromIntegers = DecodeConfigFile({0x02, 0x00, 0x07, 0x00, 0x02, 0x00, 0x00, 0x01});
    EXPECT_EQ(fromIntegers[0], 7);
    EXPECT_EQ(fromIntegers[1], 0);
    EXPECT_EQ(DecodeConfigFile({}).size(), 96u);

    // The companion: exactly 256 integer records, or nothing.
    InfoPage info{};
    info[0] = -2;
    info[255] = 0x1234;
    const auto companion = EncodeCompanionFile(info);
    ASSERT_EQ(companion.size(), 1024u);
    EXPECT_EQ(Bytes(companion.end() - 4, companion.end()), (Bytes{0x02, 0x00, 0x34, 0x12}));
    EXPECT_EQ(DecodeCompanionFile(companion), info);
    EXPECT_FALSE(DecodeCompanionFile({companion.begin(), companion.end() - 1}));
    auto wrongTag = companion;
    wrongTag[4 * 17] = 0x11;
    EXPECT_FALSE(DecodeCompanionFile(wrongTag));
}

TEST_F(ConfigFileTest, OpenAcceptsKnownBandsAndRefusesEverythingElseWithItsMessage) {
    for (const auto& [byte, band] : {std::pair{0x12, 12}, std::pair{0x0A, 10}, std::pair{0, 0}}) {
        WriteBytes(dir.File("band.cfg"), ConfigBytes(static_cast<std::uint8_t>(byte)));
        ASSERT_TRUE(OpenConfigFile(state, dir.File("band.cfg"), prompter)) << byte;
        EXPECT_EQ(state.BandNo, band);
    }
    WriteBytes(dir.File("0D.cfg"), ConfigBytes(0x0D));
    WriteBytes(dir.File("13.cfg"), ConfigBytes(0x13));
    WriteBytes(dir.File("big.cfg"), Bytes(5001, 0x11));
    for (const auto& [name, message] :
         {std::pair{dir.File("big.cfg"), std::string("File is too big to open")},
          {dir.File("0D.cfg"), "Model or Type Error!  Can not Open  " + dir.File("0D.cfg")},
          {dir.File("13.cfg"), "Model or Type Error!  Can not Open  " + dir.File("13.cfg")},
          {dir.File("missing.cfg"), "Can't open file: " + dir.File("missing.cfg")},
          {dir.Path().string(), "Can't open file: " + dir.Path().string()}}) {
        prompter.Expect(message, Answer::Ok);
        EXPECT_FALSE(OpenConfigFile(state, name, prompter)) << name;
    }
    EXPECT_TRUE(prompter.Done());
    EXPECT_EQ(prompter.Asked()[0].icon, Icon::None);
    EXPECT_EQ(state.workspace.OpenSlots().size(), 3u);
    // 5000 bytes is still allowed, garbage or not.
    WriteBytes(dir.File("big.cfg"), Bytes(5000, 0x11));
    EXPECT_TRUE(OpenConfigFile(state, dir.File("big.cfg"), prompter));
}

TEST_F(ConfigFileTest, GarbageEitherOpensAsWhatItHoldsOrIsRefused) {
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        Bytes garbage(random() % 5000);
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
        const bool known = BandNumberFromByte(image[0x10]) <= 12;
        test::ScriptedPrompter refusal;
        if (!known) {
            refusal.Expect("Model or Type Error!  Can not Open  " + name, Answer::Ok);
        }
        const auto slot = OpenConfigFile(state, name, refusal);
        EXPECT_TRUE(refusal.Done());
        ASSERT_EQ(slot.has_value(), known);
        if (slot) {
            EXPECT_EQ(state.workspace.At(*slot).lines.size(),
                      static_cast<std::size_t>(ChannelCountOf(image.size())));
        }
    }
}

TEST_F(ConfigFileTest, CompanionBesideTheFileWinsOverTheWorkingFolderABrokenOneIsMissing) {
    // A dot in the folder's name does not cut the companion's name.
    fs::create_directory(dir.Path() / "shop.v2");
    const std::string name = dir.File("shop.v2/radio.v1.cfg");
    WriteBytes(name, ConfigBytes(9));
    InfoPage inCwd{};
    inCwd[kInfoNameText] = 'X';
    WriteBytes(dir.File("radio.ptx"), EncodeCompanionFile(inCwd));
    ASSERT_TRUE(OpenConfigFile(state, name, prompter));
    EXPECT_EQ(state.CustomerName, "X");  // older layout: found in the working folder

    WriteBytes(dir.File("shop.v2/radio.ptx"), EncodeCompanionFile(InfoWithTexts()));
    auto slot = OpenConfigFile(state, name, prompter);
    ASSERT_TRUE(slot);
    EXPECT_TRUE(state.InfoValid);
    EXPECT_EQ(state.SerialNo + "|" + state.ProgDate, "SN-00042|Dec-06-2026");
    EXPECT_EQ(state.workspace.At(*slot).customerLabel, "Customer:Petrel Shop");
    EXPECT_EQ(state.workspace.At(*slot).serialLabel, "Serial No:SN-00042");

    // A broken companion counts as missing: the texts stay as they were.
    fs::remove(dir.File("radio.ptx"));
    WriteBytes(dir.File("shop.v2/radio.ptx"), Bytes(1020, 0x02));
    slot = OpenConfigFile(state, name, prompter);
    ASSERT_TRUE(slot);
    EXPECT_FALSE(state.InfoValid);
    EXPECT_EQ(state.CustomerName, "Petrel Shop");
    // Without an information page, saving leaves no companion behind.
    WriteBytes(dir.File("copy.ptx"), EncodeCompanionFile(InfoWithTexts()));
    ASSERT_TRUE(SaveConfigFile(state, *slot, dir.File("copy.cfg"), prompter));
    EXPECT_FALSE(fs::exists(dir.File("copy.ptx")));
}

TEST_F(ConfigFileTest, SavedConfigurationHoldsTheImageAndItsCompanion) {
    const int slot = NewDocument();
    const std::string name = dir.File("pmr.cfg");
    ASSERT_TRUE(SaveConfigFile(state, slot, name, prompter));
    const auto bytes = ReadBytes(name);
    ASSERT_EQ(bytes.size(), 675u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 3), (Bytes{0x11, 0x00, 0x01}));
    EXPECT_EQ(Bytes(bytes.end() - 3, bytes.end()), (Bytes{0x11, 0x00, 9}));  // the band byte
    EXPECT_EQ(ReadBytes(dir.File("pmr.ptx")).size(), 1024u);
    EXPECT_EQ(state.workspace.At(slot).title, ToUpperAscii(name));
}

TEST_F(ConfigFileTest, ReadOnlyFilesAreLeftAloneAndTheDocumentStaysUnsaved) {
    const int slot = NewDocument(true);
    const std::string locked = dir.File("locked.cfg");
    WriteBytes(locked, {1, 2, 3});
    MakeReadOnly(locked);
    prompter.Expect(locked + " is a read only file", Answer::Ok);
    EXPECT_FALSE(SaveConfigFile(state, slot, locked, prompter));
    EXPECT_EQ(prompter.Asked()[0].icon, Icon::Exclamation);
    EXPECT_EQ(ReadBytes(locked), (Bytes{1, 2, 3}));

    // A read-only companion: the configuration is rewritten, the companion is not.
    WriteBytes(dir.File("half.ptx"), {9, 9});
    MakeReadOnly(dir.File("half.ptx"));
    prompter.Expect(dir.File("half.ptx") + " is a read only file", Answer::Ok);
    EXPECT_FALSE(SaveConfigFile(state, slot, dir.File("half.cfg"), prompter));
    EXPECT_EQ(ReadBytes(dir.File("half.cfg")).size(), 675u);
    EXPECT_EQ(ReadBytes(dir.File("half.ptx")), (Bytes{9, 9}));
    EXPECT_TRUE(prompter.Done());
    EXPECT_TRUE(state.workspace.At(slot).state.Dirty);
    EXPECT_EQ(state.workspace.At(slot).title, "Temp1.cfg");
}

TEST_F(ConfigFileTest, AFailedWriteKeepsTheOldFileAndReportsTheSystemError) {
    const int slot = NewDocument();
    const fs::path closed = dir.Path() / "closed";
    fs::create_directory(closed);
    const std::string name = dir.File("closed/radio.cfg");
    WriteBytes(name, {4, 5, 6});
    ::chmod(closed.c_str(), 0555);
    if (::access(closed.c_str(), W_OK) == 0) {
        // The superuser writes anywhere: use a path below a file instead.
        ::chmod(closed.c_str(), 0755);
        prompter.Expect(std::generic_category().message(ENOTDIR), Answer::Ok);
        EXPECT_FALSE(SaveConfigFile(state, slot, name + "/x.cfg", prompter));
    } else {
        prompter.Expect(std::generic_category().message(EACCES), Answer::Ok);
        EXPECT_FALSE(SaveConfigFile(state, slot, name, prompter));
    }
    EXPECT_TRUE(prompter.Done());
    EXPECT_EQ(prompter.Asked()[0].title, kMainWindowCaption);
    EXPECT_EQ(ReadBytes(name), (Bytes{4, 5, 6}));
    EXPECT_EQ(state.workspace.At(slot).title, "Temp1.cfg");
    for (const auto& entry : fs::directory_iterator(closed)) {
        EXPECT_EQ(entry.path().filename(), "radio.cfg") << "a temporary file was left behind";
    }
}

TEST_F(ConfigFileTest, SaveProposesANameOnlyForUntitledDocuments) {
    const int slot = NewDocument();
    state.workspace.At(slot).title = "TEMP3";
    chooser.Then("").Then("");
    EXPECT_EQ(SaveDocument(state, slot, chooser, prompter), SaveOutcome::Cancelled);
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

    // A new document's own "Temp3.cfg" is a name: saved in the working folder, no dialog.
    const int temp = NewDocument();
    state.workspace.At(temp).title = "Temp3.cfg";
    EXPECT_EQ(SaveDocument(state, temp, chooser, prompter), SaveOutcome::Saved);
    EXPECT_TRUE(fs::exists(dir.Path() / "Temp3.cfg"));
    EXPECT_TRUE(fs::exists(dir.Path() / "Temp3.ptx"));
    EXPECT_EQ(chooser.proposed.size(), 4u);
}

TEST_F(ConfigFileTest, ClosingAsksAboutChangesAndStaysOpenUnlessTheyAreSavedOrDropped) {
    const int slot = NewDocument();
    EXPECT_TRUE(QueryClose(state, slot, chooser, prompter));
    EXPECT_TRUE(prompter.Asked().empty());

    state.workspace.At(slot).state.Dirty = true;
    const std::string question =
        "The data in [Temp1] has changed.\n\rDo you want to save the changes?";
    const std::string locked = dir.File("locked.cfg");
    WriteBytes(locked, {1});
    MakeReadOnly(locked);
    prompter.Expect(question, Answer::Cancel)
        .Expect(question, Answer::No)
        .Expect(question, Answer::Yes)  // the name dialog is cancelled
        .Expect(question, Answer::Yes)  // the save fails
        .Expect(locked + " is a read only file", Answer::Ok)
        .Expect(question, Answer::Yes);
    chooser.Then("").Then(locked).Then(dir.File("kept.cfg"));
    for (const bool closes : {false, true, false, false, true}) {
        EXPECT_EQ(QueryClose(state, slot, chooser, prompter), closes);
    }
    EXPECT_TRUE(fs::exists(dir.File("kept.cfg")));
    EXPECT_TRUE(prompter.Done());
    EXPECT_EQ(chooser.proposed.front(), "Temp1");
    const Message& asked = prompter.Asked()[0];
    EXPECT_EQ(asked.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(asked.icon, Icon::Exclamation);
    EXPECT_EQ(asked.title, kMainWindowCaption);
}

TEST(FormatRadioDate, UsesTwoDigitYearsAndRollsOverLikeACalendar) {
    for (const auto& [y, m, d, text] :
         {std::tuple{26, 12, 6, "Dec-06-2026"}, std::tuple{29, 1, 1, "Jan-01-2029"},
          std::tuple{30, 2, 28, "Feb-28-1930"}, std::tuple{99, 12, 31, "Dec-31-1999"},
          std::tuple{0, 0, 0, "Nov-30-1999"}, std::tuple{24, 2, 30, "Mar-01-2024"},
          std::tuple{1, 13, 1, "Jan-01-2002"}}) {
        EXPECT_EQ(FormatRadioDate(y, m, d), text);
    }
}

}  // namespace
}  // namespace petrel
