#include "core/document/config_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

#include "core/document/new_config.h"
#include "core/model/channel_line.h"
#include "core/model/info_page.h"
#include "core/util/text.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

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
        const int slot = BuildNewConfiguration(workspace, 9, 16);
        workspace.At(slot).state.Dirty = dirty;
        return slot;
    }

    test::TempDir dir;
    test::ScopedWorkingDir cwd{dir.Path()};
    Workspace workspace;
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
    // What is wrong with a damaged one is said: cut short, or a record's tag changed.
    std::string why;
    EXPECT_FALSE(DecodeCompanionFile({companion.begin(), companion.end() - 4}, &why));
    EXPECT_EQ(why, "it is 1020 bytes long, not 1024");
    auto wrongTag = companion;
    wrongTag[4 * 17] = 0x11;
    EXPECT_FALSE(DecodeCompanionFile(wrongTag, &why));
    EXPECT_EQ(why, "its record 17 (at byte 68) has tag 0x0011, not 0x0002");
}

TEST_F(ConfigFileTest, OpenAcceptsKnownBandsAndRefusesEverythingElseWithItsMessage) {
    for (const auto& [byte, band] : {std::pair{0x12, 12}, std::pair{0x0A, 10}, std::pair{0, 0}}) {
        WriteBytes(dir.File("band.cfg"), ConfigBytes(static_cast<std::uint8_t>(byte)));
        const auto slot = OpenConfigFile(workspace, dir.File("band.cfg"), prompter);
        ASSERT_TRUE(slot) << byte;
        EXPECT_EQ(workspace.At(*slot).state.Band, band);
        // Saved again, the last byte is the band as decoded (0x12 gives 0x0C).
        ASSERT_TRUE(SaveConfigFile(workspace, *slot, dir.File("saved.cfg"), prompter));
        const auto saved = ReadBytes(dir.File("saved.cfg"));
        EXPECT_EQ(saved.back(), band);
        EXPECT_EQ(saved[3 * 0x10 + 2], byte);
    }
    const Bytes pmr = ConfigBytes(9);
    Bytes noise(2000);
    std::mt19937 random(16);
    std::generate(noise.begin(), noise.end(), [&] { return random() & 0xFF; });
    noise[1] = 0xA5;  // no tag of the format
    WriteBytes(dir.File("0D.cfg"), ConfigBytes(0x0D));
    WriteBytes(dir.File("13.cfg"), ConfigBytes(0x13));
    WriteBytes(dir.File("big.cfg"), Bytes(5001, 0x11));
    WriteBytes(dir.File("note.cfg"), {'h', 'e', 'l', 'l', 'o', '\n'});
    WriteBytes(dir.File("noise.cfg"), noise);
    WriteBytes(dir.File("info.cfg"), EncodeCompanionFile(InfoWithTexts()));
    WriteBytes(dir.File("61.cfg"), {pmr.begin(), pmr.begin() + 61 * 3});
    const std::string notConfig =
        ": it is not a configuration file (it holds no configuration "
        "records).";
    for (const auto& [name, message] :
         {std::pair{dir.File("big.cfg"), std::string("File is too big to open")},
          {dir.File("0D.cfg"), "Model or Type Error!  Can not Open  " + dir.File("0D.cfg")},
          {dir.File("13.cfg"), "Model or Type Error!  Can not Open  " + dir.File("13.cfg")},
          {dir.File("missing.cfg"), "Can't open file: " + dir.File("missing.cfg")},
          {dir.Path().string(), "Can't open file: " + dir.Path().string()},
          {dir.File("note.cfg"), "Can't open " + dir.File("note.cfg") + notConfig},
          {dir.File("noise.cfg"), "Can't open " + dir.File("noise.cfg") + notConfig},
          {dir.File("info.cfg"),
           "Can't open " + dir.File("info.cfg") +
               ": it holds integer records, as a radio information (.ptx) file does, not the "
               "byte records of a configuration."},
          {dir.File("61.cfg"),
           "Can't open " + dir.File("61.cfg") +
               ": it holds no channel record (its records end after 61 bytes of the radio "
               "image, before the first channel). It may have been cut short."}}) {
        prompter.Expect(message, Answer::Ok);
        EXPECT_FALSE(OpenConfigFile(workspace, name, prompter)) << name;
    }
    EXPECT_TRUE(prompter.Done()) << prompter.Report();
    EXPECT_EQ(prompter.Asked()[0].icon, Icon::None);
    EXPECT_EQ(workspace.OpenSlots().size(), 3u);

    // Files cut short or padded open with the channels they carry; 5000 bytes are still allowed.
    Bytes padded = pmr;
    padded.resize(5000, 0x00);
    WriteBytes(dir.File("padded.cfg"), padded);
    WriteBytes(dir.File("cut.cfg"), {pmr.begin(), pmr.begin() + 600});
    for (const auto& [name, channels] : {std::pair{"padded.cfg", 16u}, {"cut.cfg", 13u}}) {
        const auto slot = OpenConfigFile(workspace, dir.File(name), prompter);
        ASSERT_TRUE(slot) << name;
        EXPECT_EQ(workspace.At(*slot).lines.size(), channels) << name;
    }
    EXPECT_TRUE(prompter.Done()) << prompter.Report();
}

TEST_F(ConfigFileTest, EachConfigurationHasItsOwnCompanionOlderNamesStillOpen) {
    // shop.v1.cfg and shop.v2.cfg keep the radio information each was saved with.
    const int slot = NewDocument();
    workspace.At(slot).info.InfoWords = InfoWithTexts();
    ASSERT_TRUE(SaveConfigFile(workspace, slot, dir.File("shop.v1.cfg"), prompter));
    workspace.At(slot).info.InfoWords[kInfoSerialText] = 'X';
    ASSERT_TRUE(SaveConfigFile(workspace, slot, dir.File("shop.v2.cfg"), prompter));
    const Document& v1 =
        workspace.At(*OpenConfigFile(workspace, dir.File("shop.v1.cfg"), prompter));
    EXPECT_EQ(v1.info.SerialNo + "|" + v1.info.ProgDate, "SN-00042|Dec-06-2026");
    EXPECT_EQ(v1.serialLabel + "|" + v1.customerLabel, "Serial No:SN-00042|Customer:Petrel Shop");
    EXPECT_FALSE(fs::exists(dir.File("shop.ptx")));

    // Opening takes the first companion that exists: the file's own, then the older name cut
    // at the first "." beside it, then that name in the working folder. A dot in the folder's
    // name cuts nothing.
    fs::create_directory(dir.Path() / "old.v2");
    const std::string name = dir.File("old.v2/radio.v1.cfg");
    WriteBytes(name, ConfigBytes(9));
    for (const auto& [companion, customer] :
         {std::pair{"radio.ptx", "C"}, {"old.v2/radio.ptx", "B"}, {"old.v2/radio.v1.ptx", "A"}}) {
        InfoPage info{};
        info[kInfoNameText] = customer[0];
        WriteBytes(dir.File(companion), EncodeCompanionFile(info));
        const auto opened = OpenConfigFile(workspace, name, prompter);
        ASSERT_TRUE(opened);
        EXPECT_EQ(workspace.At(*opened).info.CustomerName, customer);
    }
    // A broken companion is reported and counts as missing, with no fallback: the document
    // has no page, and nothing of the page opened before reaches it.
    const std::string broken = dir.File("old.v2/radio.v1.ptx");
    WriteBytes(broken, Bytes(1020, 0x02));
    prompter.Expect("The radio information in " + broken +
                        " could not be read: it is 1020 bytes long, not 1024.\n\rThe "
                        "configuration opens without it, and saving leaves " +
                        broken + " as it is.",
                    Answer::Ok);
    const auto reopened = OpenConfigFile(workspace, name, prompter);
    ASSERT_TRUE(reopened);
    ASSERT_TRUE(prompter.Done()) << prompter.Report();
    EXPECT_EQ(prompter.Asked().back().icon, Icon::Exclamation);
    const Document& bare = workspace.At(*reopened);
    EXPECT_FALSE(bare.info.InfoValid);
    EXPECT_EQ(bare.customerLabel + "|" + bare.info.CustomerName, "Customer:|");
    // Without an information page, saving leaves no companion behind.
    WriteBytes(dir.File("copy.ptx"), EncodeCompanionFile(InfoWithTexts()));
    ASSERT_TRUE(SaveConfigFile(workspace, *reopened, dir.File("copy.cfg"), prompter));
    EXPECT_FALSE(fs::exists(dir.File("copy.ptx")));
}

TEST_F(ConfigFileTest, TextsThatAreNoFrequencySaveAsAbsentFourDigitMegahertzSurvive) {
    // VHF Low Band shows 5 MHz as "5.00000000": saved again it is NONE, not 500 MHz.
    const int slot = BuildNewConfiguration(workspace, 3, 2);
    workspace.At(slot).lines = {PresetChannelLine(1, "5.000000"),
                                PresetChannelLine(2, "1000.00625")};
    ASSERT_TRUE(SaveConfigFile(workspace, slot, dir.File("first.cfg"), prompter));
    const int first = *OpenConfigFile(workspace, dir.File("first.cfg"), prompter);
    const auto shown = workspace.At(first).lines;
    EXPECT_EQ(shown[0].substr(0, 16) + shown[1].substr(0, 16), "1   5.00000000  2   1000.00625  ");
    ASSERT_TRUE(SaveConfigFile(workspace, first, dir.File("second.cfg"), prompter));
    const int second = *OpenConfigFile(workspace, dir.File("second.cfg"), prompter);
    const auto again = workspace.At(second).lines;
    EXPECT_EQ(again[0], "1   NONE        000=  None   NONE        000=  None   ");
    EXPECT_EQ(again[1], shown[1]);
}

TEST_F(ConfigFileTest, SavedConfigurationHoldsTheImageAndItsCompanion) {
    const int slot = NewDocument();
    // Up to the longest name the file system allows (255 characters).
    for (const std::string& base : {std::string("pmr"), std::string(251, 'n')}) {
        const std::string name = dir.File(base + ".cfg");
        ASSERT_TRUE(SaveConfigFile(workspace, slot, name, prompter));
        const auto bytes = ReadBytes(name);
        ASSERT_EQ(bytes.size(), 675u);
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 3), (Bytes{0x11, 0x00, 0x01}));
        EXPECT_EQ(Bytes(bytes.end() - 3, bytes.end()), (Bytes{0x11, 0x00, 9}));  // the band byte
        EXPECT_EQ(ReadBytes(dir.File(base + ".ptx")).size(), 1024u);
        EXPECT_EQ(workspace.At(slot).title, ToUpperAscii(name));
    }
}

TEST_F(ConfigFileTest, ACompanionThatFailsSaysTheConfigurationIsSavedAlready) {
    const int slot = NewDocument(true);
    const std::string cfg = dir.File("pair.cfg");
    const std::string ptx = dir.File("pair.ptx");
    const Bytes older = EncodeCompanionFile(InfoWithTexts());
    const std::string notSaved =
        cfg + " was saved, but its radio information in " + ptx + " was not.";
    const std::string loop =
        ": " + std::generic_category().message(ELOOP) + ".\n\r";  // a link to itself
    for (const auto& [readOnly, infoValid, message] :
         {std::tuple{true, true, ptx + " is a read only file\n\r" + notSaved},
          {false, true, "Can't save " + ptx + loop + notSaved},
          {false, false,
           "Can't delete " + ptx + loop + cfg + " was saved, but " + ptx +
               " still holds older radio information."}}) {
        fs::remove(ptx);
        readOnly ? (WriteBytes(ptx, older), MakeReadOnly(ptx))
                 : fs::create_symlink("pair.ptx", ptx);
        workspace.At(slot).info.InfoValid = infoValid;
        fs::remove(cfg);
        prompter.Expect(message, Answer::Ok);
        EXPECT_FALSE(SaveConfigFile(workspace, slot, cfg, prompter));
        EXPECT_EQ(ReadBytes(cfg).size(), 675u);
        EXPECT_TRUE(fs::is_symlink(ptx) || ReadBytes(ptx) == older);  // left alone
    }
    EXPECT_TRUE(prompter.Done()) << prompter.Report();
    EXPECT_TRUE(workspace.At(slot).state.Dirty);
}

TEST_F(ConfigFileTest, ADamagedCompanionIsReportedAndNoSaveDeletesOrReplacesIt) {
    const std::string cfg = dir.File("radio.cfg");
    const std::string ptx = dir.File("radio.ptx");
    ASSERT_TRUE(SaveConfigFile(workspace, NewDocument(), cfg, prompter));
    const Bytes good = ReadBytes(ptx);
    Bytes retagged = good;
    retagged[4 * 200] = 0x11;
    // Cut to 1020 of its 1024 bytes, one record's tag changed, a folder in its place.
    for (const auto& [damage, why] :
         {std::pair{Bytes(good.begin(), good.end() - 4),
                    std::string("it is 1020 bytes long, not 1024")},
          {retagged, "its record 200 (at byte 800) has tag 0x0011, not 0x0002"},
          {Bytes{}, std::generic_category().message(EISDIR)}}) {
        fs::remove_all(ptx);
        damage.empty() ? void(fs::create_directory(ptx)) : WriteBytes(ptx, damage);
        const auto left = [&, damage = damage] {
            return damage.empty() ? fs::is_directory(ptx) : ReadBytes(ptx) == damage;
        };
        // A document with a page of its own to write saves nothing.
        const int built = NewDocument(true);
        const Bytes before = ReadBytes(cfg);
        prompter.Expect("Can't save " + cfg + ": its radio information file " + ptx +
                            " could not be read (" + why +
                            "), and a save never replaces one it could not read.\n\rNothing "
                            "was saved. Move " +
                            ptx + " away, then save again.",
                        Answer::Ok);
        EXPECT_FALSE(SaveConfigFile(workspace, built, cfg, prompter));
        EXPECT_TRUE(workspace.At(built).state.Dirty);
        EXPECT_EQ(ReadBytes(cfg), before);
        EXPECT_TRUE(left()) << why;

        // Opened, the configuration comes without a page; saved in place (Save, import, resave)
        // it is written and the companion left as it is.
        prompter.Expect("The radio information in " + ptx + " could not be read: " + why +
                            ".\n\rThe configuration opens without it, and saving leaves " + ptx +
                            " as it is.",
                        Answer::Ok);
        const auto opened = OpenConfigFile(workspace, cfg, prompter);
        ASSERT_TRUE(opened) << why;
        workspace.At(*opened).state.Dirty = true;
        prompter.Expect(ptx + " could not be read (" + why + "), so it was left as it is.\n\r" +
                            cfg + " was saved without radio information.",
                        Answer::Ok);
        EXPECT_TRUE(SaveConfigFile(workspace, *opened, cfg, prompter));
        EXPECT_FALSE(workspace.At(*opened).state.Dirty);
        EXPECT_TRUE(left()) << why;
    }
    EXPECT_TRUE(prompter.Done()) << prompter.Report();
}

TEST_F(ConfigFileTest, SavesWriteThroughLinksToTheFilesTheyName) {
    // The pair lives in a shared folder; the working folder holds links to it, the
    // configuration's through a second link with a relative target.
    fs::create_directory(dir.Path() / "shared");
    const int slot = NewDocument();
    ASSERT_TRUE(SaveConfigFile(workspace, slot, dir.File("shared/radio.cfg"), prompter));
    fs::create_symlink("shared/radio.cfg", dir.File("via.cfg"));
    fs::create_symlink("via.cfg", dir.File("radio.cfg"));
    fs::create_symlink(dir.File("shared/radio.ptx"), dir.File("radio.ptx"));
    Document& doc = workspace.At(slot);
    doc.lines[0] = PresetChannelLine(1, "446.100000");
    doc.state.Dirty = true;
    doc.info.InfoWords[kInfoSerialText] = 'Z';
    ASSERT_TRUE(SaveConfigFile(workspace, slot, dir.File("radio.cfg"), prompter));

    EXPECT_EQ(ReadBytes(dir.File("shared/radio.cfg")), EncodeConfigFile(PackImage(doc)));
    EXPECT_EQ(ReadBytes(dir.File("shared/radio.ptx")), EncodeCompanionFile(doc.info.InfoWords));
    for (const char* link : {"radio.cfg", "via.cfg", "radio.ptx"}) {
        EXPECT_TRUE(fs::is_symlink(dir.File(link))) << link;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 4);  // no temporary left
}

TEST_F(ConfigFileTest, AFailedWriteKeepsWhatWasThereAndReportsTheSystemError) {
    // A folder in the file's place cannot be replaced, not even by the superuser.
    const int slot = NewDocument();
    const std::string name = dir.File("radio.cfg");
    fs::create_directory(name);
    prompter.Expect("Can't save " + name + ": " + std::generic_category().message(EISDIR) +
                        ".\n\rNothing was saved.",
                    Answer::Ok);
    EXPECT_FALSE(SaveConfigFile(workspace, slot, name, prompter));
    EXPECT_TRUE(prompter.Done());
    EXPECT_EQ(prompter.Asked()[0].title, kMainWindowCaption);
    EXPECT_TRUE(fs::is_directory(name));
    EXPECT_EQ(workspace.At(slot).title, "Temp1.cfg");
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        EXPECT_EQ(entry.path().filename(), "radio.cfg") << "a temporary file was left behind";
    }
}

TEST_F(ConfigFileTest, SaveProposesANameOnlyForUntitledDocuments) {
    const int slot = NewDocument();
    workspace.At(slot).title = "TEMP3";
    chooser.Then("").Then("");
    EXPECT_EQ(SaveDocument(workspace, slot, chooser, prompter), SaveOutcome::Cancelled);
    EXPECT_EQ(SaveDocumentAs(workspace, slot, chooser, prompter), SaveOutcome::Cancelled);
    EXPECT_EQ(chooser.proposed, (std::vector<std::string>{"TEMP3", "Untitled.cfg"}));

    // A name typed without ".cfg" gets it.
    chooser.Then(dir.File("named"));
    EXPECT_EQ(SaveDocument(workspace, slot, chooser, prompter), SaveOutcome::Saved);
    EXPECT_EQ(workspace.At(slot).title, ToUpperAscii(dir.File("named.cfg")));
    // Now titled: Save writes the same file again without a dialog, Save As proposes it.
    EXPECT_EQ(SaveDocument(workspace, slot, chooser, prompter), SaveOutcome::Saved);
    chooser.Then("");
    SaveDocumentAs(workspace, slot, chooser, prompter);
    EXPECT_EQ(chooser.proposed.back(), dir.File("named.cfg"));

    // A new document's own "Temp3.cfg" is a name: saved in the working folder, no dialog.
    const int temp = NewDocument();
    workspace.At(temp).title = "Temp3.cfg";
    EXPECT_EQ(SaveDocument(workspace, temp, chooser, prompter), SaveOutcome::Saved);
    EXPECT_TRUE(fs::exists(dir.Path() / "Temp3.cfg"));
    EXPECT_TRUE(fs::exists(dir.Path() / "Temp3.ptx"));
    EXPECT_EQ(chooser.proposed.size(), 4u);
}

// A backup keeps what the radio held: Save asks for a name, and its own file is refused under
// any spelling; once saved elsewhere the document is an ordinary one.
TEST_F(ConfigFileTest, ABackupIsNeverSavedOver) {
    fs::create_directory(dir.Path() / "Backups");
    const std::string kept = dir.File("Backups/2024-03-09 07-00-05 Petrel (PMR) SN.1.cfg");
    ASSERT_TRUE(SaveConfigFile(workspace, NewDocument(), kept, prompter));
    const std::vector<std::uint8_t> bytes = test::ReadBytes(kept);
    const auto slot = OpenConfigFile(workspace, kept, prompter);
    ASSERT_TRUE(slot);
    Document& doc = workspace.At(*slot);
    doc.origin = kBackupOrigin;
    doc.lines[0] = EmptyChannelLine(1);
    doc.state.Dirty = true;

    const std::string refused =
        " is a backup of a radio and is kept as it was read.\n\rSave the "
        "configuration under another name.";
    chooser.Then(kept).Then(dir.File("Backups/../Backups/2024-03-09 07-00-05 Petrel (PMR) SN.1"));
    prompter.Expect(kept + refused, Answer::Ok)
        .Expect(dir.File("Backups/../Backups/2024-03-09 07-00-05 Petrel (PMR) SN.1.cfg") + refused,
                Answer::Ok);
    EXPECT_EQ(SaveDocument(workspace, *slot, chooser, prompter), SaveOutcome::Failed);
    EXPECT_EQ(SaveDocumentAs(workspace, *slot, chooser, prompter), SaveOutcome::Failed);
    EXPECT_EQ(chooser.proposed,
              (std::vector<std::string>{"2024-03-09 07-00-05 Petrel (PMR) SN.1.cfg", kept}));
    EXPECT_EQ(test::ReadBytes(kept), bytes);
    EXPECT_TRUE(doc.state.Dirty);

    chooser.Then(dir.File("restored.cfg"));
    EXPECT_EQ(SaveDocument(workspace, *slot, chooser, prompter), SaveOutcome::Saved);
    EXPECT_FALSE(doc.IsRadioCopy());
    EXPECT_EQ(SaveDocument(workspace, *slot, chooser, prompter), SaveOutcome::Saved);  // no dialog
    EXPECT_EQ(chooser.proposed.size(), 3u);
    EXPECT_EQ(test::ReadBytes(kept), bytes);
    EXPECT_TRUE(prompter.Done()) << prompter.Report();
}

TEST_F(ConfigFileTest, ClosingAsksAboutChangesAndStaysOpenUnlessTheyAreSavedOrDropped) {
    const int slot = NewDocument();
    EXPECT_TRUE(QueryClose(workspace, slot, chooser, prompter));
    EXPECT_TRUE(prompter.Asked().empty());

    workspace.At(slot).state.Dirty = true;
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
        EXPECT_EQ(QueryClose(workspace, slot, chooser, prompter), closes);
    }
    EXPECT_TRUE(fs::exists(dir.File("kept.cfg")));
    EXPECT_EQ(ReadBytes(locked), (Bytes{1}));  // a read-only file is left alone
    EXPECT_TRUE(prompter.Done());
    EXPECT_EQ(chooser.proposed.front(), "Temp1");
    const Message& asked = prompter.Asked()[0];
    EXPECT_EQ(asked.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(asked.icon, Icon::Exclamation);
    EXPECT_EQ(asked.title, kMainWindowCaption);
    EXPECT_EQ(prompter.Asked()[4].icon, Icon::Exclamation);

    // An opened file proposes its own path.
    WriteBytes(dir.File("shop.cfg"), ConfigBytes(9));
    const int opened = *OpenConfigFile(workspace, dir.File("shop.cfg"), prompter);
    workspace.At(opened).state.Dirty = true;
    prompter.Expect("The data in [SHOP] has changed.\n\rDo you want to save the changes?",
                    Answer::Yes);
    chooser.Then("");
    EXPECT_FALSE(QueryClose(workspace, opened, chooser, prompter));
    EXPECT_EQ(chooser.proposed.back(), dir.File("shop.cfg"));
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
