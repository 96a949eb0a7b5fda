#include <gtest/gtest.h>

#include "link_fixture.h"

namespace petrel {
namespace {

using sim::FaultKind;
using sim::FrameKind;

constexpr const char* kConnectingErr =
    "Connecting Err !  Make sure the connection is OK\n\rTry Again ?";

class DetectTest : public test::LinkTest {};

TEST_F(DetectTest, SearchesThePortListInOrderAndIdentifiesTheRadio) {
    sim::RadioSimEngine other(sim::MakeRadio(10, 16, false));
    ports.AddEmptyPort(2);  // nothing on the cable
    ports.AddBusyPort(4);   // another program holds it
    ports.AttachRadio(5, radio);
    ports.AttachRadio(6, other);
    state.PortList = {2, 3, 4, 5, 6};

    link.DetectRadio();
    EXPECT_FALSE(state.RadioAbsent);
    EXPECT_TRUE(state.LinkOk);
    EXPECT_EQ(state.BandNo, 9);
    EXPECT_EQ(status.Text(), "Petrel (PMR) detected");
    EXPECT_EQ(status.Color(), kStatusBlack);
    EXPECT_EQ(status.FontSize(), kStatusFontLarge);
    EXPECT_EQ(ports.Events(),
              (std::vector<std::string>{"open 2", "dtr 2", "close 2", "open 5", "dtr 5"}));
    EXPECT_TRUE(ports.IsOpen()) << "the port stays open for the operation";
    ASSERT_EQ(link.PortProblems().size(), 2u);
    EXPECT_EQ(link.PortProblems()[0].number, 3);
    EXPECT_EQ(link.PortProblems()[1].number, 4);
    EXPECT_EQ(link.PortProblems()[1].reason, "Device or resource busy");
    EXPECT_TRUE(other.Log().empty());
    // A silent port costs the 0.1 s settling and one check time-out, without retries:
    // COM2 then COM5 (settle, check, identify).
    EXPECT_EQ(Frames(), (std::vector<std::string>{"check: V -> 11", "identify: I 07 -> 09"}));
}

TEST_F(DetectTest, EveryOperationSearchesAgainFromTheFirstPort) {
    sim::RadioSimEngine first(sim::MakeRadio(12, 16, false));
    ports.AttachRadio(1, first);
    ports.AttachRadio(3, radio);
    state.PortList = {1, 3};
    first.Options().silent = true;

    link.ConnectRadio();
    EXPECT_EQ(state.BandNo, 9);
    link.ClosePort();
    first.Options().silent = false;
    ports.ClearRecords();
    link.ConnectRadio();
    EXPECT_EQ(state.BandNo, 12);
    EXPECT_EQ(ports.Events(), (std::vector<std::string>{"open 1", "dtr 1"}));

    // Within an operation the open port is only checked again.
    ports.ClearRecords();
    link.DetectRadio();
    EXPECT_TRUE(ports.Events().empty());
    EXPECT_EQ(first.Log().back().kind, FrameKind::Identify);
    EXPECT_EQ(first.Log()[first.Log().size() - 2].kind, FrameKind::Check);
}

TEST_F(DetectTest, SilentPortsCostOneCheckTimeOutEach) {
    ports.AddEmptyPort(2);
    ports.AddEmptyPort(3);
    state.PortList = {2, 3};
    const std::int64_t start = clock.NowUs();
    link.DetectRadio();
    // Per port: 0.1 s settling, the 2 ms pause after the letter, the 25 ms time-out.
    EXPECT_EQ(clock.NowUs() - start, 2 * (100'000 + 2'000 + 25'000));
    EXPECT_TRUE(state.RadioAbsent);
    EXPECT_EQ(status.Text(), "Not detected");
    EXPECT_EQ(status.Color(), kStatusRed);
    EXPECT_EQ(status.FontSize(), kStatusFontLarge);
    EXPECT_FALSE(ports.IsOpen());
}

TEST_F(DetectTest, TheIdentifyAnswerDecidesWhatWasDetected) {
    for (const std::uint8_t band : {0, 13, 255}) {
        radio.Memory().band = band;
        link.DetectRadio();
        EXPECT_FALSE(state.RadioAbsent);
        EXPECT_EQ(status.Text(), "unknow Radio detected");
        EXPECT_EQ(state.BandNo, band);
        link.ClosePort();
    }
    // A failed identify is no radio, but the port that answered the check stays open.
    radio.AddFault({FaultKind::Short, FrameKind::Identify, 0, 1});
    link.DetectRadio();
    EXPECT_TRUE(state.RadioAbsent);
    EXPECT_EQ(status.Text(), "Not detected");
    EXPECT_TRUE(ports.IsOpen());
}

TEST_F(DetectTest, AnEmptyPortListIsReportedAndChangesNothing) {
    state.PortList.clear();
    state.PortCount = 0;
    state.RadioAbsent = false;
    prompter.Then(Answer::Ok);
    link.DetectRadio();
    ASSERT_EQ(prompter.Asked().size(), 1u);
    const Message& asked = prompter.Asked()[0];
    EXPECT_EQ(asked.text, "AvailableRS232 port was not detected !");
    EXPECT_EQ(asked.title, "Comm Port Error");
    EXPECT_EQ(asked.icon, Icon::Stop);
    EXPECT_EQ(asked.buttons, Buttons::Ok);
    EXPECT_FALSE(state.RadioAbsent);
    EXPECT_TRUE(status.history.empty());
}

TEST_F(DetectTest, ConnectRadioAsksUntilTheRadioAnswersOrTheUserStops) {
    radio.Options().silent = true;
    prompter.Then(Answer::Yes).Then(Answer::No);
    link.ConnectRadio();
    EXPECT_TRUE(state.RadioAbsent);
    EXPECT_TRUE(state.UserAbort);
    EXPECT_FALSE(ports.IsOpen());
    ASSERT_EQ(prompter.Asked().size(), 2u);
    const Message& asked = prompter.Asked()[0];
    EXPECT_EQ(asked.text, kConnectingErr);
    EXPECT_EQ(asked.buttons, Buttons::YesNo);
    EXPECT_EQ(asked.icon, Icon::Question);
    EXPECT_EQ(asked.title, kMainWindowCaption);
    EXPECT_EQ(CountFrames(FrameKind::Check), 2u);

    // The question carries the active editor's caption; Yes tries again.
    const int slot = state.workspace.FindFreeIndex();
    state.workspace.At(slot).title = "C:\\RADIOS\\SHOP.CFG";
    host.activeSlot = slot;
    test::ScriptedPrompter again;
    again.Then(Answer::Yes);
    RadioLink secondLink(state, ports, clock, again, status, host);
    radio.Options().silent = false;
    radio.AddFault({FaultKind::Drop, FrameKind::Check, 0, 1});
    secondLink.ConnectRadio();
    EXPECT_FALSE(state.RadioAbsent);
    EXPECT_FALSE(state.UserAbort);
    ASSERT_EQ(again.Asked().size(), 1u);
    EXPECT_EQ(again.Asked()[0].title, "C:\\RADIOS\\SHOP.CFG");
}

}  // namespace
}  // namespace petrel
