#include "channels/channel_check.h"

#include <gtest/gtest.h>

#include "channels/channel_line.h"
#include "document/program_state.h"
#include "support/fakes.h"

namespace petrel {
namespace {

std::string Line(int ch, const char* rx, const char* tx) {
    return RenumberLine(ch, std::string("1   ") + rx + "  000=  None   " + tx + "  000=  None   ");
}

TEST(RasterRule, LooksAtTheKilohertzDigitsOnly) {
    for (const char* good : {"446.000000", "446.005000", "446.006250", "446.012500", "446.018750",
                             "446.093750", "446", "446.0"}) {
        EXPECT_TRUE(OnRaster(good)) << good;
    }
    for (const char* bad : {"446.001000", "446.002500", "446.007000", "446.022000"}) {
        EXPECT_FALSE(OnRaster(bad)) << bad;
    }
}

TEST(RangeRule, IncludesBothEdges) {
    EXPECT_TRUE(InRange("446.006250", "446.00625", "446.09375"));
    EXPECT_TRUE(InRange("446.093750", "446.00625", "446.09375"));
    EXPECT_FALSE(InRange("446.100000", "446.00625", "446.09375"));
    EXPECT_FALSE(InRange("446.000000", "446.00625", "446.09375"));
}

class CheckChannelsTest : public ::testing::Test {
  protected:
    CheckChannelsTest() {
        state.BandLow = "446.00625";
        state.BandHigh = "446.09375";
        status.SetStatus("before", kStatusBlack, kStatusFontNormal);
    }
    ProgramState state;
    test::RecordingStatusLine status;
};

TEST_F(CheckChannelsTest, AListWithoutFrequenciesLeavesTheStatusAlone) {
    CheckChannels(state, {EmptyChannelLine(1), EmptyChannelLine(2)}, status);
    EXPECT_EQ(status.Text(), "before");
}

TEST_F(CheckChannelsTest, ReportsAllInRangeInBlackAtTheLargeSize) {
    CheckChannels(state, {Line(1, "446.006250", "446.093750"), EmptyChannelLine(2)}, status);
    EXPECT_EQ(status.Text(), "ALL Channels In Range");
    EXPECT_EQ(status.Color(), kStatusBlack);
    EXPECT_EQ(status.FontSize(), kStatusFontLarge);
    EXPECT_EQ(state.ErrMsgText, "ALL Channels In Range");
}

TEST_F(CheckChannelsTest, TheFirstRangeErrorEndsTheCheck) {
    CheckChannels(state,
                  {Line(1, "446.007000", "446.006250"), Line(2, "446.006250", "447.000000"),
                   Line(3, "440.000000", "446.006250")},
                  status);
    EXPECT_EQ(status.Text(), "Channel #2 Range Out !");
    EXPECT_EQ(status.Color(), kStatusRed);
    EXPECT_EQ(state.ErrMsgColor, kStatusRed);
}

TEST_F(CheckChannelsTest, ReportsTheLowestChannelOffTheRaster) {
    CheckChannels(state,
                  {Line(1, "446.006250", "446.006250"), Line(2, "446.006250", "446.007000"),
                   Line(3, "446.022000", "446.006250")},
                  status);
    EXPECT_EQ(status.Text(), "Channel #2 in Bad increament !");
    EXPECT_EQ(status.Color(), kStatusRed);
}

}  // namespace
}  // namespace petrel
