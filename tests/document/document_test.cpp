// Band tables, new configurations, radio images and the document workspace.
#include <gtest/gtest.h>

#include <cstdio>
#include <span>

#include "core/channels/channel_options.h"
#include "core/document/document_lifecycle.h"
#include "core/document/new_config.h"
#include "core/model/band_table.h"
#include "core/model/document_edit.h"
#include "core/model/freq_codec.h"
#include "core/model/radio_image.h"
#include "core/model/workspace.h"
#include "core/ports/status_line.h"
#include "core/settings/sys_block.h"
#include "core/shell/shell_model.h"
#include "core/util/text.h"
#include "support/golden.h"

namespace petrel {
namespace {

// The values in hex, each after a blank.
template <typename Values>
std::string Hex(const Values& values) {
    std::string text;
    for (const int value : values) {
        char hex[8];
        std::snprintf(hex, sizeof hex, " %02X", value);
        text += hex;
    }
    return text;
}

// Every band's row cut into name, range, IF, oscillator and prescaler, one band a line.
TEST(BandTable, RowsCutIntoTheirFields) {
    std::string rows;
    for (int band = 1; band <= kBandCount; ++band) {
        const auto row = BandRow(band);
        rows += BandName(row) + '|' + RangeText(row) + '|' + IfText(row) + '|' + OscText(row) +
                '|' + PrescalerText(row) + '\n';
        EXPECT_EQ(IfSign(row), IfText(row).substr(0, 1));
    }
    EXPECT_TRUE(test::MatchesGolden(rows, "document/data/band_rows.txt"));
    EXPECT_EQ(LowerEdge("446.00625 ~ 446.09375"), "446.00625");
    EXPECT_EQ(UpperEdge("446.00625 ~ 446.09375"), "446.09375");
    EXPECT_EQ(BandInfo(0), "Low Band I");  // band 0 shows row 1
    EXPECT_EQ(BandInfo(13), "");
    // The length of a band's frequency texts: six decimals after its lower edge's integer part.
    Document doc;
    EXPECT_EQ(FillBandLabels(doc, BandRow(9)), 10);
    EXPECT_EQ(FillBandLabels(doc, BandRow(1)), 9);
    EXPECT_EQ(doc.modelLabel + doc.rangeLabel,
              "Model:" + BandName(BandRow(1)) + "Range:" + RangeText(BandRow(1)) + "MHz");
}

TEST(BandTable, ReferencePresetAndDelayTablesDefaultOutsideTheirRange) {
    // Every band's squelch, receive, transmit and modulation references are frequencies in
    // the boxes' form: six decimals.
    for (int band = 1; band <= kBandCount; ++band) {
        std::vector<std::string> texts{SqlFreqOf(band)};
        for (int i = 0; i < 4; ++i) {
            texts.insert(texts.end(), {RxFreqOf(band, i), TxFreqOf(band, i), ModFreqOf(band, i)});
        }
        for (const std::string& text : texts) {
            EXPECT_TRUE(FreqToHz(text).has_value() && text.size() == text.find('.') + 7)
                << band << ": \"" << text << '"';
        }
    }
    // The VOX attack times: "80 mS", then 100 to 600 ms in steps of 50, codes 4 to 15.
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(DelayText(i),
                  PadRight(i == 0 ? "80 mS" : std::to_string(50 * i + 50) + "mS", 10));
        EXPECT_EQ(DelayCode(i), i + 4);
    }
    for (const auto& [band, count] :
         {std::pair{9, 8}, std::pair{10, 25}, std::pair{11, 280}, std::pair{6, 0}}) {
        EXPECT_EQ(PresetCount(band), count);
    }
    for (const auto& [got, expected] :
         {std::pair{PresetFreq(9, 1), "446.006250"}, std::pair{PresetFreq(9, 8), "446.093750"},
          std::pair{PresetFreq(10, 16), "449.150000"}, std::pair{PresetFreq(11, 1), "462.000000"},
          std::pair{PresetFreq(11, 2), "462.012500"}, std::pair{PresetFreq(11, 280), "465.487500"},
          std::pair{PresetFreq(9, 0), "NONE      "}, std::pair{PresetFreq(11, 0), "NONE      "},
          std::pair{PresetFreq(9, 9), "NONE"}, std::pair{PresetFreq(10, 26), "NONE"},
          std::pair{PresetFreq(6, 0), "NONE"}, std::pair{PresetFreq(6, 1), "NONE"},
          std::pair{SqlFreqOf(0), "Unknow"}, std::pair{SqlFreqOf(13), "Unknow"},
          std::pair{RxFreqOf(13, 0), ""}, std::pair{RxFreqOf(1, 4), ""},
          std::pair{DelayText(12), "NONE"}, std::pair{DelayText(-1), "NONE"}}) {
        EXPECT_EQ(got, expected);
    }
    EXPECT_EQ(DelayCode(20), 5);
}

// Its lines, labels, system block, option bytes, the default level and power tables of the
// information page and the tuning block, as data/new_pmr16.txt lists them.
TEST(NewConfiguration, PmrWith16ChannelsHasItsPresetsAndDefaults) {
    Workspace workspace;
    const Document& doc = workspace.At(BuildNewConfiguration(workspace, 9, 16));
    EXPECT_FALSE(doc.state.Dirty || doc.state.Key4Assigned);
    EXPECT_TRUE(doc.info.InfoValid);
    std::string shown = doc.title + "\n" + doc.modelLabel + doc.rangeLabel + "\n";
    for (const std::string& line : doc.lines) {
        shown += line + "|\n";
    }
    const std::span info(doc.info.InfoWords.begin() + 0xC0, doc.info.InfoWords.end());
    shown += "system" + Hex(doc.state.SysBlock) + "\noptions" + Hex(doc.state.ChOption) +
             "\ninformation page from C0" + Hex(info) + "\ntuning" + Hex(doc.state.TuneBlock) +
             "\n";
    EXPECT_TRUE(test::MatchesGolden(shown, "document/data/new_pmr16.txt"));

    // The tuning block holds the band's softpot frequencies. Record 0: Rx 440.025 MHz (LO
    // 418.325: N 522, A 116), Tx 440.525 MHz (N 550, A 84).
    const auto& tune = doc.state.TuneBlock;
    const auto& sys = doc.state.SysBlock;
    const auto params = PllFromImage(sys[kPllByte], sys[kRefDividerByte0]);
    for (int k = 0; k < 4; ++k) {
        const std::uint8_t* pair = &tune[8 * k];
        EXPECT_EQ(DecodeFreq(params, pair[3], pair[4], pair[7], true, 10), RxFreqOf(9, k));
        EXPECT_EQ(DecodeFreq(params, pair[5], pair[6], pair[7], false, 10), TxFreqOf(9, k));
        const std::uint8_t* mod = &tune[8 * (4 + k)];
        EXPECT_EQ(DecodeFreq(params, mod[3], mod[4], mod[7], true, 10), ModFreqOf(9, k));
    }
}

TEST(NewConfiguration, OtherBandsTakeTheirPresetsPrescalerAndIf) {
    Workspace workspace;
    const Document& korea = workspace.At(BuildNewConfiguration(workspace, 10, 16));
    // Fifteen presets below the gap, then the upper block.
    EXPECT_EQ(korea.lines[14].substr(0, 14), "15  448.925000");
    EXPECT_EQ(korea.lines[15].substr(0, 14), "16  449.150000");

    const Document& low = workspace.At(BuildNewConfiguration(workspace, 1, 3));
    EXPECT_EQ(low.state.SysBlock[kSysOptions0A], 0x00);
    EXPECT_EQ(low.state.SysBlock[kPllByte], 0x27);
    EXPECT_EQ(low.state.SysBlock[kRefDividerByte0], 0x92);  // (4608 + 0x8000) >> 8
    EXPECT_EQ(low.lines.size(), 3u);
}

TEST(NewConfiguration, ParseChannelCountAcceptsWholeNumbersFrom1To99) {
    const std::pair<const char*, int> cases[] = {
        {"16", 16}, {" 99 ", 99}, {"1", 1},  {"0", 0},   {"100", 0}, {"", 0},
        {"abc", 0}, {"1.5", 0},   {"-3", 0}, {"16a", 0}, {"1e3", 0}};  // 0: refused
    for (const auto& [text, expected] : cases) {
        int count = 0;
        EXPECT_EQ(ParseChannelCount(text, count) ? count : 0, expected) << text;
    }
}

TEST(RadioImage, Key4AssignedLooksAtBothNibblesOfTheTwoSideButtonsOnly) {
    // Side button A, side button B, both front buttons: is the power function (4) on one?
    const std::tuple<std::uint8_t, std::uint8_t, std::uint8_t, bool> cases[] = {
        {0x01, 0xD6, 0x44, false}, {0x04, 0, 0, true}, {0x40, 0, 0, true},
        {0, 0x04, 0, true},        {0, 0x40, 0, true}, {0x35, 0x53, 0, false}};
    for (const auto& [a, b, front, assigned] : cases) {
        EXPECT_EQ(Key4Assigned({a, b, front, front}), assigned) << +a << ' ' << +b;
    }
}

TEST(RadioImage, UnpacksIntoANewDocumentThatActivatesWithItsBandEdges) {
    Workspace workspace;
    const int built = BuildNewConfiguration(workspace, 10, 20);
    ImageBuf image = PackImage(workspace.At(built));
    image[0] = 0x14;  // a side button on key 4
    const int slot = NewDocFromImage(workspace, image, {}, "/tmp/my.cfg", 10);
    const Document& doc = workspace.At(slot);
    EXPECT_TRUE(doc.state.Key4Assigned);
    EXPECT_EQ(doc.state.TuneBlock, workspace.At(built).state.TuneBlock);
    EXPECT_EQ(doc.lines.size(), 20u);
    const BandEdges edges = DocumentBandEdges(doc);
    EXPECT_EQ(edges.low + " " + edges.high, "448.7500 449.2625");

    // A band without a row takes the labels of the active document's band; none without one.
    EXPECT_EQ(workspace.At(NewDocFromImage(workspace, image, {}, "b.cfg", 13)).rangeLabel,
              "Range:MHz");
    workspace.SetActiveSlot(slot);
    EXPECT_EQ(workspace.Active(), &doc);
    EXPECT_EQ(workspace.At(NewDocFromImage(workspace, image, {}, "c.cfg", 13)).rangeLabel,
              doc.rangeLabel);
    UnloadDocument(workspace, slot);
    EXPECT_EQ(workspace.Active(), nullptr);
}

TEST(Workspace, ReusesTheFirstFreeSlotAndAReusedSlotStartsClean) {
    Workspace workspace;
    for (const int expected : {1, 2, 3}) {
        EXPECT_EQ(workspace.FindFreeIndex(), expected);
    }
    workspace.At(2).state.Deleted = true;
    EXPECT_EQ(workspace.FindFreeIndex(), 2);
    EXPECT_EQ(workspace.OpenSlots(), (std::vector<int>{1, 2, 3}));
    workspace.Reset();
    EXPECT_EQ(workspace.UpperSlot(), 0);

    const int first = BuildNewConfiguration(workspace, 9, 16);
    const auto tune = workspace.At(first).state.TuneBlock;
    workspace.At(first).state.TuneBlock[1] = 0x77;
    UnloadDocument(workspace, first);
    ASSERT_EQ(BuildNewConfiguration(workspace, 9, 16), first);
    EXPECT_EQ(workspace.At(first).state.TuneBlock, tune);
}

TEST(Workspace, ClosingRetitlesTheUntitledDocumentsCountingDown) {
    Workspace workspace;
    const int first = BuildNewConfiguration(workspace, 9, 16);    // Temp1.cfg
    const int second = BuildNewConfiguration(workspace, 10, 16);  // Temp2.cfg
    const int titled =
        NewDocFromImage(workspace, PackImage(workspace.At(first)), {}, "/home/dealer/shop.cfg", 9);
    ASSERT_EQ(workspace.TempCount(), 2);
    EXPECT_TRUE(UnloadDocument(workspace, titled));
    EXPECT_EQ(workspace.At(first).title + " " + workspace.At(second).title + " " +
                  std::to_string(workspace.TempCount()),
              "TEMP2 TEMP1 2");
    EXPECT_TRUE(UnloadDocument(workspace, first));
    EXPECT_EQ(workspace.At(second).title + " " + std::to_string(workspace.TempCount()), "TEMP1 1");
    EXPECT_FALSE(UnloadDocument(workspace, second));
    EXPECT_EQ(workspace.TempCount(), 0);
}

// Every edit hook hands its recorder what it replaced: swapped back in, that undoes the edit,
// and swapped again it redoes it. An edit that changes nothing records nothing.
TEST(DocumentEdit, EveryHookRecordsAChangeThatUndoesAndRedoesIt) {
    Workspace workspace;
    Document& doc = workspace.At(BuildNewConfiguration(workspace, 6, 3));
    std::vector<DocumentChange> recorded;
    doc.changes.record = [&recorded](DocumentChange change) {
        recorded.push_back(std::move(change));
    };
    SysBlockBytes block = doc.state.SysBlock;
    block[0x07] ^= 0xFF;
    InfoTables tables = doc.info.Tables();
    tables.level[8] = 0x77;
    tables.power[15] = 0x5A;
    // Lines outside the document are skipped: nothing changes, nothing is recorded.
    EXPECT_TRUE(EditChannelLines(doc, {{5, "x"}, {-1, "y"}}).empty());
    EXPECT_FALSE(doc.state.Dirty);
    EXPECT_TRUE(recorded.empty());

    const std::pair<const char*, std::function<void()>> edits[] = {
        {"lines",
         [&] {
             EditChannelLines(doc, {{0, "a"}, {1, "b"}, {0, "c"}, {7, "beyond"}});
         }},
        {"options", [&] { SetChannelOptions(doc, 2, kOptBclo | kOptScan); }},
        {"system block", [&] { WriteSysBlock(doc, block); }},
        {"tables", [&] { SetInfoTables(doc, tables); }},
    };
    // What an edit can change; the tables with the page's words that hold them.
    const auto parts = [&] {
        return std::tuple(doc.lines, doc.state.ChOption, doc.state.SysBlock, doc.info.Tables(),
                          doc.info.InfoWords);
    };
    for (const auto& [what, edit] : edits) {
        const auto before = parts();
        recorded.clear();
        edit();
        ASSERT_EQ(recorded.size(), 1u) << what;
        const auto after = parts();
        SwapChange(doc, recorded[0]);
        EXPECT_EQ(parts(), before) << what;
        SwapChange(doc, recorded[0]);
        EXPECT_EQ(parts(), after) << what;
        EXPECT_TRUE(doc.state.Dirty);

        // The same bytes again change nothing and leave the document unchanged, except the
        // lines, whose edit writes one line twice.
        recorded.clear();
        doc.state.Dirty = false;
        edit();
        EXPECT_EQ(recorded.size(), std::string(what) == "lines" ? 1u : 0u) << what;
        EXPECT_EQ(doc.state.Dirty, std::string(what) == "lines") << what;
    }
    EXPECT_EQ(doc.lines[0], "c");  // of two edits of one line the later one counts

    // A copy (a report opens the system options on one) records into nobody's undo steps.
    recorded.clear();
    Document copy = doc;
    block[0x07] ^= 0x0F;
    WriteSysBlock(copy, block);
    EXPECT_TRUE(recorded.empty());
}

TEST(ShellModel, MainWindowGeometryRoundsDownAndOnlyPureRedBlinks) {
    // Halfway between design and screen size, centred; odd sizes round down each step.
    const auto g = MainWindowGeometry(1025, 769, 640, 480);
    EXPECT_EQ(std::vector<int>({g.left, g.top, g.width, g.height}),
              (std::vector<int>{96, 72, 832, 624}));
    EXPECT_FALSE(IsDotDecimal("3,33333333333333"));
    EXPECT_TRUE(IsDotDecimal("3.33333333333333"));
    // A red label hides on the tick that finds it showing; other colours always show.
    EXPECT_FALSE(BlinkVisibility(kStatusRed, true));
    EXPECT_TRUE(BlinkVisibility(kStatusRed, false));
    EXPECT_TRUE(BlinkVisibility(254, true));
    EXPECT_FALSE(BlinkVisibility(kStatusBlack, false));
}

// A settings window's caption names its configuration's file, without the folder; blanks that
// end the window's own caption do not stand before the dash.
TEST(ShellModel, CaptionWithFileNamesTheFileAfterTheWindowsCaption) {
    const struct {
        const char* caption;
        const char* title;
        const char* shown;
    } cases[] = {
        {"System Option Edit", "TEMP1.CFG", "System Option Edit - TEMP1.CFG"},
        {"System Option Edit", "/home/dealer/PMR-HARBOUR.CFG",
         "System Option Edit - PMR-HARBOUR.CFG"},
        {"Conventional Buttons  ", "C:\\RADIOS\\TAXI.CFG", "Conventional Buttons - TAXI.CFG"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CaptionWithFile(c.caption, c.title), c.shown) << c.title;
    }
}

}  // namespace
}  // namespace petrel
