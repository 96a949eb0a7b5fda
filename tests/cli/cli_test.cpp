#include "cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "channels/channel_line.h"
#include "document/config_file.h"
#include "document/new_config.h"
#include "document/program_state.h"
#include "settings/radio_info.h"
#include "sim_process.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace petrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using test::ReadBytes;

const std::string kSim = std::string(PETREL_BINARY_DIR) + "/tools/radio-sim/petrel-radio-sim";

struct CliRun {
    int exit;
    std::string out;
    std::string err;
};

CliRun Cli(const std::vector<std::string>& args, const cli::CliEnvironment& environment = {}) {
    std::ostringstream out;
    std::ostringstream err;
    const int exit = cli::RunCli(args, out, err, environment);
    return {exit, out.str(), err.str()};
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The image bytes of a ".cfg" file.
Bytes ImageOf(const std::string& path) {
    return DecodeConfigFile(ReadBytes(path));
}

class CliTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    test::ScopedWorkingDir cwd{dir.Path()};
};

TEST_F(CliTest, NewThenShowPrintsTheEditorsView) {
    const std::string name = dir.File("pmr.cfg");
    const CliRun created = Cli({"new", "--band", "9", "--channels", "16", name});
    ASSERT_EQ(created.exit, 0) << created.err;
    EXPECT_EQ(ReadBytes(name).size(), 675u);
    EXPECT_EQ(ReadBytes(dir.File("pmr.ptx")).size(), 1024u);

    const CliRun shown = Cli({"show", name});
    ASSERT_EQ(shown.exit, 0) << shown.err;
    const std::string expected =
        "Model:Petrel (PMR)\n"
        "Range:446.00625 ~ 446.09375MHz\n"
        "Serial No:\n"
        "Customer:\n"
        " CH   Rx Freq.  Rx_CTCSS/DCS   Tx Freq.  Tx_CTCSS/DCS \n"
        "1   446.006250  000=  None   446.006250  000=  None   \n";
    EXPECT_EQ(shown.out.substr(0, expected.size()), expected);
    EXPECT_TRUE(shown.out.ends_with(
        "\n16  NONE        000=  None   NONE        000=  None   \nALL Channels In Range\n"));

    // Without frequencies there is no check message.
    ASSERT_EQ(Cli({"new", "--band", "12", "--channels", "3", dir.File("empty.cfg")}).exit, 0);
    EXPECT_TRUE(Cli({"show", dir.File("empty.cfg")})
                    .out.ends_with("\n3   NONE        000=  None   NONE        000=  None   \n"));
}

TEST_F(CliTest, ShowAllListsTheSettingsAsTheDialogsShowThem) {
    ProgramState state;
    const int slot = BuildNewConfiguration(state, 10, 3);
    Document& doc = state.workspace.At(slot);
    doc.state.Dirty = true;
    doc.lines[2] = EmptyChannelLine(3);
    doc.state.ChOption = {0x06, 0x29, 0x3F};
    for (const auto& [at, value] : {std::pair{0x00, 0xD2},
                                    {0x01, 0x35},
                                    {0x02, 0x31},
                                    {0x03, 0x36},
                                    {0x05, 0x07},
                                    {0x06, 0x02},
                                    {0x07, 0x5A},
                                    {0x08, 0x3F},
                                    {0x09, 0x8C},
                                    {0x0A, 0x20},
                                    {0x0E, 0x92},
                                    {0x0F, 0x4F},
                                    {0x17, 0x83},
                                    {0x18, 0x05}}) {
        doc.state.SysBlock[at] = static_cast<std::uint8_t>(value);
    }
    const std::string name = "Harbour Taxi", serial = "PT-1";
    for (std::size_t i = 0; i < 15; ++i) {
        state.InfoWords[0xE1 + i] = i < name.size() ? name[i] : ' ';
        state.InfoWords[0xD1 + i] = i < serial.size() ? serial[i] : ' ';
    }
    state.InfoWords[0xDD] = 4;
    state.InfoWords[0xDE] = 1;
    state.InfoWords[0xDF] = 5;
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(SaveConfigFile(state, slot, dir.File("shop.cfg"), prompter));

    const CliRun shown = Cli({"show", "--all", dir.File("shop.cfg")});
    ASSERT_EQ(shown.exit, 0) << shown.err;
    const std::string settings =
        "System Option Edit, BASIC\n"
        "Timer Out Time: 225 s\n"
        "Power Save Cycle: 1200mS\n"
        "Squelch Setting: Tight\n"
        "VOX Release Time: 1600 ms\n"
        "VOX Attack Time: 80 mS     \n"
        "Long Press Time: 4.5 s\n"
        "PTT Resume Time: 10s \n"
        "BEEP ON: NO\n"
        "System Option Edit, SCAN\n"
        "Resume Time: 5.0S\n"
        "Channel 1: NO\n"  // channel 7 of 3: reset as the dialog opens
        "Sample Time: 1.5S\n"
        "CTCSS/DCS CHECK: YES\n"
        "Talkback: YES\n"
        "Tx Channel: 2\n"
        "System Option Edit, Special\n"
        "Call Tone: Call-3\n"
        "Mute Call Sound: YES\n"
        "BCLO for: \n"
        "Conventional Buttons, Side Buttons\n"
        "Side Button A Short Press: Nuisance Delete\n"
        "Side Button A Long Press: Call\n"
        "Side Button B Short Press: Toggle Repeater/Talkaround\n"
        "Side Button B Long Press: Unassigned\n"
        "Conventional Buttons, Front Buttons\n"
        "Front Button 1 Short Press: Minitor\n"
        "Front Button 1 Long Press: Unassigned\n"
        "Front Button 2 Short Press: Toggle Tight/Normal Squelch\n"
        "Front Button 2 Long Press: Toggle Scan ON/OFF\n"
        "Radio Information\n"
        "Customer: Harbour Taxi\n"
        "Serial  Nember: PT-1\n"
        "Frequency Range: 448.7500 ~ 449.2625\n"
        "Programming Date: Jan-05-2004\n"
        "CH SPACE RF_PWR BCLO SCAN SHIFT\n"
        "01 12.5K   H    OFF   OFF  OFF\n"
        "02 25.0K   L    ON   AUTO  ON\n";
    EXPECT_TRUE(shown.out.ends_with("\nALL Channels In Range\n" + settings)) << shown.out;
    EXPECT_EQ(Cli({"show", dir.File("shop.cfg")}).out + settings, shown.out);
}

TEST_F(CliTest, ResaveWritesTheSameBytesUnderTheNewName) {
    ASSERT_EQ(Cli({"new", "--channels", "99", "--band", "10", dir.File("a.cfg")}).exit, 0);
    fs::create_directory(dir.Path() / "out");
    const CliRun resaved = Cli({"resave", dir.File("a.cfg"), dir.File("out/b.cfg")});
    ASSERT_EQ(resaved.exit, 0) << resaved.err;
    EXPECT_EQ(ReadBytes(dir.File("a.cfg")).size(), 2667u);
    EXPECT_EQ(ReadBytes(dir.File("out/b.cfg")), ReadBytes(dir.File("a.cfg")));
    EXPECT_EQ(ReadBytes(dir.File("out/b.ptx")), ReadBytes(dir.File("a.ptx")));
}

TEST_F(CliTest, RefusalsPrintTheirMessageAndExit1UsageErrorsExit2) {
    test::WriteBytes(dir.File("big.cfg"), Bytes(5001, 0));
    ImageBuf image(225, 0);
    image[0x10] = 0x13;
    test::WriteBytes(dir.File("model.cfg"), EncodeConfigFile(image));
    for (const auto& [args, message] :
         {std::pair{std::vector<std::string>{"show", dir.File("big.cfg")},
                    std::string("File is too big to open\n")},
          {{"show", "nothing.cfg"}, "Can't open file: nothing.cfg\n"},
          {{"resave", dir.File("model.cfg"), dir.File("x.cfg")},
           "Model or Type Error!  Can not Open  " + dir.File("model.cfg") + "\n"}}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.exit, 1);
        EXPECT_EQ(run.err, message);
        EXPECT_TRUE(run.out.empty());
    }
    const CliRun unsaved = Cli({"new", "--band", "9", "--channels", "16", dir.File("no/x.cfg")});
    EXPECT_EQ(unsaved.exit, 1);
    EXPECT_FALSE(unsaved.err.empty());

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{},
          {"frobnicate"},
          {"show"},
          {"show", "a", "b"},
          {"new", "--band", "9", "x.cfg"},
          {"new", "--band", "13", "--channels", "16", "x.cfg"},
          {"new", "--band", "9", "--channels", "100", "x.cfg"},
          {"new", "--band", "9", "--channels", "1.5", "x.cfg"},
          {"new", "--band"},
          {"read"},
          {"read", "--retries", "x", "a.cfg"},
          {"customer", "--serial", "PT-2024-00017"},
          {"customer", "--name", "Harbour Taxi Company"},
          {"customer", "x.cfg"}}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.exit, 2);
        EXPECT_NE(run.err.find("usage: petrel-cli"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(dir.File("x.cfg")));
}

TEST_F(CliTest, ChannelsGoOutAndComeInAsCsvAndARefusedImportWritesNothing) {
    ASSERT_EQ(Cli({"new", "--band", "6", "--channels", "16", dir.File("shop.cfg")}).exit, 0);
    const Bytes shop = ReadBytes(dir.File("shop.cfg"));
    std::ofstream(dir.File("in.csv")) << "Location,Frequency,Duplex,Offset,Tone,rToneFreq\n"
                                      << "3,446.5,+,5,Tone,67.0\n16,469.9875,off,,,\n";
    const CliRun imported =
        Cli({"import", dir.File("in.csv"), dir.File("shop.cfg"), "--to", dir.File("new.cfg")});
    ASSERT_EQ(imported.exit, 0) << imported.err;
    EXPECT_EQ(imported.err, "petrel-cli: 2 channels imported into " + dir.File("new.cfg") +
                                "\npetrel-cli: ALL Channels In Range\n");
    EXPECT_EQ(ReadBytes(dir.File("shop.cfg")), shop);
    EXPECT_NE(Cli({"show", dir.File("new.cfg")})
                  .out.find("3   446.500000  000=  None   451.500000  001=  67.0   "),
              std::string::npos);

    const CliRun shown = Cli({"export", dir.File("new.cfg"), "-"});
    ASSERT_EQ(shown.exit, 0) << shown.err;
    ASSERT_EQ(Cli({"export", dir.File("new.cfg"), dir.File("out.csv")}).exit, 0);
    EXPECT_EQ(ReadText(dir.File("out.csv")), shown.out);
    EXPECT_NE(shown.out.find("\r\n3,,446.500000,+,5.000000,Tone,67.0,"), std::string::npos);
    EXPECT_NE(shown.out.find("\r\n16,,469.987500,off,0.000000,,"), std::string::npos);

    // In place; a refused row leaves the file as it was.
    std::ofstream(dir.File("bad.csv")) << "Location,Frequency\n1,440\n2,475\n";
    const CliRun refused = Cli({"import", dir.File("bad.csv"), dir.File("new.cfg")});
    EXPECT_EQ(refused.exit, 1);
    EXPECT_EQ(refused.err, dir.File("bad.csv") +
                               ": line 3, Frequency: 475 MHz is outside 440 ~ 470\n"
                               "petrel-cli: nothing was imported\n");
    EXPECT_EQ(ReadText(dir.File("out.csv")), Cli({"export", dir.File("new.cfg"), "-"}).out);
    EXPECT_EQ(Cli({"import", dir.File("none.csv"), dir.File("new.cfg")}).err,
              "petrel-cli: Can't open file: " + dir.File("none.csv") + "\n");
    EXPECT_EQ(Cli({"export", dir.File("new.cfg")}).exit, 2);
}

// petrel-cli read and write against petrel-radio-sim on a real pseudo-terminal, in real time.
class CliRadioTest : public CliTest {
  protected:
    // Starts a simulated radio that saves itself as radio.cfg and logs to frames.log.
    void StartRadio(std::vector<std::string> args) {
        args.insert(args.end(), {"--delay", "0", "--save", dir.File("radio.cfg")});
        sim = std::make_unique<sim::SimProcess>(kSim, args, dir.File("frames.log"));
    }
    // Stops it: radio.cfg and radio.ptx then hold its memory.
    void StopRadio() { ASSERT_EQ(sim->Stop(), 0); }

    CliRun RadioCli(std::vector<std::string> args) {
        args.insert(args.begin() + 1, {"--port", sim->Device()});
        return Cli(args);
    }
    bool Logged(const std::string& frame) const {
        return ReadText(dir.File("frames.log")).find(frame) != std::string::npos;
    }

    // A configuration file of band and channels as a radio of that size would hold it.
    std::string MakeConfig(const std::string& name, int band, int channels) {
        ProgramState state;
        const int slot = BuildNewConfiguration(state, band, channels);
        auto& sys = state.workspace.At(slot).state.SysBlock;
        sys[0x0A] = static_cast<std::uint8_t>(sys[0x0A] | 0xF8 | (channels == 99 ? 0x02 : 0x00));
        sys[0x0E] = 0xFF;
        sys[0x07] = 0x3C;
        for (std::size_t i = 0; i < kTableSize; ++i) {
            state.LevelTable[i] = static_cast<std::uint8_t>(0x40 + i);
            state.PowerTable[i] = static_cast<std::uint8_t>(0x80 + i);
            state.InfoWords[0xF0 + i] = state.LevelTable[i];
            state.InfoWords[0xC0 + i] = state.PowerTable[i];
        }
        test::ScriptedPrompter prompter;
        EXPECT_TRUE(SaveConfigFile(state, slot, dir.File(name), prompter));
        return dir.File(name);
    }

    // The radio's image now, without its band byte.
    Bytes RadioImage() const {
        Bytes image = ImageOf(dir.File("radio.cfg"));
        image.pop_back();
        return image;
    }
    // What a Download leaves in the radio: the file's image without the band byte and with
    // the option bits the radio must not get cleared.
    static Bytes Downloaded(Bytes image, std::size_t count) {
        image.resize(count);
        image[0x0A] &= 0x67;
        image[0x0E] &= 0x9E;
        return image;
    }

    std::unique_ptr<sim::SimProcess> sim;
};

TEST_F(CliRadioTest, WritesAndReadsANinetyNineChannelRadioByteExact) {
    const std::string config = MakeConfig("shop.cfg", 9, 99);
    const Bytes file = ReadBytes(config);
    StartRadio({"--serial", "PT-2024-0001", "--customer", "HARBOUR TAXI"});
    const CliRun write = RadioCli({"write", config});
    ASSERT_EQ(write.exit, 0) << write.err;
    EXPECT_NE(write.err.find("ALL Channels In Range"), std::string::npos);
    const CliRun read = RadioCli({"read", dir.File("read.cfg")});
    ASSERT_EQ(read.exit, 0) << read.err;
    EXPECT_NE(read.err.find("Petrel (PMR) detected"), std::string::npos);
    StopRadio();

    EXPECT_EQ(RadioImage(), Downloaded(ImageOf(config), 888));
    EXPECT_EQ(RadioImage()[0x07], 0x3C);
    EXPECT_EQ(ReadBytes(config), file) << "the written file is left as it was";
    EXPECT_EQ(ReadBytes(dir.File("read.cfg")).size(), 2667u);
    EXPECT_EQ(ReadBytes(dir.File("read.cfg")), ReadBytes(dir.File("radio.cfg")));
    EXPECT_EQ(ReadBytes(dir.File("read.ptx")), ReadBytes(dir.File("radio.ptx")));
    EXPECT_TRUE(Logged("param-write: O 02 10 AA -> AA"));  // after the Download
    EXPECT_TRUE(Logged("param-write: O 02 10 90 -> 90"));  // after the Upload
    EXPECT_TRUE(Logged("param-write: O 02 11 0A -> 0A"));
}

TEST_F(CliRadioTest, SixteenChannelRadiosReadRefuseCrossedBandsUnlessYesAndTakeTheirBytes) {
    StartRadio({"--band", "10", "--channels", "16"});
    const CliRun read = RadioCli({"read", dir.File("small.cfg")});
    ASSERT_EQ(read.exit, 0) << read.err;
    EXPECT_EQ(ReadBytes(dir.File("small.cfg")).size(), 675u);

    const std::string pmr = MakeConfig("pmr.cfg", 9, 16);
    const CliRun refused = RadioCli({"write", pmr});
    EXPECT_EQ(refused.exit, 1);
    EXPECT_NE(refused.err.find("Error warning: Band are Crossed !\nDo you want to continue ?"),
              std::string::npos);
    EXPECT_FALSE(Logged("write: W"));
    const CliRun forced = RadioCli({"write", "--yes", pmr});
    EXPECT_EQ(forced.exit, 0) << forced.err;
    EXPECT_TRUE(Logged("write: W 00 10 09"));  // the band byte went over

    const std::string big = MakeConfig("big.cfg", 10, 99);
    Bytes bigImage = ImageOf(big);
    bigImage[0x0A] &= 0xFD;  // the 16-channel radio keeps its size
    test::WriteBytes(big, EncodeConfigFile(bigImage));
    const CliRun write = RadioCli({"write", big});
    ASSERT_EQ(write.exit, 0) << write.err;
    StopRadio();
    EXPECT_EQ(RadioImage(), Downloaded(bigImage, 224));
    EXPECT_EQ(ReadBytes(dir.File("small.ptx")), ReadBytes(dir.File("radio.ptx")));
}

TEST_F(CliRadioTest, ABlankRadioOfAnotherBandGetsTheImageThenTheTables) {
    const std::string config = MakeConfig("pmr.cfg", 9, 99);
    StartRadio({"--blank", "--band", "10"});
    // Read as it is, it gives a file that opens again, of the band the radio reported.
    ASSERT_EQ(RadioCli({"read", dir.File("blank.cfg")}).exit, 0);
    const CliRun shown = Cli({"show", dir.File("blank.cfg")});
    EXPECT_EQ(shown.exit, 0) << shown.err;
    EXPECT_TRUE(shown.out.starts_with("Model:Petrel (Korea)\n"));

    const CliRun run = RadioCli({"write", config});
    ASSERT_EQ(run.exit, 0) << run.err;
    StopRadio();
    EXPECT_EQ(run.err.find("Band are Crossed"), std::string::npos);
    const std::string log = ReadText(dir.File("frames.log"));
    const std::size_t lastImageBlock = log.find("write: W 03 74");
    const std::size_t levelTable = log.find("write: W 07 F0 40 41 42 43");
    const std::size_t powerTable = log.find("write: W 07 CC 8C 8D 8E 8F");
    ASSERT_NE(powerTable, std::string::npos);
    EXPECT_LT(lastImageBlock, levelTable);
    EXPECT_LT(levelTable, powerTable);
    EXPECT_FALSE(Logged("write: W 07 FC"));

    const auto info = DecodeCompanionFile(ReadBytes(dir.File("radio.ptx")));
    ASSERT_TRUE(info);
    for (const auto& [index, value] :
         {std::pair{0xF0, 0x40}, std::pair{0xFB, 0x4B}, std::pair{0xFC, 0xFF},
          std::pair{0xC0, 0x80}, std::pair{0xCF, 0x8F}}) {
        EXPECT_EQ((*info)[index], value) << index;
    }
}

TEST_F(CliRadioTest, WriteWithBackupKeepsTheRadiosPreviousMemoryByteForByte) {
    // The radio holds a configuration with arbitrary channel bytes.
    const std::string before = MakeConfig("before.cfg", 9, 99);
    Bytes image = ImageOf(before);
    std::mt19937 random(7);
    std::generate(image.begin() + 0x60, image.end() - 1, [&] { return random() & 0xFF; });
    test::WriteBytes(before, EncodeConfigFile(image));
    StartRadio({"--load", before});

    const std::string config = MakeConfig("new.cfg", 9, 99);
    const CliRun write = RadioCli({"write", "--backup", dir.File("Backups"), config});
    ASSERT_EQ(write.exit, 0) << write.err;
    StopRadio();
    std::vector<fs::path> kept;
    for (const auto& entry : fs::directory_iterator(dir.Path() / "Backups")) {
        kept.push_back(entry.path());
    }
    ASSERT_EQ(kept.size(), 2u);
    std::sort(kept.begin(), kept.end());
    EXPECT_NE(write.err.find("petrel-cli: the radio as it was is kept in " + kept[0].string()),
              std::string::npos);
    EXPECT_TRUE(kept[0].filename().string().ends_with(" Petrel (PMR).cfg"));
    EXPECT_EQ(ReadBytes(kept[0].string()), ReadBytes(before));
    EXPECT_EQ(ReadBytes(kept[1].string()), ReadBytes(dir.File("before.ptx")));
    EXPECT_EQ(RadioImage(), Downloaded(ImageOf(config), 888));
}

TEST_F(CliRadioTest, FailuresAreRetriedOnlyAsOftenAsAllowed) {
    StartRadio({"--channels", "16", "--drop", "read@30", "--drop", "write@5"});
    const CliRun retried = RadioCli(
        {"read", "--retries", "1", "--trace", dir.File("read.trace"), dir.File("again.cfg")});
    EXPECT_EQ(retried.exit, 0) << retried.err;
    EXPECT_NE(retried.err.find("Upload Err !  Make sure the connection is OK\nTry Again ?"),
              std::string::npos);
    // The trace names the port first and shows the lost answer and the question.
    const std::string trace = ReadText(dir.File("read.trace"));
    EXPECT_EQ(trace.rfind("Petrel CPS serial trace, started ", 0), 0u);
    EXPECT_NE(trace.find("\nCOM1 " + sim->Device() + "\n"), std::string::npos);
    const auto lost = trace.find("frame failed: time-out with 3 of 7 bytes");
    const auto question =
        trace.find("question \"Upload Err !  Make sure the connection is OK / Try Again ?\": Yes");
    EXPECT_LT(lost, question);
    EXPECT_NE(question, std::string::npos);
    // A Download that stops part-way says where and what the radio holds now.
    const CliRun stopped = RadioCli({"write", dir.File("again.cfg")});
    EXPECT_EQ(stopped.exit, 1);
    EXPECT_NE(stopped.err.find("Writing stopped at block 0x0014: the radio now holds a mixture "
                               "of the new and its old configuration and must be written "
                               "again.\nDownload Err !"),
              std::string::npos)
        << stopped.err;
    StopRadio();
    EXPECT_EQ(ReadBytes(dir.File("again.cfg")), ReadBytes(dir.File("radio.cfg")));

    StartRadio({"--silent"});
    const CliRun silent = RadioCli({"read", "--retries", "1", dir.File("none.cfg")});
    EXPECT_EQ(silent.exit, 1);
    std::size_t asked = 0;
    for (auto at = silent.err.find("Connecting Err"); at != std::string::npos;
         at = silent.err.find("Connecting Err", at + 1)) {
        ++asked;
    }
    EXPECT_EQ(asked, 2u);
    EXPECT_FALSE(fs::exists(dir.File("none.cfg")));
}

TEST_F(CliRadioTest, CustomerReadsAndWritesTheNinetyNineChannelRadiosOwnPage) {
    StartRadio({"--serial", "SN-00042", "--customer", "Old Shop"});
    const CliRun read = RadioCli({"customer"});
    ASSERT_EQ(read.exit, 0) << read.err;
    EXPECT_EQ(read.out, "Customer Name: Old Shop\nSerial Number: SN-00042\n");
    const CalendarDate before = Today();
    const CliRun write = RadioCli({"customer", "--name", " Harbour Taxi "});
    const CalendarDate after = Today();
    ASSERT_EQ(write.exit, 0) << write.err;
    EXPECT_EQ(write.out, "Customer Name: Harbour Taxi\nSerial Number: SN-00042\n");
    StopRadio();

    const auto info = DecodeCompanionFile(ReadBytes(dir.File("radio.ptx")));
    ASSERT_TRUE(info);
    std::string name;
    std::string serial;
    for (int i = 0; i < 15; ++i) {
        name += static_cast<char>((*info)[0xE1 + i]);
        serial += static_cast<char>((*info)[0xD1 + i]);
    }
    EXPECT_EQ(name, "Harbour Taxi   ");
    EXPECT_EQ(serial.substr(0, 12), "SN-00042    ");
    // Today's date (either side of midnight).
    const auto date = [](CalendarDate day) {
        return std::string{static_cast<char>(day.year % 100), static_cast<char>(day.month),
                           static_cast<char>(day.day)};
    };
    EXPECT_TRUE(serial.substr(12) == date(before) || serial.substr(12) == date(after));
    EXPECT_TRUE(Logged("write: W 07 E0 00 48 61 72 -> 00 48 61 72  (name block \".Har\")"));
    EXPECT_TRUE(Logged("param-write: O 02 11 0A -> 0A  (control code 90 0A)"));
    EXPECT_TRUE(Logged("customer \"Harbour Taxi   \""));  // the --save line
}

TEST_F(CliTest, PortsThatDoNotOpenAreNamedWithTheirReason) {
    const CliRun missing = Cli({"read", "--port", "/dev/petrel-none", dir.File("x.cfg")});
    EXPECT_EQ(missing.exit, 1);
    EXPECT_NE(missing.err.find("petrel-cli: COM1 /dev/petrel-none: No such file or directory"),
              std::string::npos);
    EXPECT_NE(missing.err.find(" No RS232 Port is available\nDetect Again ?"), std::string::npos);
    const CliRun customer = Cli({"customer", "--port", "/dev/petrel-none", "--name", "X"});
    EXPECT_EQ(customer.exit, 1);
    EXPECT_NE(customer.err.find("COM1 /dev/petrel-none"), std::string::npos);
    EXPECT_TRUE(customer.out.empty());

    cli::CliEnvironment environment;
    environment.ports = "";
    const CliRun none = Cli({"read", "--yes", dir.File("x.cfg")}, environment);
    EXPECT_EQ(none.exit, 1);
    EXPECT_NE(none.err.find("no serial port found"), std::string::npos);

    environment.trace = dir.File("no-folder/link.trace");
    const CliRun untraceable = Cli({"read", dir.File("x.cfg")}, environment);
    EXPECT_EQ(untraceable.exit, 1);
    EXPECT_NE(untraceable.err.find("cannot write the trace " + *environment.trace +
                                   ": No such file or directory"),
              std::string::npos);
}

}  // namespace
}  // namespace petrel
