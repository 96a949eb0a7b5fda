// Frames, detection and parameter commands against the in-process simulated radio on the
// virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>

#include "core/link/link_trace.h"
#include "link_fixture.h"
#include "support/golden.h"

namespace petrel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
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

// Each command of data/frames.txt takes the echo of its request and its answer one quiet
// character time after they are complete (the trace test shows the 2 ms pause between the letter
// and the payload). A silent radio, an answer one byte short or too long (at the line's speed the
// extra byte comes a character time late), or a cable without its echo fails the exchange exactly
// at the command's time-out, keeping the last complete frame.
TEST_F(FramesTest, EveryCommandTakesItsExactAnswerAndFailsAnyOtherAtItsTimeOut) {
    std::copy_n(Bytes{0x5A, 1, 2, 3}.begin(), 4, radio.Memory().bytes.begin() + 0x07C0);
    radio.Memory().params[1][0x3F] = 0x77;
    radio.Options().byteTimeUs = sim::kByteTimeUs;
    // Each command takes its arguments from the request's payload.
    using Command = std::function<bool(const Bytes&)>;
    const auto address = [](const Bytes& r) {
        return static_cast<std::uint16_t>(r[1] << 8 | r[2]);
    };
    const std::map<std::string, std::pair<Command, FrameKind>> commands = {
        {"Check", {[&](const Bytes&) { return frames.Check(); }, FrameKind::Check}},
        {"Identify",
         {[&](const Bytes&) { return frames.Identify().has_value(); }, FrameKind::Identify}},
        {"ReadBlock",
         {[&](const Bytes& r) { return frames.ReadBlock(address(r)).has_value(); },
          FrameKind::ReadBlock}},
        {"ReadParam",
         {[&](const Bytes& r) { return frames.ReadParam(r[1], r[2]).has_value(); },
          FrameKind::ReadParam}},
        {"WriteParam",
         {[&](const Bytes& r) { return frames.WriteParam(r[1], r[2], r[3]); },
          FrameKind::WriteParam}},
        {"WriteBlock",
         {[&](const Bytes& r) {
              return frames.WriteBlock(address(r), Block{r[3], r[4], r[5], r[6]}).has_value();
          },
          FrameKind::WriteBlock}}};
    const auto exchanged = [&](const std::string& case_) {
        // The command, its letter, the bytes of its payload in hex, then how it is spoiled.
        std::istringstream in(case_);
        std::string name;
        std::string letter;
        in >> name >> letter;
        Bytes request{static_cast<std::uint8_t>(letter[0])};
        std::string spoil;
        for (std::string item; in >> item;) {
            item.size() == 2 ? request.push_back(std::stoul(item, nullptr, 16))
                             : void(spoil = item);
        }
        const auto& [command, kind] = commands.at(name);
        radio.Options().silent = spoil == "silent";
        radio.Options().echo = spoil != "no-echo";
        if (spoil == "short" || spoil == "long") {
            radio.AddFault({spoil == "short" ? FaultKind::Short : FaultKind::Long, kind});
        }
        ports.ClearRecords();
        const Bytes before = frames.RxFrame();
        const bool ok = command(request);
        char ms[32];
        std::snprintf(ms, sizeof ms, " at %.3f ms", static_cast<double>(SincePayloadUs()) / 1000);
        if (!ok) {
            return "failed" + std::string(ms) + (frames.RxFrame() == before ? ", frame kept" : "");
        }
        return HexBytes(frames.RxFrame()) + ms;
    };
    EXPECT_TRUE(test::MatchesTranscript("link/data/frames.txt", exchanged));
    EXPECT_EQ(radio.Memory().bytes[0x0104], 9);
    EXPECT_EQ(radio.Memory().params[2][0x10], 0xAD);
}

// A wrong answer is asked again; a time-out is not (the silent check above fails at 25 ms).
TEST_F(FramesTest, TheCheckIsSentAtMostNineteenTimes) {
    for (const int wrong : {18, 19}) {
        radio.ClearLog();
        radio.AddFault({FaultKind::WrongCheck, FrameKind::Check, 0, wrong});
        EXPECT_EQ(frames.Check(), wrong == 18);
        EXPECT_EQ(CountFrames(FrameKind::Check), 19u);
    }
    EXPECT_EQ(frames.RxFrame(), (Bytes{'V', 0x00}));
}

TEST_F(FramesTest, CheckedBlockWriteReportsEveryDifferingByteOnce) {
    const Block block = {0x10, 0x20, 0x30, 0x40};
    EXPECT_EQ(frames.WriteBlockChecked(0x07F0, block), BlockWrite::Written);
    EXPECT_EQ(radio.Memory().bytes[0x07F1], 0x20);

    // A read-back that differs is reported and is no success.
    radio.AddFault({FaultKind::BadReadback, FrameKind::WriteBlock});  // its first byte
    prompter.Expect("Write Error !", Answer::Ok);
    EXPECT_EQ(frames.WriteBlockChecked(0x07F0, block), BlockWrite::ReadBackDiffers);
    EXPECT_EQ(prompter.Asked()[0].title, "");

    // A time-out is silent.
    radio.Options().silent = true;
    ports.ClearRecords();
    EXPECT_EQ(frames.WriteBlockChecked(0x07F0, block), BlockWrite::NotAnswered);
    EXPECT_EQ(SincePayloadUs(), 210'000);
    EXPECT_TRUE(prompter.Done());
}

using DetectTest = test::LinkTest;

TEST_F(DetectTest, SearchesThePortListInOrderAndIdentifiesTheRadio) {
    sim::RadioSimEngine other(sim::MakeRadio(10, 16, false));
    ports.AddEmptyPort(2);  // nothing on the cable
    ports.AddBusyPort(4);   // another program holds it
    ports.AttachRadio(5, radio);
    ports.AttachRadio(6, other);
    frames.SetPorts({2, 3, 4, 5, 6});

    EXPECT_EQ(frames.DetectRadio(), 9);
    EXPECT_EQ(frames.DetectedBand(), 9);
    EXPECT_EQ(status.Text(), "Petrel (PMR) detected");
    EXPECT_EQ(status.Color(), kStatusBlack);
    EXPECT_EQ(status.FontSize(), kStatusFontLarge);
    // The port stays open for the operation.
    EXPECT_EQ(ports.Events(), (Lines{"open 2", "dtr 2", "close 2", "open 5", "dtr 5"}));
    EXPECT_TRUE(ports.IsOpen());
    ASSERT_EQ(radio.Log().size(), 2u);  // the check, unrepeated, and the identify
    EXPECT_EQ(radio.Log()[1].kind, FrameKind::Identify);
    ASSERT_EQ(frames.PortProblems().size(), 2u);
    EXPECT_EQ(frames.PortProblems()[0].number, 3);
    EXPECT_EQ(frames.PortProblems()[1].number, 4);
    EXPECT_EQ(frames.PortProblems()[1].reason, "Device or resource busy");
}

TEST_F(DetectTest, EveryOperationSearchesAgainFromTheFirstPort) {
    sim::RadioSimEngine first(sim::MakeRadio(12, 16, false));
    ports.AttachRadio(1, first);
    ports.AttachRadio(3, radio);
    frames.SetPorts({1, 3});
    first.Options().silent = true;
    EXPECT_TRUE(frames.ConnectRadio());
    EXPECT_EQ(frames.DetectedBand(), 9);
    frames.ClosePort();
    first.Options().silent = false;
    ports.ClearRecords();
    EXPECT_TRUE(frames.ConnectRadio());
    EXPECT_EQ(frames.DetectedBand(), 12);
    EXPECT_EQ(ports.Events(), (Lines{"open 1", "dtr 1"}));

    // Within an operation the open port is only checked again.
    ports.ClearRecords();
    first.ClearLog();
    frames.DetectRadio();
    EXPECT_TRUE(ports.Events().empty());
    ASSERT_EQ(first.Log().size(), 2u);
    EXPECT_EQ(first.Log()[0].kind, FrameKind::Check);
}

TEST_F(DetectTest, SilentPortsCostOneCheckTimeOutEachAndTheScanAfterwardsAddsNewOnes) {
    ports.AddEmptyPort(1);
    ports.AddEmptyPort(2);
    ports.AddEmptyPort(3);
    frames.SetPorts({2, 3});
    const std::int64_t start = clock.NowUs();
    EXPECT_FALSE(frames.DetectRadio());
    // Per port: 0.1 s settling, the 2 ms pause after the letter, the 25 ms time-out. The
    // scan after the failed search adds COM1, which is searched too; the others not again.
    EXPECT_EQ(clock.NowUs() - start, 3 * (100'000 + 2'000 + 25'000));
    EXPECT_EQ(frames.Ports(), (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(frames.DetectedBand());
    EXPECT_EQ(status.Text(), "Not detected");
    EXPECT_EQ(status.Color(), kStatusRed);
    EXPECT_FALSE(ports.IsOpen());

    // None listed at start-up, or a radio on a port that was empty then: found without asking.
    ports.AttachRadio(1, radio);
    for (const std::vector<int>& listed : {std::vector<int>{}, std::vector<int>{2}}) {
        frames.SetPorts(listed);
        EXPECT_TRUE(frames.ConnectRadio());
        EXPECT_EQ(frames.Ports().size(), 3u);
        frames.ClosePort();
    }
}

// A band the program does not know is "unknow Radio"; a failed identify is no radio, but the
// port that answered the check stays open.
TEST_F(DetectTest, TheIdentifyAnswerDecidesWhatWasDetected) {
    for (const int band : {0, 13, 255, -1}) {  // -1: the answer comes one byte short
        if (band < 0) {
            radio.AddFault({FaultKind::Short, FrameKind::Identify});
        } else {
            radio.Memory().band = static_cast<std::uint8_t>(band);
        }
        const auto detected = frames.DetectRadio();
        EXPECT_EQ(detected, band < 0 ? std::nullopt : std::optional(band));
        EXPECT_EQ(frames.DetectedBand(), detected);
        EXPECT_EQ(status.Text(), band < 0 ? "Not detected" : "unknow Radio detected");
        EXPECT_TRUE(ports.IsOpen());
        frames.ClosePort();
    }
}

TEST_F(DetectTest, AnEmptyPortListIsScannedAgainAndStillEmptyReportedWithItsReasons) {
    ports.AddBusyPort(1);
    frames.SetPorts({});
    prompter.Expect("AvailableRS232 port was not detected !", Answer::Ok);
    EXPECT_FALSE(frames.DetectRadio());
    const Message& asked = prompter.Asked().at(0);
    EXPECT_EQ(asked.title, "Comm Port Error");
    EXPECT_EQ(asked.icon, Icon::Stop);
    EXPECT_EQ(asked.buttons, Buttons::Ok);
    EXPECT_EQ(asked.detail, "COM1 sim:COM1: Device or resource busy");
    EXPECT_TRUE(status.history.empty());
}

TEST_F(DetectTest, ConnectRadioAsksUntilTheRadioAnswersOrTheUserStops) {
    const std::string question = "Connecting Err !  Make sure the connection is OK\n\rTry Again ?";
    radio.Options().silent = true;
    prompter.Expect(question, Answer::Yes).Expect(question, Answer::No);
    EXPECT_FALSE(frames.ConnectRadio());
    EXPECT_FALSE(frames.DetectedBand());
    EXPECT_FALSE(ports.IsOpen());
    const Message& asked = prompter.Asked().at(0);
    EXPECT_EQ(asked.buttons, Buttons::YesNo);
    EXPECT_EQ(asked.icon, Icon::Question);
    EXPECT_EQ(asked.title, kMainWindowCaption);
    EXPECT_EQ(CountFrames(FrameKind::Check), 2u);

    // The question carries the caption it is given; Yes tries again.
    frames.SetCaption("C:\\RADIOS\\SHOP.CFG");
    prompter.Expect(question, Answer::Yes);
    radio.Options().silent = false;
    radio.AddFault({FaultKind::Drop, FrameKind::Check});
    EXPECT_TRUE(frames.ConnectRadio());
    EXPECT_TRUE(frames.DetectedBand());
    EXPECT_EQ(prompter.Asked().at(2).title, "C:\\RADIOS\\SHOP.CFG");
    EXPECT_TRUE(prompter.Done());
}

// Radio > Port's Test: check and identify on the one port asked for, whatever the port list
// holds; each outcome within the commands' time-outs and with the port closed again. Every
// identify, a detection's too, tells the hook what it found; a failed test tells it only on
// the port where the radio was identified.
TEST_F(DetectTest, TestingAPortIdentifiesItsRadioOrSaysWhyNotAndClosesIt) {
    sim::RadioSimEngine mute(sim::MakeRadio(10, 16, false));
    mute.AddFault({FaultKind::Short, FrameKind::Identify, 0, -1});
    ports.AddEmptyPort(2);
    ports.AddBusyPort(3);
    ports.AttachRadio(4, mute);
    frames.SetPorts({2});
    std::vector<std::string> told;
    frames.SetIdentifyHook([&](const std::optional<SeenRadio>& seen) {
        told.push_back(seen ? seen->device + " " + std::to_string(seen->band) : "none");
    });
    using Outcome = PortTest::Outcome;
    struct Case {
        int number;
        Outcome outcome;
        std::optional<int> band;
        std::int64_t costUs;  // settling, letter pause, time-outs; 0 when it does not open
        Lines told;
    };
    const std::int64_t quiet = 5'000;  // after each complete answer
    // The check's answer comes within the pause after its letter, identify's 1 ms after it.
    const std::int64_t answer = radio.Options().answerDelayUs;
    const std::vector<Case> cases = {
        {1, Outcome::Identified, 9, 100'000 + 2 * (2'000 + quiet) + answer, {"sim:COM1 9"}},
        {2, Outcome::NoAnswer, std::nullopt, 100'000 + 2'000 + 25'000, {}},
        {3, Outcome::NotOpened, std::nullopt, 0, {}},
        {5, Outcome::NotOpened, std::nullopt, 0, {}},
        {4, Outcome::NotIdentified, std::nullopt, 100'000 + 2 * 2'000 + quiet + 50'000, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        told.clear();
        ports.ClearRecords();
        const std::int64_t start = clock.NowUs();
        const PortTest test = frames.TestPort(c.number);
        EXPECT_EQ(test.outcome, c.outcome);
        EXPECT_EQ(test.number, c.number);
        EXPECT_EQ(test.band, c.band);
        EXPECT_EQ(clock.NowUs() - start, c.costUs);
        EXPECT_EQ(told, c.told);
        EXPECT_FALSE(ports.IsOpen());
        if (c.outcome != Outcome::NotOpened) {
            const std::string n = std::to_string(c.number);
            EXPECT_EQ(ports.Events(), (Lines{"open " + n, "dtr " + n, "close " + n}));
        }
    }
    const PortTest busy = frames.TestPort(3);
    EXPECT_EQ(busy.device, "sim:COM3");
    EXPECT_EQ(busy.problem.code, EBUSY);
    // The port list is left as it was.
    EXPECT_EQ(frames.Ports(), (std::vector<int>{2}));

    // The radio gone from its port: the test says so; then a detection finds it elsewhere.
    radio.Options().silent = true;
    told.clear();
    EXPECT_EQ(frames.TestPort(1).outcome, Outcome::NoAnswer);
    EXPECT_EQ(told, (Lines{"none"}));
    frames.SetPorts({1, 4});
    EXPECT_FALSE(frames.DetectRadio());  // COM4 answers the check, but identifies as nothing
    frames.ClosePort();
    radio.Options().silent = false;
    EXPECT_TRUE(frames.DetectRadio());
    frames.ClosePort();
    // The fleet's look for the next radio tells too.
    radio.Options().silent = true;
    EXPECT_FALSE(frames.PollRadio());
    EXPECT_EQ(told, (Lines{"none", "none", "sim:COM1 9", "none"}));
    EXPECT_TRUE(prompter.Done());
}

TEST_F(DetectTest, TheTraceShowsEachByteFrameTimeOutAndRetryAtItsTime) {
    std::ostringstream text;
    LinkTrace trace(text);
    frames.SetTrace(&trace);
    radio.Options().byteTimeUs = sim::kByteTimeUs;
    radio.AddFault({FaultKind::WrongCheck, FrameKind::Check});
    radio.AddFault({FaultKind::Short, FrameKind::Identify});
    frames.DetectRadio();
    frames.ClosePort();

    // 4.166 ms a byte on the wire, the radio's 1 ms before it answers, the 2 ms pause after
    // the letter, 5 ms of quiet after each answer, and the 50 ms time-out of the identify.
    EXPECT_TRUE(test::MatchesGolden(text.str(), "link/data/detect_trace.txt"));
}

using ParamsTest = test::LinkTest;
using Traffic = std::vector<std::string>;

// A read asks index after index within its page; a write wraps within its page, and an
// unanswered write is not repeated: the next follows. Each block is a connection of its own.
TEST_F(ParamsTest, BlocksGoIndexAfterIndexAndAnUnansweredWriteIsNotRepeated) {
    const auto ids = params.ReadIdentification();
    ASSERT_TRUE(ids);
    EXPECT_EQ(ids->firmwareVersion + " " + ids->maskDate, "V1.20 May-20-2003");
    EXPECT_EQ(Params(), (Traffic{"I 02 20", "I 02 21", "I 02 22", "I 02 23", "I 02 24"}));
    radio.AddFault({FaultKind::Drop, FrameKind::WriteParam, 0, -1});
    EXPECT_EQ(params.WriteParams(1, 0xFE, Bytes{7, 8, 9}), LinkEnd::Failed);
    EXPECT_EQ(Params(), (Traffic{"O 01 FE 07", "O 01 FF 08", "O 01 00 09"}));
    EXPECT_EQ(ports.Events(), (Lines{"open 1", "dtr 1", "close 1", "open 1", "dtr 1", "close 1"}));

    // No radio at all: nothing is sent, and the user's No gives up.
    radio.Options().silent = true;
    prompter.Then(Answer::No).Then(Answer::No);
    EXPECT_EQ(params.WriteParams(0, 0, Bytes{0x40}), LinkEnd::Aborted);
    EXPECT_FALSE(params.WritePowerValue(0x40));
    EXPECT_FALSE(frames.DetectedBand());
    EXPECT_TRUE(Params().empty());
}

// Retry reads the whole block again from a new connection; a read-modify-write whose read
// failed writes nothing.
TEST_F(ParamsTest, AnUnansweredReadAsksToRetryTheWholeBlock) {
    radio.AddFault({FaultKind::Drop, FrameKind::ReadParam, 1, 1});
    prompter.Expect("Read Error !", Answer::Retry);
    const auto ids = params.ReadIdentification();
    ASSERT_TRUE(ids);
    EXPECT_EQ(ids->maskDate, "May-20-2003");
    const Message& asked = prompter.Asked()[0];
    EXPECT_EQ(std::tuple(asked.buttons, asked.icon, asked.title),
              std::tuple(Buttons::RetryCancel, Icon::Exclamation, std::string()));
    EXPECT_EQ(Params().size(), 2u + 5u);
    EXPECT_EQ(std::count(ports.Events().begin(), ports.Events().end(), "open 1"), 2);

    radio.AddFault({FaultKind::Drop, FrameKind::ReadParam});
    prompter.Expect("Read Error !", Answer::Cancel);
    EXPECT_FALSE(params.EnableVox());
    EXPECT_EQ(Params(), Traffic{"I 00 8E"});
    EXPECT_FALSE(ports.IsOpen());
    EXPECT_TRUE(prompter.Done());
}

}  // namespace
}  // namespace petrel
