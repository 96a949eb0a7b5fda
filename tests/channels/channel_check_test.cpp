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

TEST(CheckChannels, ReportsTheFirstRangeErrorOrTheLowestOffRasterChannel) {
    struct Case {
        std::string text;
        int color;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        // Without frequencies the status is left alone.
        {"before", kStatusBlack, {EmptyChannelLine(1), EmptyChannelLine(2)}},
        // Both band edges are in range.
        {"ALL Channels In Range", kStatusBlack, {Line(1, "446.006250", "446.093750")}},
        // A range error ends the check, even after an off-raster channel.
        {"Channel #2 Range Out !",
         kStatusRed,
         {Line(1, "446.007000", "446.006250"), Line(2, "446.006250", "447.000000"),
          Line(3, "440.000000", "446.006250")}},
        {"Channel #2 in Bad increament !",
         kStatusRed,
         {Line(1, "446.006250", "446.006250"), Line(2, "446.006250", "446.007000"),
          Line(3, "446.022000", "446.006250")}}};
    for (const Case& c : cases) {
        ProgramState state;
        state.BandLow = "446.00625";
        state.BandHigh = "446.09375";
        test::RecordingStatusLine status;
        status.SetStatus("before", kStatusBlack, kStatusFontNormal);
        CheckChannels(state, c.lines, status);
        EXPECT_EQ(status.Text(), c.text);
        EXPECT_EQ(status.Color(), c.color) << c.text;
        const bool checked = c.text != "before";
        EXPECT_EQ(status.FontSize(), checked ? kStatusFontLarge : kStatusFontNormal) << c.text;
        if (checked) {
            EXPECT_EQ(state.ErrMsgText, c.text);
            EXPECT_EQ(state.ErrMsgColor, c.color);
        }
    }
}

}  // namespace
}  // namespace petrel
