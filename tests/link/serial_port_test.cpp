#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "link/termios_serial_port.h"
#include "support/pseudo_terminal.h"
#include "support/temp_dir.h"

namespace petrel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::steady_clock;

std::int64_t ElapsedMs(steady_clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(steady_clock::now() - since)
        .count();
}

// Processor time this process has used, user and system.
std::int64_t CpuUs() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1'000'000LL + usage.ru_utime.tv_usec +
           usage.ru_stime.tv_usec;
}

TEST(TermiosSerialPort, OpeningAMissingDeviceKeepsTheSystemsReason) {
    TermiosSerialPort port({"/dev/petrel-no-such-port", "/dev/null"});
    port.SetPortNumber(1);
    try {
        port.Open();
        FAIL() << "opened a missing device";
    } catch (const SerialPortError& error) {
        EXPECT_EQ(error.Device(), "/dev/petrel-no-such-port");
        EXPECT_EQ(error.Reason(), std::strerror(ENOENT));
        EXPECT_STREQ(error.what(),
                     (std::string("/dev/petrel-no-such-port: ") + std::strerror(ENOENT)).c_str());
    }
    EXPECT_FALSE(port.IsOpen());

    // A device that is not a terminal is no serial port, and a number beyond the list has none.
    port.SetPortNumber(2);
    EXPECT_THROW(port.Open(), SerialPortError);
    port.SetPortNumber(3);
    EXPECT_THROW(port.Open(), SerialPortError);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.DeviceName(3), "");
    EXPECT_EQ(port.DeviceName(2), "/dev/null");
}

TEST(TermiosSerialPort, ASecondUserFindsThePortBusyUntilTheFirstCloses) {
    test::PseudoTerminal pty;
    TermiosSerialPort first({pty.Device()});
    TermiosSerialPort second({pty.Device()});
    first.Open();
    try {
        second.Open();
        FAIL() << "a busy port opened twice";
    } catch (const SerialPortError& error) {
        EXPECT_EQ(error.Reason(), std::strerror(EBUSY));
    }
    first.Close();
    EXPECT_NO_THROW(second.Open());
    EXPECT_TRUE(second.IsOpen());
}

TEST(TermiosSerialPort, OpensRaw2400Baud8N1WithoutFlowControl) {
    test::PseudoTerminal pty;
    TermiosSerialPort port({pty.Device()});
    port.Open();
    port.RaiseDtr();  // a pseudo-terminal has no modem lines: silently fine
    port.SetBinaryMode();
    const int fd = ::open(pty.Device().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios tio{};
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    EXPECT_EQ(::cfgetispeed(&tio), static_cast<speed_t>(B2400));
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B2400));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
    EXPECT_TRUE(port.IsOpen());
}

TEST(TermiosSerialPort, CountsReadsAndClearsTheReceiveBuffer) {
    test::PseudoTerminal pty;
    TermiosSerialPort port({pty.Device()});
    port.Open();

    port.Write(Bytes{'R', 0x00, 0x08, 0x0D, 0x0A});
    EXPECT_EQ(pty.Receive(5), (Bytes{'R', 0x00, 0x08, 0x0D, 0x0A}));  // sent unchanged

    pty.Send({0x11, 0x0D, 0x0A, 0x00, 0xFF});
    while (port.InBufferCount() < 5 && port.WaitForInput(1'000'000)) {
    }
    EXPECT_EQ(port.InBufferCount(), 5);
    EXPECT_EQ(port.ReadAll(), (Bytes{0x11, 0x0D, 0x0A, 0x00, 0xFF}));
    EXPECT_EQ(port.InBufferCount(), 0);

    pty.Send({1, 2, 3});
    ASSERT_TRUE(port.WaitForInput(1'000'000));
    pty.Send({4});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(port.InBufferCount(), 4);  // bytes taken while waiting and bytes still queued
    port.ClearInBuffer();
    EXPECT_EQ(port.InBufferCount(), 0);
    EXPECT_TRUE(port.ReadAll().empty());
}

TEST(TermiosSerialPort, WaitingOnASilentLineSleepsUntilTheTimeout) {
    test::PseudoTerminal pty;
    TermiosSerialPort port({pty.Device()});
    port.Open();
    const auto start = steady_clock::now();
    const std::int64_t cpuBefore = CpuUs();
    EXPECT_FALSE(port.WaitForInput(150'000));
    const std::int64_t elapsed = ElapsedMs(start);
    EXPECT_GE(elapsed, 150);
    EXPECT_LT(elapsed, 250);
    EXPECT_LT(CpuUs() - cpuBefore, 20'000) << "the wait burnt processor time";
}

TEST(TermiosSerialPort, WaitingWakesWhenBytesArrive) {
    test::PseudoTerminal pty;
    TermiosSerialPort port({pty.Device()});
    port.Open();
    std::thread radio([&pty] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        pty.Send({0x11});
    });
    const auto start = steady_clock::now();
    const bool arrived = port.WaitForInput(2'000'000);
    const std::int64_t elapsed = ElapsedMs(start);
    radio.join();
    EXPECT_TRUE(arrived);
    EXPECT_LT(elapsed, 500);
    EXPECT_EQ(port.InBufferCount(), 1);
}

TEST(TermiosSerialPort, AHungUpLineDoesNotMakeTheWaitSpin) {
    auto pty = std::make_unique<test::PseudoTerminal>();
    TermiosSerialPort port({pty->Device()});
    port.Open();
    pty.reset();
    const std::int64_t cpuBefore = CpuUs();
    const auto start = steady_clock::now();
    EXPECT_FALSE(port.WaitForInput(100'000));
    EXPECT_GE(ElapsedMs(start), 100);
    EXPECT_LT(CpuUs() - cpuBefore, 20'000);
    port.Write(Bytes{'V'});  // fails quietly: the answer simply never comes
    EXPECT_EQ(port.InBufferCount(), 0);
}

}  // namespace
}  // namespace petrel
