// The channel dialogs' models, the frequency box and the Edit menu's line commands.
#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <sstream>

#include "core/channels/channel_check.h"
#include "core/channels/channel_dialogs.h"
#include "core/channels/line_editing.h"
#include "core/model/authorization.h"
#include "core/model/channel_line.h"
#include "core/model/document_edit.h"
#include "core/model/freq_codec.h"
#include "core/model/radio_image.h"
#include "core/model/workspace.h"
#include "support/documents.h"
#include "support/golden.h"

namespace petrel {
namespace {

constexpr int kThreeDigitMhz = 10;  // 440-470 MHz
constexpr int kTwoDigitMhz = 9;     // 38.0-50.0 MHz

// A box text is "NONE" or the band's MHz digits, ".", six decimals.
bool OfBoxForm(const std::string& text, int width) {
    if (text == "NONE") {
        return true;
    }
    bool form = static_cast<int>(text.size()) == width;
    for (int i = 0; form && i < width; ++i) {
        form = i == width - 7 ? text[i] == '.' : std::isdigit(static_cast<unsigned char>(text[i]));
    }
    return form;
}

// Keys: digits type, B Backspace, D Delete, < > Left/Right, H Home, E End, A select all; any
// other character is typed as it is (and discarded). Returns whether the last key that edits
// asked for the box to be judged.
bool Press(FreqEntry& box, std::string_view keys) {
    void (FreqEntry::*const moves[])() = {&FreqEntry::Left, &FreqEntry::Right, &FreqEntry::Home,
                                          &FreqEntry::End, &FreqEntry::SelectAll};
    EntryResult last = EntryResult::Refused;
    for (const char key : keys) {
        if (const auto move = std::string_view("<>HEA").find(key); move != std::string::npos) {
            (box.*moves[move])();
        } else {
            last = key == 'B' ? box.Backspace() : key == 'D' ? box.Delete() : box.TypeDigit(key);
        }
    }
    return last == EntryResult::Judge;
}

TEST(CompleteFreq, CompletesOntoARasterTheRadioCanStore) {
    // "td" the 10 kHz and 1 kHz digits typed, "+" when the MHz digits begin with 1, then the
    // three digits completed, and "!" when that is a bad step.
    const char* const cases[] = {"70 000", "25 000",  "31 250",  "81 250",  "21 000!", "12 500",
                                 "62 500", "02 000!", "02+500",  "43 750",  "93 750",  "43+750",
                                 "06 250", "56 250",  "16+000!", "37 500",  "87 500",  "57 000!",
                                 "57+500", "18 750",  "68 750",  "28+000!", "04 000!", "99+000!"};
    for (const std::string expected : cases) {
        const bool one = expected[2] == '+';
        const Completion got = CompleteFreq(expected[0], expected[1], one);
        EXPECT_EQ(expected.substr(0, 3) + std::string(got.digits) + (got.badStep ? "!" : ""),
                  expected);
    }
    // Outside the 100-199 MHz exception every completion is on the raster check's pairs and
    // storable exactly when it is not a bad step.
    for (char t = '0'; t <= '9'; ++t) {
        for (char d = '0'; d <= '9'; ++d) {
            const Completion c = CompleteFreq(t, d, false);
            const std::string freq = std::string("446.0") + t + d + std::string(c.digits);
            EXPECT_EQ(OnRaster(freq), !c.badStep) << freq;
            EXPECT_EQ(StepIndex(FreqToHz(freq).value()) < 2, !c.badStep) << freq;
        }
    }
}

// Keys pressed in a box, from data/freq_box_keys.txt.
TEST(FreqEntry, TypingBackspaceAndCaretKeepTheBoxComplete) {
    const auto typed = [](const std::string& keys) {
        std::istringstream in(keys);
        int width = 0;
        std::string start;
        std::string pressed;
        in >> width >> start >> pressed;
        FreqEntry box(width);
        box.Load(start);
        const bool judge = Press(box, pressed);
        std::string shown = box.Text();
        shown.insert(box.Caret(), "|");
        return shown + (judge ? " judge" : "") + (box.BadStep() ? " bad" : "");
    };
    EXPECT_TRUE(test::MatchesTranscript("channels/data/freq_box_keys.txt", typed));
    // A click on the point puts the caret after it.
    FreqEntry box(kThreeDigitMhz);
    box.Load("446.006250");
    box.Click(3);
    EXPECT_EQ(box.Caret(), 4);

    // Whatever is pressed, the box holds nothing but NONE or a complete frequency.
    std::mt19937 random(8);
    const std::string keys = "0123456789BD<>HEAx";
    for (const int width : {kThreeDigitMhz, kTwoDigitMhz}) {
        FreqEntry any(width);
        for (int i = 0; i < 5000; ++i) {
            if (i % 97 == 0) {
                any.Click(static_cast<int>(random() % 12));
            }
            Press(any, std::string(1, keys[random() % keys.size()]));
            ASSERT_TRUE(OfBoxForm(any.Text(), width)) << any.Text();
            ASSERT_LE(any.Caret(), width);
        }
    }
}

TEST(FreqEntry, PastedAndLoadedTextsTakeTheBandsFormOrAreRefused) {
    const auto pasted = [](const std::string& case_) {
        const int width = std::stoi(case_);
        const std::string text = test::Unquoted(case_);
        FreqEntry box(width);
        box.Load(width == kThreeDigitMhz ? "446.006250" : "38.012500");
        const bool refused = box.Paste(text) == EntryResult::Refused;
        const std::string shown = box.Text();
        box.Load(text);
        return (refused ? "refused " : "pasted ") + shown + "; loaded " + box.Text();
    };
    EXPECT_TRUE(test::MatchesTranscript("channels/data/freq_box_paste.txt", pasted));
}

TEST(ChannelEditModel, JudgeFreqGivesTheFirstMessageThatApplies) {
    const auto judged = [](const std::string& boxes) {
        std::istringstream in(boxes);
        std::string rx;
        std::string tx;
        in >> rx >> tx;
        const std::string message =
            ChannelEditModel(2, ChannelLine(2, rx, 0, tx, 0), "440", "470").Activate();
        return message.empty() ? "(none)" : message;
    };
    EXPECT_TRUE(test::MatchesTranscript("channels/data/judge_freq.txt", judged));

    // Typing the 1 kHz digit is what gets judged; RX ONLY and TX=RX judge the Tx box again. A
    // box left without a frequency keeps its flags until the dialog is activated again.
    ChannelEditModel model(3, ChannelLine(3, "446.006250", 12, "480.000000", 51), "440", "470");
    EXPECT_EQ(model.Activate(), "Tx Freqency Out of Range !");
    EXPECT_EQ(model.RxOnly(), "Tx Freqency Out of Range !");
    EXPECT_EQ(model.Line(), "3   446.006250  012=  100.0  NONE        000=  None   ");
    EXPECT_EQ(model.Activate(), "");
    Press(model.Freq(kRx), "44600");
    EXPECT_TRUE(Press(model.Freq(kRx), "4"));
    EXPECT_EQ(model.JudgeFreq(kRx), "Rx Freqency in Bad Step !");
    EXPECT_EQ(model.TxEqualsRx(), "Rx Freqency in Bad Step !");
    EXPECT_EQ(model.Line(), "3   446.004000  012=  100.0  446.004000  012=  100.0  ");
    EXPECT_EQ(model.Dtmf(kTx), "");

    // A frequency of another band's form stays as it is when only a tone changes.
    ChannelEditModel pasted(5, ChannelLine(5, "38.012500", 1, "446.006250", 1), "440", "470");
    pasted.SetTone(kTx, 2);
    EXPECT_EQ(pasted.Line(), ChannelLine(5, "38.012500", 1, "446.006250", 2));
}

TEST(ChannelDialogs, CaptionToneEntryAndTheFreqLockChoice) {
    EXPECT_EQ(ChannelEditCaption(3, "Model:Petrel (PMR)", "Range:446.00625 ~ 446.09375MHz"),
              "Channel No.3 (Petrel (PMR),Range:446.00625 ~ 446.09375MHz)");

    // A whole number is the list number; a point makes it a CTCSS frequency, a "D" a DCS code.
    const std::pair<const char*, int> typedCodes[] = {{"154", 154},
                                                      {"12", 12},
                                                      {" 7", 7},
                                                      {"001 CTCSS  67.0", 1},
                                                      {"051 CDCSS   023", 51},
                                                      {"155", -1},
                                                      {"999", -1},
                                                      {"abc", -1},
                                                      {"", -1},
                                                      {"-1", -1},
                                                      {"67.0", 1},
                                                      {" 88.5 ", 8},
                                                      {"88.50", 8},
                                                      {"100.0", 12},
                                                      {"69.4", 39},
                                                      {"254.1", 50},
                                                      {"88.", -1},
                                                      {"88.55", -1},
                                                      {"88.5.", -1},
                                                      {"67.1", -1},
                                                      {".5", -1},
                                                      {"1000.0", -1},
                                                      {"D023", 51},
                                                      {"d754", 154},
                                                      {"D23", 51},
                                                      {"D024", -1},
                                                      {"D028", -1},
                                                      {"D0023", -1},
                                                      {"D", -1},
                                                      {"DX23", -1},
                                                      {"E023", -1}};
    for (const auto& [typed, code] : typedCodes) {
        EXPECT_EQ(ToneCodeOf(typed).value_or(-1), code) << typed;
    }
    EXPECT_EQ(ToneInputError(), "Input Err! Maximun Number is 154");

    // The lock starts on; a channel opened in band 3 switches it off for good, so a band 9
    // configuration opened later also gets the free editor.
    Authorization authorization;
    for (const int band : {9, 10}) {
        ReleaseFreqLockOutsideFixedBands(authorization, band);
        EXPECT_EQ(ChooseChannelDialog(authorization, band), ChannelDialogKind::Fixed);
    }
    EXPECT_TRUE(authorization.FreqLock);
    ReleaseFreqLockOutsideFixedBands(authorization, 3);
    EXPECT_EQ(ChooseChannelDialog(authorization, 3), ChannelDialogKind::Free);
    EXPECT_FALSE(authorization.FreqLock);
    EXPECT_EQ(ChooseChannelDialog(authorization, 9), ChannelDialogKind::Free);
}

TEST(FixedChannelModel, PicksFromTheBandsTableAndKeepsAFrequencyOutsideIt) {
    // "NONE", then the band's channel table: entry 8 is the last PMR channel.
    FixedChannelModel model(9, 4, ChannelLine(4, "446.018750", 1, "446.100000", 51));
    EXPECT_EQ(model.Caption(), "Channel No.4");
    EXPECT_EQ(model.FreqIndex(kRx), 2);
    EXPECT_EQ(model.FreqIndex(kTx), -1);
    EXPECT_EQ(model.Tone(kTx), 51);
    EXPECT_EQ(model.Line(), ChannelLine(4, "446.018750", 1, "446.100000", 51));
    model.SetFreqIndex(kRx, 8);
    model.SetTone(kRx, 154);
    model.txEqualsRx = true;
    EXPECT_EQ(model.Line(), ChannelLine(4, "446.093750", 154, "446.093750", 154));
    model.txEqualsRx = false;
    model.SetFreqIndex(kTx, 0);
    EXPECT_EQ(model.Line(), "4   446.093750  154=  754    NONE        000=  None   ");
}

std::vector<std::string> Lines(int count) {
    return test::ChannelLines(std::string(count, 'B'));
}

TEST(LineEditing, CopyDeletePasteRenumberAndNeverAddLines) {
    const auto lines = Lines(16);
    std::vector<std::string> clip = {"stale"};
    EXPECT_EQ(CopyLines(lines, {2, 4}, clip), lines[2] + "\n" + lines[4] + "\n");
    EXPECT_EQ(clip, (std::vector<std::string>{lines[2].substr(2), lines[4].substr(2)}));
    EXPECT_EQ(PasteLines(16, {9, 12}, clip),
              (LineEdits{{9, "10" + lines[2].substr(2)}, {10, "11" + lines[4].substr(2)}}));
    EXPECT_EQ(PasteLines(16, {}, clip), LineEdits{});
    EXPECT_EQ(PasteLines(16, {3}, {}), LineEdits{});

    // Four lines pasted on the second-to-last of sixteen fill lines 15 and 16 only.
    CopyLines(lines, {0, 1, 2, 3}, clip);
    const LineEdits pasted = PasteLines(16, {14}, clip);
    ASSERT_EQ(pasted.size(), 2u);
    EXPECT_EQ(pasted[1], (LineEdit{15, "16" + lines[1].substr(2)}));

    EXPECT_EQ(DeleteLines({0, 11}),
              (LineEdits{{0, EmptyChannelLine(1)}, {11, EmptyChannelLine(12)}}));
}

TEST(LineEditing, ToneFillWritesItsFieldsAndWrapsFrom154To1) {
    const auto lines = Lines(16);
    ToneFill fill{153, true, false, false, 13, 16};
    const LineEdits edits = AutoSubt(lines, fill);
    ASSERT_EQ(edits.size(), 4u);
    std::vector<int> codes;
    for (const LineEdit& edit : edits) {
        codes.push_back(std::stoi(edit.line.substr(16, 3)));
        EXPECT_EQ(edit.line.substr(41, 3), edit.line.substr(16, 3));
    }
    EXPECT_EQ(codes, (std::vector<int>{153, 154, 1, 2}));
    EXPECT_EQ(edits[2].line, "15  446.006250  001 =  67.0  446.018750  001 =  67.0  ");
    EXPECT_EQ(ParseLine(edits[2].line).LineTxTone, " 001");  // what the packer reads

    // Identical mode: one code everywhere; each area box leaves the other side as it was.
    fill = ToneFill{51, false, true, false, 1, 3};
    for (const LineEdit& edit : AutoSubt(lines, fill)) {
        const std::string& before = lines[static_cast<std::size_t>(edit.index)];
        EXPECT_EQ(edit.line.substr(0, 29), before.substr(0, 29));
        EXPECT_EQ(edit.line.substr(41, 11), "051 =   023");
    }
    fill.txOnly = false;
    fill.rxOnly = true;
    fill.startCode = 0;
    for (const LineEdit& edit : AutoSubt(lines, fill)) {
        EXPECT_EQ(edit.line.substr(16, 11), "000 = None ");
        EXPECT_EQ(edit.line.substr(28), lines[static_cast<std::size_t>(edit.index)].substr(28));
    }
}

TEST(LineEditing, TargetChannelBoxesCorrectWhatIsNotALegalChannel) {
    // The box left, both boxes' texts, whether they are legal, and the box's value after.
    using enum TargetBox;
    const std::tuple<TargetBox, std::string_view, std::string_view, bool, int> cases[] = {
        {First, "5", "16", true, 5},  {First, "16", "16", true, 16}, {First, "", "16", false, 1},
        {First, "0", "16", false, 1}, {First, "9", "8", false, 1},   {First, "x", "16", false, 1},
        {Last, "1", "8", true, 8},    {Last, "1", "", false, 16},    {Last, "1", "0", false, 16},
        {Last, "1", "17", false, 16}, {Last, "1", "9999", false, 16}};
    for (const auto& [box, first, last, legal, value] : cases) {
        const TargetCheck got = CheckTarget(box, first, last, 16);
        EXPECT_EQ(got.legal, legal) << first << ".." << last;
        EXPECT_EQ(got.value, value) << first << ".." << last;
    }
}

}  // namespace
}  // namespace petrel
