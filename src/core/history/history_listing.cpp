#include "core/history/history_listing.h"

#include <algorithm>

#include "core/model/band_table.h"
#include "core/util/text.h"

namespace petrel {

namespace {

std::string CsvCell(const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        return cell;
    }
    std::string quoted = "\"";
    for (const char c : cell) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

// Cells are counted in characters, not bytes, so that a customer name with accents lines up.
std::size_t Width(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

std::string HistoryBandText(int band) {
    if (band == 0) {
        return {};
    }
    if (band > kBandCount) {
        return std::to_string(band);
    }
    return Trim(BandName(BandRow(band)));
}

std::vector<std::string> HistoryCells(const HistoryRecord& record) {
    return {std::to_string(record.id),
            record.time,
            record.operation,
            record.result,
            EscapeControls(record.serialNo),
            EscapeControls(record.customer),
            HistoryBandText(record.band),
            record.channels != 0 ? std::to_string(record.channels) : std::string(),
            record.port,
            record.fileName.empty() ? record.backup : record.fileName};
}

std::string HistoryTable(const std::vector<HistoryRecord>& records) {
    std::vector<std::vector<std::string>> rows;
    rows.emplace_back(kHistoryColumns.begin(), kHistoryColumns.end());
    for (const auto& record : records) {
        rows.push_back(HistoryCells(record));
    }
    std::vector<std::size_t> widths(kHistoryColumns.size(), 0);
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], Width(row[i]));
        }
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) {
                line += std::string(widths[i] - Width(row[i]) + 2, ' ');
            }
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        text += line + "\n";
    }
    return text;
}

std::string HistoryCsv(const std::vector<HistoryRecord>& records) {
    std::string text;
    const auto addRow = [&text](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            text += (i == 0 ? "" : ",") + CsvCell(cells[i]);
        }
        text += "\r\n";
    };
    addRow({kHistoryColumns.begin(), kHistoryColumns.end()});
    for (const auto& record : records) {
        addRow(HistoryCells(record));
    }
    return text;
}

}  // namespace petrel
