// Band tables, new configurations, radio images and the document workspace.
#include <gtest/gtest.h>

#include "channels/freq_codec.h"
#include "document/band_table.h"
#include "document/document_lifecycle.h"
#include "document/new_config.h"
#include "document/program_state.h"
#include "document/radio_image.h"
#include "document/shell_model.h"
#include "ports/status_line.h"

namespace petrel {
namespace {

TEST(BandTable, RowsCutIntoTheirFields) {
    // Name | range | IF | oscillator | prescaler.
    const char* const rows[] = {
        "Low Band I|29.7 ~ 39.0|+45.1|14.4|64",
        "Low Band II|38.0 ~ 50.0|+45.1|14.4|64",
        "VHF Low Band|136 ~ 156|+45.1|14.4|128",
        "VHF High Band|148 ~ 174|+45.1|14.4|128",
        "UHF Low Band|400 ~ 440|-45.1|14.4|128",
        "UHF Mid Band|440 ~ 470|-45.1|14.4|128",
        "UHF High Band|470 ~ 512|-45.1|14.4|128",
        "350MHz Band|350 ~ 385|-45.1|14.4|128",
        "Petrel (PMR)|446.00625 ~ 446.09375|-21.7|21.25|128",
        "Petrel (Korea)|448.7500 ~ 449.2625|-21.7|21.25|128",
        "Petrel (Taiwan)|462.0000 ~ 467.9875|-21.7|21.25|128",
        "Petrel|440 ~ 470|-21.7|21.25|128",
    };
    for (int band = 1; band <= 12; ++band) {
        const auto row = BandRow(band);
        EXPECT_EQ(row.size(), 82u) << band;
        EXPECT_EQ(BandName(row) + '|' + RangeText(row) + '|' + IfText(row) + '|' + OscText(row) +
                      '|' + PrescalerText(row),
                  rows[band - 1]);
        EXPECT_EQ(IfSign(row), IfText(row).substr(0, 1));
    }
    EXPECT_EQ(LowerEdge("446.00625 ~ 446.09375"), "446.00625");
    EXPECT_EQ(UpperEdge("446.00625 ~ 446.09375"), "446.09375");
    ProgramState state;
    EXPECT_EQ(BandInfo(state, 0), "Low Band I");  // band 0 shows row 1
    EXPECT_EQ(BandInfo(state, 13), "");
    EXPECT_EQ(state.BandDesc, BandRow(1));
}

TEST(BandTable, ReferencePresetAndDelayTablesDefaultOutsideTheirRange) {
    EXPECT_EQ(SqlFreqOf(1), "34.350000");
    EXPECT_EQ(SqlFreqOf(11), "465.750000");
    EXPECT_EQ(RxFreqOf(4, 0), "148.025000");
    EXPECT_EQ(TxFreqOf(4, 0), "148.525000");
    EXPECT_EQ(TxFreqOf(3, 3), RxFreqOf(3, 3));
    EXPECT_EQ(ModFreqOf(8, 3), "358.750000");
    // The Petrel bands share the UHF mid band's references.
    for (const int band : {9, 10, 11, 12}) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(RxFreqOf(band, i) + TxFreqOf(band, i) + ModFreqOf(band, i),
                      RxFreqOf(6, i) + TxFreqOf(6, i) + ModFreqOf(6, i));
        }
    }
    for (const auto& [band, count] :
         {std::pair{9, 8}, std::pair{10, 25}, std::pair{11, 280}, std::pair{6, 0}}) {
        EXPECT_EQ(PresetCount(band), count);
    }
    for (const auto& [got, expected] : {std::pair{PresetFreq(9, 1), "446.006250"},
                                        std::pair{PresetFreq(9, 8), "446.093750"},
                                        std::pair{PresetFreq(10, 16), "449.150000"},
                                        std::pair{PresetFreq(11, 1), "462.000000"},
                                        std::pair{PresetFreq(11, 2), "462.012500"},
                                        std::pair{PresetFreq(11, 280), "465.487500"},
                                        std::pair{PresetFreq(9, 0), "NONE      "},
                                        std::pair{PresetFreq(11, 0), "NONE      "},
                                        std::pair{PresetFreq(9, 9), "NONE"},
                                        std::pair{PresetFreq(10, 26), "NONE"},
                                        std::pair{PresetFreq(6, 0), "NONE"},
                                        std::pair{PresetFreq(6, 1), "NONE"},
                                        std::pair{SqlFreqOf(0), "Unknow"},
                                        std::pair{SqlFreqOf(13), "Unknow"},
                                        std::pair{RxFreqOf(13, 0), ""},
                                        std::pair{RxFreqOf(1, 4), ""},
                                        std::pair{DelayText(0), "80 mS     "},
                                        std::pair{DelayText(11), "600mS     "},
                                        std::pair{DelayText(12), "NONE"},
                                        std::pair{DelayText(-1), "NONE"}}) {
        EXPECT_EQ(got, expected);
    }
    EXPECT_EQ(DelayCode(0), 4);
    EXPECT_EQ(DelayCode(11), 15);
    EXPECT_EQ(DelayCode(20), 5);
}

TEST(NewConfiguration, PmrWith16ChannelsHasItsPresetsAndDefaults) {
    ProgramState state;
    const Document& doc = state.workspace.At(BuildNewConfiguration(state, 9, 16));
    ASSERT_EQ(doc.lines.size(), 16u);
    EXPECT_EQ(doc.lines[0], "1   446.006250  000=  None   446.006250  000=  None");
    EXPECT_EQ(doc.lines[7], "8   446.093750  000=  None   446.093750  000=  None");
    EXPECT_EQ(doc.lines[8], "9   NONE        000=  None   NONE        000=  None ");
    EXPECT_EQ(doc.lines[15], "16  NONE        000=  None   NONE        000=  None ");
    EXPECT_EQ(doc.title, "Temp1.cfg");
    EXPECT_EQ(doc.modelLabel + doc.rangeLabel, "Model:Petrel (PMR)Range:446.00625 ~ 446.09375MHz");
    EXPECT_FALSE(doc.state.Dirty);
    EXPECT_EQ(state.FreqTextLen, 10);
    const std::array<std::uint8_t, 32> sys = {0x01, 0xD6, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04,
                                              0x00, 0x30, 0x01, 0x38, 0x1A, 0x21, 0x80, 0x5E,
                                              0x09, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02,
                                              0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(doc.state.SysBlock, sys);
    EXPECT_EQ(doc.state.ChOption, std::vector<std::uint8_t>(16, 0x02));
    EXPECT_FALSE(doc.state.Key4Assigned);
    EXPECT_TRUE(state.InfoValid);
    EXPECT_EQ(state.InfoWords[0xF0], 0x41);
    EXPECT_EQ(state.InfoWords[0xFB], 0xEE);
    EXPECT_EQ(state.InfoWords[0xC0], 0x64);
    EXPECT_EQ(state.InfoWords[0xCB], 0x50);

    // The tuning block holds the band's softpot frequencies. Record 0: Rx 440.025 MHz (LO
    // 418.325: N 522, A 116), Tx 440.525 MHz (N 550, A 84).
    const auto& tune = doc.state.TuneBlock;
    EXPECT_EQ(std::vector<int>(tune.begin(), tune.begin() + 8),
              (std::vector<int>{0xC0, 0, 0, 0x41, 0x5D, 0x44, 0xD5, 0x00}));
    const auto params = PllFromImage(sys[kPllByte], sys[kRefDividerByte0]);
    for (int k = 0; k < 4; ++k) {
        const std::uint8_t* pair = &tune[8 * k];
        EXPECT_EQ(pair[0], 0xC0);
        EXPECT_EQ(DecodeFreq(params, pair[3], pair[4], pair[7], true, 10), RxFreqOf(9, k));
        EXPECT_EQ(DecodeFreq(params, pair[5], pair[6], pair[7], false, 10), TxFreqOf(9, k));
        const std::uint8_t* mod = &tune[8 * (4 + k)];
        EXPECT_EQ(mod[0], 0x80);
        EXPECT_EQ(mod[7] >> 4, 0);
        EXPECT_EQ(DecodeFreq(params, mod[3], mod[4], mod[7], true, 10), ModFreqOf(9, k));
    }
}

TEST(NewConfiguration, OtherBandsTakeTheirPresetsPrescalerAndIf) {
    ProgramState state;
    const Document& korea = state.workspace.At(BuildNewConfiguration(state, 10, 16));
    // Fifteen presets below the gap, then the upper block.
    EXPECT_EQ(korea.lines[14].substr(0, 14), "15  448.925000");
    EXPECT_EQ(korea.lines[15].substr(0, 14), "16  449.150000");

    const Document& low = state.workspace.At(BuildNewConfiguration(state, 1, 3));
    EXPECT_EQ(low.state.SysBlock[kSysOptions0A], 0x00);
    EXPECT_EQ(low.state.SysBlock[kPllByte], 0x27);
    EXPECT_EQ(low.state.SysBlock[kRefDividerByte0], 0x92);  // (4608 + 0x8000) >> 8
    EXPECT_EQ(low.lines.size(), 3u);
    EXPECT_EQ(state.FreqTextLen, 9);
}

TEST(NewConfiguration, ParseChannelCountAcceptsWholeNumbersFrom1To99) {
    for (const auto& [text, expected] :
         {std::pair{"16", 16}, std::pair{" 99 ", 99}, std::pair{"1", 1}}) {
        int count = 0;
        EXPECT_TRUE(ParseChannelCount(text, count));
        EXPECT_EQ(count, expected);
    }
    for (const char* bad : {"0", "100", "", "abc", "1.5", "-3", "16a", "1e3"}) {
        int count = 0;
        EXPECT_FALSE(ParseChannelCount(bad, count)) << bad;
    }
}

TEST(RadioImage, PackAppendsTheBandByteAndLeavesUntouchedChannelsEmpty) {
    ProgramState state;
    const int slot = BuildNewConfiguration(state, 9, 16);
    ImageBuf image = PackImage(state, state.workspace.At(slot));
    ASSERT_EQ(image.size(), 225u);
    EXPECT_EQ(image[0x10], 9);
    EXPECT_EQ(image[0x60], 0xC2);  // preset channel 1 with its 12.5 kHz option
    EXPECT_EQ(image.back(), 9);
    EXPECT_EQ(PackImage(state, state.workspace.At(BuildNewConfiguration(state, 10, 99))).size(),
              889u);

    // A new configuration nobody touched has empty channels until edited.
    state.NewUntouched = true;
    image = PackImage(state, state.workspace.At(slot));
    EXPECT_EQ(ImageBuf(image.begin() + 0x60, image.end() - 1), ImageBuf(128, 0xFF));
    state.workspace.At(slot).state.Dirty = true;
    EXPECT_EQ(PackImage(state, state.workspace.At(slot))[0x60], 0xC2);
}

TEST(RadioImage, UnpacksIntoANewDocumentThatActivatesWithItsBandEdges) {
    ProgramState state;
    const int built = BuildNewConfiguration(state, 10, 20);
    ImageBuf image = PackImage(state, state.workspace.At(built));
    image[0] = 0x14;  // a side button on key 4
    state.BandNo = 10;
    state.SerialNo = "SN1";
    const int slot = NewDocFromImage(state, image, "/tmp/my.cfg");
    const Document& doc = state.workspace.At(slot);
    EXPECT_EQ(doc.title, "/TMP/MY.CFG");
    EXPECT_EQ(doc.lines.size(), 20u);
    EXPECT_EQ(doc.lines[0], "1   448.750000  000=  None   448.750000  000=  None   ");
    EXPECT_EQ(doc.serialLabel, "Serial No:SN1");
    EXPECT_TRUE(doc.state.Key4Assigned);
    EXPECT_EQ(doc.state.TuneBlock, state.workspace.At(built).state.TuneBlock);

    state.MaxChannel = 0;
    ActivateDocument(state, slot);
    EXPECT_EQ(state.MaxChannel, 20);
    EXPECT_EQ(state.BandLow + " " + state.BandHigh, "448.7500 449.2625");
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

    ProgramState state;
    const int first = BuildNewConfiguration(state, 9, 16);
    state.workspace.At(first).state.TuneBlock[1] = 0x77;
    state.workspace.At(first).state.TuneBlock[2] = 0x55;
    UnloadDocument(state, first);
    ASSERT_EQ(BuildNewConfiguration(state, 9, 16), first);
    EXPECT_EQ(state.workspace.At(first).state.TuneBlock[1], 0);
    EXPECT_EQ(state.workspace.At(first).state.TuneBlock[2], 0);
}

TEST(Workspace, ClosingRetitlesTheUntitledDocumentsCountingDown) {
    ProgramState state;
    const int first = BuildNewConfiguration(state, 9, 16);    // Temp1.cfg
    const int second = BuildNewConfiguration(state, 10, 16);  // Temp2.cfg
    const int titled = NewDocFromImage(state, PackImage(state, state.workspace.At(first)),
                                       "/home/dealer/shop.cfg");
    ASSERT_EQ(state.TempCount, 2);
    EXPECT_TRUE(UnloadDocument(state, titled));
    EXPECT_EQ(state.workspace.At(first).title, "TEMP2");
    EXPECT_EQ(state.workspace.At(second).title, "TEMP1");
    EXPECT_EQ(state.TempCount, 2);
    EXPECT_TRUE(UnloadDocument(state, first));
    EXPECT_EQ(state.TempCount, 1);
    EXPECT_EQ(state.workspace.At(second).title, "TEMP1");
    EXPECT_FALSE(UnloadDocument(state, second));
    EXPECT_EQ(state.TempCount, 0);
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

}  // namespace
}  // namespace petrel
