// petrel-radio-sim: its engine's faults and memory files in-process, and the program on a real
// pseudo-terminal.
#include "sim_engine.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "core/link/termios_serial_port.h"
#include "sim_process.h"
#include "support/temp_dir.h"

namespace petrel::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Exchange(RadioSimEngine& engine, const Bytes& request, std::int64_t atUs = 0) {
    engine.Receive(request, atUs);
    return engine.TakeOutput(atUs + 1'000'000);
}

// What its faults do is proven by the link's tests, which rely on them.
TEST(RadioSimEngine, IgnoresStrayBytesAndAbandonsAStalledFrame) {
    RadioSimEngine engine(MakeRadio(9, 99, false));
    EXPECT_EQ(Exchange(engine, {0x00, 'x'}), (Bytes{0x00, 'x'}));  // echoed, not answered
    engine.Receive(Bytes{'R', 0x00}, 0);
    engine.TakeOutput(1'000'000);
    // The rest comes too late: the radio has given up on the first frame and takes a new one.
    EXPECT_EQ(Exchange(engine, {'V'}, 100'000), (Bytes{'V', 0x11}));
    EXPECT_EQ(engine.Log().size(), 1u);
    engine.Options().silent = true;
    EXPECT_EQ(Exchange(engine, {'V'}), Bytes{'V'});  // the cable still echoes
}

TEST(RadioMemory, SavesAsAnUploadWouldAndLoadsBack) {
    test::TempDir dir;
    RadioMemory memory = MakeRadio(12, 16, false, "123456789012", "CUSTOMER");
    memory.bytes[0x60] = 0x3C;
    ASSERT_FALSE(SaveRadio(memory, dir.File("r.cfg")));
    EXPECT_EQ(test::ReadBytes(dir.File("r.cfg")).size(), 675u);  // no byte beyond 16 channels

    RadioMemory loaded = MakeRadio(9, 99, true);
    ASSERT_FALSE(LoadRadio(loaded, dir.File("r.cfg")));
    EXPECT_EQ(loaded.band, 12);
    EXPECT_FALSE(loaded.NinetyNineChannels());
    // The image, and the information page of a 16-channel radio: page 1.
    EXPECT_TRUE(std::equal(loaded.bytes.begin(), loaded.bytes.begin() + 224, memory.bytes.begin()));
    EXPECT_TRUE(std::equal(loaded.bytes.begin() + 256, loaded.bytes.begin() + 512,
                           memory.bytes.begin() + 256));
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

    const std::string text = test::ReadText(log);
    for (const char* line :
         {"=> key-on ignored: not in the transmit test", "=> transmitter off, transmit test",
          "O 00 00 78 -> 78  => TRANSMITTING at power 120, transmit test",
          "on exit: TRANSMITTING at power 120, transmit test"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

}  // namespace
}  // namespace petrel::sim
