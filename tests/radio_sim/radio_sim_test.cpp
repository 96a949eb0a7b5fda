// petrel-radio-sim: its engine's faults and memory files in-process, and the program on a real
// pseudo-terminal.
#include "sim_engine.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

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

TEST(RadioSimEngine, FaultsSpoilTheChosenFramesOnly) {
    RadioSimEngine engine(MakeRadio(9, 99, false));
    engine.AddFault({FaultKind::Drop, FrameKind::ReadBlock, 1, 1});
    engine.AddFault({FaultKind::Short, FrameKind::Identify, 0, 1});
    engine.AddFault({FaultKind::Long, FrameKind::ReadParam, 0, -1});
    engine.AddFault({FaultKind::WrongCheck, FrameKind::Check, 0, 2});
    engine.AddFault({FaultKind::BadReadback, FrameKind::WriteBlock, 0, 1});

    EXPECT_EQ(Exchange(engine, {'R', 0, 0}).size(), 7u);
    EXPECT_EQ(Exchange(engine, {'R', 0, 0}).size(), 3u);  // the second read: dropped
    EXPECT_EQ(Exchange(engine, {'R', 0, 0}).size(), 7u);
    EXPECT_EQ(Exchange(engine, {'I', 7}).size(), 2u);
    EXPECT_EQ(Exchange(engine, {'I', 7}).size(), 3u);
    EXPECT_EQ(Exchange(engine, {'I', 0, 0}).size(), 5u);
    EXPECT_EQ(Exchange(engine, {'I', 0, 0}).size(), 5u);
    EXPECT_EQ(Exchange(engine, {'V'}).back(), 0x00);
    EXPECT_EQ(Exchange(engine, {'V'}).back(), 0x00);
    EXPECT_EQ(Exchange(engine, {'V'}).back(), 0x11);
    EXPECT_EQ(Exchange(engine, {'W', 1, 0, 0x0F, 2, 3, 4}),
              (Bytes{'W', 1, 0, 0x0F, 2, 3, 4, 0xF0, 2, 3, 4}));
    EXPECT_EQ(engine.Memory().bytes[0x100], 0xF0);
    EXPECT_EQ(Exchange(engine, {'W', 1, 0, 0x0F, 2, 3, 4}).back(), 4);
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
    EXPECT_TRUE(std::equal(loaded.bytes.begin(), loaded.bytes.begin() + 224, memory.bytes.begin()));
    // The information page of a 16-channel radio is page 1.
    EXPECT_TRUE(std::equal(loaded.bytes.begin() + 256, loaded.bytes.begin() + 512,
                           memory.bytes.begin() + 256));
    EXPECT_EQ(loaded.bytes[256 + 0xD1], '1');
    EXPECT_TRUE(LoadRadio(loaded, dir.File("missing.cfg")));
}

const std::string kSim = std::string(PETREL_BINARY_DIR) + "/tools/radio-sim/petrel-radio-sim";

int RunSim(const std::string& args) {
    const int status = std::system((kSim + " " + args + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Sends a request on the device and collects what comes back within a short time.
Bytes Ask(int fd, const Bytes& request, std::size_t expected, int timeoutMs = 2000) {
    EXPECT_EQ(::write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    Bytes got;
    while (got.size() < expected) {
        pollfd in{fd, POLLIN, 0};
        if (::poll(&in, 1, timeoutMs) <= 0) {
            break;
        }
        std::uint8_t chunk[64];
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        got.insert(got.end(), chunk, chunk + n);
    }
    return got;
}

int OpenRaw(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

TEST(RadioSimProgram, HelpAndUsageErrors) {
    EXPECT_EQ(RunSim("--help"), 0);
    EXPECT_EQ(RunSim("--channels 50"), 2);
    EXPECT_EQ(RunSim("--drop nonsense"), 2);
    EXPECT_EQ(RunSim("--drop read@x"), 2);
    EXPECT_EQ(RunSim("--frobnicate"), 2);
    EXPECT_EQ(RunSim("--battery 120,,121"), 2);
    EXPECT_EQ(RunSim("--noise 256"), 2);
    EXPECT_EQ(RunSim("--load /nonexistent/radio.cfg"), 1);
}

TEST(RadioSimProgram, AnswersOnItsDeviceLogsFramesAndSavesOnExit) {
    test::TempDir dir;
    const std::string log = dir.File("frames.log");
    SimProcess sim(kSim,
                   {"--band", "10", "--channels", "16", "--save", dir.File("out.cfg"), "--drop",
                    "read@1", "--link", dir.File("radio")},
                   log);
    const int fd = OpenRaw(dir.File("radio"));
    ASSERT_GE(fd, 0);
    EXPECT_EQ(Ask(fd, {'V'}, 2), (Bytes{'V', 0x11}));
    EXPECT_EQ(Ask(fd, {'I', 0x07}, 3), (Bytes{'I', 0x07, 10}));
    EXPECT_EQ(Ask(fd, {'W', 0x00, 0x60, 0xDE, 0xAD, 0xBE, 0xEF}, 11).size(), 11u);
    EXPECT_EQ(Ask(fd, {'R', 0x00, 0x60}, 7), (Bytes{'R', 0, 0x60, 0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_EQ(Ask(fd, {'R', 0x00, 0x60}, 7, 200), (Bytes{'R', 0, 0x60}));  // the dropped answer
    ::close(fd);
    EXPECT_EQ(sim.Stop(), 0);

    const auto cfg = test::ReadBytes(dir.File("out.cfg"));
    ASSERT_EQ(cfg.size(), 675u);
    EXPECT_EQ(cfg[3 * 0x60 + 2], 0xDE);
    EXPECT_EQ(cfg[3 * 0x63 + 2], 0xEF);
    EXPECT_EQ(cfg.back(), 10);
    EXPECT_FALSE(std::ifstream(dir.File("radio")).good());  // the link is gone

    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("write: W 00 60 DE AD BE EF -> DE AD BE EF"), std::string::npos);
    EXPECT_NE(text.str().find("read: R 00 60 -> (nothing)  [answer dropped]"), std::string::npos);
}

TEST(RadioSimProgram, KeysOnlyInTheTransmitTestAndSaysWhenItIsLeftTransmitting) {
    test::TempDir dir;
    const std::string log = dir.File("frames.log");
    SimProcess sim(kSim, {"--battery", "cycle:7,8", "--link", dir.File("radio")}, log);
    const int fd = OpenRaw(dir.File("radio"));
    ASSERT_GE(fd, 0);
    const auto write = [fd](std::uint8_t page, std::uint8_t index, std::uint8_t value) {
        EXPECT_EQ(Ask(fd, {'O', page, index, value}, 5).size(), 5u);
    };
    for (const std::uint8_t expected : {7, 8, 7}) {
        EXPECT_EQ(Ask(fd, {'I', 2, 0x07}, 4).back(), expected);
    }
    write(2, 0x10, 0xAB);  // not in the transmit test: ignored
    write(2, 0x10, 0xAD);
    write(2, 0x11, 0x0A);
    write(2, 0x10, 0xAB);
    write(0, 0x00, 120);
    ::close(fd);
    EXPECT_EQ(sim.Stop(), 3);

    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    for (const char* line :
         {"=> key-on ignored: not in the transmit test", "=> transmitter off, transmit test",
          "O 00 00 78 -> 78  => TRANSMITTING at power 120, transmit test",
          "on exit: TRANSMITTING at power 120, transmit test"}) {
        EXPECT_NE(text.str().find(line), std::string::npos) << line;
    }
}

}  // namespace
}  // namespace petrel::sim
