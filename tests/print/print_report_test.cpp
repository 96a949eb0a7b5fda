// The printed report drawn on a text surface, which keeps every text with its place.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "channels/channel_line.h"
#include "document/new_config.h"
#include "document/program_state.h"
#include "print/print_report.h"
#include "print/text_surface.h"

namespace petrel {
namespace {

using Texts = std::vector<std::string>;
constexpr ReportTime kTime{2004, 1, 5, 9, 7, 3};

struct Row {
    int page;
    int y;
    std::vector<TextSurface::Drawn> items;  // texts only, left to right
    Texts texts() const {
        Texts t;
        for (const auto& item : items) {
            t.push_back(item.text);
        }
        return t;
    }
};

// The printed lines in the order of the pages, each with its texts.
std::vector<Row> Rows(const TextSurface& surface) {
    std::map<std::pair<int, int>, Row> rows;
    for (const auto& item : surface.Items()) {
        if (!item.text.empty()) {
            Row& row =
                rows.try_emplace({item.page, item.y}, Row{item.page, item.y, {}}).first->second;
            row.items.push_back(item);
        }
    }
    std::vector<Row> ordered;
    for (auto& [key, row] : rows) {
        std::sort(row.items.begin(), row.items.end(),
                  [](const auto& a, const auto& b) { return a.x < b.x; });
        ordered.push_back(row);
    }
    return ordered;
}

// The rows from the one whose first text is first, up to (not including) the one whose first
// text is end.
std::vector<Texts> Between(const std::vector<Row>& rows, const std::string& first,
                           const std::string& end) {
    std::vector<Texts> texts;
    bool inside = false;
    for (const Row& row : rows) {
        inside = (inside || row.texts().front() == first) && row.texts().front() != end;
        if (inside) {
            texts.push_back(row.texts());
        }
    }
    return texts;
}

struct Printed {
    TextSurface surface;
    PrintResult result;
};

Printed PrintOn(const ProgramState& state, const Document& doc, double widthMm = 210,
                double heightMm = 297) {
    Printed printed{TextSurface(PrintableTwips(widthMm), PrintableTwips(heightMm)), {}};
    printed.result = PrintReport(printed.surface, state, doc, [] { return kTime; });
    return printed;
}

TEST(PrintReport, ANinetyNineChannelReportRunsOverThreeNumberedPages) {
    ProgramState state;
    const Document& doc = state.workspace.At(BuildNewConfiguration(state, 11, 99));
    const Printed printed = PrintOn(state, doc);
    ASSERT_TRUE(printed.result.Complete());
    EXPECT_EQ(printed.result.pages, 3);
    EXPECT_EQ(printed.surface.Pages(), 3);
    EXPECT_TRUE(printed.surface.Ended());

    std::vector<Texts> heads;
    int channels = 0;
    for (const Row& row : Rows(printed.surface)) {
        if (row.y == 0) {
            heads.push_back(row.texts());
        }
        channels += std::count(doc.lines.begin(), doc.lines.end(), row.texts().front());
    }
    EXPECT_EQ(heads, (std::vector<Texts>{
                         {"Temp1", "Page :1"}, {"Temp1", "Page :2"}, {"Temp1", "Page :3"}}));
    EXPECT_EQ(channels, 99);
}

// A configuration with known options: beep off, talkback on, priority on, tone check off.
TEST(PrintReport, SectionsPrintTheDialogsCaptionsAndEntriesWithoutChangingTheDocument) {
    ProgramState state;
    state.ProgDate = "Jan-05-2004";
    Document& doc = state.workspace.At(BuildNewConfiguration(state, 10, 3));
    doc.lines[2] = EmptyChannelLine(3);
    for (const auto& [at, value] : {std::pair{0x00, 0x24},
                                    {0x01, 0xD6},
                                    {0x05, 0x01},
                                    {0x06, 0x09},
                                    {0x07, 0xA2},
                                    {0x08, 0x33},
                                    {0x09, 0x83},
                                    {0x0A, 0x20},
                                    {0x0E, 0x82},
                                    {0x0F, 0x4F},
                                    {0x17, 0x03}}) {
        doc.state.SysBlock[at] = static_cast<std::uint8_t>(value);
    }
    doc.state.Key4Assigned = true;
    const Document before = doc;

    const Printed printed = PrintOn(state, doc);
    const std::vector<Row> rows = Rows(printed.surface);
    EXPECT_EQ(Between(rows, "Model:Petrel (Korea)", "System Parameter (Basic)"),
              (std::vector<Texts>{{"Model:Petrel (Korea)", "Range:448.7500 ~ 449.2625MHz"},
                                  {"Customer:", "Serial No:", "Programming Date: Jan-05-2004"}}));
    EXPECT_EQ(
        Between(rows, "System Parameter (Basic)",
                " CH   Rx Freq.  Rx_CTCSS/DCS   Tx Freq.  Tx_CTCSS/DCS  CH SPACE RF_PWR BCLO SCAN "
                "SHIFT"),
        (std::vector<Texts>{
            {"System Parameter (Basic)"},
            {"Timer Out Time: 45 s", "Power Save Cycle: 300 mS", "Squelch Setting: Tight"},
            {"Long Press Time: 4.5 s", "VOX Attack Time: 80 mS     ", "VOX Release Time: 1600 ms"},
            {"PTT Resume Time: 20s", "BEEP: OFF"},
            {"System Parameter (Scan)"},
            {"Scan Resume Time: 1.0S", "Talkback: YES", "Tx Channel: Selected"},
            {"Channel 1: YES", "Sample Time: 1.5S", "CTCSS/DCS CHECK: NO"},
            {"Conventional Buttons"},
            {"Side Button A", "Short Press: Toggle High/Low Power"},
            {"Long Press: Nuisance Delete"},
            {"Side Button B", "Short Press: Toggle Tight/Normal Squelch"},
            {"Long Press: Call"}}));

    // Three columns at thirds of the usable width; the left margin is the width of "ZZ".
    const auto& row = std::find_if(rows.begin(), rows.end(), [](const Row& r) {
                          return r.texts().front() == "Customer:";
                      })->items;
    const int margin = 2 * 120;  // 10-point characters
    const int rightEdge = printed.surface.ScaleWidth() - 4 * margin;
    EXPECT_EQ(row[0].x, margin);
    EXPECT_EQ(row[1].x, margin + rightEdge / 3);
    EXPECT_EQ(row[2].x, margin + 2 * rightEdge / 3);

    // Opening the dialog resets the transmit channel 9 of a 3-channel radio; the report does not.
    EXPECT_EQ(doc.state.SysBlock, before.state.SysBlock);
    EXPECT_FALSE(doc.state.Dirty);
}

TEST(PrintReport, TheTablePrintsEveryChannelWithAReceiveFrequency) {
    const std::string rxOnly = "2   446.018750  000=  None   NONE        000=  None   ";
    const struct {
        const char* name;
        std::vector<std::string> lines;
        std::vector<Texts> printed;
    } cases[] = {
        {"no channel has Rx", {EmptyChannelLine(1), EmptyChannelLine(2)}, {}},
        {"Rx without Tx",
         {EmptyChannelLine(1), rxOnly, EmptyChannelLine(3)},
         {{rxOnly, "12.5K   H    ON   AUTO  OFF"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramState state;
        Document& doc = state.workspace.At(BuildNewConfiguration(state, 9, 3));
        doc.lines = c.lines;
        doc.state.ChOption = {0x80, 0x8F, 0x00};
        const Printed printed = PrintOn(state, doc);
        const std::vector<Row> rows = Rows(printed.surface);
        // The column header, then the channels, then the closing line.
        const auto head = std::find_if(rows.begin(), rows.end(), [](const Row& r) {
            return r.texts().front().starts_with(" CH ");
        });
        ASSERT_NE(head, rows.end());
        std::vector<Texts> channels;
        for (auto it = head + 1; it + 1 < rows.end(); ++it) {
            channels.push_back(it->texts());
        }
        EXPECT_EQ(channels, c.printed);
        EXPECT_EQ(rows.back().texts(), (Texts{"Print Date: Jan-05-2004", "Time: 09:07:03"}));
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

// Pages break where the pen reaches the break line or a line would leave the paper: never by
// counting lines. Nothing is printed off the paper on any side.
TEST(PrintReport, PagesBreakByThePensPositionAndNothingLeavesThePaper) {
    const struct {
        const char* paper;
        double widthMm;
        double heightMm;
    } papers[] = {
        {"A4", 210, 297}, {"Letter", 215.9, 279.4}, {"A5", 148, 210}, {"A4 landscape", 297, 210}};
    ProgramState state;
    const Document& doc = state.workspace.At(BuildNewConfiguration(state, 11, 99));
    for (const auto& paper : papers) {
        SCOPED_TRACE(paper.paper);
        const Printed printed = PrintOn(state, doc, paper.widthMm, paper.heightMm);
        const TextSurface& s = printed.surface;
        const int line = s.LineHeight();
        const int breakY = std::min(kPageBreakY, s.ScaleHeight() - line);
        int pages = 0;
        int lastChannelBottom = 0;
        int previousPage = 1;
        for (const Row& row : Rows(s)) {
            if (row.page != previousPage) {
                // The page before ended with the first channel that reached the break line.
                EXPECT_GE(lastChannelBottom, breakY);
                EXPECT_LT(lastChannelBottom - line, breakY);
                previousPage = row.page;
            }
            if (std::find(doc.lines.begin(), doc.lines.end(), row.texts().front()) !=
                doc.lines.end()) {
                lastChannelBottom = row.y + line;
            }
            for (const auto& item : row.items) {
                EXPECT_LE(item.x + s.TextWidth(item.text), s.ScaleWidth()) << item.text;
                EXPECT_LE(row.y + line, s.ScaleHeight()) << item.text;
            }
            pages = row.page;
        }
        EXPECT_EQ(pages, printed.result.pages);
        EXPECT_GT(pages, 1);
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
    ProgramState state;
    const Document& doc = state.workspace.At(BuildNewConfiguration(state, 11, 99));
    RefusingSurface surface(PrintableTwips(210), PrintableTwips(297));
    const PrintResult result = PrintReport(surface, state, doc, [] { return kTime; });
    ASSERT_FALSE(result.Complete());
    EXPECT_EQ(result.failures.front(), "page 2: out of paper");
    const auto channels = std::count_if(
        surface.Items().begin(), surface.Items().end(),
        [&](auto& item) { return std::count(doc.lines.begin(), doc.lines.end(), item.text) == 1; });
    EXPECT_EQ(channels, 99);
    EXPECT_TRUE(surface.Ended());
    const auto& items = surface.Items();
    ASSERT_GE(items.size(), 2u);
    EXPECT_EQ(items[items.size() - 2].text, "Print Date: Jan-05-2004");
}

}  // namespace
}  // namespace petrel
