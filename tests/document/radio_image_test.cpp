#include "document/radio_image.h"

#include <gtest/gtest.h>

#include "channels/channel_line.h"
#include "document/document_lifecycle.h"
#include "document/new_config.h"
#include "document/program_state.h"

namespace petrel {
namespace {

TEST(PackImage, AppendsRecordsAndTheBandByteAndLeavesUntouchedChannelsEmpty) {
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

TEST(Key4Assigned, LooksAtEveryNibbleOfTheSideButtons) {
    std::array<std::uint8_t, kSysBlockSize> sys{};
    for (const auto& [a, b, expected] :
         {std::tuple{0x41, 0x00, true}, std::tuple{0x14, 0x00, true}, std::tuple{0x00, 0x04, true},
          std::tuple{0x00, 0x40, true}, std::tuple{0x01, 0xD6, false},
          std::tuple{0x00, 0x00, false}}) {
        sys[0] = static_cast<std::uint8_t>(a);
        sys[1] = static_cast<std::uint8_t>(b);
        EXPECT_EQ(Key4Assigned(sys), expected) << a << ' ' << b;
    }
    sys[2] = 0x44;  // the front buttons do not count
    EXPECT_FALSE(Key4Assigned(sys));
}

TEST(NewDocFromImage, UnpacksTheImageIntoANewDocument) {
    ProgramState state;
    const int built = BuildNewConfiguration(state, 9, 16);
    ImageBuf image = PackImage(state, state.workspace.At(built));
    image[0] = 0x41;
    state.BandNo = 9;
    state.SerialNo = "SN1";
    const int slot = NewDocFromImage(state, image, "/tmp/my.cfg");
    const Document& doc = state.workspace.At(slot);
    EXPECT_EQ(doc.title, "/TMP/MY.CFG");
    EXPECT_EQ(doc.lines.size(), 16u);
    EXPECT_EQ(doc.lines[0], "1   446.006250  000=  None   446.006250  000=  None   ");
    EXPECT_EQ(doc.serialLabel, "Serial No:SN1");
    EXPECT_TRUE(doc.state.Key4Assigned);
    EXPECT_EQ(doc.state.TuneBlock, state.workspace.At(built).state.TuneBlock);
    EXPECT_EQ(state.MaxChannel, 16);
}

TEST(Workspace, ReusesTheFirstFreeSlotBeforeGrowing) {
    Workspace workspace;
    EXPECT_EQ(workspace.FindFreeIndex(), 1);
    EXPECT_EQ(workspace.FindFreeIndex(), 2);
    EXPECT_EQ(workspace.FindFreeIndex(), 3);
    workspace.At(2).state.Deleted = true;
    EXPECT_EQ(workspace.FindFreeIndex(), 2);
    EXPECT_EQ(workspace.UpperSlot(), 3);
    EXPECT_EQ(workspace.OpenSlots(), (std::vector<int>{1, 2, 3}));
    workspace.Reset();
    EXPECT_EQ(workspace.UpperSlot(), 0);
}

TEST(RenumberTemp, RetitlesUntitledWindowsCountingDown) {
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

TEST(ActivateDocument, TakesTheBandEdgesFromTheRangeLabel) {
    ProgramState state;
    const int slot = BuildNewConfiguration(state, 10, 20);
    state.MaxChannel = 0;
    ActivateDocument(state, slot);
    EXPECT_EQ(state.MaxChannel, 20);
    EXPECT_EQ(state.BandLow, "448.7500");
    EXPECT_EQ(state.BandHigh, "449.2625");
}

}  // namespace
}  // namespace petrel
