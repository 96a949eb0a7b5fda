#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <system_error>

#include "cli_run.h"
#include "core/document/config_file.h"
#include "core/document/new_config.h"
#include "core/link/radio_backup.h"
#include "core/link/test_marker.h"
#include "core/model/band_table.h"
#include "core/model/channel_line.h"
#include "core/model/freq_codec.h"
#include "core/model/info_page.h"
#include "core/model/workspace.h"
#include "core/settings/radio_info.h"
#include "support/documents.h"
#include "support/golden.h"

namespace petrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Args = std::vector<std::string>;
using test::ReadBytes;
using test::ReadText;

using test::Args;
using test::Cli;
using test::CliRun;

// Runs the petrel-cli program itself through the shell, with its redirections.
CliRun Program(const std::string& commandLine, const test::TempDir& dir) {
    const std::string err = dir.File("program.err");
    const int status = std::system(
        (std::string(PETREL_BINARY_DIR) + "/tools/cli/petrel-cli " + commandLine + " 2>" + err)
            .c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}, ReadText(err)};
}

class CliTest : public test::CliRadioFixture {
  protected:
    test::ScopedWorkingDir cwd{dir.Path()};
};

TEST_F(CliTest, ResultsThatCannotBeWrittenFailTheCommand) {
    const std::string name = dir.File("pmr.cfg");
    ASSERT_EQ(Cli({"new", "--band", "9", "--channels", "16", name}).exit, 0);
    const std::string full = std::generic_category().message(ENOSPC);
    for (const std::string& command :
         {"show " + name, "show --all " + name, "print --text " + name, "export " + name + " -"}) {
        const CliRun run = Program(command + " >/dev/full", dir);
        EXPECT_EQ(run.exit, 1) << command;
        EXPECT_EQ(run.err, "petrel-cli: the output could not be written: " + full + "\n")
            << command;
    }
}

TEST_F(CliTest, NewShowAndResave) {
    const std::string name = dir.File("pmr.cfg");
    ASSERT_EQ(Cli({"new", "--band", "9", "--channels", "16", name}).exit, 0);
    const CliRun shown = Cli({"show", name});
    ASSERT_EQ(shown.exit, 0) << shown.err;
    EXPECT_TRUE(test::MatchesGolden(shown.out, "cli/data/show_pmr16.txt"));
    // Without frequencies there is no check message.
    ASSERT_EQ(Cli({"new", "--band", "12", "--channels", "3", dir.File("empty.cfg")}).exit, 0);
    EXPECT_TRUE(Cli({"show", dir.File("empty.cfg")})
                    .out.ends_with("\n3   NONE        000=  None   NONE        000=  None   \n"));

    fs::create_directory(dir.Path() / "out");
    ASSERT_EQ(Cli({"resave", name, dir.File("out/b.cfg")}).exit, 0);
    EXPECT_EQ(ReadBytes(dir.File("out/b.cfg")), ReadBytes(name));
    EXPECT_EQ(ReadBytes(dir.File("out/b.ptx")), ReadBytes(dir.File("pmr.ptx")));
}

TEST_F(CliTest, ShowAllListsTheSettingsAsTheDialogsShowThem) {
    Workspace workspace;
    const int slot = BuildNewConfiguration(workspace, 10, 3);
    Document& doc = workspace.At(slot);
    doc.state.Dirty = true;
    doc.lines[2] = EmptyChannelLine(3);
    doc.state.ChOption = {0x06, 0x29, 0x3F};
    test::Poke(
        doc.state.SysBlock,
        "00=D2 01=35 02=31 03=36 05=07 06=02 07=5A 08=3F 09=8C 0A=20 0E=92 0F=4F 17=83 18=05");
    // A radio's texts may hold any byte: shown and printed escaped, one line per control.
    const std::string name = "Harbour\x1bTaxi\r\x85", serial = "PT\n1\\x";
    InfoPage& info = doc.info.InfoWords;
    for (std::size_t i = 0; i < 15; ++i) {
        info[0xE1 + i] = i < name.size() ? name[i] : ' ';
        info[0xD1 + i] = i < serial.size() ? serial[i] : ' ';
    }
    info[0xDD] = 4;
    info[0xDE] = 1;
    info[0xDF] = 5;
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(SaveConfigFile(workspace, slot, dir.File("shop.cfg"), prompter));

    const CliRun shown = Cli({"show", "--all", dir.File("shop.cfg")});
    ASSERT_EQ(shown.exit, 0) << shown.err;
    // The settings follow the plain show's output. Channel 1 of the scan page is NO: the
    // priority channel 7 of a 3-channel radio is reset as the dialog opens.
    EXPECT_TRUE(test::MatchesGolden(shown.out, "cli/data/show_all.txt"));
    EXPECT_TRUE(shown.out.starts_with(Cli({"show", dir.File("shop.cfg")}).out + "System Option"));
    const CliRun printed = Cli({"print", "--text", dir.File("shop.cfg")});
    ASSERT_EQ(printed.exit, 0) << printed.err;
    EXPECT_NE(printed.out.find("Harbour\\x1bTaxi\\x0d\\x85"), std::string::npos) << printed.out;
    EXPECT_NE(printed.out.find("PT\\x0a1\\\\x"), std::string::npos) << printed.out;
    EXPECT_EQ(printed.out.find_first_of("\x1b\r\x85"), std::string::npos);
}

TEST_F(CliTest, RefusalsPrintTheirMessageAndExit1UsageErrorsExit2) {
    ImageBuf image(225, 0);
    image[0x10] = 0x13;
    test::WriteBytes(dir.File("model.cfg"), EncodeConfigFile(image));
    for (const auto& [args, message] :
         {std::pair{Args{"show", "nothing.cfg"}, std::string("Can't open file: nothing.cfg\n")},
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

    for (const std::string usage :
         {"", "frobnicate", "show", "new --band 9 x.cfg", "new --band 13 --channels 16 x.cfg",
          "new --band 9 --channels 100 x.cfg", "new --band 9 --channels 1.5 x.cfg", "new --band",
          "read --retries x a.cfg", "export a.cfg", "customer --serial PT-2024-00017",
          "customer --name Harbour_Taxi_Company", "customer x.cfg", "release x.cfg"}) {
        std::istringstream words(usage);
        const CliRun run = Cli({std::istream_iterator<std::string>(words), {}});
        EXPECT_EQ(run.exit, 2) << usage;
        EXPECT_TRUE(run.Said("usage: petrel-cli")) << usage;
    }
    EXPECT_FALSE(fs::exists(dir.File("x.cfg")));
}

TEST_F(CliTest, HelpAndVersionAnswerOnStandardOutputOnlyAlone) {
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.exit, 0);
    EXPECT_TRUE(help.out.starts_with("usage: petrel-cli show")) << help.out;
    EXPECT_TRUE(help.err.empty());
    const CliRun version = Cli({"--version"});
    EXPECT_EQ(version.exit, 0);
    EXPECT_TRUE(version.out.starts_with("petrel-cli 1.")) << version.out;
    EXPECT_TRUE(
        version.out.ends_with("\nLicense GPLv3+: GNU GPL version 3 or later "
                              "<https://gnu.org/licenses/gpl.html>\n"))
        << version.out;
    EXPECT_EQ(std::count(version.out.begin(), version.out.end(), '\n'), 2);
    EXPECT_TRUE(version.err.empty());
    // Anywhere else they are no command, or an option the command does not know.
    for (const Args& args :
         {Args{"--version", "x.cfg"}, Args{"show", "--version", "x.cfg"}, Args{"show", "--help"}}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.exit, 2) << args[1];
        EXPECT_TRUE(run.out.empty());
    }
}

TEST_F(CliTest, ChannelsGoOutAndComeInAsCsv) {
    ASSERT_EQ(Cli({"new", "--band", "6", "--channels", "16", dir.File("shop.cfg")}).exit, 0);
    const Bytes shop = ReadBytes(dir.File("shop.cfg"));
    std::ofstream(dir.File("in.csv")) << "Location,Frequency,Duplex,Offset,Tone,rToneFreq\n"
                                      << "3,446.5,+,5,Tone,67.0\n16,469.9875,off,,,\n";
    const CliRun imported =
        Cli({"import", dir.File("in.csv"), dir.File("shop.cfg"), "--to", dir.File("new.cfg")});
    ASSERT_EQ(imported.exit, 0) << imported.err;
    EXPECT_EQ(imported.err, "petrel-cli: 2 channels imported; saved as " + dir.File("new.cfg") +
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

    EXPECT_EQ(Cli({"import", dir.File("none.csv"), dir.File("new.cfg")}).err,
              "petrel-cli: Can't open file: " + dir.File("none.csv") + "\n");
}

// The import flags reach the import and its outcome is told: rows refused, each named with its
// file, and nothing written; skipped with --skip-unstorable; placed from --first-channel. Which
// rows are refused, skipped or placed where is ChannelCsvTest's.
TEST_F(CliTest, ImportPlacesAndSkipsRowsAsTheFlagsSay) {
    const std::string pmr = dir.File("pmr.cfg");
    ASSERT_EQ(Cli({"new", "--band", "9", "--channels", "16", pmr}).exit, 0);
    const Bytes before = ReadBytes(pmr);
    const std::string csv = dir.File("lpd-pmr.csv");
    std::ofstream(csv) << "Location,Frequency\n1,433.075\n2,433.1\n11,446.00625\n12,446.01875\n";
    const std::string lpd =
        csv + ": line 2, Frequency: 433.075 MHz is outside 446.00625 ~ 446.09375\n" + csv +
        ": line 3, Frequency: 433.1 MHz is outside 446.00625 ~ 446.09375\n";
    const auto shows = [&](const std::string& file, const std::string& line) {
        return Cli({"show", file}).out.find(line) != std::string::npos;
    };

    // All or nothing, in place or to another file.
    const CliRun refused = Cli({"import", csv, pmr});
    EXPECT_EQ(refused.exit, 1);
    EXPECT_EQ(refused.err, lpd + "petrel-cli: nothing was imported\n");
    const CliRun pastEnd =
        Cli({"import", csv, pmr, "--first-channel", "16", "--to", dir.File("d.cfg")});
    EXPECT_EQ(pastEnd.exit, 1);
    EXPECT_EQ(pastEnd.err, lpd + csv +
                               ": line 5, Location: the configuration has no channel 17\n"
                               "petrel-cli: nothing was imported\n");
    EXPECT_EQ(ReadBytes(pmr), before);
    EXPECT_FALSE(fs::exists(dir.File("d.cfg")));

    const CliRun skipped =
        Cli({"import", "--skip-unstorable", csv, pmr, "--to", dir.File("a.cfg")});
    EXPECT_EQ(skipped.exit, 0) << skipped.err;
    EXPECT_EQ(skipped.err, lpd + "petrel-cli: 2 channels imported, 2 rows skipped; saved as " +
                               dir.File("a.cfg") + "\npetrel-cli: ALL Channels In Range\n");
    EXPECT_TRUE(shows(dir.File("a.cfg"), "11  446.006250  000=  None   446.006250"));
    const CliRun placed = Cli({"import", csv, pmr, "--first-channel", "1", "--skip-unstorable",
                               "--to", dir.File("b.cfg")});
    EXPECT_EQ(placed.exit, 0) << placed.err;
    EXPECT_TRUE(shows(dir.File("b.cfg"), "2   446.018750  000=  None   446.018750"));
    EXPECT_FALSE(shows(dir.File("b.cfg"), "11  446.006250"));
    EXPECT_EQ(ReadBytes(pmr), before);

    // Nothing left to import fails; a first channel of no configuration is a usage error, one
    // past this configuration's end a refusal.
    std::ofstream(dir.File("lpd.csv")) << "Location,Frequency\n1,433.075\n";
    const CliRun none = Cli({"import", "--skip-unstorable", dir.File("lpd.csv"), pmr});
    EXPECT_EQ(none.exit, 1);
    EXPECT_TRUE(none.err.ends_with("petrel-cli: nothing was imported\n")) << none.err;
    EXPECT_EQ(ReadBytes(pmr), before);
    for (const char* first : {"0", "x", "100", "1.5"}) {
        EXPECT_EQ(Cli({"import", csv, pmr, "--first-channel", first}).exit, 2) << first;
    }
    const CliRun beyond = Cli({"import", csv, pmr, "--first-channel", "17"});
    EXPECT_EQ(beyond.exit, 1);
    EXPECT_EQ(beyond.err,
              "petrel-cli: the first channel 17 is not a channel from 1 to 16\n"
              "petrel-cli: nothing was imported\n");
}

TEST_F(CliTest, ExportWritesTheChannelsChosen) {
    const std::string pmr = dir.File("pmr.cfg");
    ASSERT_EQ(Cli({"new", "--band", "9", "--channels", "16", pmr}).exit, 0);
    const CliRun chosen = Cli({"export", "--channels", "2-3,7", pmr, "-"});
    ASSERT_EQ(chosen.exit, 0) << chosen.err;
    std::vector<std::string> locations;
    std::istringstream rows(chosen.out);
    for (std::string row; std::getline(rows, row);) {
        locations.push_back(row.substr(0, row.find(',')));
    }
    EXPECT_EQ(locations, (std::vector<std::string>{"Location", "2", "3", "7"}));
    EXPECT_NE(chosen.out.find(",NFM,6.25,S,0.1W,"), std::string::npos) << chosen.out;

    const CliRun bad = Cli({"export", "--channels", "3-1", pmr, "-"});
    EXPECT_EQ(bad.exit, 2);
    EXPECT_TRUE(
        bad.err.starts_with("petrel-cli: --channels: \"3-1\" is not a channel or a range "
                            "of channels from 1 to 99 (such as 1-8,12)\n"));
    const CliRun beyond = Cli({"export", "--channels", "1-8,20", pmr, dir.File("out.csv")});
    EXPECT_EQ(beyond.exit, 1);
    EXPECT_EQ(beyond.err, "petrel-cli: " + pmr +
                              " has channels 1 to 16: --channels \"20\" is not a channel or a "
                              "range of channels from 1 to 16 (such as 1-8,12)\n");
    EXPECT_FALSE(fs::exists(dir.File("out.csv")));
}

// diff prints the differences one line each and exits as diff(1) does: 0 the same, 1 they
// differ, 2 trouble (a usage error, a file that does not open, output that cannot be written).
TEST_F(CliTest, DiffPrintsOneLinePerDifferenceAndExitsAsDiffDoes) {
    Workspace workspace;
    const int slot = BuildNewConfiguration(workspace, 9, 16);
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(SaveConfigFile(workspace, slot, dir.File("a.cfg"), prompter));
    ASSERT_TRUE(SaveConfigFile(workspace, slot, dir.File("same.cfg"), prompter));
    workspace.At(slot).lines[1] = ChannelLine(2, "446.018750", 1, "NONE", 0);
    ASSERT_TRUE(SaveConfigFile(workspace, slot, dir.File("b.cfg"), prompter));
    const int longer17 = BuildNewConfiguration(workspace, 9, 17);
    workspace.At(longer17).lines[16] = ChannelLine(17, "446.006250", 0, "446.006250", 0);
    ASSERT_TRUE(SaveConfigFile(workspace, longer17, dir.File("c.cfg"), prompter));

    const CliRun same = Cli({"diff", dir.File("a.cfg"), dir.File("same.cfg")});
    EXPECT_EQ(same.exit, 0) << same.err;
    EXPECT_EQ(same.out, "");
    const CliRun differ = Cli({"diff", dir.File("a.cfg"), dir.File("b.cfg")});
    EXPECT_EQ(differ.exit, 1) << differ.err;
    EXPECT_EQ(differ.out,
              "CH 2 Rx_CTCSS/DCS: 000=  None | 001=  67.0\n"
              "CH 2 Tx Freq.: 446.018750 | NONE\n");
    const CliRun longer = Cli({"diff", dir.File("a.cfg"), dir.File("c.cfg")});
    EXPECT_EQ(longer.exit, 1);
    EXPECT_EQ(longer.out, "Channels: 16 | 17\nCH 17: only in " + dir.File("c.cfg") + "\n");

    for (const Args& args :
         {Args{"diff"}, Args{"diff", dir.File("a.cfg"), dir.File("b.cfg"), dir.File("c.cfg")},
          Args{"diff", "--port", "/dev/null", dir.File("a.cfg"), dir.File("b.cfg")}}) {
        const CliRun usage = Cli(args);
        EXPECT_EQ(usage.exit, 2) << args.size();
        EXPECT_TRUE(usage.Said("usage: petrel-cli")) << usage.err;
    }
    const CliRun missing = Cli({"diff", dir.File("a.cfg"), dir.File("none.cfg")});
    EXPECT_EQ(missing.exit, 2);
    EXPECT_NE(missing.err, "");
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(
        Program("diff " + dir.File("a.cfg") + " " + dir.File("b.cfg") + " >/dev/full", dir).exit,
        2);
}

// backups lists the backup folder as a table, newest first; a file that does not open says why.
TEST_F(CliTest, BackupsListsTheKeptRadiosNewestFirst) {
    const std::string folder = dir.File("Petrel CPS/Backups");
    for (const auto& [hour, serial] : {std::pair{7, "SN-1"}, std::pair{9, "SN-22"}}) {
        Workspace workspace;
        Document& doc = workspace.At(BuildNewConfiguration(workspace, 9, 16));
        std::copy(serial, serial + std::string(serial).size(),
                  doc.info.InfoWords.begin() + kInfoSerialText);
        const LocalTime when{2024, 3, 9, hour, 0, 0};
        ASSERT_EQ(SaveRadioBackup(folder, PackImage(doc), doc.info.InfoWords, when).Message(), "");
    }
    test::WriteBytes(folder + "/2024-03-09 08-00-00 Petrel.cfg", {1, 2, 3});

    cli::CliEnvironment environment;
    environment.workingFolder = dir.File("Petrel CPS");
    const CliRun listed = Cli({"backups"}, environment);
    ASSERT_EQ(listed.exit, 0) << listed.err;
    EXPECT_EQ(listed.out, "2024-03-09 09:00:00  Petrel (PMR)  SN-22  -  16  " + folder +
                              "/2024-03-09 09-00-00 Petrel (PMR) SN-22.cfg\n"
                              "2024-03-09 08:00:00  -             -      -  -   " +
                              folder + "/2024-03-09 08-00-00 Petrel.cfg -- Can't open " + folder +
                              "/2024-03-09 08-00-00 Petrel.cfg: it is not a configuration file "
                              "(it holds no configuration records).\n"
                              "2024-03-09 07:00:00  Petrel (PMR)  SN-1   -  16  " +
                              folder + "/2024-03-09 07-00-00 Petrel (PMR) SN-1.cfg\n");
    EXPECT_EQ(Cli({"backups", folder}).out, listed.out);
    const CliRun none = Cli({"backups", dir.File("none")});
    EXPECT_EQ(none.exit, 0);
    EXPECT_EQ(none.err, "petrel-cli: no backups in " + dir.File("none") + "\n");
    EXPECT_EQ(Cli({"backups", folder, folder}).exit, 2);
    EXPECT_EQ(Cli({"backups"}).exit, 2);  // no home folder to look in

    // The desktop program's folder: in the documents folder the desktop names, else Documents.
    fs::create_directories(dir.Path() / "config");
    EXPECT_EQ(cli::DesktopWorkingFolder("/home/ann", dir.File("config")),
              "/home/ann/Documents/Petrel CPS");
    std::ofstream(dir.File("config/user-dirs.dirs"))
        << "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    EXPECT_EQ(cli::DesktopWorkingFolder("/home/ann", dir.File("config")),
              "/home/ann/Dokumente/Petrel CPS");
}

TEST_F(CliTest, PortsThatDoNotOpenAreNamedWithTheirReason) {
    const CliRun missing = Cli({"read", "--port", "/dev/petrel-none", dir.File("x.cfg")});
    EXPECT_EQ(missing.exit, 1);
    EXPECT_TRUE(missing.Said("petrel-cli: COM1 /dev/petrel-none: No such file or directory"));
    EXPECT_TRUE(missing.Said(" No RS232 Port is available\nDetect Again ?"));
    const CliRun customer = Cli({"customer", "--port", "/dev/petrel-none", "--name", "X"});
    EXPECT_EQ(customer.exit, 1);
    EXPECT_TRUE(customer.Said("COM1 /dev/petrel-none"));
    EXPECT_TRUE(customer.out.empty());

    cli::CliEnvironment environment;
    environment.ports = "";
    const CliRun none = Cli({"read", "--yes", dir.File("x.cfg")}, environment);
    EXPECT_EQ(none.exit, 1);
    EXPECT_TRUE(none.Said("no serial port found"));
    environment.trace = dir.File("no-folder/link.trace");
    const CliRun untraceable = Cli({"read", dir.File("x.cfg")}, environment);
    EXPECT_EQ(untraceable.exit, 1);
    EXPECT_TRUE(untraceable.Said("cannot write the trace " + *environment.trace +
                                 ": No such file or directory"));

    EXPECT_FALSE(fs::exists(dir.File("x.cfg")));
}

// petrel-cli against petrel-radio-sim on a real pseudo-terminal, in real time.
class CliRadioTest : public CliTest {
  protected:
    // Starts a simulated radio that saves itself as radio.cfg and logs to frames.log.
    void StartRadio(Args args) {
        args.insert(args.end(), {"--delay", "0", "--save", dir.File("radio.cfg")});
        StartSim(args, dir.File("frames.log"));
    }
    std::size_t LastBlockWrite() const {
        return ReadText(dir.File("frames.log")).rfind("write: W");
    }
    std::string MakeConfig(const std::string& name, int band, int channels,
                           const std::string& serial = {}) {
        return test::SaveNewConfig(dir.File(name), band, channels, serial);
    }
};

TEST_F(CliRadioTest, WriteWithBackupCustomerAndReadOnANinetyNineChannelRadio) {
    // The radio holds a configuration with arbitrary channel bytes and a serial number.
    const std::string before = MakeConfig("before.cfg", 9, 99, "SN-00042");
    Bytes image = DecodeConfigFile(ReadBytes(before));
    std::mt19937 random(7);
    std::generate(image.begin() + 0x60, image.end() - 1, [&] { return random() & 0xFF; });
    test::WriteBytes(before, EncodeConfigFile(image));
    StartRadio({"--load", before});

    // The radio as it was is kept before the file goes in; the file stays as it is.
    // A backup folder without a name is refused before the radio hears anything.
    const std::string config = MakeConfig("new.cfg", 9, 99);
    const Bytes file = ReadBytes(config);
    const CliRun unnamed = RadioCli({"write", "--backup", "", config});
    EXPECT_EQ(unnamed.exit, 2);
    EXPECT_TRUE(unnamed.Said("petrel-cli: --backup needs a folder name\nusage: petrel-cli"));
    EXPECT_EQ(ReadText(dir.File("frames.log")).find(" -> "), std::string::npos);
    const CliRun write = RadioCli({"write", "--backup", dir.File("Backups"), config});
    ASSERT_EQ(write.exit, 0) << write.err;
    EXPECT_TRUE(write.Said("ALL Channels In Range"));
    std::vector<fs::path> kept(fs::directory_iterator(dir.Path() / "Backups"),
                               fs::directory_iterator());
    ASSERT_EQ(kept.size(), 2u);
    std::sort(kept.begin(), kept.end());
    EXPECT_TRUE(write.Said("petrel-cli: the radio as it was is kept in " + kept[0].string()));
    EXPECT_EQ(ReadBytes(config), file);

    // The customer texts: what is not given keeps the radio's value, the date is today's.
    const SteadyClock clock;
    const CalendarDate today = clock.WallTime().Date();
    const CliRun named = RadioCli({"customer", "--name", " Harbour Taxi "});
    ASSERT_EQ(named.exit, 0) << named.err;
    EXPECT_EQ(named.out, "Customer Name: Harbour Taxi\nSerial Number: SN-00042\n");

    const CliRun read = RadioCli({"read", dir.File("read.cfg")});
    ASSERT_EQ(read.exit, 0) << read.err;
    EXPECT_TRUE(read.Said("Petrel (PMR) detected"));
    ASSERT_EQ(sim->Stop(), 0);
    EXPECT_EQ(ReadBytes(dir.File("read.cfg")), ReadBytes(dir.File("radio.cfg")));
    EXPECT_EQ(ReadBytes(dir.File("read.ptx")), ReadBytes(dir.File("radio.ptx")));
    // The channel records of the file went in; the serial block ends with today's date.
    const Bytes radio = DecodeConfigFile(ReadBytes(dir.File("radio.cfg")));
    const Bytes sent = DecodeConfigFile(file);
    EXPECT_TRUE(std::equal(radio.begin() + 0x60, radio.end() - 1, sent.begin() + 0x60));
    const auto info = DecodeCompanionFile(ReadBytes(dir.File("read.ptx")));
    ASSERT_TRUE(info);
    const auto date = [](CalendarDate day) {
        return std::string{char(day.year % 100), char(day.month), char(day.day)};
    };
    const std::string stored{char((*info)[0xDD]), char((*info)[0xDE]), char((*info)[0xDF])};
    EXPECT_TRUE(stored == date(today) ||
                stored == date(clock.WallTime().Date()));  // either side of midnight
}

// A customer write the radio does not take whole says what the radio now holds (which blocks
// are written then is TransferTest's).
TEST_F(CliRadioTest, ACustomerWriteThatFailsSaysWhatTheRadioHolds) {
    StartRadio({"--serial", "SN-00042", "--customer", "Old Shop", "--bad-readback", "@1"});
    const CliRun written = RadioCli({"customer", "--name", "New Shop", "--serial", "SN-7"});
    EXPECT_EQ(written.exit, 1);
    EXPECT_TRUE(
        written.Said("petrel-cli: the customer name may be written only in part; the "
                     "serial number is unchanged\n"))
        << written.err;
    EXPECT_TRUE(written.out.empty());
    EXPECT_EQ(sim->Stop(), 0);
}

TEST_F(CliRadioTest, AReadWhoseTraceCannotBeWrittenFails) {
    StartRadio({"--blank", "--band", "9", "--channels", "16"});
    const CliRun read = RadioCli({"read", "--trace", "/dev/full", dir.File("read.cfg")});
    EXPECT_EQ(read.exit, 1);
    EXPECT_TRUE(read.Said("petrel-cli: cannot write the trace /dev/full: " +
                          std::generic_category().message(ENOSPC) + "\n"))
        << read.err;
    EXPECT_EQ(ReadBytes(dir.File("read.cfg")).size(), 675u);  // the read itself went through
    EXPECT_EQ(sim->Stop(), 0);
}

// A never-programmed radio of another band reads as a file that opens; once written, a
// configuration of another band is refused without --yes. --retries answers that many Try
// Again questions, and the trace shows them.
TEST_F(CliRadioTest, ABlankRadioOfAnotherBandIsReadAndAnotherBandWrittenOnlyWithYes) {
    // Reads: the type block, 56 image blocks, 64 information blocks. Block writes: 56 image
    // blocks, 7 of the blank radio's tables; then the 6th of the next Download fails.
    StartRadio(
        {"--blank", "--band", "10", "--channels", "16", "--drop", "read@30", "--drop", "write@68"});
    const CliRun read = RadioCli(
        {"read", "--retries", "1", "--trace", dir.File("read.trace"), dir.File("blank.cfg")});
    ASSERT_EQ(read.exit, 0) << read.err;
    EXPECT_TRUE(read.Said("Upload Err !  Make sure the connection is OK\nTry Again ?"));
    EXPECT_TRUE(Cli({"show", dir.File("blank.cfg")}).out.starts_with("Model:Petrel (Korea)\n"));
    const std::string trace = ReadText(dir.File("read.trace"));
    EXPECT_TRUE(trace.starts_with("Petrel CPS serial trace, started "));
    EXPECT_NE(trace.find("\nCOM1 " + sim->Device() + "\n"), std::string::npos);
    const auto lost = trace.find("frame failed: time-out with 3 of 7 bytes");
    const auto question =
        trace.find("question \"Upload Err !  Make sure the connection is OK / Try Again ?\": Yes");
    EXPECT_LT(lost, question);
    EXPECT_NE(question, std::string::npos);

    const std::string pmr = MakeConfig("pmr.cfg", 9, 16);
    const CliRun blank = RadioCli({"write", pmr});
    EXPECT_EQ(blank.exit, 0) << blank.err;
    EXPECT_FALSE(blank.Said("Band are Crossed"));
    const std::size_t lastWrite = LastBlockWrite();
    const CliRun refused = RadioCli({"write", pmr});
    EXPECT_EQ(refused.exit, 1);
    EXPECT_TRUE(refused.Said("Error warning: Band are Crossed !\nDo you want to continue ?\n"));
    EXPECT_EQ(LastBlockWrite(), lastWrite);

    // Yes to the bands, no retry: a Download that stops part-way says where and what the radio
    // holds now.
    const CliRun stopped = RadioCli({"write", "--yes", pmr});
    EXPECT_EQ(stopped.exit, 1);
    EXPECT_TRUE(stopped.Said("Band are Crossed"));
    EXPECT_TRUE(
        stopped.Said("Writing stopped at block 0x0014: the radio now holds a mixture of "
                     "the new and its old configuration and must be written again.\n"
                     "Download Err !"))
        << stopped.err;
    EXPECT_EQ(sim->Stop(), 0);
}

// diff with one file compares it with the radio, which is only read.
TEST_F(CliRadioTest, DiffComparesAFileWithTheRadioWithoutWritingIt) {
    const std::string pmr = MakeConfig("pmr.cfg", 9, 16, "SN-7");
    StartRadio({"--load", pmr});
    const CliRun same = RadioCli({"diff", pmr});
    EXPECT_EQ(same.exit, 0) << same.err << same.out;
    EXPECT_EQ(same.out, "");
    const std::string uhf = MakeConfig("uhf.cfg", 6, 16, "SN-8");
    const CliRun differ = RadioCli({"diff", uhf});
    EXPECT_EQ(differ.exit, 1) << differ.err;
    EXPECT_TRUE(differ.out.starts_with("Model: UHF Mid Band | Petrel (PMR)\n")) << differ.out;
    EXPECT_NE(differ.out.find("Radio Information, Serial  Nember: SN-8 | SN-7\n"),
              std::string::npos)
        << differ.out;
    EXPECT_EQ(LastBlockWrite(), std::string::npos);
    EXPECT_EQ(sim->Stop(), 0);

    StartRadio({"--silent"});
    const CliRun silent = RadioCli({"diff", pmr});
    EXPECT_EQ(silent.exit, 2);
    EXPECT_EQ(silent.out, "");
    EXPECT_EQ(sim->Stop(), 0);
}

// release sends the closing code: a radio a program left on the air goes back to normal; a
// radio that does not answer fails with what to do.
TEST_F(CliRadioTest, ReleaseSendsTheClosingCodeAndSaysWhetherTheRadioAnswered) {
    StartRadio({"--transmitting"});
    const CliRun released = RadioCli({"release"});
    EXPECT_EQ(released.exit, 0) << released.err;
    EXPECT_EQ(released.out, ReleasedText() + "\n");
    EXPECT_EQ(sim->Stop(), 0);  // 3: left transmitting
    EXPECT_NE(ReadText(dir.File("frames.log")).find("=> transmitter off, normal mode"),
              std::string::npos);

    StartRadio({"--silent"});
    const CliRun silent = RadioCli({"release"});
    EXPECT_EQ(silent.exit, 1);
    EXPECT_TRUE(silent.out.empty());
    EXPECT_TRUE(
        silent.Said("petrel-cli: the radio did not answer the closing code AAH; if it is "
                    "transmitting, switch it off or remove its battery to stop it\n"));
}

}  // namespace
}  // namespace petrel
