#include "core/print/print_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <initializer_list>

#include "core/channels/channel_options.h"
#include "core/document/config_file.h"
#include "core/model/authorization.h"
#include "core/model/channel_line.h"
#include "core/model/info_page.h"
#include "core/ports/print_surface.h"
#include "core/settings/button_options.h"
#include "core/settings/radio_info.h"
#include "core/settings/system_options.h"

namespace petrel {

namespace {

constexpr const char* kMarginSample = "ZZ";
constexpr int kMarginsPerWidth = 4;  // the usable width leaves four margins off
constexpr const char* kPageLabel = "Page :";
constexpr const char* kPageSample = "Page :1";  // the page number stands right of its width
constexpr int kColumns = 3;
constexpr int kPressColumnDivisor = 5;  // the press labels start at a fifth of the width
constexpr int kRuleWidth = 12;          // twips: five dots of a 600 dpi printer
constexpr double kSmallestFontSize = 6;
constexpr double kFontSizeStep = 0.5;
constexpr const char* kItemSeparator = ": ";
constexpr const char* kBeepOn = "BEEP: ON ";
constexpr const char* kBeepOff = "BEEP: OFF";
constexpr const char* kScanPrefix = "Scan ";
constexpr const char* kPrintDateLabel = "Print Date: ";
constexpr const char* kTimeLabel = "Time: ";
constexpr std::size_t kProgDateBox = 3;  // "Programming Date" of the radio information window

using Texts = std::vector<std::string>;

std::string YesNo(bool on) {
    return on ? "YES" : "NO";
}

class Report {
  public:
    Report(PrintSurface& surface, const Authorization& authorization, const Document& doc)
        : s_(surface), authorization_(authorization), doc_(doc) {}

    PrintResult Run(const LocalTime& printedAt) {
        Step("the page layout", [this] { Layout(); });
        s_.EndLine();
        Step("the page head", [this] { PrintHead(); });
        s_.EndLine();
        Step("the radio information", [this] { PrintHeadInfo(); });
        s_.EndLine();
        Step("the rule", [this] { DrowLine(); });
        Step("the system options", [this] { SystemSection(); });
        Step("the buttons", [this] { ButtonSection(); });
        Step("the channel table head", [this] {
            DrowLine();
            TableHead();
        });
        ChannelTable();
        // The closing lines need a page of their own when they would run off this one.
        if (s_.CurrentY() + 3 * s_.LineHeight() > s_.ScaleHeight()) {
            Step("page " + std::to_string(pageNo_ + 1), [this] { PrnNextPage(false); });
        }
        s_.EndLine();
        Step("the closing line", [&] {
            DrowLine();
            PrintEndInfo(printedAt);
        });
        Step("the end of the document", [this] { s_.EndDoc(); });
        result_.pages = pageNo_;
        return std::move(result_);
    }

  private:
    // A part that fails is left out; the report goes on with the next.
    template <typename Part>
    void Step(const std::string& what, Part&& part) {
        try {
            part();
        } catch (const std::exception& error) {
            result_.failures.push_back(what + ": " + error.what());
        }
    }

    void Layout() {
        margin_ = s_.TextWidth(kMarginSample);
        rightEdge_ = s_.ScaleWidth() - kMarginsPerWidth * margin_;
        s_.SetOriginX(margin_);
        tableHead_ = std::string(kColumnHeader) + " " + std::string(kOptionListTitle);
        // The option texts stand under the option titles, right of the title's channel column.
        const std::size_t numberWidth =
            ChannelOptionLine(1, 0).size() - ChannelOptionText(0).size();
        const std::size_t optionColumn = kColumnHeader.size() + 1 + numberWidth;
        // The table is the widest part. It must end within the rules, which end at RightEdge:
        // a smaller size where its widest row (the head, or a channel's line with its options)
        // would run past them.
        const std::vector<ChannelOptionEntry> used = ChannelOptionList(doc_);
        const auto tableWidth = [&] {
            const int optionX = s_.TextWidth(tableHead_.substr(0, optionColumn));
            const int lineX = s_.TextWidth(" ");
            int widest =
                std::max(s_.TextWidth(tableHead_), optionX + s_.TextWidth(ChannelOptionText(0)));
            for (const ChannelOptionEntry& entry : used) {
                widest = std::max({widest, lineX + s_.TextWidth(doc_.lines.at(entry.channel)),
                                   optionX + s_.TextWidth(ChannelOptionText(
                                                 doc_.state.ChOption.at(entry.channel)))});
            }
            return widest;
        };
        // So must the last text of every row of the head and the system section.
        std::vector<Texts> rows = HeadInfoRows();
        const SystemRows system = MakeSystemRows();
        rows.insert(rows.end(), system.basic.begin(), system.basic.end());
        rows.insert(rows.end(), system.scan.begin(), system.scan.end());
        const auto fits = [&] {
            return tableWidth() <= rightEdge_ && std::ranges::all_of(rows, [&](const Texts& row) {
                       return row.empty() ||
                              Column(static_cast<int>(row.size()) - 1) + s_.TextWidth(row.back()) <=
                                  rightEdge_;
                   });
        };
        double size = kReportFontSize;
        s_.SetFont(kReportFont, size);
        while (!fits() && size > kSmallestFontSize) {
            size -= kFontSizeStep;
            s_.SetFont(kReportFont, size);
        }
        optionX_ = s_.TextWidth(tableHead_.substr(0, optionColumn));
        breakY_ = std::min(kPageBreakY, s_.ScaleHeight() - s_.LineHeight());
    }

    int Column(int n) const { return n * rightEdge_ / kColumns; }

    void At(int x, const std::string& text) {
        s_.SetCurrentX(x);
        s_.Print(text);
    }

    void Centred(const std::string& text) {
        At((rightEdge_ - s_.TextWidth(text)) / 2, text);
        s_.EndLine();
    }

    void Row(const Texts& items) {
        int column = 0;
        for (const std::string& item : items) {
            At(Column(column++), item);
        }
        s_.EndLine();
    }

    void PrintHead() {
        s_.SetCurrentY(0);
        const std::string title = FileBase(doc_.title);
        At((rightEdge_ - s_.TextWidth(title)) / 2, title);
        At(rightEdge_ - s_.TextWidth(kPageSample), kPageLabel + std::to_string(pageNo_));
        s_.EndLine();
    }

    std::vector<Texts> HeadInfoRows() const {
        const std::string progDate = std::string(kRadioInfoBoxes[kProgDateBox].caption) +
                                     kItemSeparator + RadioInfoTexts(doc_)[kProgDateBox];
        return {{doc_.modelLabel, doc_.rangeLabel},
                {doc_.customerLabel, doc_.serialLabel, progDate}};
    }

    void PrintHeadInfo() {
        for (const Texts& row : HeadInfoRows()) {
            Row(row);
        }
    }

    void DrowLine() {
        s_.DrawLine(0, rightEdge_, kRuleWidth);
        s_.EndLine();
    }

    void TableHead() {
        At(0, tableHead_);
        s_.EndLine();
        s_.EndLine();
    }

    void PrnNextPage(bool tableHead) {
        s_.NewPage();
        ++pageNo_;
        PrintHead();
        s_.EndLine();
        if (tableHead) {
            DrowLine();
            TableHead();
        }
    }

    // The rows of the system section, each item the caption, ": " and the entry.
    struct SystemRows {
        std::vector<Texts> basic;
        std::vector<Texts> scan;
    };
    SystemRows MakeSystemRows() const {
        const SystemOptions options = ReadSystemOptions(doc_);
        const auto item = [&](SysList list) {
            return kSysListControls[list].caption + std::string(kItemSeparator) +
                   options.Text(list);
        };
        const auto check = [&](SysCheck box) {
            return kSysCheckControls[box].caption + std::string(kItemSeparator) +
                   YesNo(options.checked[box]);
        };
        return {{{item(kTimeOutList), item(kPowerSaveList), item(kSquelchList)},
                 {item(kLongPressList), item(kVoxAttackList), item(kVoxReleaseList)},
                 {item(kPttResumeList), options.checked[kBeepCheck] ? kBeepOn : kBeepOff}},
                {{kScanPrefix + item(kScanResumeList), check(kTalkBackCheck), item(kTxChannelList)},
                 {check(kPriorCheck), item(kSampleTimeList), check(kPriorToneCheck)}}};
    }

    void SystemSection() {
        const SystemRows rows = MakeSystemRows();
        Centred(kBasicSectionTitle);
        for (const Texts& row : rows.basic) {
            Row(row);
        }
        s_.EndLine();
        Centred(kScanSectionTitle);
        for (const Texts& row : rows.scan) {
            Row(row);
        }
        s_.EndLine();
    }

    void ButtonSection() {
        const ButtonOptions buttons = OpenButtons(doc_.state, authorization_.PowerKeyAuth);
        Centred(kButtonsCaption);
        // The side buttons; the front buttons are not printed.
        for (const int frame : {0, 1}) {
            const auto shortList = static_cast<ButtonList>(2 * frame);
            const auto longList = static_cast<ButtonList>(2 * frame + 1);
            At(0, kButtonFrames[frame].caption);
            At(rightEdge_ / kPressColumnDivisor,
               std::string(kShortPressLabel) + " " + buttons.Text(shortList));
            s_.EndLine();
            At(rightEdge_ / kPressColumnDivisor,
               std::string(kLongPressLabel) + " " + buttons.Text(longList));
            s_.EndLine();
        }
    }

    // Every channel with a receive frequency: its line and its options.
    void ChannelTable() {
        const std::vector<ChannelOptionEntry> used = ChannelOptionList(doc_);
        for (std::size_t i = 0; i < used.size(); ++i) {
            const int channel = used[i].channel;
            Step("channel " + std::to_string(channel + 1), [&] {
                At(s_.TextWidth(" "), doc_.lines.at(channel));
                At(optionX_, ChannelOptionText(doc_.state.ChOption.at(channel)));
                s_.EndLine();
            });
            if (s_.CurrentY() >= breakY_ && i + 1 < used.size()) {
                Step("page " + std::to_string(pageNo_ + 1), [this] { PrnNextPage(true); });
            }
        }
    }

    void PrintEndInfo(const LocalTime& time) {
        At(0, PrintDateText(time));
        const std::string clock = PrintTimeText(time);
        At(rightEdge_ - s_.TextWidth(clock), clock);
        s_.EndLine();
    }

    PrintSurface& s_;
    const Authorization& authorization_;
    const Document& doc_;
    PrintResult result_;
    int margin_ = 0;
    int rightEdge_ = 0;
    int optionX_ = 0;
    int breakY_ = kPageBreakY;
    int pageNo_ = 1;
    std::string tableHead_;
};

}  // namespace

std::string PrintDateText(const LocalTime& time) {
    return kPrintDateLabel + FormatRadioDate(time.year, time.month, time.day);
}

std::string PrintTimeText(const LocalTime& time) {
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", time.hour % 100, time.minute % 100,
                  time.second % 100);
    return kTimeLabel + std::string(clock);
}

PrintResult PrintReport(PrintSurface& surface, const Authorization& authorization,
                        const Document& doc, const LocalTime& printedAt) {
    return Report(surface, authorization, doc).Run(printedAt);
}

int PrintableTwips(double sideMm) {
    return static_cast<int>(std::lround((sideMm - 2 * kPaperBorderMm) / 25.4 * kTwipsPerInch));
}

}  // namespace petrel
