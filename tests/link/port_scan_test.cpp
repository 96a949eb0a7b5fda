#include "link/port_scan.h"

#include <gtest/gtest.h>

#include "document/program_state.h"
#include "link/termios_serial_port.h"
#include "support/fakes.h"
#include "support/pseudo_terminal.h"
#include "support/temp_dir.h"

namespace petrel {
namespace {

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

TEST(DetectRS, ListsTheComNumbersThatOpen) {
    test::PseudoTerminal com2;
    test::PseudoTerminal com4;
    test::PseudoTerminal busy;
    TermiosSerialPort holder({busy.Device()});
    holder.Open();
    TermiosSerialPort port({"/dev/petrel-missing", com2.Device(), busy.Device(), com4.Device()});
    ProgramState state;
    test::ScriptedPrompter prompter;
    const auto problems = DetectRS(state, port, prompter);
    EXPECT_EQ(state.PortList, (std::vector<int>{2, 4}));
    // The devices that would not open, with the reason; COM5..COM8 have no device at all.
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].number, 1);
    EXPECT_EQ(problems[0].device, "/dev/petrel-missing");
    EXPECT_EQ(problems[0].reason, "No such file or directory");
    EXPECT_EQ(problems[1].number, 3);
    EXPECT_EQ(problems[1].reason, "Device or resource busy");
    EXPECT_EQ(state.PortCount, 2);
    EXPECT_TRUE(prompter.Asked().empty());
    EXPECT_FALSE(port.IsOpen());
}

TEST(DetectRS, WithoutPortsAsksToDetectAgainUntilTheUserStops) {
    TermiosSerialPort port({"/dev/petrel-missing"});
    ProgramState state;
    state.PortList = {1};
    test::ScriptedPrompter prompter;
    prompter.Then(Answer::Yes).Then(Answer::Cancel);
    DetectRS(state, port, prompter);
    ASSERT_EQ(prompter.Asked().size(), 2u);
    const Message& asked = prompter.Asked()[0];
    EXPECT_EQ(asked.text, " No RS232 Port is available\n\rDetect Again ?");
    EXPECT_EQ(asked.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(asked.icon, Icon::Exclamation);
    EXPECT_EQ(asked.title, "");
    EXPECT_TRUE(state.PortList.empty());
    EXPECT_EQ(state.PortCount, 0);

    test::ScriptedPrompter no;
    no.Then(Answer::No);
    DetectRS(state, port, no);
    EXPECT_EQ(no.Asked().size(), 1u);
}

}  // namespace
}  // namespace petrel
