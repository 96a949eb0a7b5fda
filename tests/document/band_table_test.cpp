#include "document/band_table.h"

#include <gtest/gtest.h>

#include "document/program_state.h"

namespace petrel {
namespace {

TEST(BandTable, RowsCutIntoTheirFields) {
    struct Case {
        int band;
        const char* name;
        const char* range;
        const char* ifText;
        const char* osc;
        const char* prescaler;
    };
    const Case cases[] = {
        {1, "Low Band I", "29.7 ~ 39.0", "+45.1", "14.4", "64"},
        {2, "Low Band II", "38.0 ~ 50.0", "+45.1", "14.4", "64"},
        {3, "VHF Low Band", "136 ~ 156", "+45.1", "14.4", "128"},
        {4, "VHF High Band", "148 ~ 174", "+45.1", "14.4", "128"},
        {5, "UHF Low Band", "400 ~ 440", "-45.1", "14.4", "128"},
        {6, "UHF Mid Band", "440 ~ 470", "-45.1", "14.4", "128"},
        {7, "UHF High Band", "470 ~ 512", "-45.1", "14.4", "128"},
        {8, "350MHz Band", "350 ~ 385", "-45.1", "14.4", "128"},
        {9, "Petrel (PMR)", "446.00625 ~ 446.09375", "-21.7", "21.25", "128"},
        {10, "Petrel (Korea)", "448.7500 ~ 449.2625", "-21.7", "21.25", "128"},
        {11, "Petrel (Taiwan)", "462.0000 ~ 467.9875", "-21.7", "21.25", "128"},
        {12, "Petrel", "440 ~ 470", "-21.7", "21.25", "128"},
    };
    for (const Case& c : cases) {
        const auto row = BandRow(c.band);
        EXPECT_EQ(row.size(), 82u) << c.band;
        EXPECT_EQ(BandName(row), c.name);
        EXPECT_EQ(RangeText(row), c.range);
        EXPECT_EQ(IfText(row), c.ifText);
        EXPECT_EQ(IfSign(row), std::string(1, c.ifText[0]));
        EXPECT_EQ(OscText(row), c.osc);
        EXPECT_EQ(PrescalerText(row), c.prescaler);
    }
    EXPECT_EQ(LowerEdge("446.00625 ~ 446.09375"), "446.00625");
    EXPECT_EQ(UpperEdge("446.00625 ~ 446.09375"), "446.09375");
}

TEST(BandInfo, SelectsTheRowAndIgnoresUnknownBands) {
    ProgramState state;
    EXPECT_EQ(BandInfo(state, 0), "Low Band I");  // band 0 shows row 1
    EXPECT_EQ(state.BandDesc, BandRow(1));
    EXPECT_EQ(BandInfo(state, 9), "Petrel (PMR)");
    EXPECT_EQ(BandInfo(state, 13), "");
    EXPECT_EQ(state.BandDesc, BandRow(9));
}

TEST(ReferenceTables, AnswerEveryBandAndDefaultOutside) {
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
    for (const auto& [got, expected] :
         {std::pair{SqlFreqOf(0), "Unknow"}, std::pair{SqlFreqOf(13), "Unknow"},
          std::pair{RxFreqOf(13, 0), ""}, std::pair{RxFreqOf(1, 4), ""},
          std::pair{DelayText(12), "NONE"}, std::pair{DelayText(-1), "NONE"}}) {
        EXPECT_EQ(got, expected);
    }
    EXPECT_EQ(DelayText(0), "80 mS     ");
    EXPECT_EQ(DelayText(11), "600mS     ");
    EXPECT_EQ(DelayCode(0), 4);
    EXPECT_EQ(DelayCode(11), 15);
    EXPECT_EQ(DelayCode(20), 5);
}

TEST(Presets, CoverTheFixedChannelBands) {
    for (const auto& [band, count] :
         {std::pair{9, 8}, std::pair{10, 25}, std::pair{11, 280}, std::pair{6, 0}}) {
        EXPECT_EQ(PresetCount(band), count);
    }
    for (const auto& [band, index, text] :
         {std::tuple{9, 1, "446.006250"}, std::tuple{9, 8, "446.093750"},
          std::tuple{10, 16, "449.150000"}, std::tuple{11, 1, "462.000000"},
          std::tuple{11, 2, "462.012500"}, std::tuple{11, 280, "465.487500"},
          std::tuple{9, 0, "NONE      "}, std::tuple{11, 0, "NONE      "}, std::tuple{9, 9, "NONE"},
          std::tuple{10, 26, "NONE"}, std::tuple{6, 0, "NONE"}, std::tuple{6, 1, "NONE"}}) {
        EXPECT_EQ(PresetFreq(band, index), text) << band << ' ' << index;
    }
}

}  // namespace
}  // namespace petrel
