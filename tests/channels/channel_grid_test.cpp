#include "core/channels/channel_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/channels/channel_dialogs.h"
#include "core/channels/channel_options.h"
#include "core/channels/line_editing.h"
#include "core/document/new_config.h"
#include "core/model/authorization.h"
#include "core/model/channel_line.h"
#include "core/model/document_edit.h"
#include "core/model/workspace.h"

namespace petrel {
namespace {

using Col = GridColumn;

class ChannelGridTest : public ::testing::Test {
  protected:
    // A new configuration of band 12 (440 ~ 470 MHz): channel 1 on 446.00625 with tone 1 both
    // ways and options 12.5K, HIGH; channel 2 receive only; channel 3 empty; channel 4 on 450.
    Document& New(int band = 12) {
        Document& doc = workspace.At(BuildNewConfiguration(workspace, band, 4));
        if (band == 12) {
            doc.lines = {ChannelLine(1, "446.006250", 1, "446.006250", 1),
                         ChannelLine(2, "446.018750", 0, "NONE", 0), EmptyChannelLine(3),
                         ChannelLine(4, "450.000000", 0, "450.000000", 0)};
            doc.state.ChOption = {0xC6, 0x80, 0x00, 0xC0};
        }
        return doc;
    }
    ChannelGrid Grid(const Document& doc) const {
        return ChannelGrid(
            doc, {FixedChannelsOnly(authorization, doc.state.Band), authorization.TxPowerAuth});
    }
    Workspace workspace;
    Authorization authorization;
};

TEST_F(ChannelGridTest, CellsReadAsTheListAndTheOptionDialogShowThem) {
    const Document& doc = New();
    const ChannelGrid grid = Grid(doc);
    ASSERT_EQ(grid.Rows(), 4);
    std::vector<std::string> first, empty;
    for (int column = 0; column < kGridColumns; ++column) {
        first.push_back(grid.Text(0, static_cast<Col>(column)));
        empty.push_back(grid.Text(2, static_cast<Col>(column)));
    }
    EXPECT_EQ(first,
              (std::vector<std::string>{"1", "446.006250", "001=  67.0", "446.006250", "001=  67.0",
                                        "12.5K", "HIGH", "OFF", "OFF", "OFF"}));
    EXPECT_EQ(empty, (std::vector<std::string>{"3", "NONE", "000=  None", "NONE", "000=  None", "",
                                               "", "", "", ""}));
    // What takes input: no number, no tone without a frequency, no options without Rx, the
    // power only while authorized.
    EXPECT_FALSE(grid.Editable(0, Col::Channel));
    EXPECT_TRUE(grid.Editable(1, Col::RxTone));
    EXPECT_FALSE(grid.Editable(1, Col::TxTone));
    EXPECT_FALSE(grid.Editable(2, Col::Bclo));
    EXPECT_FALSE(grid.Editable(0, Col::Power));
    authorization.TxPowerAuth = true;
    EXPECT_TRUE(Grid(doc).Editable(0, Col::Power));
    EXPECT_EQ(grid.Choices(0, Col::Scan), (std::vector<std::string>{"ON", "OFF", "AUTO"}));
    EXPECT_EQ(grid.Choices(0, Col::RxTone).size(), 155u);
    EXPECT_TRUE(grid.Choices(0, Col::RxFreq).empty());  // typed: no channel table on band 12
}

// Each write as the dialogs take it; a refusal carries the dialog's message and changes
// nothing.
TEST_F(ChannelGridTest, EveryColumnIsWrittenUnderTheDialogsRules) {
    struct Case {
        int row;
        Col column;
        const char* typed;
        const char* line;  // the channel's line after it; "" when refused
        const char* refusal;
    };
    const Case cases[] = {
        // The frequency entry: digits complete onto the raster, a whole frequency, NONE.
        {0, Col::RxFreq, "446018", "1   446.018750  001=  67.0   446.006250  001=  67.0   ", ""},
        {0, Col::TxFreq, "446012", "1   446.006250  001=  67.0   446.012500  001=  67.0   ", ""},
        {0, Col::TxFreq, "446.0125", "1   446.006250  001=  67.0   446.012500  001=  67.0   ", ""},
        {0, Col::TxFreq, "none", "1   446.006250  001=  67.0   NONE        000=  None   ", ""},
        {3, Col::RxFreq, "", "4   NONE        000=  None   450.000000  000=  None   ", ""},
        // JudgeFreq's checks, range before raster.
        {0, Col::RxFreq, "430", "", "Channel 1: Rx Freqency Out of Range !"},
        {0, Col::TxFreq, "471.0", "", "Channel 1: Tx Freqency Out of Range !"},
        {0, Col::RxFreq, "446004", "", "Channel 1: Rx Freqency in Bad Step !"},
        {0, Col::RxFreq, "44x", "",
         "Channel 1: 44x is not a frequency: type it in MHz (446.00625) or its digits down to the "
         "kHz (446006)"},
        // Tones as the tone boxes take them.
        {0, Col::RxTone, "88.5", "1   446.006250  008=  88.5   446.006250  001=  67.0   ", ""},
        {0, Col::TxTone, "d754", "1   446.006250  001=  67.0   446.006250  154=  754    ", ""},
        {0, Col::TxTone, "000=  None", "1   446.006250  001=  67.0   446.006250  000=  None   ",
         ""},
        {0, Col::RxTone, "155", "", "Channel 1: Input Err! Maximun Number is 154"},
        {1, Col::TxTone, "1", "", "Channel 2: a side without a frequency has no tone"},
        // Options: only as their words, only for a channel in use, power only when authorized.
        {0, Col::Bclo, "maybe", "", "Channel 1: BCLO is ON or OFF"},
        {0, Col::Scan, "x", "", "Channel 1: Scan is ON, OFF or AUTO"},
        {2, Col::Shift, "ON", "",
         "Channel 3: a channel without a receive frequency has no options"},
        {0, Col::Power, "LOW", "",
         "The RF power is changed only while it is authorized (Help > Authorization)"},
    };
    for (const Case& c : cases) {
        Document& doc = New();
        const GridEdit edit = Grid(doc).Set(c.row, c.column, c.typed);
        EXPECT_EQ(edit.refusal, c.refusal) << c.typed;
        if (*c.refusal != '\0') {
            EXPECT_TRUE(edit.change.Empty()) << c.typed;
            EXPECT_EQ(edit.refusedRow, c.row);
            continue;
        }
        ASSERT_EQ(edit.change.lines.size(), 1u) << c.typed;
        EXPECT_EQ(edit.change.lines[0].line, c.line) << c.typed;
        EXPECT_EQ(edit.change.lines[0].index, c.row);
    }
}

TEST_F(ChannelGridTest, OptionsKeepThePresenceBitsAndAutoStandsBesideOnAndOff) {
    Document& doc = New();
    authorization.TxPowerAuth = true;
    const auto options = [&](Col column, const char* word) {
        const GridEdit edit = Grid(doc).Set(0, column, word);
        EXPECT_EQ(edit.refusal, "");
        ChangeDocument(doc, edit.change);
        return doc.state.ChOption[0];
    };
    EXPECT_EQ(options(Col::Spacing, "25.0k"), 0xC4);
    EXPECT_EQ(options(Col::Power, "LOW"), 0xC0);
    EXPECT_EQ(options(Col::Scan, "ON"), 0xD0);
    EXPECT_EQ(options(Col::Scan, "AUTO"), 0xD1);  // ON kept underneath, AUTO shown
    EXPECT_EQ(Grid(doc).Text(0, Col::Scan), "AUTO");
    EXPECT_EQ(options(Col::Scan, "OFF"), 0xC0);
    EXPECT_EQ(options(Col::Shift, "ON"), 0xE0);
    EXPECT_EQ(options(Col::Bclo, "ON"), 0xE8);
    // A word already there changes nothing.
    EXPECT_TRUE(Grid(doc).Set(0, Col::Bclo, "ON").change.Empty());
}

TEST_F(ChannelGridTest, FixedChannelBandsOfferTheirTableWhileTheLockHolds) {
    Document& doc = New(9);
    const std::vector<std::string> choices = Grid(doc).Choices(0, Col::RxFreq);
    ASSERT_EQ(choices.size(), 9u);
    EXPECT_EQ(choices[0], "NONE");
    EXPECT_EQ(choices[8], "446.093750");
    EXPECT_EQ(Grid(doc).Set(0, Col::TxFreq, "446.09375").change.lines.at(0).line.substr(29, 10),
              "446.093750");
    EXPECT_EQ(Grid(doc).Set(0, Col::RxFreq, "446.1").refusal,
              "Channel 1: 446.1 MHz is not one of the band's channels");
    // The lock lifted, the free entry and its checks take over.
    authorization.FreqLock = false;
    EXPECT_TRUE(Grid(doc).Choices(0, Col::RxFreq).empty());
    EXPECT_EQ(Grid(doc).Set(0, Col::RxFreq, "446.1").refusal,
              "Channel 1: Rx Freqency Out of Range !");
}

TEST_F(ChannelGridTest, ManyRowsAtOnceAreOneChangeOrNone) {
    Document& doc = New();
    // One value on every row: the empty channel 3 takes Rx only from its own NONE Tx.
    GridEdit edit = Grid(doc).SetRows({0, 1, 2, 3}, Col::RxFreq, "446.5");
    EXPECT_EQ(edit.refusal, "");
    EXPECT_EQ(edit.change.lines.size(), 4u);
    // A tone on rows where one side has no frequency: that row refuses them all.
    edit = Grid(doc).SetRows({0, 1, 3}, Col::TxTone, "67.0");
    EXPECT_EQ(edit.refusal, "Channel 2: a side without a frequency has no tone");
    EXPECT_EQ(edit.refusedRow, 1);
    EXPECT_TRUE(edit.change.Empty());

    // Fill down: the first row's cells into the others, several columns at once.
    edit = Grid(doc).FillDown({0, 3}, {Col::RxFreq, Col::RxTone, Col::Spacing});
    EXPECT_EQ(edit.refusal, "");
    ChangeDocument(doc, edit.change);
    EXPECT_EQ(doc.lines[3], "4   446.006250  001=  67.0   450.000000  000=  None   ");
    EXPECT_EQ(doc.state.ChOption[3], 0xC2);
    // Onto an empty channel the tone has no frequency to go with unless it comes too.
    EXPECT_TRUE(Grid(doc).FillDown({0, 2}, {Col::RxTone}).Refused());
    EXPECT_FALSE(Grid(doc).FillDown({0, 2}, {Col::RxFreq, Col::RxTone}).Refused());

    // Clear empties the lines as the list's Delete does; an empty line is left out.
    edit = Grid(doc).Clear({1, 2});
    EXPECT_EQ(edit.change.lines, (LineEdits{{1, EmptyChannelLine(2)}}));
}

// Copied rows go out with the CSV columns' names and come back through the import's checks,
// from the row pasted on; list lines and plain cells paste too.
TEST_F(ChannelGridTest, CopiedRowsPasteBackThroughTheImportsChecks) {
    Document& doc = New();
    const std::vector<Col> all = {Col::Channel, Col::RxFreq, Col::RxTone, Col::TxFreq, Col::TxTone,
                                  Col::Spacing, Col::Power,  Col::Bclo,   Col::Scan,   Col::Shift};
    const std::string rows = Grid(doc).Copy({0, 1}, all);
    EXPECT_TRUE(rows.starts_with("Location\tName\tFrequency\tDuplex\tOffset\t")) << rows;
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 3);
    EXPECT_EQ(Grid(doc).Copy({0, 3}, {Col::RxFreq, Col::RxTone}),
              "446.006250\t001=  67.0\n450.000000\t000=  None\n");

    auto plan = Grid(doc).PlanPaste(rows, 2, false);
    ASSERT_TRUE(plan);
    EXPECT_TRUE(plan->CanImport()) << (plan->errors.empty() ? "" : plan->errors[0]);
    ApplyChannelsImport(doc, *plan);
    EXPECT_EQ(doc.lines[2], RenumberLine(3, doc.lines[0]));
    EXPECT_EQ(doc.lines[3], RenumberLine(4, doc.lines[1]));
    EXPECT_EQ(doc.state.ChOption[2] & kOptionMask, 0x06);

    // A row the band cannot hold refuses the paste, unless it is skipped.
    const std::string outside = "Location,Frequency\n1,430.0\n2,446.5\n";
    plan = Grid(doc).PlanPaste(outside, 0, false);
    ASSERT_TRUE(plan);
    EXPECT_FALSE(plan->CanImport());
    EXPECT_EQ(plan->errors.size(), 1u);
    plan = Grid(doc).PlanPaste(outside, 0, true);
    EXPECT_TRUE(plan->CanImport());
    EXPECT_EQ(plan->channels, 1);

    // The list's own lines (its Copy), on the channel pasted on.
    std::vector<std::string> clip;
    const std::string listed = CopyLines(doc.lines, {3}, clip);
    plan = Grid(doc).PlanPaste(listed, 0, false);
    ASSERT_TRUE(plan && plan->CanImport());
    ApplyChannelsImport(doc, *plan);
    EXPECT_EQ(doc.lines[0], RenumberLine(1, doc.lines[3]));

    // Anything else is cells: from the cell pasted on, all or nothing.
    EXPECT_FALSE(Grid(doc).PlanPaste("446.5\t67.0\n", 0, false));
    GridEdit cells = Grid(doc).PasteCells("446.5\t67.0\n447\tD023\n", 0, Col::RxFreq);
    EXPECT_EQ(cells.refusal, "");
    ChangeDocument(doc, cells.change);
    EXPECT_EQ(doc.lines[1].substr(0, 29), "2   447.000000  051=  023    ");
    EXPECT_TRUE(Grid(doc).PasteCells("446.5\n999\n", 0, Col::RxFreq).Refused());
}

}  // namespace
}  // namespace petrel
