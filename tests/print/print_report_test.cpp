// The printed report drawn on a text surface, which keeps every text with its place.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "core/document/new_config.h"
#include "core/model/authorization.h"
#include "core/model/channel_line.h"
#include "core/model/workspace.h"
#include "core/print/print_report.h"
#include "core/print/text_surface.h"
#include "support/documents.h"
#include "support/golden.h"

namespace petrel {
namespace {

using Texts = std::vector<std::string>;
constexpr LocalTime kTime{2004, 1, 5, 9, 7, 3};

// A printed line: its items and their texts from left to right.
struct Row {
    int page = 0;
    int y = 0;
    std::vector<TextSurface::Drawn> items;
    Texts texts;
};

// The printed lines in the order of the pages.
std::vector<Row> Rows(const TextSurface& surface) {
    std::map<std::pair<int, int>, Row> rows;
    for (const auto& item : surface.Items()) {
        if (!item.text.empty()) {
            rows[{item.page, item.y}].items.push_back(item);
        }
    }
    std::vector<Row> ordered;
    for (auto& [at, row] : rows) {
        std::tie(row.page, row.y) = at;
        std::ranges::sort(row.items, {}, &TextSurface::Drawn::x);
        for (const auto& item : row.items) {
            row.texts.push_back(item.text);
        }
        ordered.push_back(row);
    }
    return ordered;
}

// The rows one a line, their items separated by "|".
std::string Text(const std::vector<Row>& rows) {
    std::string text;
    for (const Row& row : rows) {
        for (const auto& item : row.texts) {
            text += (&item == &row.texts.front() ? "" : "|") + item;
        }
        text += '\n';
    }
    return text;
}

struct Printed {
    TextSurface surface;
    PrintResult result;
};

Printed PrintOn(const Document& doc, double widthMm = 210, double heightMm = 297) {
    Printed printed{TextSurface(PrintableTwips(widthMm), PrintableTwips(heightMm)), {}};
    printed.result = PrintReport(printed.surface, Authorization{}, doc, kTime);
    return printed;
}

bool IsChannel(const Document& doc, const std::string& text) {
    return std::ranges::find(doc.lines, text) != doc.lines.end();
}

// Pages break where the pen reaches the break line or a line would leave the paper: never by
// counting lines. Each page starts with its head. Every text, the channel table's widest line
// included, stands between the ends of the rules, and the rules stand on the paper.
TEST(PrintReport, PagesBreakByThePensPositionAndEveryTextStandsWithinTheRules) {
    const struct {
        const char* paper;
        double widthMm;
        double heightMm;
        const char* progDate;  // without one, the channel table is the widest row
        int pages;             // 0: more than one
    } papers[] = {{"A4", 210, 297, "", 2},
                  {"A4", 210, 297, "Jan-05-2004", 2},
                  {"Letter", 215.9, 279.4, "", 3},
                  {"A5", 148, 210, "Jan-05-2004", 0}};
    Workspace workspace;
    Document& doc = workspace.At(BuildNewConfiguration(workspace, 11, 99));
    for (const auto& paper : papers) {
        SCOPED_TRACE(std::string(paper.paper) + " " + paper.progDate);
        doc.info.ProgDate = paper.progDate;
        const Printed printed = PrintOn(doc, paper.widthMm, paper.heightMm);
        const TextSurface& s = printed.surface;
        const int line = s.LineHeight();
        const int breakY = std::min(kPageBreakY, s.ScaleHeight() - line);
        int ruleLeft = s.ScaleWidth();
        int ruleRight = 0;
        for (const auto& item : s.Items()) {
            if (item.text.empty()) {
                ruleLeft = std::min(ruleLeft, item.x);
                ruleRight = std::max(ruleRight, item.x2);
            }
        }
        ASSERT_LT(ruleLeft, ruleRight);
        EXPECT_GE(ruleLeft, 0);
        EXPECT_LE(ruleRight, s.ScaleWidth());
        int pages = 0;
        int channels = 0;
        int lastChannelBottom = 0;
        for (const Row& row : Rows(s)) {
            if (row.page != pages) {
                // The page before ended with the first channel that reached the break line.
                if (pages > 0) {
                    EXPECT_GE(lastChannelBottom, breakY);
                    EXPECT_LT(lastChannelBottom - line, breakY);
                }
                pages = row.page;
                EXPECT_EQ(row.y, 0);
                EXPECT_EQ(row.texts, (Texts{"Temp1", "Page :" + std::to_string(pages)}));
            }
            if (IsChannel(doc, row.texts.front())) {
                lastChannelBottom = row.y + line;
                ++channels;
            }
            for (const auto& item : row.items) {
                EXPECT_GE(item.x, ruleLeft) << item.text;
                EXPECT_LE(item.x + s.TextWidth(item.text), ruleRight) << item.text;
                EXPECT_LE(row.y + line, s.ScaleHeight()) << item.text;
            }
        }
        ASSERT_TRUE(printed.result.Complete());
        EXPECT_EQ(printed.result.pages, pages);
        EXPECT_EQ(s.Pages(), pages);
        EXPECT_TRUE(paper.pages == 0 ? pages > 1 : pages == paper.pages) << pages;
        EXPECT_EQ(channels, 99);
        EXPECT_TRUE(s.Ended());
    }
}

// A configuration with known options (beep off, talkback on, priority on, tone check off):
// the whole report, row by row.
TEST(PrintReport, SectionsPrintTheDialogsCaptionsAndEntriesWithoutChangingTheDocument) {
    Workspace workspace;
    Document& doc = workspace.At(BuildNewConfiguration(workspace, 10, 3));
    doc.info.ProgDate = "Jan-05-2004";
    doc.lines[2] = EmptyChannelLine(3);
    test::Poke(doc.state.SysBlock,
               "00=24 01=D6 05=01 06=09 07=A2 08=33 09=83 0A=20 0E=82 0F=4F 17=03");
    doc.state.Key4Assigned = true;
    const Document before = doc;

    const Printed printed = PrintOn(doc);
    const std::vector<Row> rows = Rows(printed.surface);
    EXPECT_TRUE(test::MatchesGolden(Text(rows), "print/data/known_options.txt"));
    // Three columns at thirds of the usable width; the left margin is the width of "ZZ".
    const auto& row = std::ranges::find_if(rows, [](const Row& r) {
                          return r.texts.front() == "Customer:";
                      })->items;
    const int margin = 2 * 120;  // 10-point characters
    const int rightEdge = printed.surface.ScaleWidth() - 4 * margin;
    EXPECT_EQ((std::vector<int>{row[0].x, row[1].x, row[2].x}),
              (std::vector<int>{margin, margin + rightEdge / 3, margin + 2 * rightEdge / 3}));

    // Opening the dialog resets the transmit channel 9 of a 3-channel radio; the report does not.
    EXPECT_EQ(doc.state.SysBlock, before.state.SysBlock);
    EXPECT_FALSE(doc.state.Dirty);
}

TEST(PrintReport, TheTablePrintsEveryChannelWithAReceiveFrequency) {
    const std::string rxOnly = test::ChannelLines("-R-")[1];
    const struct {
        const char* kinds;
        std::vector<Texts> printed;
    } cases[] = {{"--", {}}, {"-R-", {{rxOnly, "12.5K   H    ON   AUTO  OFF"}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kinds);
        Workspace workspace;
        Document& doc = workspace.At(BuildNewConfiguration(workspace, 9, 3));
        doc.lines = test::ChannelLines(c.kinds);
        doc.state.ChOption = {0x80, 0x8F, 0x00};
        const Printed printed = PrintOn(doc);
        const std::vector<Row> rows = Rows(printed.surface);
        // The column header, then the channels, then the closing line.
        const auto head = std::ranges::find_if(
            rows, [](const Row& r) { return r.texts.front().starts_with(" CH "); });
        ASSERT_NE(head, rows.end());
        std::vector<Texts> channels;
        for (auto it = head + 1; it + 1 < rows.end(); ++it) {
            channels.push_back(it->texts);
        }
        EXPECT_EQ(channels, c.printed);
        EXPECT_EQ(printed.result.pages, 1);
        // Options under their titles: SPACE starts where the option text starts.
        if (!channels.empty()) {
            const auto& header = head->items[0];
            const int cell = printed.surface.TextWidth(" ");
            EXPECT_EQ((head + 1)->items[1].x - header.x,
                      cell * static_cast<int>(header.text.find("SPACE")));
            EXPECT_EQ((head + 1)->items[0].x - header.x, cell);
        }
    }
}

// A printer that refuses its second page: the rest of the report is still printed, and the
// result names what is missing.
class RefusingSurface : public TextSurface {
  public:
    using TextSurface::TextSurface;

  protected:
    void DeviceNewPage() override { throw PrintError("out of paper"); }
};

TEST(PrintReport, AFailedPartIsNamedAndTheRestIsPrinted) {
    Workspace workspace;
    const Document& doc = workspace.At(BuildNewConfiguration(workspace, 11, 99));
    RefusingSurface surface(PrintableTwips(210), PrintableTwips(297));
    const PrintResult result = PrintReport(surface, Authorization{}, doc, kTime);
    ASSERT_FALSE(result.Complete());
    EXPECT_EQ(result.failures.front(), "page 2: out of paper");
    EXPECT_EQ(std::ranges::count_if(surface.Items(),
                                    [&](const auto& item) { return IsChannel(doc, item.text); }),
              99);
    EXPECT_TRUE(surface.Ended());
    const auto& items = surface.Items();
    ASSERT_GE(items.size(), 2u);
    EXPECT_EQ(items[items.size() - 2].text, "Print Date: Jan-05-2004");
}

}  // namespace
}  // namespace petrel
