// petrel-cli's radio commands record in the service history, and the history command lists and
// opens the records; against petrel-radio-sim on a real pseudo-terminal.
#include <gtest/gtest.h>

#include "cli_run.h"

namespace petrel {
namespace {

using test::Args;
using test::Lines;
using test::ReadBytes;

class HistoryCliTest : public test::CliRadioFixture {
  protected:
    HistoryCliTest() { environment.historyPath = dir.File("history.sqlite"); }
    test::CliRun Cli(const Args& args) { return test::Cli(args, environment); }
};

TEST_F(HistoryCliTest, RadioCommandsAreRecordedListedFilteredAndOpened) {
    StartSim({"--delay", "0", "--serial", "SN-7", "--customer", "OLD SHOP"});
    test::SaveNewConfig(dir.File("taxi.cfg"), 9, 16);

    ASSERT_EQ(RadioCli({"read", dir.File("read.cfg")}).exit, 0);
    ASSERT_EQ(RadioCli({"write", "--backup", dir.File("Backups"), dir.File("taxi.cfg")}).exit, 0);
    ASSERT_EQ(RadioCli({"customer", "--name", "Harbour, \"Taxi\""}).exit, 0);

    const test::CliRun listed = Cli({"history"});
    ASSERT_EQ(listed.exit, 0) << listed.err;
    const auto lines = Lines(listed.out);
    ASSERT_EQ(lines.size(), 4u) << listed.out;
    EXPECT_TRUE(lines[0].starts_with("ID  Time                 Operation  Result")) << lines[0];
    EXPECT_NE(
        lines[1].find("Customer   done    SN-7           Harbour, \"Taxi\"  Petrel (PMR)  99"),
        std::string::npos)
        << listed.out;
    EXPECT_NE(lines[2].find("Download"), std::string::npos);
    EXPECT_NE(lines[2].find(dir.File("taxi.cfg")), std::string::npos);
    EXPECT_TRUE(lines[3].starts_with("1   ")) << lines[3];

    const test::CliRun csv = Cli({"history", "--customer", "taxi", "--csv"});
    ASSERT_EQ(csv.exit, 0);
    const auto rows = Lines(csv.out);
    ASSERT_EQ(rows.size(), 2u) << csv.out;
    EXPECT_EQ(rows[0], "ID,Time,Operation,Result,Serial number,Customer,Band,Channels,Port,File\r");
    EXPECT_NE(rows[1].find(",Customer,done,SN-7,\"Harbour, \"\"Taxi\"\"\",Petrel (PMR),99,COM1 "),
              std::string::npos)
        << rows[1];
    EXPECT_EQ(Lines(Cli({"history", "--serial", "nobody"}).out).size(), 1u);
    EXPECT_EQ(Lines(Cli({"history", "--since", "2999-01-01"}).out).size(), 1u);
    EXPECT_EQ(Cli({"history", "--since", "2026-02-30"}).exit, 2);

    // The Download's record opens as the configuration that went into the radio.
    const std::string downloadId = lines[2].substr(0, lines[2].find(' '));
    ASSERT_EQ(Cli({"history", "--open", downloadId, dir.File("again.cfg")}).exit, 0);
    const auto written = DecodeConfigFile(ReadBytes(dir.File("taxi.cfg")));
    const auto opened = DecodeConfigFile(ReadBytes(dir.File("again.cfg")));
    ASSERT_EQ(opened.size(), written.size());
    EXPECT_TRUE(std::equal(opened.begin() + 0x60, opened.end(), written.begin() + 0x60));
    const test::CliRun missing = Cli({"history", "--open", "99", dir.File("x.cfg")});
    EXPECT_EQ(missing.exit, 1);
    EXPECT_EQ(missing.err, "petrel-cli: the service history has no record 99\n");
}

TEST_F(HistoryCliTest, WithoutAHistoryTheCommandSaysHowToNameOne) {
    environment.historyPath.reset();
    const test::CliRun run = Cli({"history"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.err, "petrel-cli: no service history; set PETREL_HISTORY to its file\n");
}

TEST_F(HistoryCliTest, FleetWritesEveryRadioOfTheBandAndSaysWhichWereNot) {
    StartSim({"--delay", "0", "--fleet", "3", "--fleet-band", "2:5", "--fleet-gap", "300"});
    test::SaveNewConfig(dir.File("taxi.cfg"), 9, 16);

    EXPECT_EQ(Cli({"fleet", dir.File("taxi.cfg"), "--serial-from", "ABCDEFGHIJ001"}).exit, 2);
    const test::CliRun run =
        RadioCli({"fleet", dir.File("taxi.cfg"), "--count", "3", "--customer", "Harbour Taxi",
                  "--serial-from", "PMR-0041", "--backup", dir.File("Backups")});
    EXPECT_EQ(run.exit, 1) << run.err;  // one radio was refused
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 4u) << run.out << run.err;
    EXPECT_TRUE(lines[0].starts_with("1 PMR-0041 written 20")) << lines[0];
    EXPECT_TRUE(lines[1].starts_with("2 - refused 20")) << lines[1];
    EXPECT_TRUE(lines[2].starts_with("3 PMR-0042 written 20")) << lines[2];
    EXPECT_EQ(lines[3], "3 radios: 2 written, 1 refused, 0 failed");
    EXPECT_NE(run.err.find("Done: disconnect this radio."), std::string::npos) << run.err;

    const auto records = Lines(Cli({"history", "--csv"}).out);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_NE(records[1].find(",Fleet,done,PMR-0042,Harbour Taxi,"), std::string::npos)
        << records[1];
}

}  // namespace
}  // namespace petrel
