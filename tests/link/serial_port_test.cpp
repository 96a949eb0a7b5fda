// The termios serial port on real pseudo-terminals, port discovery and DetectRS.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "core/link/port_list.h"
#include "core/link/port_scan.h"
#include "core/link/termios_serial_port.h"
#include "support/fakes.h"
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

TEST(TermiosSerialPort, DevicesThatDoNotOpenKeepTheirReasonsAndDetectRSListsTheOthers) {
    test::PseudoTerminal busy;
    test::PseudoTerminal free;
    TermiosSerialPort holder({busy.Device()});
    holder.Open();
    // COM2 is held by another program; /dev/null is no terminal; COM5 has no device at all.
    TermiosSerialPort port({"/dev/petrel-no-such-port", busy.Device(), "/dev/null", free.Device()});
    for (const int number : {1, 2, 3, 5}) {
        port.SetPortNumber(number);
        EXPECT_THROW(port.Open(), SerialPortError) << number;
        EXPECT_FALSE(port.IsOpen());
    }
    EXPECT_EQ(port.DeviceName(5), "");

    test::ScriptedPrompter prompter;
    const auto [numbers, problems] = DetectRS(port, prompter);
    EXPECT_EQ(numbers, (std::vector<int>{4}));
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_EQ(problems[0].number, 1);
    EXPECT_EQ(problems[0].device + ": " + problems[0].reason,
              "/dev/petrel-no-such-port: " + std::string(std::strerror(ENOENT)));
    EXPECT_EQ(problems[1].reason, std::strerror(EBUSY));
    EXPECT_EQ(problems[2].device, "/dev/null");
    EXPECT_FALSE(port.IsOpen());

    // The busy port opens once its holder has closed it.
    holder.Close();
    port.SetPortNumber(2);
    port.Open();
    EXPECT_TRUE(port.IsOpen());
}

TEST(TermiosSerialPort, OpensRaw2400Baud8N1AndCountsReadsAndClearsTheReceiveBuffer) {
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
    EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_cc[VMIN] + tio.c_cc[VTIME], 0);

    // Bytes a terminal would translate travel unchanged both ways.
    const Bytes bytes = {0x11, 0x0D, 0x0A, 0x00, 0xFF};
    port.Write(bytes);
    EXPECT_EQ(pty.Receive(5), bytes);
    pty.Send(bytes);
    while (port.InBufferCount() < 5 && port.WaitForInput(1'000'000)) {
    }
    EXPECT_EQ(port.ReadAll(), bytes);

    pty.Send({1, 2, 3});
    ASSERT_TRUE(port.WaitForInput(1'000'000));
    pty.Send({4});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(port.InBufferCount(), 4);  // bytes taken while waiting and bytes still queued
    port.ClearInBuffer();
    EXPECT_EQ(port.InBufferCount(), 0);
    EXPECT_TRUE(port.ReadAll().empty());
}

// Records the modem-line changes a pseudo-terminal cannot show.
class LineRecordingPort : public TermiosSerialPort {
  public:
    using TermiosSerialPort::TermiosSerialPort;
    std::vector<std::string> lines;

  protected:
    void ModemLines(unsigned long request, int bits) override {
        const std::string what = (bits & TIOCM_DTR ? std::string("DTR") : "") +
                                 (bits & TIOCM_RTS ? std::string("RTS") : "");
        lines.push_back((request == TIOCMBIS ? "raise " : "drop ") + what);
    }
};

TEST(TermiosSerialPort, OpeningDropsDtrAndRtsOnlyRaiseDtrRaisesOne) {
    test::PseudoTerminal pty;
    LineRecordingPort port({pty.Device()});
    port.Open();
    port.RaiseDtr();
    port.Close();
    EXPECT_EQ(port.lines, (std::vector<std::string>{"drop DTRRTS", "raise DTR"}));
}

TEST(TermiosSerialPort, WaitingSleepsUntilBytesOrTheTimeoutEvenOnAHungUpLine) {
    test::PseudoTerminal pty;
    TermiosSerialPort port({pty.Device()});
    port.Open();
    auto start = steady_clock::now();
    std::int64_t cpuBefore = CpuUs();
    EXPECT_FALSE(port.WaitForInput(150'000));
    EXPECT_GE(ElapsedMs(start), 150);
    EXPECT_LT(ElapsedMs(start), 250);
    EXPECT_LT(CpuUs() - cpuBefore, 20'000) << "the wait burnt processor time";

    std::thread radio([&pty] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        pty.Send({0x11});
    });
    start = steady_clock::now();
    const bool arrived = port.WaitForInput(2'000'000);
    const std::int64_t elapsed = ElapsedMs(start);
    radio.join();
    EXPECT_TRUE(arrived);
    EXPECT_LT(elapsed, 500);
    port.ClearInBuffer();

    pty.HangUp();
    cpuBefore = CpuUs();
    start = steady_clock::now();
    EXPECT_FALSE(port.WaitForInput(100'000));
    EXPECT_GE(ElapsedMs(start), 100);
    EXPECT_LT(CpuUs() - cpuBefore, 20'000) << "the wait spun on the hung-up line";
    port.Write(Bytes{'V'});  // fails quietly: the answer simply never comes
    EXPECT_EQ(port.InBufferCount(), 0);
}

TEST(PortDiscovery, UsbAdaptersFirstThenBuiltInPortsInNumberOrderUpToEight) {
    test::TempDir dev;
    for (const char* name :
         {"ttyS10", "ttyS2", "ttyS0", "ttyACM0", "ttyUSB1", "ttyUSB0", "tty0", "ttyprintk",
          "console", "ttyS", "ttyUSBx", "ttyS3", "ttyS4", "ttyS5"}) {
        test::WriteBytes(dev.File(name), {});
    }
    std::vector<std::string> expected;
    for (const char* name :
         {"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyS0", "ttyS2", "ttyS3", "ttyS4", "ttyS5"}) {
        expected.push_back(dev.File(name));
    }
    EXPECT_EQ(DiscoverSerialDevices(dev.Path()), expected);
    EXPECT_TRUE(DiscoverSerialDevices(dev.File("missing")).empty());

    // The ports variable replaces the discovered list.
    EXPECT_EQ(SerialDevices(std::nullopt, dev.Path()), expected);
    EXPECT_EQ(SerialDevices(std::string("/dev/pts/3::/tmp/radio:"), dev.Path()),
              (std::vector<std::string>{"/dev/pts/3", "/tmp/radio"}));
    EXPECT_TRUE(SerialDevices(std::string(""), dev.Path()).empty());
    EXPECT_EQ(ParsePortList("a:b:c:d:e:f:g:h:i:j").size(), 8u);
}

TEST(DetectRS, WithoutPortsAsksToDetectAgainUntilTheUserStops) {
    TermiosSerialPort port({"/dev/petrel-missing"});
    const std::string question = " No RS232 Port is available\n\rDetect Again ?";
    test::ScriptedPrompter prompter;
    // Yes looks again; Cancel and No stop.
    prompter.Expect(question, Answer::Yes)
        .Expect(question, Answer::Cancel)
        .Expect(question, Answer::No);
    EXPECT_TRUE(DetectRS(port, prompter).numbers.empty());
    DetectRS(port, prompter);
    EXPECT_TRUE(prompter.Done());
    const Message& asked = prompter.Asked()[0];
    EXPECT_EQ(asked.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(asked.icon, Icon::Exclamation);
    EXPECT_EQ(asked.title, "");
    EXPECT_EQ(asked.detail, "COM1 /dev/petrel-missing: " + std::string(std::strerror(ENOENT)));

    // A port the system refuses to this user comes with the fix.
    const PortProblem denied{1, "/dev/ttyUSB0", "Permission denied", EACCES};
    const PortProblem busy{2, "/dev/ttyS0", "Device or resource busy", EBUSY};
    EXPECT_EQ(PortProblemsText({denied, busy}),
              "COM1 /dev/ttyUSB0: Permission denied\nCOM2 /dev/ttyS0: Device or resource busy\n" +
                  std::string(kDialoutFix));
    EXPECT_EQ(PortProblemsText({busy}), "COM2 /dev/ttyS0: Device or resource busy");
}

}  // namespace
}  // namespace petrel

namespace petrel {
namespace {

// The port chooser's rows: a USB adapter named from a sysfs tree as the kernel lays it out (the
// tty's device link into the interface, maker and product two folders up), the reason a port
// does not open, and the port chosen moved to the front.
TEST(PortList, UsbAdaptersAreNamedFromSysfsAndEachPortSaysWhetherItOpens) {
    namespace fs = std::filesystem;
    test::TempDir sys;
    const fs::path usb = sys.Path() / "devices/pci0000:00/usb1/1-1";
    fs::create_directories(usb / "1-1:1.0/ttyUSB0");
    fs::create_directories(usb / "1-1:1.2/ttyACM0");
    test::WriteBytes((usb / "manufacturer").string(), {'F', 'T', 'D', 'I', '\n'});
    const std::string product = "FT232R USB UART\n";
    test::WriteBytes((usb / "product").string(), {product.begin(), product.end()});
    fs::create_directories(sys.Path() / "class/tty/ttyUSB0");
    fs::create_directories(sys.Path() / "class/tty/ttyS0");
    fs::create_symlink(usb / "1-1:1.0/ttyUSB0", sys.Path() / "class/tty/ttyUSB0/device");
    fs::create_symlink(sys.Path() / "devices/platform/serial8250",
                       sys.Path() / "class/tty/ttyS0/device");
    fs::create_directories(sys.Path() / "devices/platform/serial8250");

    EXPECT_EQ(DescribeSerialDevice("/dev/ttyUSB0", sys.Path()),
              "FTDI FT232R USB UART (/dev/ttyUSB0)");
    EXPECT_EQ(DescribeSerialDevice("/dev/ttyS0", sys.Path()), "(/dev/ttyS0)");
    EXPECT_EQ(DescribeSerialDevice("/dev/pts/7", sys.Path()), "(/dev/pts/7)");
    // A product that names its maker already is not named twice.
    test::WriteBytes((usb / "product").string(), {'F', 'T', 'D', 'I', ' ', 'X'});
    EXPECT_EQ(DescribeSerialDevice("/dev/ttyUSB0", sys.Path()), "FTDI X (/dev/ttyUSB0)");

    EXPECT_EQ(OpenProblemText(EACCES, std::strerror(EACCES)),
              "permission denied: add yourself to the group dialout");
    EXPECT_EQ(OpenProblemText(EBUSY, std::strerror(EBUSY)), "busy: another program is using it");
    EXPECT_EQ(OpenProblemText(ENOENT, "No such file or directory"), "no such file or directory");

    test::PseudoTerminal free;
    TermiosSerialPort port({"/dev/petrel-no-such-port", free.Device()});
    const auto entries = ListSerialPorts(port, sys.Path());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].number, 1);
    EXPECT_EQ(entries[0].problem, OpenProblemText(ENOENT, std::strerror(ENOENT)));
    EXPECT_EQ(entries[1].description, "(" + free.Device() + ")");
    EXPECT_EQ(entries[1].problem, "");
    EXPECT_FALSE(port.IsOpen());

    const std::vector<std::string> devices{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"};
    EXPECT_EQ(PreferDevice(devices, "/dev/ttyS0"),
              (std::vector<std::string>{"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyUSB1"}));
    EXPECT_EQ(PreferDevice(devices, "/dev/ttyACM9"), devices);
}

// The port chooser's rows and texts: the port in use is the last radio's while it is listed,
// else the first that opens; a port that does not open says why; a test says what answered.
TEST(PortList, RowsMarkThePortInUseAndTestsAndTheRadioFieldSayWhatWasFound) {
    const std::string denied = OpenProblemText(EACCES, std::strerror(EACCES));
    const std::vector<PortEntry> entries = {
        {1, "/dev/ttyS0", "(/dev/ttyS0)", denied},
        {2, "/dev/ttyUSB0", "FTDI FT232R USB UART (/dev/ttyUSB0)", ""},
        {3, "/dev/pts/4", "(/dev/pts/4)", ""},
    };
    const SeenRadio onPts{3, "/dev/pts/4", 9};
    const SeenRadio gone{1, "/dev/ttyUSB7", 9};
    const SeenRadio onDenied{1, "/dev/ttyS0", 9};  // allowed then, refused now
    EXPECT_EQ(PortInUse(entries, std::nullopt), "/dev/ttyUSB0");
    EXPECT_EQ(PortInUse(entries, onPts), "/dev/pts/4");
    EXPECT_EQ(PortInUse(entries, gone), "/dev/ttyUSB0");
    EXPECT_EQ(PortInUse(entries, onDenied), "/dev/ttyS0");
    EXPECT_EQ(PortInUse({entries[0]}, std::nullopt), "");

    std::vector<std::string> texts;
    for (const PortRow& row : PortRows(entries, "/dev/pts/4")) {
        texts.push_back(row.text + (row.inUse ? " [in use]" : "") + (row.opens ? "" : " [shut]"));
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "COM1 (/dev/ttyS0): permission denied: add yourself to the group "
                         "dialout [shut]",
                         "COM2 FTDI FT232R USB UART (/dev/ttyUSB0)",
                         "COM3 (/dev/pts/4), in use [in use]",
                     }));
    EXPECT_EQ(PortRows(entries, "").at(1).inUse, false);

    using Outcome = PortTest::Outcome;
    const PortProblem refused{2, "/dev/ttyUSB0", std::strerror(EACCES), EACCES};
    const std::vector<std::pair<PortTest, std::string>> tests = {
        {{Outcome::Identified, 2, "/dev/ttyUSB0", 9, {}},
         "Petrel (PMR) answered on COM2 /dev/ttyUSB0."},
        {{Outcome::Identified, 2, "/dev/ttyUSB0", 13, {}},
         "unknow Radio answered on COM2 /dev/ttyUSB0."},
        {{Outcome::NotOpened, 2, "/dev/ttyUSB0", std::nullopt, refused},
         "COM2 /dev/ttyUSB0 cannot be opened: permission denied: add yourself to the group "
         "dialout."},
        {{Outcome::NoAnswer, 2, "/dev/ttyUSB0", std::nullopt, {}},
         "No radio answered on COM2 /dev/ttyUSB0: check that the radio is switched on and its "
         "cable is plugged in."},
        {{Outcome::NotIdentified, 2, "/dev/ttyUSB0", std::nullopt, {}},
         "A radio answered on COM2 /dev/ttyUSB0 but did not say which it is: test again, or "
         "check the cable."},
    };
    for (const auto& [test, text] : tests) {
        EXPECT_EQ(PortTestText(test), text);
    }

    EXPECT_EQ(RadioFieldText(std::nullopt), "no radio");
    EXPECT_EQ(RadioFieldText(onPts), "COM3 /dev/pts/4 - Petrel (PMR)");
    EXPECT_EQ(RadioFieldText(SeenRadio{1, "/dev/ttyUSB0", 0}), "COM1 /dev/ttyUSB0 - unknow Radio");
}

}  // namespace
}  // namespace petrel
