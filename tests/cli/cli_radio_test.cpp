// petrel-cli read and write against petrel-radio-sim on a real pseudo-terminal, in real time.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli.h"
#include "document/config_file.h"
#include "document/new_config.h"
#include "document/program_state.h"
#include "sim_process.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace petrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kSim = std::string(PETREL_BINARY_DIR) + "/tools/radio-sim/petrel-radio-sim";

struct CliRun {
    int exit;
    std::string err;
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The image bytes of a ".cfg" file.
Bytes ImageOf(const std::string& path) {
    return DecodeConfigFile(test::ReadBytes(path));
}

class CliRadioTest : public ::testing::Test {
  protected:
    // Starts a simulated radio that saves itself as radio.cfg and logs to frames.log.
    void StartRadio(std::vector<std::string> args) {
        args.insert(args.end(), {"--delay", "0", "--save", dir.File("radio.cfg")});
        sim = std::make_unique<sim::SimProcess>(kSim, args, dir.File("frames.log"));
    }
    // Stops it: radio.cfg and radio.ptx then hold its memory.
    void StopRadio() { ASSERT_EQ(sim->Stop(), 0); }

    CliRun Cli(std::vector<std::string> args) {
        args.insert(args.begin() + 1, {"--port", sim->Device()});
        std::ostringstream out;
        std::ostringstream err;
        const int exit = cli::RunCli(args, out, err);
        return {exit, err.str()};
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

    // What a Download leaves in the radio: the file's image without the band byte and with
    // the option bits the radio must not get cleared.
    static Bytes Downloaded(Bytes image, std::size_t count) {
        image.resize(count);
        image[0x0A] &= 0x67;
        image[0x0E] &= 0x9E;
        return image;
    }

    test::TempDir dir;
    test::ScopedWorkingDir cwd{dir.Path()};
    std::unique_ptr<sim::SimProcess> sim;
};

TEST_F(CliRadioTest, ReadsANinetyNineChannelRadioIntoFilesThatMatchItExactly) {
    StartRadio({"--serial", "PT-2024-0001", "--customer", "HARBOUR TAXI"});
    const CliRun run = Cli({"read", dir.File("read.cfg")});
    ASSERT_EQ(run.exit, 0) << run.err;
    StopRadio();
    EXPECT_EQ(test::ReadBytes(dir.File("read.cfg")).size(), 2667u);
    EXPECT_EQ(test::ReadBytes(dir.File("read.cfg")), test::ReadBytes(dir.File("radio.cfg")));
    EXPECT_EQ(test::ReadBytes(dir.File("read.ptx")), test::ReadBytes(dir.File("radio.ptx")));
    EXPECT_NE(run.err.find("Petrel (PMR) detected"), std::string::npos);
    EXPECT_NE(ReadText(dir.File("frames.log")).find("param-write: O 02 10 90 -> 90"),
              std::string::npos);
    EXPECT_NE(ReadText(dir.File("frames.log")).find("param-write: O 02 11 0A -> 0A"),
              std::string::npos);
}

TEST_F(CliRadioTest, WritesANinetyNineChannelConfigurationIntoTheRadio) {
    const std::string config = MakeConfig("shop.cfg", 9, 99);
    StartRadio({});
    const CliRun run = Cli({"write", config});
    ASSERT_EQ(run.exit, 0) << run.err;
    StopRadio();
    EXPECT_NE(run.err.find("ALL Channels In Range"), std::string::npos);
    const Bytes written = ImageOf(config);
    const Bytes radio = ImageOf(dir.File("radio.cfg"));
    ASSERT_EQ(radio.size(), 889u);
    EXPECT_EQ(Bytes(radio.begin(), radio.end() - 1), Downloaded(written, 888));
    EXPECT_EQ(radio[0x07], 0x3C);
    EXPECT_EQ(test::ReadBytes(config), test::ReadBytes(dir.File("shop.cfg")));
    EXPECT_NE(ReadText(dir.File("frames.log")).find("param-write: O 02 10 AA -> AA"),
              std::string::npos);
}

TEST_F(CliRadioTest, SixteenChannelRadiosReadAndTakeOnlyTheirBytes) {
    StartRadio({"--band", "10", "--channels", "16"});
    const CliRun read = Cli({"read", dir.File("small.cfg")});
    ASSERT_EQ(read.exit, 0) << read.err;
    EXPECT_EQ(test::ReadBytes(dir.File("small.cfg")).size(), 675u);

    const std::string big = MakeConfig("big.cfg", 10, 99);
    Bytes bigImage = ImageOf(big);
    bigImage[0x0A] &= 0xFD;  // the 16-channel radio keeps its size
    test::WriteBytes(big, EncodeConfigFile(bigImage));
    const CliRun write = Cli({"write", big});
    ASSERT_EQ(write.exit, 0) << write.err;
    StopRadio();
    const Bytes radio = ImageOf(dir.File("radio.cfg"));
    ASSERT_EQ(radio.size(), 225u);
    EXPECT_EQ(Bytes(radio.begin(), radio.end() - 1), Downloaded(bigImage, 224));
    EXPECT_EQ(test::ReadBytes(dir.File("small.ptx")), test::ReadBytes(dir.File("radio.ptx")));
}

TEST_F(CliRadioTest, ABlankRadioOfAnotherBandGetsTheImageThenTheTables) {
    const std::string config = MakeConfig("pmr.cfg", 9, 99);
    StartRadio({"--blank", "--band", "10"});
    const CliRun run = Cli({"write", config});
    ASSERT_EQ(run.exit, 0) << run.err;
    StopRadio();
    EXPECT_EQ(run.err.find("Band are Crossed"), std::string::npos);
    const std::string log = ReadText(dir.File("frames.log"));
    const std::size_t lastImageBlock = log.find("write: W 03 74");
    const std::size_t levelTable = log.find("write: W 07 F0 40 41 42 43");
    const std::size_t powerTable = log.find("write: W 07 CC 8C 8D 8E 8F");
    ASSERT_NE(lastImageBlock, std::string::npos);
    EXPECT_LT(lastImageBlock, levelTable);
    EXPECT_LT(levelTable, powerTable);
    EXPECT_NE(powerTable, std::string::npos);
    EXPECT_EQ(log.find("write: W 07 FC"), std::string::npos);

    const auto info = DecodeCompanionFile(test::ReadBytes(dir.File("radio.ptx")));
    ASSERT_TRUE(info);
    EXPECT_EQ((*info)[0xF0], 0x40);
    EXPECT_EQ((*info)[0xFB], 0x4B);
    EXPECT_EQ((*info)[0xFC], 0xFF);
    EXPECT_EQ((*info)[0xC0], 0x80);
    EXPECT_EQ((*info)[0xCF], 0x8F);
}

TEST_F(CliRadioTest, CrossedBandsAreRefusedUnlessYes) {
    const std::string config = MakeConfig("korea.cfg", 10, 16);
    StartRadio({"--channels", "16"});
    const CliRun refused = Cli({"write", config});
    EXPECT_EQ(refused.exit, 1);
    EXPECT_NE(refused.err.find("Error warning: Band are Crossed !\nDo you want to continue ?"),
              std::string::npos);
    EXPECT_EQ(ReadText(dir.File("frames.log")).find("write: W"), std::string::npos);

    const CliRun forced = Cli({"write", "--yes", config});
    EXPECT_EQ(forced.exit, 0) << forced.err;
    StopRadio();
    const Bytes radio = ImageOf(dir.File("radio.cfg"));
    EXPECT_EQ(Bytes(radio.begin(), radio.end() - 1), Downloaded(ImageOf(config), 224));
}

TEST_F(CliRadioTest, FailuresAreRetriedOnlyAsOftenAsAllowed) {
    StartRadio({"--channels", "16", "--drop", "read@30"});
    const CliRun retried = Cli({"read", "--retries", "1", dir.File("again.cfg")});
    EXPECT_EQ(retried.exit, 0) << retried.err;
    EXPECT_NE(retried.err.find("Upload Err !  Make sure the connection is OK\nTry Again ?"),
              std::string::npos);
    StopRadio();
    EXPECT_EQ(test::ReadBytes(dir.File("again.cfg")), test::ReadBytes(dir.File("radio.cfg")));

    StartRadio({"--silent"});
    const CliRun silent = Cli({"read", "--retries", "1", dir.File("none.cfg")});
    EXPECT_EQ(silent.exit, 1);
    std::size_t asked = 0;
    for (std::size_t at = 0; (at = silent.err.find("Connecting Err", at)) != std::string::npos;
         ++at) {
        ++asked;
    }
    EXPECT_EQ(asked, 2u);
    EXPECT_FALSE(std::ifstream(dir.File("none.cfg")).good());
}

TEST_F(CliRadioTest, PortsThatDoNotOpenAreNamedWithTheirReason) {
    std::ostringstream out;
    std::ostringstream err;
    const int exit =
        cli::RunCli({"read", "--port", "/dev/petrel-none", dir.File("x.cfg")}, out, err);
    EXPECT_EQ(exit, 1);
    EXPECT_NE(err.str().find("petrel-cli: COM1 /dev/petrel-none: No such file or directory"),
              std::string::npos);
    EXPECT_NE(err.str().find(" No RS232 Port is available\nDetect Again ?"), std::string::npos);

    cli::CliEnvironment environment;
    environment.ports = "";
    std::ostringstream err2;
    EXPECT_EQ(cli::RunCli({"read", "--yes", dir.File("x.cfg")}, out, err2, environment), 1);
    EXPECT_NE(err2.str().find("no serial port found"), std::string::npos);

    std::ostringstream err3;
    EXPECT_EQ(cli::RunCli({"read"}, out, err3), 2);
    EXPECT_EQ(cli::RunCli({"read", "--retries", "x", "a.cfg"}, out, err3), 2);
}

}  // namespace
}  // namespace petrel
