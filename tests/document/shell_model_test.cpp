#include "document/shell_model.h"

#include <gtest/gtest.h>

#include "document/new_config.h"
#include "document/program_state.h"
#include "support/fakes.h"

namespace petrel {
namespace {

TEST(ShellModel, GeometryDecimalPointAndBlinking) {
    // Halfway between design and screen size, centred; odd sizes round down each step.
    for (const auto& [w, h, expected] :
         {std::tuple{1920, 1080, WindowGeometry{320, 150, 1280, 780}},
          std::tuple{1025, 769, WindowGeometry{96, 72, 832, 624}}}) {
        const auto g = MainWindowGeometry(w, h, 640, 480);
        EXPECT_EQ(std::tie(g.width, g.height, g.left, g.top),
                  std::tie(expected.width, expected.height, expected.left, expected.top));
    }
    EXPECT_TRUE(IsDotDecimal("3.33333333333333"));
    EXPECT_FALSE(IsDotDecimal("3,33333333333333"));
    EXPECT_FALSE(IsDotDecimal("3"));
    // Only pure red blinks: it hides on the tick that finds it showing.
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
    EXPECT_EQ(BuildNewConfiguration(state, 9, 16), 1);
}

}  // namespace
}  // namespace petrel
