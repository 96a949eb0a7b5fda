#include "document/shell_model.h"

#include <gtest/gtest.h>

#include "document/new_config.h"
#include "document/program_state.h"
#include "support/fakes.h"

namespace petrel {
namespace {

TEST(ShellModel, MainWindowSitsHalfwayBetweenDesignAndScreenSizeAndCentred) {
    const auto g = MainWindowGeometry(1920, 1080, 640, 480);
    EXPECT_EQ(g.width, 1280);
    EXPECT_EQ(g.height, 780);
    EXPECT_EQ(g.left, 320);
    EXPECT_EQ(g.top, 150);

    // Odd sizes round down each step, as integer division does.
    const auto odd = MainWindowGeometry(1025, 769, 640, 480);
    EXPECT_EQ(odd.width, 832);
    EXPECT_EQ(odd.height, 624);
    EXPECT_EQ(odd.left, 512 - 416);
    EXPECT_EQ(odd.top, 384 - 312);
}

TEST(ShellModel, DotDecimalLooksForThePointInTheSystemsNumber) {
    EXPECT_TRUE(IsDotDecimal("3.33333333333333"));
    EXPECT_FALSE(IsDotDecimal("3,33333333333333"));
    EXPECT_FALSE(IsDotDecimal("3"));
}

TEST(ShellModel, OnlyPureRedBlinks) {
    EXPECT_FALSE(BlinkVisibility(kStatusRed, true));
    EXPECT_TRUE(BlinkVisibility(kStatusRed, false));
    EXPECT_TRUE(BlinkVisibility(kStatusBlack, true));
    EXPECT_FALSE(BlinkVisibility(kStatusBlack, false));
    EXPECT_TRUE(BlinkVisibility(254, true));
}

TEST(ShellModel, ResetShellStateLeavesNoDocumentNoClipboardAndTheMenuHint) {
    ProgramState state;
    BuildNewConfiguration(state, 9, 16);
    BuildNewConfiguration(state, 10, 16);
    state.ClipLines = {"  446.006250  000=  None"};
    state.RadioAbsent = false;
    test::RecordingStatusLine status;
    status.SetStatus("Channel #3 Range Out !", kStatusRed, kStatusFontLarge);

    ResetShellState(state, status);

    EXPECT_EQ(state.workspace.UpperSlot(), 0);
    EXPECT_TRUE(state.ClipLines.empty());
    EXPECT_TRUE(state.RadioAbsent);
    EXPECT_EQ(status.Text(), kMenuHintText);
    EXPECT_EQ(status.Color(), kStatusBlack);
    EXPECT_EQ(status.FontSize(), kStatusFontNormal);
    // A new document after the reset takes slot 1 again.
    EXPECT_EQ(BuildNewConfiguration(state, 9, 16), 1);
}

TEST(ShellModel, AboutTextIsTheVersionLineThenTheNotice) {
    EXPECT_EQ(AboutText(), std::string("Computer Programmer System for Petrel Serial Radio Version "
                                       "1.20 \n\r") +
                               kNoticeLine);
}

}  // namespace
}  // namespace petrel
