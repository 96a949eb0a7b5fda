#include "core/channels/channel_options.h"

#include <gtest/gtest.h>

#include "core/model/channel_line.h"
#include "core/model/radio_image.h"
#include "support/documents.h"

namespace petrel {
namespace {

TEST(ChannelOptions, LineTextsStandUnderTheTitle) {
    const std::pair<std::uint8_t, const char*> cases[] = {
        {0x06, "12.5K   H    OFF   OFF  OFF"},
        {0xFF, "12.5K   H    ON   AUTO  ON"},
        {0x00, "25.0K   L    OFF   OFF  OFF"},
        {0xC0, "25.0K   L    OFF   OFF  OFF"},
        {0x10, "25.0K   L    OFF   ON   OFF"},
        {0x01, "25.0K   L    OFF  AUTO  OFF"},  // AUTO without scan ON still shows AUTO
        {0x28, "25.0K   L    ON    OFF  ON"},
    };
    for (const auto& [options, text] : cases) {
        EXPECT_EQ(ChannelOptionText(options), text) << int(options);
    }
    EXPECT_EQ(ChannelOptionLine(1, 0x06), "01 12.5K   H    OFF   OFF  OFF");
    EXPECT_EQ(ChannelOptionLine(99, 0x00), "99 25.0K   L    OFF   OFF  OFF");
}

TEST(ChannelOptions, ListSkipsChannelsWithoutRx) {
    Document doc = test::DocumentOf(test::ChannelLines("B-TB"));
    doc.state.ChOption = {0xC6, 0x06, 0x40, 0xFF};
    const auto entries = ChannelOptionList(doc);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].channel, 0);
    EXPECT_EQ(entries[0].line, "01 12.5K   H    OFF   OFF  OFF");
    EXPECT_EQ(entries[1].channel, 3);
    EXPECT_EQ(entries[1].line, "04 12.5K   H    ON   AUTO  ON");
}

TEST(ChannelOptions, DialogChoicesGiveBackEveryOptionBit) {
    for (int byte = 0; byte < 256; ++byte) {
        const auto options = static_cast<std::uint8_t>(byte);
        ASSERT_EQ(OptionBits(OptionChoices(options)), options & kOptionMask) << byte;
    }
    // The even item of each pair is its bit: SPACE 12.5K is bit 1, BEAT-SHIFT ON bit 5.
    const ChannelOptionChoices choices = OptionChoices(0x22);
    EXPECT_TRUE(choices.first[kPairSpace]);
    EXPECT_TRUE(choices.first[kPairShift]);
    EXPECT_FALSE(choices.first[kPairPower] || choices.first[kPairBclo] ||
                 choices.first[kPairScan] || choices.autoScan);
}

TEST(ChannelOptions, SettingKeepsPresenceBitsAndMarksOnlyAChangeDirty) {
    Document doc;
    doc.lines.assign(3, PresetChannelLine(1, "446.006250"));
    doc.state.ChOption = {0xC2, 0x82, 0x00};
    // Channel, options given, whether that changes the document, the byte stored.
    const std::tuple<int, std::uint8_t, bool, std::uint8_t> steps[] = {
        {0, 0x02, false, 0xC2},  // the same options: nothing changes
        {0, 0xFF, true, 0xFF},   // bits 7 and 6 come from the channel, not the argument
        {1, 0x11, true, 0x91},
        {2, 0x3F, true, 0x3F},
        {3, 0x3F, false, 0}};  // 3: no such channel
    for (const auto& [channel, options, changed, stored] : steps) {
        doc.state.Dirty = false;
        EXPECT_EQ(SetChannelOptions(doc, channel, options), changed) << channel;
        EXPECT_EQ(doc.state.Dirty, changed) << channel;
        if (channel < 3) {
            EXPECT_EQ(doc.state.ChOption[channel], stored) << channel;
        }
    }
}

}  // namespace
}  // namespace petrel
