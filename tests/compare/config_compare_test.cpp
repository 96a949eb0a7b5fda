#include "core/compare/config_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/document/new_config.h"
#include "core/model/authorization.h"
#include "core/model/channel_line.h"
#include "core/model/workspace.h"
#include "core/util/text.h"
#include "support/documents.h"

namespace petrel {
namespace {

std::vector<std::string> Texts(const std::vector<ConfigDifference>& differences) {
    std::vector<std::string> texts;
    for (const auto& difference : differences) {
        texts.push_back(difference.Text());
    }
    return texts;
}

class CompareTest : public ::testing::Test {
  protected:
    // A new configuration of band and channels, as the new-radio dialog builds it.
    Document& New(int band, int channels) {
        return workspace.At(BuildNewConfiguration(workspace, band, channels));
    }
    std::vector<std::string> Compare(const Document& a, const Document& b) {
        return Texts(CompareConfigurations(authorization, a, "a.cfg", b, "b.cfg"));
    }
    Workspace workspace;
    Authorization authorization;
};

TEST_F(CompareTest, AConfigurationEqualsItsCopyAndTheToneFillLayoutOfTheSameTones) {
    Document& a = New(12, 4);
    a.lines[1] = ChannelLine(2, "446.006250", 1, "446.018750", 51);
    Document b = a;
    EXPECT_TRUE(Compare(a, b).empty());
    // The tone fill writes its own layout ("001 =  67.0"); the codes are what count.
    b.lines[1] = RenumberLine(2, Mid(a.lines[1], 0, 16) + ToneFillField(1) + "  " +
                                     Mid(a.lines[1], 29, 12) + ToneFillField(51));
    ASSERT_NE(b.lines[1], a.lines[1]);
    EXPECT_TRUE(Compare(a, b).empty()) << Compare(a, b).front();
    // Options of a channel without a receive frequency are not the radio's.
    a.lines[3] = EmptyChannelLine(4);
    b.lines[3] = EmptyChannelLine(4);
    b.state.ChOption[3] ^= 0x3F;
    EXPECT_TRUE(Compare(a, b).empty());
}

TEST_F(CompareTest, EveryKindOfDifferenceInTheProgramsOwnWords) {
    Document& a = New(12, 3);
    a.lines = {ChannelLine(1, "446.006250", 1, "446.018750", 0),
               ChannelLine(2, "450.000000", 0, "NONE", 0),
               ChannelLine(3, "460.000000", 0, "460.000000", 0)};
    a.state.ChOption = {0x00, 0x00, 0x00};
    Document b = a;
    b.lines[0] = ChannelLine(1, "446.012500", 0, "NONE", 0);  // Rx, its tone, Tx gone
    b.lines[1] = ChannelLine(2, "450.000000", 0, "440.000000", 154);
    b.lines[2] = EmptyChannelLine(3);
    b.state.ChOption[0] = 0x3F;  // every option at once, scan AUTO
    b.state.ChOption[2] = 0x3F;  // unused channel: not compared
    test::Poke(b.state.SysBlock, "00=D2");
    b.info.CustomerName = "Depot";
    EXPECT_EQ(Compare(a, b),
              (std::vector<std::string>{
                  "CH 1 Rx Freq.: 446.006250 | 446.012500",
                  "CH 1 Rx_CTCSS/DCS: 001=  67.0 | 000=  None",
                  "CH 1 Tx Freq.: 446.018750 | NONE",
                  "CH 1 SPACE: 25.0K | 12.5K",
                  "CH 1 RF_PWR: L | H",
                  "CH 1 BCLO: OFF | ON",
                  "CH 1 SCAN: OFF | AUTO",
                  "CH 1 SHIFT: OFF | ON",
                  "CH 2 Tx Freq.: NONE | 440.000000",
                  "CH 2 Tx_CTCSS/DCS: 000=  None | 154=  754",
                  "CH 3 Rx Freq.: 460.000000 | NONE",
                  "CH 3 Tx Freq.: 460.000000 | NONE",
                  "Conventional Buttons, Side Buttons, Side Button A Short Press: Monitor | "
                  "Nuisance Delete",
                  "Conventional Buttons, Side Buttons, Side Button A Long Press: Unassigned | Call",
                  "Radio Information, Customer:  | Depot",
              }));
    // The channel differences say which channel they are.
    for (const auto& difference : CompareConfigurations(authorization, a, "a.cfg", b, "b.cfg")) {
        EXPECT_EQ(difference.channel,
                  difference.where.starts_with("CH ") ? std::stoi(difference.where.substr(3)) : 0);
    }
}

TEST_F(CompareTest, BandsAndChannelCountsMayDifferAndOnlyChannelsInUseAreOnlyInOne) {
    Document& pmr = New(9, 3);
    Document& uhf = New(6, 5);
    for (int n = 1; n <= 4; ++n) {
        uhf.lines[n - 1] = ChannelLine(n, "450.000000", 0, "450.000000", 0);
    }
    const auto texts = Compare(pmr, uhf);
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[0], "Model: Petrel (PMR) | UHF Mid Band");
    EXPECT_EQ(texts[1], "Channels: 3 | 5");
    EXPECT_TRUE(texts[2].starts_with("CH 1 Rx Freq.: 446.006250 | 450.000000")) << texts[2];
    EXPECT_NE(std::find(texts.begin(), texts.end(), "CH 4: only in b.cfg"), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "CH 5: only in b.cfg"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(),
                        "Radio Information, Frequency Range: 446.00625 ~ 446.09375 | 440 ~ 470"),
              texts.end());
    // The other way round the first configuration has the channel.
    const auto back = Compare(uhf, pmr);
    EXPECT_NE(std::find(back.begin(), back.end(), "CH 4: only in a.cfg"), back.end());
    EXPECT_EQ(back.size(), texts.size());
}

}  // namespace
}  // namespace petrel
