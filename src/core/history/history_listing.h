#pragma once

// The service history as a person reads it: columns of a listing, as aligned text for a
// terminal and as CSV for a spreadsheet. The desktop window shows the same columns.

#include <array>
#include <string>
#include <vector>

#include "core/history/service_history.h"

namespace petrel {

inline constexpr std::array<const char*, 10> kHistoryColumns = {
    "ID",       "Time", "Operation", "Result", "Serial number",
    "Customer", "Band", "Channels",  "Port",   "File"};

// The band's name ("PMR446"), or its number when the program does not know it; "" for 0.
std::string HistoryBandText(int band);
// A record's cells in the order of kHistoryColumns; the file is the configuration's, else the
// backup's. Control characters from the radio come escaped.
std::vector<std::string> HistoryCells(const HistoryRecord& record);

// A header line and one line per record, columns padded to their widest cell.
std::string HistoryTable(const std::vector<HistoryRecord>& records);
// The same as CSV: a header row, then one row per record; a cell with a comma, a quote or a
// line break is quoted, its quotes doubled.
std::string HistoryCsv(const std::vector<HistoryRecord>& records);

}  // namespace petrel
