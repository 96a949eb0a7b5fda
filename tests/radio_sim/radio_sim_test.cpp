// petrel-radio-sim: its engine's faults and memory files in-process, and the program on a real
// pseudo-terminal.
#include "sim_engine.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "link/termios_serial_port.h"
#include "sim_process.h"
#include "support/temp_dir.h"

namespace petrel::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Exchange(RadioSimEngine& engine, const Bytes& request, std::int64_t atUs = 0) {
    engine.Receive(request, atUs);
    return engine.TakeOutput(atUs + 1'000'000);
}

TEST(RadioSimEngine, IgnoresStrayBytesAndAbandonsAStalledFrame) {
    RadioSimEngine engine(MakeRadio(9, 99, false));
    EXPECT_EQ(Exchange(engine, {0x00, 'x'}), (Bytes{0x00, 'x'}));  // echoed, not answered
    engine.Receive(Bytes{'R', 0x00}, 0);
    engine.TakeOutput(1'000'000);
    // The rest comes too late: the radio has given up on the first frame and takes a new one.
    EXPECT_EQ(Exchange(engine, {'V'}, 100'000), (Bytes{'V', 0x11}));
    EXPECT_EQ(engine.Log().size(), 1u);
}

// A fault spoils the frames of its kind after `skip` good ones, `count` of them (-1: all).
TEST(RadioSimEngine, FaultsSpoilTheChosenFramesOnly) {
    RadioSimEngine engine(MakeRadio(9, 99, false));
    engine.AddFault({FaultKind::Drop, FrameKind::ReadBlock, 1, 1});
    engine.AddFault({FaultKind::Short, FrameKind::Identify});
    engine.AddFault({FaultKind::Long, FrameKind::ReadParam, 0, -1});
    engine.AddFault({FaultKind::WrongCheck, FrameKind::Check, 0, 2});
    engine.AddFault({FaultKind::BadReadback, FrameKind::WriteBlock});
    // A request, and the lengths of the echo and answer it gets each time it is sent.
    const std::pair<Bytes, std::vector<std::size_t>> cases[] = {
        {{'R', 0, 0}, {7, 3, 7}}, {{'I', 7}, {2, 3}}, {{'I', 0, 0}, {5, 5}}};
    for (const auto& [request, sizes] : cases) {
        for (const std::size_t size : sizes) {
            EXPECT_EQ(Exchange(engine, request).size(), size) << request[0];
        }
    }
    for (const std::uint8_t answer : {0x00, 0x00, 0x11}) {
        EXPECT_EQ(Exchange(engine, {'V'}).back(), answer);
    }
    const Bytes write = {'W', 1, 0, 0x0F, 2, 3, 4};
    EXPECT_EQ(Exchange(engine, write).at(7), 0xF0);  // stored and read back inverted
    EXPECT_EQ(Exchange(engine, write).at(7), 0x0F);
    EXPECT_EQ(engine.Memory().bytes[0x100], 0x0F);
    EXPECT_EQ(engine.Log()[1].note, "answer dropped");
    engine.Options().silent = true;
    EXPECT_EQ(Exchange(engine, {'V'}), Bytes{'V'});  // the cable still echoes
}

TEST(RadioMemory, SavesAsAnUploadWouldAndLoadsBack) {
    test::TempDir dir;
    RadioMemory memory = MakeRadio(12, 16, false, "123456789012", "CUSTOMER");
    memory.bytes[0x60] = 0x3C;
    memory.bytes[224] = 0x55;  // beyond a 16-channel image: not saved
    ASSERT_FALSE(SaveRadio(memory, dir.File("r.cfg")));
    const auto cfg = test::ReadBytes(dir.File("r.cfg"));
    ASSERT_EQ(cfg.size(), 675u);
    EXPECT_EQ(cfg[3 * 0x60 + 2], 0x3C);
    EXPECT_EQ(cfg[3 * 224 + 2], 12);  // the band byte
    EXPECT_EQ(test::ReadBytes(dir.File("r.ptx")).size(), 1024u);

    RadioMemory loaded = MakeRadio(9, 99, true);
    ASSERT_FALSE(LoadRadio(loaded, dir.File("r.cfg")));
    EXPECT_EQ(loaded.band, 12);
    EXPECT_FALSE(loaded.NinetyNineChannels());
    // The image, and the information page of a 16-channel radio: page 1.
    EXPECT_TRUE(std::equal(loaded.bytes.begin(), loaded.bytes.begin() + 224, memory.bytes.begin()));
    EXPECT_TRUE(std::equal(loaded.bytes.begin() + 256, loaded.bytes.begin() + 512,
                           memory.bytes.begin() + 256));
    EXPECT_EQ(loaded.bytes[256 + 0xD1], '1');
    EXPECT_TRUE(LoadRadio(loaded, dir.File("missing.cfg")));
}

const std::string kSim = std::string(PETREL_BINARY_DIR) + "/tools/radio-sim/petrel-radio-sim";

TEST(RadioSimProgram, HelpAndUsageErrors) {
    for (const auto& [args, status] : {std::pair{"--help", 0},
                                       {"--channels 50", 2},
                                       {"--drop nonsense", 2},
                                       {"--drop read@x", 2},
                                       {"--frobnicate", 2},
                                       {"--battery 120,,121", 2},
                                       {"--noise 256", 2},
                                       {"--load /nonexistent/radio.cfg", 1}}) {
        const int result = std::system((kSim + " " + args + " >/dev/null 2>&1").c_str());
        EXPECT_EQ(WIFEXITED(result) ? WEXITSTATUS(result) : -1, status) << args;
    }
}

// The alignment tests rely on the radio's report of a transmitter left keyed.
TEST(RadioSimProgram, KeysOnlyInTheTransmitTestAndSaysWhenItIsLeftTransmitting) {
    test::TempDir dir;
    const std::string log = dir.File("frames.log");
    SimProcess sim(kSim, {"--battery", "cycle:7,8", "--link", dir.File("radio")}, log);
    TermiosSerialPort port({dir.File("radio")});
    port.Open();
    const auto ask = [&port](const Bytes& request, std::size_t expected) {
        port.Write(request);
        while (port.InBufferCount() < static_cast<int>(expected) && port.WaitForInput(2'000'000)) {
        }
        return port.ReadAll();
    };
    for (const std::uint8_t expected : {7, 8, 7}) {
        EXPECT_EQ(ask({'I', 2, 0x07}, 4).back(), expected);
    }
    // Key-on outside the transmit test, the transmit test, key-on, the power value.
    for (const Bytes& write :
         {Bytes{'O', 2, 0x10, 0xAB}, Bytes{'O', 2, 0x10, 0xAD}, Bytes{'O', 2, 0x11, 0x0A},
          Bytes{'O', 2, 0x10, 0xAB}, Bytes{'O', 0, 0x00, 120}}) {
        EXPECT_EQ(ask(write, 5).size(), 5u);
    }
    port.Close();
    EXPECT_EQ(sim.Stop(), 3);
    EXPECT_FALSE(std::filesystem::exists(dir.File("radio")));  // the link is gone

    std::stringstream text;
    text << std::ifstream(log).rdbuf();
    for (const char* line :
         {"=> key-on ignored: not in the transmit test", "=> transmitter off, transmit test",
          "O 00 00 78 -> 78  => TRANSMITTING at power 120, transmit test",
          "on exit: TRANSMITTING at power 120, transmit test"}) {
        EXPECT_NE(text.str().find(line), std::string::npos) << line;
    }
}

}  // namespace
}  // namespace petrel::sim
