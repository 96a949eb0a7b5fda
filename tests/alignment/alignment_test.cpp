// The alignment models against the in-process simulated radio on the virtual clock: what each
// set-up, measurement, key press and closing sends, and what lands in the tables.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "core/alignment/hardware_params.h"
#include "core/alignment/level_pair.h"
#include "core/alignment/tx_power.h"
#include "core/document/new_config.h"
#include "core/model/document_edit.h"
#include "core/model/info_page.h"
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
    // A 16-channel radio and its configuration (the same serial number): the tables go to
    // information page 1.
    AlignmentTest()
        : LinkTest(sim::MakeRadio(9, 16, false, kSerial)),
          slot(BuildNewConfiguration(workspace, 9, 16)) {
        Page().SerialNo = kSerial;
        tables = Page().Tables();
    }

    AlignmentContext Context() { return {workspace, link, prompter, clock, slot}; }
    RadioInfoPage& Page() { return workspace.At(slot).info; }
    std::size_t WrittenBlocks() const { return CountFrames(FrameKind::WriteBlock); }

    // The radio in alignment, as frmHard's Adjust leaves it.
    void Adjusted() {
        ASSERT_TRUE(params.WriteControl92());
        radio.ClearLog();
    }

    static constexpr const char* kSerial = "SN0012345678";
    int slot;
    InfoTables tables;  // a hardware dialog's, for the tuning dialogs opened alone
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
        auto model =
            members.contains(dialog)
                ? setUp(std::make_shared<LevelPairModel>(members.at(dialog), Context(), tables))
                : setUp(std::make_shared<TxPowerModel>(Context(), tables));
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
        TxPowerModel model(Context(), tables);
        EXPECT_FALSE(model.SetUp());
    }
    EXPECT_EQ(Params(), (Traffic{"O 00 B5 45", "O 00 B6 B0", "O 00 B7 40", "O 01 40 00",
                                 "O 02 10 AA", "O 02 11 0A"}));

    // A configuration of another band would tune the wrong frequency: nothing is set up.
    workspace.At(slot).state.Band = 6;
    prompter.Expect(BandMismatchText(9, 6), Answer::Ok);
    {
        LevelPairModel model(LevelMember::Squelch, Context(), tables);
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
    TestState aa(params, prompter, 0xAA);
    EXPECT_TRUE(aa.Leave());
    EXPECT_EQ(Params(), (Traffic{"O 02 10 AA", "O 02 11 0A", "O 02 10 AA", "O 02 11 0A"}));

    // Keyed in the transmit test when the radio goes: it may be transmitting.
    ASSERT_TRUE(params.WriteControl92() && params.WriteControlAD());
    params.WritePowerCode(kCodeKeyOn);
    radio.Options().silent = true;
    prompter.Expect(std::nullopt, Answer::No)
        .Expect(ClosingCodeFailedText(0x92, true), Answer::Cancel);
    TestState battery(params, prompter, 0x92);
    EXPECT_FALSE(battery.Leave());
    EXPECT_TRUE(battery.Left());
    EXPECT_TRUE(prompter.Done()) << prompter.Report();
    EXPECT_EQ(prompter.Asked().back().buttons, Buttons::RetryCancel);
}

TEST_F(AlignmentTest, HardwareOkChecksFieldByFieldThenWritesBothTablesAndLeaves) {
    HardwareModel model(Context());
    const InfoTables before = Page().Tables();
    EXPECT_EQ(model.values.fields[2], std::to_string(before.level[2]));
    model.values.fields = {"11", "12", "13", "14", "abc", "16", "17", "18"};
    int focused = -1;
    model.onChanged = [&] { focused = model.focusField; };
    prompter.Expect(kDataErrorText, Answer::Retry);
    EXPECT_EQ(model.Ok(), OkResult::Stay);
    EXPECT_EQ(focused, 4);
    EXPECT_EQ(prompter.Asked()[0].title, "Battery Low Alarm");
    EXPECT_EQ(prompter.Asked()[0].icon, Icon::Stop);
    EXPECT_EQ(prompter.Asked()[0].buttons, Buttons::RetryCancel);
    // The fields before it are in the window's tables; the document has nothing of them yet.
    const InfoTable& level = model.Tables().level;
    EXPECT_EQ((std::vector<int>(level.begin(), level.begin() + 4)),
              (std::vector<int>{11, 12, 13, 14}));
    EXPECT_NE(level[6], 16);
    EXPECT_EQ(Page().Tables(), before);
    EXPECT_TRUE(radio.Log().empty());

    model.values.fields[4] = "255";
    model.values.powerSaveTime = 9;     // "200mS"
    model.values.priorityScanTime = 0;  // "20mS"
    model.values.priorScanRate = 3;
    model.values.normalRate = 12;
    model.Tables().power[15] = 0x5A;
    // A block without answer ends the write: the window stays and says the tables were not
    // written.
    radio.AddFault({FaultKind::Drop, FrameKind::WriteBlock, 1, 1});
    prompter.Expect(kTablesNotWrittenText, Answer::Ok);
    EXPECT_EQ(model.Ok(), OkResult::Stay);
    EXPECT_EQ(WrittenBlocks(), 2u);  // the power table did not follow
    EXPECT_EQ(Page().Tables(), before);
    radio.ClearLog();
    // Written, the tables become the document's as one change of its history.
    std::vector<DocumentChange> recorded;
    workspace.At(slot).changes.record = [&](DocumentChange c) { recorded.push_back(c); };
    EXPECT_EQ(model.Ok(), OkResult::Stored);
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].tables, before);
    EXPECT_TRUE(workspace.At(slot).state.Dirty);
    EXPECT_EQ(
        (std::vector<int>{Page().LevelTable[6], Page().LevelTable[10], Page().LevelTable[11]}),
        (std::vector<int>{255, 0x90, 0x3C}));
    // The radio's information page and the document's hold both tables; the level table went
    // first.
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

// The tables go only into the radio they belong to: the radio on the cable is read first. One
// of another band is refused; one whose serial number is not the configuration's (or where
// either has none) is written only after a Yes, No being the default.
TEST_F(AlignmentTest, HardwareOkWritesTheTablesOnlyIntoTheirOwnRadio) {
    const std::string otherRadio =
        "This radio (serial UHF000000042) is not the one these tables "
        "were read from (serial SN0012345678). Write them anyway?";
    const struct {
        int band;
        const char* radioSerial;
        const char* tablesSerial;
        std::string message;  // "" when nothing is said
        Answer answer;
        bool written;
    } cases[] = {
        {9, kSerial, kSerial, "", Answer::Ok, true},
        {10, kSerial, kSerial, BandMismatchText(10, 9), Answer::Ok, false},
        {9, "UHF000000042", kSerial, otherRadio, Answer::No, false},
        {9, "UHF000000042", kSerial, otherRadio, Answer::Yes, true},
        {9, "", kSerial,
         "This radio (no serial number) is not the one these tables were read from (serial "
         "SN0012345678). Write them anyway?",
         Answer::No, false},
        {9, "UHF000000042", "",
         "This radio (serial UHF000000042) may not be the one these tables were read from: the "
         "configuration has no serial number. Write them anyway?",
         Answer::No, false},
        {9, "", "",
         "Neither this radio nor the configuration has a serial number: whether these tables "
         "were read from this radio cannot be told. Write them anyway?",
         Answer::Yes, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        radio.Memory() = sim::MakeRadio(c.band, 16, false, c.radioSerial);
        radio.ClearLog();
        Page().SerialNo = c.tablesSerial;
        HardwareModel model(Context());
        model.values.fields[7] = "99";  // VOX Low: level table 9
        if (!c.message.empty()) {
            prompter.Expect(c.message, c.answer);
        }
        EXPECT_EQ(model.Ok() == OkResult::Stored, c.written);
        EXPECT_EQ(WrittenBlocks(), c.written ? 7u : 0u);
        EXPECT_EQ(radio.Memory().Info(kInfoLevelTable + 9) == 99, c.written);
        ASSERT_TRUE(prompter.Done()) << prompter.Report();
    }
    for (const Message& asked : prompter.Asked()) {
        if (asked.buttons == Buttons::YesNo) {
            EXPECT_EQ(asked.defaultButton, Answer::No);
        }
    }
    // A radio that does not answer: nothing can be checked, nothing is written.
    radio.ClearLog();
    radio.Options().silent = true;
    prompter.Expect(std::nullopt, Answer::No).Expect(kSerialUnreadText, Answer::Ok);
    HardwareModel model(Context());
    EXPECT_EQ(model.Ok(), OkResult::Stay);
    EXPECT_EQ(WrittenBlocks(), 0u);
    prompter.Then(Answer::No);  // its closing code finds no radio either
}

// A table write that does not complete (a block not answered, or read back otherwise) may
// leave part of the new tables in the radio: CANCEL says so, and the configuration takes the
// tables the radio may now hold, marked changed.
TEST_F(AlignmentTest, HardwareCancelAfterAnIncompleteWriteKeepsWhatTheRadioMayHold) {
    for (const FaultKind fault : {FaultKind::Drop, FaultKind::BadReadback}) {
        SCOPED_TRACE(fault == FaultKind::Drop ? "no answer" : "read back otherwise");
        Page().SetTables(tables);
        workspace.At(slot).state.Dirty = false;
        HardwareModel model(Context());
        model.values.fields[6] = "77";                         // VOX High: level table 8
        radio.AddFault({fault, FrameKind::WriteBlock, 4, 1});  // the power table's second block
        if (fault == FaultKind::BadReadback) {
            prompter.Expect("Write Error !", Answer::Ok);
        }
        prompter.Expect(kTablesNotWrittenText, Answer::Ok);
        EXPECT_EQ(model.Ok(), OkResult::Stay);
        EXPECT_EQ(Page().Tables(), tables);
        EXPECT_EQ(radio.Memory().Info(kInfoLevelTable + 8), 77);  // the level table went in
        radio.ClearLog();
        prompter.Expect(kTablesInPartText, Answer::Ok);
        model.Cancel();
        EXPECT_EQ(Page().LevelTable[8], 77);
        EXPECT_EQ(Page().InfoWords[kInfoLevelTable + 8], 77);
        EXPECT_TRUE(workspace.At(slot).state.Dirty);
        EXPECT_EQ(Params(), kLeaveTest);
        EXPECT_TRUE(prompter.Done()) << prompter.Report();
    }
}

TEST_F(AlignmentTest, HardwareCancelLeavesTheDocumentAsTheTuningDialogsFoundIt) {
    const RadioInfoPage before = Page();
    HardwareModel hard(Context());
    EXPECT_TRUE(hard.Adjust());
    {
        LevelPairModel battery(LevelMember::Battery, Context(), hard.Tables());
        battery.MoveBar(0, 99);
        EXPECT_EQ(battery.Ok(), OkResult::Stored);
    }
    EXPECT_EQ(hard.Tables().level[6], 99);
    hard.ShowTuned(Adjustment::Battery);
    EXPECT_EQ(hard.values.fields[4], "99");
    radio.ClearLog();
    hard.Cancel();
    EXPECT_EQ(Page().Tables(), before.Tables());
    EXPECT_EQ(Page().InfoWords, before.InfoWords);
    EXPECT_FALSE(workspace.At(slot).state.Dirty);
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
        LevelPairModel model(member, Context(), tables);
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
    LevelPairModel squelch(LevelMember::Squelch, Context(), tables);
    const std::string before = squelch.boxes[0];
    EXPECT_FALSE(squelch.AutoTune(0));
    EXPECT_EQ(squelch.boxes[0], before);
    EXPECT_EQ(Params().size(), 3u);

    // OK: the tight value into elements 2 and 0, the normal one into 3 and 1.
    squelch.boxes = {"33", "22"};
    EXPECT_EQ(squelch.Ok(), OkResult::Stored);
    EXPECT_EQ((std::vector<int>(tables.level.begin(), tables.level.begin() + 4)),
              (std::vector<int>{33, 22, 33, 22}));
    EXPECT_TRUE(prompter.Done());
}

TEST_F(AlignmentTest, BatteryReadsEveryHalfSecondUntilTwoReadingsAgreeOrTwentyDoNot) {
    radio.SetMeasurement(2, 0x07, {{120, 121, 121}});
    LevelPairModel model(LevelMember::Battery, Context(), tables);
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
    const auto levels = tables.level;
    EXPECT_EQ(model.Ok(), OkResult::Cancelled);
    EXPECT_EQ(prompter.Asked().back().title, "Battery Over Alert");
    EXPECT_EQ(model.boxes[1], std::to_string(model.bars[1]));
    EXPECT_EQ(tables.level, levels);
    EXPECT_EQ(Params(), kBackToAlignment);
    EXPECT_TRUE(prompter.Done());
}

TEST_F(AlignmentTest, KeyButtonsKeySwitchAndReleaseTheTransmitter) {
    radio.Memory().params[0][0x0A] = 0x41;
    Adjusted();
    TxPowerModel model(Context(), tables);
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
    TxPowerModel model(Context(), tables);
    ASSERT_TRUE(model.SetUp());
    model.boxes = {"120", "40"};
    model.PressKey(PowerLevel::High);
    Params();
    EXPECT_EQ(model.Ok(), OkResult::Stored);
    for (std::size_t i = 4; i < 12; ++i) {
        const int expected = i < 8 ? 120 : 40;
        EXPECT_EQ(tables.power[i], expected) << i;
    }
    // Left keyed: 0xAA alone ends the test and the carrier.
    EXPECT_EQ(Params(), kLeaveTest);
    EXPECT_FALSE(radio.Activity().transmitting);
    EXPECT_EQ(radio.Activity().mode, TestMode::Normal);
}

}  // namespace
}  // namespace petrel
