#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/ports/clock.h"

namespace petrel {

class PrintSurface;
struct Document;
struct Authorization;

// The printed report of a configuration: page head, the radio's identification lines, the
// system options, the side buttons, the channel table with each used channel's options, and
// the print date and time.

inline constexpr const char* kReportFont = "Courier";
inline constexpr double kReportFontSize = 11;
// A new page starts once the pen has gone this far down a page.
inline constexpr int kPageBreakY = 14772;

inline constexpr const char* kBasicSectionTitle = "System Parameter (Basic)";
inline constexpr const char* kScanSectionTitle = "System Parameter (Scan)";

// The closing line's two texts: "Print Date: mmm-dd-yyyy" and "Time: hh:mm:ss" (24 hours).
std::string PrintDateText(const LocalTime& time);
std::string PrintTimeText(const LocalTime& time);

struct PrintResult {
    int pages = 0;
    // The parts that could not be printed, each with the reason; the rest was printed.
    std::vector<std::string> failures;
    bool Complete() const { return failures.empty(); }
};

// Prints the report of doc on surface, which has nothing on it yet, and ends the document.
// It reads the documents and the settings models only: nothing is changed, no window opened.
// A part that fails is left out and the rest goes on; the result names what was left out.
// printedAt is the closing line's date and time.
PrintResult PrintReport(PrintSurface& surface, const Authorization& authorization,
                        const Document& doc, const LocalTime& printedAt);

// Paper for a report written to a file. The printable area leaves a quarter inch blank on
// every side, as printers do.
struct Paper {
    std::string_view name;
    double widthMm;
    double heightMm;
};
inline constexpr Paper kPapers[] = {{"a4", 210, 297}, {"letter", 215.9, 279.4}};
inline constexpr double kPaperBorderMm = 6.35;
// The printable width or height of a paper side, in twips.
int PrintableTwips(double sideMm);

}  // namespace petrel
