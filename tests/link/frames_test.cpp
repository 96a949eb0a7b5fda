#include <gtest/gtest.h>

#include <functional>

#include "link_fixture.h"

namespace petrel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using sim::FaultKind;
using sim::FrameKind;

class FramesTest : public test::LinkTest {
  protected:
    FramesTest() {
        ports.SetPortNumber(1);
        ports.Open();
    }
    // Time from the end of the pause after the letter (when the payload, if any, is handed
    // over) to the end of the exchange.
    std::int64_t SincePayloadUs() const { return clock.NowUs() - ports.Writes()[0].timeUs - 2'000; }
};

struct FrameCase {
    const char* name;
    std::function<bool(RadioLink&)> send;
    Bytes letter;
    Bytes payload;
    std::size_t received;  // echo and answer
    std::int64_t timeoutUs;
};

TEST_F(FramesTest, EveryCommandSendsItsRequestAndWaitsItsTimeOut) {
    radio.Memory().bytes[0x07C0] = 0x5A;
    radio.Memory().params[1][0x3F] = 0x77;
    const std::vector<FrameCase> cases = {
        {"check",
         [](RadioLink& l) { return l.SendCommand(ImageCommand::Check); },
         {'V'},
         {},
         2,
         25'000},
        {"identify",
         [](RadioLink& l) { return l.SendCommand(ImageCommand::Identify); },
         {'I'},
         {0x07},
         3,
         50'000},
        {"identify again",
         [](RadioLink& l) { return l.SendCommand(ImageCommand::IdentifyAgain); },
         {'I'},
         {0x07},
         3,
         50'000},
        {"read block",
         [](RadioLink& l) {
             l.AddrHi = 0x07;
             l.AddrLo = 0xC0;
             return l.SendCommand(ImageCommand::ReadBlock);
         },
         {'R'},
         {0x07, 0xC0},
         7,
         150'000},
        {"read parameter",
         [](RadioLink& l) {
             l.AddrHi = 1;
             l.AddrLo = 0x3F;
             return l.SendParamCommand(ParamCommand::ReadParam);
         },
         {'I'},
         {0x01, 0x3F},
         4,
         75'000},
        {"write parameter",
         [](RadioLink& l) {
             l.AddrHi = 2;
             l.AddrLo = 0x10;
             l.ParamValue = 0xAD;
             return l.SendParamCommand(ParamCommand::WriteParam);
         },
         {'O'},
         {0x02, 0x10, 0xAD},
         5,
         100'000},
        {"write block",
         [](RadioLink& l) {
             l.AddrHi = 0x01;
             l.AddrLo = 0x04;
             l.ParamBuf = {9, 8, 7, 6};
             return l.SendParamCommand(ParamCommand::WriteBlock);
         },
         {'W'},
         {0x01, 0x04, 9, 8, 7, 6},
         11,
         260'000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        radio.Options().silent = false;
        ports.ClearRecords();
        const std::int64_t start = clock.NowUs();
        ASSERT_TRUE(c.send(link));
        EXPECT_TRUE(state.LinkOk);
        const auto& writes = ports.Writes();
        ASSERT_EQ(writes.size(), c.payload.empty() ? 1u : 2u);
        EXPECT_EQ(writes[0].bytes, c.letter);
        EXPECT_EQ(writes[0].timeUs, start);
        if (!c.payload.empty()) {
            EXPECT_EQ(writes[1].bytes, c.payload);
            EXPECT_EQ(writes[1].timeUs, start + 2'000);  // the pause after the letter
        }
        ASSERT_EQ(link.RxFrame().size(), c.received);
        Bytes request = c.letter;
        request.insert(request.end(), c.payload.begin(), c.payload.end());
        EXPECT_TRUE(std::equal(request.begin(), request.end(), link.RxFrame().begin()))
            << "the echo leads the buffer";

        // Silent radio: the exchange fails exactly at its time-out.
        radio.Options().silent = true;
        ports.ClearRecords();
        EXPECT_FALSE(c.send(link));
        EXPECT_FALSE(state.LinkOk);
        EXPECT_EQ(SincePayloadUs(), c.timeoutUs);
    }
    // The answers after the echo.
    radio.Options().silent = false;
    link.AddrHi = 0x07;
    link.AddrLo = 0xC0;
    ASSERT_TRUE(link.SendCommand(ImageCommand::ReadBlock));
    EXPECT_EQ(link.RxFrame()[3], 0x5A);
    ASSERT_TRUE(link.SendCommand(ImageCommand::Identify));
    EXPECT_EQ(link.RxFrame()[2], 9);
    EXPECT_EQ(radio.Memory().bytes[0x0104], 9);
    EXPECT_EQ(radio.Memory().params[2][0x10], 0xAD);
}

TEST_F(FramesTest, TheCheckIsSentAtMostNineteenTimes) {
    radio.AddFault({FaultKind::WrongCheck, FrameKind::Check, 0, 18});
    EXPECT_TRUE(link.SendCommand(ImageCommand::Check));
    EXPECT_EQ(CountFrames(FrameKind::Check), 19u);

    radio.ClearLog();
    radio.AddFault({FaultKind::WrongCheck, FrameKind::Check, 0, 19});
    EXPECT_FALSE(link.SendCommand(ImageCommand::Check));
    EXPECT_FALSE(state.LinkOk);
    EXPECT_EQ(CountFrames(FrameKind::Check), 19u);
    EXPECT_EQ(link.RxFrame(), (Bytes{'V', 0x00}));

    // A time-out is not retried.
    radio.ClearLog();
    radio.Options().silent = true;
    EXPECT_FALSE(link.SendCommand(ImageCommand::Check));
    EXPECT_EQ(CountFrames(FrameKind::Check), 1u);
}

TEST_F(FramesTest, AnAnswerOfTheWrongLengthFails) {
    radio.AddFault({FaultKind::Short, FrameKind::ReadBlock, 1, 1});
    radio.AddFault({FaultKind::Long, FrameKind::Identify, 0, 1});
    radio.AddFault({FaultKind::Long, FrameKind::WriteParam, 0, 1});
    link.AddrHi = 0;
    link.AddrLo = 0x08;
    ASSERT_TRUE(link.SendCommand(ImageCommand::ReadBlock));
    const Bytes before = link.RxFrame();

    ports.ClearRecords();
    EXPECT_FALSE(link.SendCommand(ImageCommand::ReadBlock));
    EXPECT_EQ(SincePayloadUs(), 150'000);
    EXPECT_EQ(link.RxFrame(), before) << "a failed exchange keeps the last complete frame";
    ports.ClearRecords();
    EXPECT_FALSE(link.SendCommand(ImageCommand::Identify));
    EXPECT_EQ(SincePayloadUs(), 50'000);

    // Paced at 2400 baud the extra byte comes a character time after the expected ones.
    radio.Options().byteTimeUs = sim::kByteTimeUs;
    link.AddrHi = 2;
    link.AddrLo = 0x10;
    EXPECT_FALSE(link.SendParamCommand(ParamCommand::WriteParam));
    EXPECT_TRUE(link.SendParamCommand(ParamCommand::WriteParam));
}

TEST_F(FramesTest, ACompleteAnswerIsTakenWithoutWaitingForTheTimeOut) {
    radio.Options().byteTimeUs = sim::kByteTimeUs;
    radio.Options().answerDelayUs = 1'000;
    link.AddrHi = 0;
    link.AddrLo = 0;
    ports.ClearRecords();
    ASSERT_TRUE(link.SendCommand(ImageCommand::ReadBlock));
    // Three request bytes and four answer bytes on the wire, the radio's delay, one quiet
    // character time; the clock started 2 ms into the letter.
    EXPECT_EQ(SincePayloadUs(), 7 * sim::kByteTimeUs + 1'000 - 2'000 + 5'000);
}

TEST_F(FramesTest, WithoutTheCablesEchoNoAnswerIsComplete) {
    radio.Options().echo = false;
    EXPECT_FALSE(link.SendCommand(ImageCommand::Check));
}

TEST_F(FramesTest, CheckedBlockWriteReportsEveryDifferingByteOnce) {
    const std::array<std::uint8_t, 4> block = {0x10, 0x20, 0x30, 0x40};
    link.AddrHi = 7;
    link.AddrLo = 0xF0;
    EXPECT_TRUE(link.WriteBlockChecked(block));
    EXPECT_EQ(ports.Writes().back().bytes, (Bytes{7, 0xF0, 0x10, 0x20, 0x30, 0x40}));
    EXPECT_TRUE(prompter.Asked().empty());

    radio.AddFault({FaultKind::BadReadback, FrameKind::WriteBlock, 0, 1});
    prompter.Then(Answer::Ok);
    EXPECT_TRUE(link.WriteBlockChecked(block));
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Write Error !"});
    EXPECT_EQ(prompter.Asked()[0].title, "");

    // A time-out is silent and leaves LinkOk as it was.
    radio.Options().silent = true;
    for (const bool before : {true, false}) {
        state.LinkOk = before;
        ports.ClearRecords();
        EXPECT_FALSE(link.WriteBlockChecked(block));
        EXPECT_EQ(SincePayloadUs(), 210'000);
        EXPECT_EQ(state.LinkOk, before);
    }
}

}  // namespace
}  // namespace petrel
