#include <gtest/gtest.h>

#include <algorithm>

#include "link_fixture.h"

namespace petrel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using sim::FaultKind;
using sim::FrameKind;

class ParamsTest : public test::LinkTest {
  protected:
    // The parameter frames the radio received (page, index[, value]).
    std::vector<Bytes> ParamFrames() const {
        std::vector<Bytes> frames;
        for (const auto& frame : radio.Log()) {
            if (frame.kind == FrameKind::ReadParam || frame.kind == FrameKind::WriteParam) {
                frames.push_back(frame.request);
            }
        }
        return frames;
    }
};

TEST_F(ParamsTest, BlocksReadOneMoreElementThanAskedAndWrapWithinTheirPage) {
    link.ParamPage = 2;
    link.ParamStart = 0x20;
    link.ParamCount = 5;
    EXPECT_TRUE(link.ReadParams());
    EXPECT_EQ(link.ParamBuf, (Bytes{1, 20, 3, 5, 20, 0}));
    EXPECT_EQ(ParamFrames().front(), (Bytes{'I', 2, 0x20}));
    EXPECT_EQ(ParamFrames().back(), (Bytes{'I', 2, 0x24}));

    radio.ClearLog();
    link.ParamPage = 1;
    link.ParamStart = 0xFE;
    link.ParamCount = 3;
    link.ParamBuf = {7, 8, 9};
    EXPECT_TRUE(link.WriteParams());
    EXPECT_EQ(ParamFrames(),
              (std::vector<Bytes>{{'O', 1, 0xFE, 7}, {'O', 1, 0xFF, 8}, {'O', 1, 0x00, 9}}));
    // Each block its own connection.
    EXPECT_EQ(ports.Events(), (std::vector<std::string>{"open 1", "dtr 1", "close 1", "open 1",
                                                        "dtr 1", "close 1"}));
}

TEST_F(ParamsTest, AnUnansweredReadAsksToRetryTheWholeBlock) {
    radio.AddFault({FaultKind::Drop, FrameKind::ReadParam, 1, 1});
    prompter.Then(Answer::Retry);
    EXPECT_TRUE(link.ReadIdentification());
    EXPECT_EQ(link.ParamBuf[4], 20);
    ASSERT_EQ(prompter.Asked().size(), 1u);
    EXPECT_EQ(prompter.Asked()[0].text, "Read Error !");
    EXPECT_EQ(prompter.Asked()[0].buttons, Buttons::RetryCancel);
    EXPECT_EQ(prompter.Asked()[0].icon, Icon::Exclamation);
    EXPECT_EQ(prompter.Asked()[0].title, "");
    // Two reads, then the whole block again from a new connection.
    EXPECT_EQ(ParamFrames().size(), 2u + 5u);
    EXPECT_EQ(std::count(ports.Events().begin(), ports.Events().end(), "open 1"), 2);

    radio.AddFault({FaultKind::Drop, FrameKind::ReadParam, 0, 1});
    test::ScriptedPrompter cancel;
    cancel.Then(Answer::Cancel);
    RadioLink other(state, ports, clock, cancel, status, host);
    other.ParamPage = 2;
    other.ParamStart = 0x07;
    other.ParamCount = 1;
    EXPECT_FALSE(other.ReadParams());
    EXPECT_EQ(other.ParamBuf, (Bytes{0, 0}));
    EXPECT_FALSE(ports.IsOpen());
}

TEST_F(ParamsTest, ARadioThatStopsAnsweringStillGetsEveryWrite) {
    radio.AddFault({FaultKind::Drop, FrameKind::WriteParam, 1, -1});
    link.TxOn = true;
    EXPECT_FALSE(link.WriteReceiveFrequency(0x12, 0x34, 0x56));
    EXPECT_EQ(
        ParamFrames(),
        (std::vector<Bytes>{{'O', 0, 0xB1, 0x12}, {'O', 0, 0xB2, 0x34}, {'O', 0, 0xB3, 0x56}}));
    EXPECT_FALSE(state.LinkOk);
    EXPECT_TRUE(prompter.Asked().empty());
    EXPECT_TRUE(link.TxOn);

    // No radio at all: nothing is sent, and the power dialog's transmit flag drops.
    radio.Options().silent = true;
    prompter.Then(Answer::No);
    EXPECT_FALSE(link.WritePowerValue(0x40));
    EXPECT_FALSE(link.TxOn);
    EXPECT_TRUE(state.RadioAbsent);
    EXPECT_EQ(ParamFrames().size(), 3u);
}

TEST_F(ParamsTest, ReadModifyWritesKeepTheOtherBits) {
    radio.Memory().params[0][0x8E] = 0xA4;
    radio.Memory().params[0][0x0A] = 0x15;
    EXPECT_TRUE(link.EnableVox());
    EXPECT_EQ(radio.Memory().params[0][0x8E], 0xA5);
    EXPECT_TRUE(link.SetHighPowerBit(true));
    EXPECT_EQ(radio.Memory().params[0][0x0A], 0x55);
    EXPECT_TRUE(link.SetHighPowerBit(false));
    EXPECT_EQ(radio.Memory().params[0][0x0A], 0x15);

    // Without the byte as the radio holds it nothing is written.
    radio.AddFault({FaultKind::Drop, FrameKind::ReadParam, 0, 1});
    prompter.Then(Answer::Cancel);
    radio.ClearLog();
    EXPECT_FALSE(link.EnableVox());
    EXPECT_EQ(CountFrames(FrameKind::WriteParam), 0u);
}

}  // namespace
}  // namespace petrel
