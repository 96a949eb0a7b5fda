#include <gtest/gtest.h>

#include <set>

#include "channels/tone_table.h"

namespace petrel {
namespace {

TEST(ToneTable, ItemTextsFollowTheComboLayout) {
    struct Case {
        int code;
        const char* item;
        const char* description;
    };
    for (const Case& c :
         {Case{0, "000 No Tone", "None"}, Case{1, "001 CTCSS  67.0", "67.0"},
          Case{12, "012 CTCSS 100.0", "100.0"}, Case{38, "038 CTCSS 250.3", "250.3"},
          Case{39, "039 CTCSS  69.4", "69.4"}, Case{50, "050 CTCSS 254.1", "254.1"},
          Case{51, "051 CDCSS   023", "023"}, Case{154, "154 CDCSS   754", "754"}}) {
        EXPECT_EQ(ToneItemText(c.code), c.item);
        EXPECT_EQ(ToneDescription(c.code), c.description);
    }
    EXPECT_EQ(ToneItemText(155), "");
    EXPECT_EQ(ToneDescription(155), "");
    EXPECT_EQ(ToneItemText(-1), "");
}

TEST(ToneTable, HasOneDistinctItemPerCode) {
    std::set<std::string> descriptions;
    for (int code = 1; code < kToneCount; ++code) {
        EXPECT_EQ(ToneItemText(code).size(), 15u) << code;
        descriptions.insert(ToneDescription(code));
    }
    EXPECT_EQ(descriptions.size(), static_cast<std::size_t>(kToneCount - 1));
}

}  // namespace
}  // namespace petrel
