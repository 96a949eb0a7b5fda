#include <gtest/gtest.h>

#include <variant>

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
    std::variant<ImageCommand, ParamCommand> command;
    Bytes request;  // the letter, then the payload
    Bytes answer;   // what follows the echo
    std::int64_t timeoutUs;
};

// Sends a case's request: its address, value or block come from the request bytes.
bool Send(RadioLink& link, const FrameCase& c) {
    if (c.request.size() >= 3) {
        link.AddrHi = c.request[1];
        link.AddrLo = c.request[2];
        link.ParamBuf.assign(c.request.begin() + 3, c.request.end());
        link.ParamValue = c.request.size() > 3 ? c.request[3] : 0;
    }
    if (const auto* image = std::get_if<ImageCommand>(&c.command)) {
        return link.SendCommand(*image);
    }
    return link.SendParamCommand(std::get<ParamCommand>(c.command));
}

TEST_F(FramesTest, EveryCommandSendsItsRequestAndWaitsItsTimeOut) {
    std::copy_n(Bytes{0x5A, 1, 2, 3}.begin(), 4, radio.Memory().bytes.begin() + 0x07C0);
    radio.Memory().params[1][0x3F] = 0x77;
    const FrameCase cases[] = {
        {ImageCommand::Check, {'V'}, {0x11}, 25'000},
        {ImageCommand::Identify, {'I', 0x07}, {9}, 50'000},
        {ImageCommand::IdentifyAgain, {'I', 0x07}, {9}, 50'000},
        {ImageCommand::ReadBlock, {'R', 0x07, 0xC0}, {0x5A, 1, 2, 3}, 150'000},
        {ParamCommand::ReadParam, {'I', 0x01, 0x3F}, {0x77}, 75'000},
        {ParamCommand::WriteParam, {'O', 0x02, 0x10, 0xAD}, {0xAD}, 100'000},
        {ParamCommand::WriteBlock, {'W', 0x01, 0x04, 9, 8, 7, 6}, {9, 8, 7, 6}, 260'000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request[0]);
        radio.Options().silent = false;
        ports.ClearRecords();
        const std::int64_t start = clock.NowUs();
        ASSERT_TRUE(Send(link, c));
        EXPECT_TRUE(state.LinkOk);
        // The letter, then after a 2 ms pause the payload.
        const auto& writes = ports.Writes();
        ASSERT_EQ(writes.size(), c.request.size() == 1 ? 1u : 2u);
        EXPECT_EQ(writes[0].bytes, Bytes{c.request[0]});
        EXPECT_EQ(writes[0].timeUs, start);
        if (writes.size() == 2) {
            EXPECT_EQ(writes[1].bytes, Bytes(c.request.begin() + 1, c.request.end()));
            EXPECT_EQ(writes[1].timeUs, start + 2'000);
        }
        Bytes frame = c.request;  // the echo leads the buffer
        frame.insert(frame.end(), c.answer.begin(), c.answer.end());
        EXPECT_EQ(link.RxFrame(), frame);

        // Silent radio: the exchange fails exactly at its time-out.
        radio.Options().silent = true;
        ports.ClearRecords();
        EXPECT_FALSE(Send(link, c));
        EXPECT_FALSE(state.LinkOk);
        EXPECT_EQ(SincePayloadUs(), c.timeoutUs);
    }
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

    // Without the cable's echo no answer is complete.
    radio.Options().echo = false;
    EXPECT_FALSE(link.SendCommand(ImageCommand::Check));
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
