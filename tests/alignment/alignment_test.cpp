// The alignment models against the in-process simulated radio on the virtual clock: what each
// set-up, measurement, key press and closing sends, and what lands in the tables.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "alignment/hardware_params.h"
#include "alignment/level_pair.h"
#include "alignment/tx_power.h"
#include "document/info_page.h"
#include "document/new_config.h"
#include "link/link_fixture.h"
#include "support/golden.h"

namespace petrel {
namespace {

using Traffic = std::vector<std::string>;
using sim::FaultKind;
using sim::FrameKind;
using sim::TestMode;

// The closing codes as the radio receives them.
const Traffic kLeaveTest = {"O 02 10 AA", "O 02 11 0A"};
const Traffic kBackToAlignment = {"O 02 10 92", "O 02 11 0A"};

class AlignmentTest : public test::LinkTest {
  protected:
    // A 16-channel radio and configuration: the tables go to information page 1.
    AlignmentTest()
        : LinkTest(sim::MakeRadio(9, 16, false)), slot(BuildNewConfiguration(state, 9, 16)) {}

    AlignmentContext Context() { return {state, link, prompter, clock, slot}; }
    RadioInfoPage& Page() { return state.workspace.At(slot).info; }

    // The radio in alignment, as frmHard's Adjust leaves it.
    void Adjusted() {
        ASSERT_TRUE(link.WriteControl92());
        radio.ClearLog();
    }

    int slot;
};

TEST(CheckLevelText, TakesWholeNumbersBelow256Only) {
    const std::pair<const char*, std::optional<std::uint8_t>> cases[] = {
        {"255", 255}, {"0", 0},   {" 7 ", 7},   {"0255", 255}, {"256", {}},         {"abc", {}},
        {"", {}},     {"-5", {}}, {"12.5", {}}, {"1e2", {}},   {"99999999999", {}}, {"1 2", {}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(CheckLevelText(text), expected) << '"' << text << '"';
    }
}

// The set-ups of data/set_ups.txt, each closed without OK or CANCEL: the closing code all the same.
TEST_F(AlignmentTest, EachSetUpSendsItsWritesInOrderAndEachClosingCodeLeavesIt) {
    radio.Memory().params[0][0x8E] = 0x30;
    const auto sent = [this](const std::string& dialog) {
        Adjusted();
        std::string caption;
        const auto setUp = [&](auto model) {
            EXPECT_TRUE(model->SetUp()) << dialog;
            caption = model->caption;
            return std::shared_ptr<void>(model);
        };
        const std::map<std::string, LevelMember> members = {{"squelch", LevelMember::Squelch},
                                                            {"VOX", LevelMember::Vox},
                                                            {"battery", LevelMember::Battery}};
        auto model = members.contains(dialog)
                         ? setUp(std::make_shared<LevelPairModel>(members.at(dialog), Context()))
                         : setUp(std::make_shared<TxPowerModel>(Context()));
        const auto frames = [this] {
            std::string text;
            for (const std::string& frame : Params()) {
                text += frame + ", ";
            }
            return text + TestModeName(radio.Activity().mode);
        };
        const std::string during = frames();
        model.reset();
        return "\"" + caption + "\": " + during + "; closed: " + frames();
    };
    EXPECT_TRUE(test::MatchesTranscript("alignment/data/set_ups.txt", sent));
    EXPECT_TRUE(prompter.Asked().empty());
}

TEST_F(AlignmentTest, AHalfMadeSetUpStopsAndLeavesTheTestState) {
    // The reference write goes unanswered: 0xAD must not follow, the test state is left.
    Adjusted();
    radio.AddFault({FaultKind::Drop, FrameKind::WriteParam, 3, 1});
    prompter.Expect(kSetUpFailedText, Answer::Ok);
    {
        TxPowerModel model(Context());
        EXPECT_FALSE(model.SetUp());
    }
    EXPECT_EQ(Params(), (Traffic{"O 00 B5 45", "O 00 B6 B0", "O 00 B7 40", "O 01 40 00",
                                 "O 02 10 AA", "O 02 11 0A"}));

    // A configuration of another band would tune the wrong frequency: nothing is set up.
    state.workspace.At(slot).state.Band = 6;
    prompter.Expect(BandMismatchText(9, 6), Answer::Ok);
    {
        LevelPairModel model(LevelMember::Squelch, Context());
        EXPECT_FALSE(model.SetUp());
    }
    EXPECT_EQ(Params(), kLeaveTest);
    EXPECT_TRUE(prompter.Done());
}

TEST_F(AlignmentTest, AnUnansweredClosingCodeSaysWhatTheRadioMayStillBeDoing) {
    // The hardware window opened and cancelled without a radio: no test code reached one, so
    // only the connection question comes.
    radio.Options().silent = true;
    prompter.Expect(std::nullopt, Answer::No);  // "Connecting Err"
    HardwareModel(Context()).Cancel();
    EXPECT_TRUE(prompter.Done()) << prompter.Report();
    radio.Options().silent = false;

    // In alignment the question comes, and Retry sends the code again.
    Adjusted();
    radio.AddFault({FaultKind::Drop, FrameKind::WriteParam, 0, 2});
    prompter.Expect(ClosingCodeFailedText(0xAA, false), Answer::Retry);
    TestState aa(link, prompter, 0xAA);
    EXPECT_TRUE(aa.Leave());
    EXPECT_EQ(Params(), (Traffic{"O 02 10 AA", "O 02 11 0A", "O 02 10 AA", "O 02 11 0A"}));

    // Keyed in the transmit test when the radio goes: it may be transmitting.
    ASSERT_TRUE(link.WriteControl92() && link.WriteControlAD());
    link.WritePowerCode(kCodeKeyOn);
    radio.Options().silent = true;
    prompter.Expect(std::nullopt, Answer::No)
        .Expect(ClosingCodeFailedText(0x92, true), Answer::Cancel);
    TestState battery(link, prompter, 0x92);
    EXPECT_FALSE(battery.Leave());
    EXPECT_TRUE(battery.Left());
    EXPECT_TRUE(prompter.Done()) << prompter.Report();
    EXPECT_EQ(prompter.Asked().back().buttons, Buttons::RetryCancel);
}

TEST_F(AlignmentTest, HardwareOkChecksFieldByFieldThenWritesBothTablesAndLeaves) {
    HardwareModel model(Context());
    EXPECT_EQ(model.values.fields[2], std::to_string(Page().LevelTable[2]));
    model.values.fields = {"11", "12", "13", "14", "abc", "16", "17", "18"};
    int focused = -1;
    model.onChanged = [&] { focused = model.focusField; };
    prompter.Expect(kDataErrorText, Answer::Retry);
    EXPECT_EQ(model.Ok(), OkResult::Stay);
    EXPECT_EQ(focused, 4);
    EXPECT_EQ(prompter.Asked()[0].title, "Battery Low Alarm");
    EXPECT_EQ(prompter.Asked()[0].icon, Icon::Stop);
    EXPECT_EQ(prompter.Asked()[0].buttons, Buttons::RetryCancel);
    EXPECT_EQ((std::vector<int>(Page().LevelTable.begin(), Page().LevelTable.begin() + 4)),
              (std::vector<int>{11, 12, 13, 14}));
    EXPECT_NE(Page().LevelTable[6], 16);
    EXPECT_TRUE(radio.Log().empty());

    model.values.fields[4] = "255";
    model.values.powerSaveTime = 9;     // "200mS"
    model.values.priorityScanTime = 0;  // "20mS"
    model.values.priorScanRate = 3;
    model.values.normalRate = 12;
    Page().PowerTable[15] = 0x5A;
    // A block without answer: the dialog stays and says the tables were not written.
    radio.AddFault({FaultKind::Drop, FrameKind::WriteBlock, 1, 1});
    prompter.Expect(kTablesNotWrittenText, Answer::Ok);
    EXPECT_EQ(model.Ok(), OkResult::Stay);
    EXPECT_EQ(CountFrames(FrameKind::WriteBlock), 3u);  // the power table did not follow
    radio.ClearLog();
    EXPECT_EQ(model.Ok(), OkResult::Stored);
    EXPECT_TRUE(state.workspace.At(slot).state.Dirty);
    EXPECT_EQ(
        (std::vector<int>{Page().LevelTable[6], Page().LevelTable[10], Page().LevelTable[11]}),
        (std::vector<int>{255, 0x90, 0x3C}));
    // The radio's information page and the program's copy hold both tables; the level table
    // went first.
    for (std::size_t i = 0; i < kTableSize; ++i) {
        if (i < 12) {
            EXPECT_EQ(radio.Memory().Info(kInfoLevelTable + i), Page().LevelTable[i]) << i;
        }
        EXPECT_EQ(radio.Memory().Info(kInfoPowerTable + i), Page().PowerTable[i]) << i;
        EXPECT_EQ(Page().InfoWords[kInfoLevelTable + i], Page().LevelTable[i]) << i;
    }
    std::string writes;
    for (const auto& frame : radio.Log()) {
        writes += frame.kind == FrameKind::WriteBlock ? std::to_string(frame.request[2]) + " " : "";
    }
    EXPECT_EQ(writes, "240 244 248 192 196 200 204 ");
    EXPECT_EQ(Params(), kLeaveTest);
    EXPECT_TRUE(prompter.Done());
}

TEST_F(AlignmentTest, HardwareCancelPutsBackWhatTheTuningDialogsChanged) {
    const auto levels = Page().LevelTable;
    const auto info = Page().InfoWords;
    HardwareModel hard(Context());
    EXPECT_TRUE(hard.Adjust());
    {
        LevelPairModel battery(LevelMember::Battery, Context());
        battery.MoveBar(0, 99);
        EXPECT_EQ(battery.Ok(), OkResult::Stored);
    }
    EXPECT_EQ(Page().LevelTable[6], 99);
    EXPECT_EQ(Page().InfoWords[kInfoLevelTable + 6], 99);
    hard.ShowTuned(Adjustment::Battery);
    EXPECT_EQ(hard.values.fields[4], "99");
    radio.ClearLog();
    hard.Cancel();
    EXPECT_EQ(Page().LevelTable, levels);
    EXPECT_EQ(Page().InfoWords, info);
    EXPECT_EQ(Params(), kLeaveTest);

    // With no radio the Adjust buttons open nothing.
    radio.Options().silent = true;
    prompter.Then(Answer::No);
    HardwareModel again(Context());
    EXPECT_FALSE(again.Adjust());
    prompter.Then(Answer::No).Then(Answer::Cancel);  // its closing code, unanswered
}

TEST_F(AlignmentTest, SquelchAndVoxAverageFiveReadingsRounded) {
    // The member, the page and index of its reading, the five readings, the box after.
    const std::tuple<LevelMember, std::uint8_t, std::uint8_t, std::vector<std::uint8_t>,
                     const char*>
        cases[] = {{LevelMember::Squelch, 1, 0xA4, {40, 41, 41, 42, 41}, "41"},
                   {LevelMember::Squelch, 1, 0xA4, {40, 40, 41, 41, 41}, "41"},  // 40.6
                   {LevelMember::Vox, 2, 0x06, {70, 70, 70, 71, 71}, "70"}};     // 70.4
    for (const auto& [member, page, index, readings, expected] : cases) {
        radio.SetMeasurement(page, index, {readings});
        LevelPairModel model(member, Context());
        EXPECT_TRUE(model.AutoTune(1));
        EXPECT_EQ(model.boxes[1], expected);
        EXPECT_EQ(model.bars[1], std::stoi(expected));
        EXPECT_EQ(Params(), Traffic(5, page == 1 ? "I 01 A4" : "I 02 06"));
        model.Cancel();
        Params();
    }

    // A reading not answered: "Read Error !", Cancel, and the box keeps its value.
    radio.AddFault({FaultKind::Drop, FrameKind::ReadParam, 2, 1});
    prompter.Expect("Read Error !", Answer::Cancel);
    LevelPairModel squelch(LevelMember::Squelch, Context());
    const std::string before = squelch.boxes[0];
    EXPECT_FALSE(squelch.AutoTune(0));
    EXPECT_EQ(squelch.boxes[0], before);
    EXPECT_EQ(Params().size(), 3u);

    // OK: the tight value into elements 2 and 0, the normal one into 3 and 1.
    squelch.boxes = {"33", "22"};
    EXPECT_EQ(squelch.Ok(), OkResult::Stored);
    EXPECT_EQ((std::vector<int>(Page().LevelTable.begin(), Page().LevelTable.begin() + 4)),
              (std::vector<int>{33, 22, 33, 22}));
    EXPECT_TRUE(prompter.Done());
}

TEST_F(AlignmentTest, BatteryReadsEveryHalfSecondUntilTwoReadingsAgreeOrTwentyDoNot) {
    radio.SetMeasurement(2, 0x07, {{120, 121, 121}});
    LevelPairModel model(LevelMember::Battery, Context());
    const std::int64_t start = clock.NowMs();
    EXPECT_TRUE(model.AutoTune(0));
    EXPECT_GE(clock.NowMs() - start, 1000);
    EXPECT_EQ(model.boxes[0], "121");
    EXPECT_EQ(Params(), Traffic(3, "I 02 07"));

    radio.SetMeasurement(2, 0x07, {{118, 119}, true});
    prompter.Expect(kBatteryUnsettledText, Answer::Ok);
    EXPECT_FALSE(model.AutoTune(1));
    EXPECT_EQ(model.boxes[1], std::to_string(model.defaults[1]));
    EXPECT_EQ(Params().size(), static_cast<std::size_t>(kBatteryReadingLimit));

    // Bad text in a box: the bar's value comes back into it, and CANCEL leaves the table.
    model.boxes[1] = "300";
    prompter.Expect(kDataErrorText, Answer::Cancel);
    const auto levels = Page().LevelTable;
    EXPECT_EQ(model.Ok(), OkResult::Cancelled);
    EXPECT_EQ(prompter.Asked().back().title, "Battery Over Alert");
    EXPECT_EQ(model.boxes[1], std::to_string(model.bars[1]));
    EXPECT_EQ(Page().LevelTable, levels);
    EXPECT_EQ(Params(), kBackToAlignment);
    EXPECT_TRUE(prompter.Done());
}

TEST_F(AlignmentTest, KeyButtonsKeySwitchAndReleaseTheTransmitter) {
    radio.Memory().params[0][0x0A] = 0x41;
    Adjusted();
    TxPowerModel model(Context());
    ASSERT_TRUE(model.SetUp());
    Params();
    model.boxes = {"120", "40"};

    model.PressKey(PowerLevel::High);
    EXPECT_EQ(Params(),
              (Traffic{"O 02 10 AB", "O 00 00 00", "I 00 0A", "O 00 0A 01", "O 00 00 78"}));
    EXPECT_TRUE(radio.Activity().transmitting);
    EXPECT_EQ(radio.Activity().power, 120);

    // Low while high is keyed: keyed again with the previous value, then the low one.
    model.PressKey(PowerLevel::Low);
    EXPECT_EQ(Params(),
              (Traffic{"O 02 10 AB", "O 00 00 78", "I 00 0A", "O 00 0A 01", "O 00 00 28"}));
    EXPECT_TRUE(model.Keyed(PowerLevel::Low));
    EXPECT_EQ(radio.Activity().power, 40);

    // Only the keyed level's bar moves, and each move is sent at once.
    model.MoveBar(PowerLevel::High, 130);
    EXPECT_EQ(model.bars[0], 120);
    model.MoveBar(PowerLevel::Low, 45);
    EXPECT_EQ(model.boxes[1], "45");
    EXPECT_EQ(Params(), (Traffic{"O 00 00 2D"}));
    // A write without answer: bar and box stay on the last value the radio took, and that
    // value goes out again in case the lost one landed.
    radio.AddFault({FaultKind::Drop, FrameKind::WriteParam, 0, 1});
    model.MoveBar(PowerLevel::Low, 60);
    EXPECT_TRUE(model.TxFail);
    EXPECT_EQ(model.bars[1], 45);
    EXPECT_EQ(model.boxes[1], "45");
    EXPECT_EQ(Params(), (Traffic{"O 00 00 3C", "O 00 00 2D"}));
    EXPECT_EQ(radio.Activity().power, 45);

    // Enter in a box of the keyed level sends it; bad text brings the bar's value back.
    model.boxes[1] = "50";
    model.EnterBox(PowerLevel::Low);
    EXPECT_EQ(Params(), (Traffic{"O 00 00 32"}));
    model.boxes[0] = "2x";
    prompter.Expect(kDataErrorText, Answer::Retry);
    model.EnterBox(PowerLevel::High);
    EXPECT_EQ(model.boxes[0], "120");
    EXPECT_TRUE(model.selectText);

    // A release the radio does not confirm keeps the level shown keyed; pressing again
    // sends it again.
    radio.AddFault({FaultKind::Drop, FrameKind::WriteParam, 0, 1});
    model.PressKey(PowerLevel::Low);
    EXPECT_TRUE(model.Keyed(PowerLevel::Low));
    Params();
    model.PressKey(PowerLevel::Low);
    EXPECT_EQ(Params(), (Traffic{"O 02 10 86", "I 00 0A", "O 00 0A 41", "O 00 00 00"}));
    EXPECT_FALSE(model.Keyed(PowerLevel::Low));
    EXPECT_FALSE(radio.Activity().transmitting);
    EXPECT_TRUE(prompter.Done());
}

TEST_F(AlignmentTest, PowerOkFillsBothHalvesOfThePowerTableAndEndsTheTest) {
    Adjusted();
    TxPowerModel model(Context());
    ASSERT_TRUE(model.SetUp());
    model.boxes = {"120", "40"};
    model.PressKey(PowerLevel::High);
    Params();
    EXPECT_EQ(model.Ok(), OkResult::Stored);
    for (std::size_t i = 4; i < 12; ++i) {
        const int expected = i < 8 ? 120 : 40;
        EXPECT_EQ(Page().PowerTable[i], expected) << i;
        EXPECT_EQ(Page().InfoWords[kInfoPowerTable + i], expected) << i;
    }
    // Left keyed: 0xAA alone ends the test and the carrier.
    EXPECT_EQ(Params(), kLeaveTest);
    EXPECT_FALSE(radio.Activity().transmitting);
    EXPECT_EQ(radio.Activity().mode, TestMode::Normal);
}

}  // namespace
}  // namespace petrel
