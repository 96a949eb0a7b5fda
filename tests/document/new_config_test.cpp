#include "document/new_config.h"

#include <gtest/gtest.h>

#include "channels/channel_line.h"
#include "channels/freq_codec.h"
#include "document/band_table.h"
#include "document/document_lifecycle.h"
#include "document/program_state.h"

namespace petrel {
namespace {

TEST(NewConfiguration, PmrWith16ChannelsHasItsPresetsAndDefaults) {
    ProgramState state;
    const int slot = BuildNewConfiguration(state, 9, 16);
    const Document& doc = state.workspace.At(slot);
    ASSERT_EQ(doc.lines.size(), 16u);
    EXPECT_EQ(doc.lines[0], "1   446.006250  000=  None   446.006250  000=  None");
    EXPECT_EQ(doc.lines[7], "8   446.093750  000=  None   446.093750  000=  None");
    EXPECT_EQ(doc.lines[8], "9   NONE        000=  None   NONE        000=  None ");
    EXPECT_EQ(doc.lines[15], "16  NONE        000=  None   NONE        000=  None ");
    EXPECT_EQ(doc.title, "Temp1.cfg");
    EXPECT_EQ(doc.modelLabel, "Model:Petrel (PMR)");
    EXPECT_EQ(doc.rangeLabel, "Range:446.00625 ~ 446.09375MHz");
    EXPECT_EQ(doc.serialLabel, "Serial No:");
    EXPECT_FALSE(doc.state.Dirty);
    EXPECT_EQ(doc.state.Band, 9);
    EXPECT_EQ(state.FreqTextLen, 10);

    const auto& sys = doc.state.SysBlock;
    const std::array<std::uint8_t, 32> expected = {0x01, 0xD6, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04,
                                                   0x00, 0x30, 0x01, 0x38, 0x1A, 0x21, 0x80, 0x5E,
                                                   0x09, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02,
                                                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(sys, expected);
    EXPECT_EQ(doc.state.ChOption, std::vector<std::uint8_t>(16, 0x02));
    EXPECT_FALSE(doc.state.Key4Assigned);

    EXPECT_TRUE(state.InfoValid);
    EXPECT_EQ(state.InfoWords[0xF0], 0x41);
    EXPECT_EQ(state.InfoWords[0xFB], 0xEE);
    EXPECT_EQ(state.InfoWords[0xC0], 0x64);
    EXPECT_EQ(state.InfoWords[0xCB], 0x50);
}

TEST(NewConfiguration, TuningBlockHoldsTheBandsSoftpotFrequencies) {
    ProgramState state;
    const Document& doc = state.workspace.At(BuildNewConfiguration(state, 9, 16));
    const auto& tune = doc.state.TuneBlock;
    // Record 0: Rx 440.025 MHz (LO 418.325: N 522, A 116), Tx 440.525 MHz (N 550, A 84).
    EXPECT_EQ(tune[0], 0xC0);
    EXPECT_EQ(tune[3], 0x41);
    EXPECT_EQ(tune[4], 0x5D);
    EXPECT_EQ(tune[5], 0x44);
    EXPECT_EQ(tune[6], 0xD5);
    EXPECT_EQ(tune[7], 0x00);

    const auto params =
        PllFromImage(doc.state.SysBlock[kPllByte], doc.state.SysBlock[kRefDividerByte0]);
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

TEST(NewConfiguration, AReusedSlotStartsClean) {
    ProgramState state;
    const int first = BuildNewConfiguration(state, 9, 16);
    state.workspace.At(first).state.TuneBlock[1] = 0x77;
    state.workspace.At(first).state.TuneBlock[2] = 0x55;
    UnloadDocument(state, first);
    ASSERT_EQ(BuildNewConfiguration(state, 9, 16), first);
    EXPECT_EQ(state.workspace.At(first).state.TuneBlock[1], 0);
    EXPECT_EQ(state.workspace.At(first).state.TuneBlock[2], 0);
}

TEST(ParseChannelCount, AcceptsWholeNumbersFrom1To99) {
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

}  // namespace
}  // namespace petrel
