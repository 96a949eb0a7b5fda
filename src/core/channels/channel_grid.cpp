#include "core/channels/channel_grid.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <sstream>

#include "core/channels/channel_dialogs.h"
#include "core/channels/channel_options.h"
#include "core/channels/freq_entry.h"
#include "core/channels/line_editing.h"
#include "core/model/band_table.h"
#include "core/model/bit_text.h"
#include "core/model/channel_line.h"
#include "core/model/freq_codec.h"
#include "core/model/tone_table.h"
#include "core/util/text.h"

namespace petrel {

namespace {

constexpr std::size_t kToneCodeWidth = 6;  // "001=" and its blanks, as the list shows them
constexpr std::uint8_t kPresenceBits = 0xC0;

bool IsFreq(GridColumn column) {
    return column == GridColumn::RxFreq || column == GridColumn::TxFreq;
}
bool IsTone(GridColumn column) {
    return column == GridColumn::RxTone || column == GridColumn::TxTone;
}
int SideOf(GridColumn column) {
    return column == GridColumn::RxFreq || column == GridColumn::RxTone ? kRx : kTx;
}
// The option pair of an option column.
int PairOf(GridColumn column) {
    return static_cast<int>(column) - static_cast<int>(GridColumn::Spacing);
}
bool IsOption(GridColumn column) {
    return column >= GridColumn::Spacing;
}

std::string FreqField(const std::string& line, int side) {
    const ParsedLine fields = ParseLine(line);
    return Trim(side == kRx ? fields.LineRxFreq : fields.LineTxFreq);
}
bool HasRx(const std::string& line) {
    return FreqField(line, kRx) != FreqEntry::kNone;
}

std::string ToneText(int code) {
    return Trim(PadRight(PadCode3(code) + "=", kToneCodeWidth) + ToneDescription(code));
}

std::string OptionText(std::uint8_t options, GridColumn column) {
    const ChannelOptionChoices choices = OptionChoices(options);
    if (column == GridColumn::Scan && choices.autoScan) {
        return kAutoScanText;
    }
    const int pair = PairOf(column);
    return choices.first[pair] ? kOptionFrames[pair].first : kOptionFrames[pair].second;
}

std::vector<std::string> OptionWords(GridColumn column) {
    const int pair = PairOf(column);
    std::vector<std::string> words = {kOptionFrames[pair].first, kOptionFrames[pair].second};
    if (column == GridColumn::Scan) {
        words.emplace_back(kAutoScanText);
    }
    return words;
}

// Rows and columns of text separated by tabs (a spreadsheet's copy) or commas.
std::vector<std::vector<std::string>> Cells(std::string_view text, char separator) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::vector<std::string> cells;
        std::size_t at = 0;
        for (std::size_t end; (end = line.find(separator, at)) != std::string::npos; at = end + 1) {
            cells.push_back(line.substr(at, end - at));
        }
        cells.push_back(line.substr(at));
        rows.push_back(std::move(cells));
    }
    while (!rows.empty() && rows.back().size() == 1 && Trim(rows.back()[0]).empty()) {
        rows.pop_back();
    }
    return rows;
}

// A cell for comma-separated text: quoted when it holds a comma or a quote.
std::string CsvCell(const std::string& cell) {
    if (cell.find_first_of(",\"") == std::string::npos) {
        return cell;
    }
    std::string quoted = "\"";
    for (const char c : cell) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

// Whether a line is one the channel list shows (its copies, "1   446.006250  000=  None ...").
bool IsListLine(const std::string& line) {
    const ParsedLine fields = ParseLine(line);
    const auto isFreq = [](const std::string& text) {
        return Trim(text) == FreqEntry::kNone || FreqToHz(Trim(text)).has_value();
    };
    return LeadingNumber(fields.LineCh) > 0 && isFreq(fields.LineRxFreq) &&
           isFreq(fields.LineTxFreq) && Mid(line, 19, 1) == "=";
}

}  // namespace

ChannelGrid::ChannelGrid(const Document& doc, GridRules rules) : doc_(doc), rules_(rules) {}

int ChannelGrid::Rows() const {
    return static_cast<int>(doc_.lines.size());
}

std::string ChannelGrid::Text(int row, GridColumn column) const {
    const std::string& line = doc_.lines.at(static_cast<std::size_t>(row));
    const ParsedLine fields = ParseLine(line);
    switch (column) {
        case GridColumn::Channel:
            return std::to_string(row + 1);
        case GridColumn::RxFreq:
        case GridColumn::TxFreq:
            return FreqField(line, SideOf(column));
        case GridColumn::RxTone:
        case GridColumn::TxTone: {
            const int side = SideOf(column);
            const bool absent = FreqField(line, side) == FreqEntry::kNone || !HasRx(line);
            return ToneText(absent ? 0
                                   : static_cast<int>(LeadingNumber(
                                         side == kRx ? fields.LineRxTone : fields.LineTxTone)));
        }
        default:
            break;
    }
    if (!HasRx(line)) {
        return {};
    }
    const auto index = static_cast<std::size_t>(row);
    return OptionText(index < doc_.state.ChOption.size() ? doc_.state.ChOption[index] : 0, column);
}

bool ChannelGrid::Editable(int row, GridColumn column) const {
    const std::string& line = doc_.lines.at(static_cast<std::size_t>(row));
    if (column == GridColumn::Channel) {
        return false;
    }
    if (IsTone(column)) {
        return FreqField(line, SideOf(column)) != FreqEntry::kNone;
    }
    if (IsOption(column)) {
        return HasRx(line) && (column != GridColumn::Power || rules_.powerAuthorized);
    }
    return true;
}

std::vector<std::string> ChannelGrid::Choices(int /*row*/, GridColumn column) const {
    std::vector<std::string> choices;
    if (IsTone(column)) {
        for (int code = 0; code <= kLastToneCode; ++code) {
            choices.push_back(ToneText(code));
        }
    } else if (IsOption(column)) {
        choices = OptionWords(column);
    } else if (IsFreq(column) && rules_.fixedChannelsOnly) {
        choices.emplace_back(FreqEntry::kNone);
        for (int i = 1; i <= PresetCount(doc_.state.Band); ++i) {
            choices.push_back(Trim(PresetFreq(doc_.state.Band, i)));
        }
    }
    return choices;
}

std::string ChannelGrid::Hint(int row, GridColumn column) const {
    if (IsTone(column)) {
        return ToneEntryHint();
    }
    if (column == GridColumn::Power && !rules_.powerAuthorized) {
        return "The RF power is changed only while it is authorized (Help > Authorization)";
    }
    if (IsOption(column) && !HasRx(doc_.lines.at(static_cast<std::size_t>(row)))) {
        return "A channel without a receive frequency has no options";
    }
    if (IsFreq(column)) {
        return rules_.fixedChannelsOnly
                   ? "Pick one of the band's channels (Authorize Frequency lifts this lock)"
                   : "Type the frequency in MHz, or its digits down to the kHz (446006 gives "
                     "446.006250); NONE for no frequency";
    }
    return {};
}

GridEdit ChannelGrid::Set(int row, GridColumn column, std::string_view text) const {
    return SetCells({{row, column}}, {std::string(text)});
}

GridEdit ChannelGrid::SetRows(const std::vector<int>& rows, GridColumn column,
                              std::string_view text) const {
    std::vector<std::pair<int, GridColumn>> cells;
    for (const int row : rows) {
        cells.emplace_back(row, column);
    }
    return SetCells(cells, std::vector<std::string>(cells.size(), std::string(text)));
}

GridEdit ChannelGrid::FillDown(const std::vector<int>& rows,
                               const std::vector<GridColumn>& columns) const {
    if (rows.size() < 2) {
        return {};
    }
    std::vector<std::pair<int, GridColumn>> cells;
    std::vector<std::string> texts;
    for (const GridColumn column : columns) {
        if (column == GridColumn::Channel) {
            continue;
        }
        const std::string first = Text(rows.front(), column);
        for (auto row = rows.begin() + 1; row != rows.end(); ++row) {
            // A tone or option cell the first row leaves empty has nothing to give.
            if (!first.empty() || IsFreq(column)) {
                cells.emplace_back(*row, column);
                texts.push_back(first);
            }
        }
    }
    return SetCells(cells, texts);
}

GridEdit ChannelGrid::Clear(const std::vector<int>& rows) const {
    GridEdit edit;
    for (const LineEdit& line : DeleteLines(rows)) {
        if (line.index >= 0 && line.index < Rows() &&
            doc_.lines[static_cast<std::size_t>(line.index)] != line.line) {
            edit.change.lines.push_back(line);
        }
    }
    return edit;
}

GridEdit ChannelGrid::SetCells(const std::vector<std::pair<int, GridColumn>>& cells,
                               const std::vector<std::string>& texts) const {
    GridEdit edit;
    // The rows as the cells so far leave them: several cells of one row build on each other.
    std::map<int, std::string> lines;
    std::map<int, std::uint8_t> options;
    const BandEdges edges = DocumentBandEdges(doc_);
    const int band = doc_.state.Band;
    const auto refuse = [&](int row, std::string why) {
        edit.change = {};
        edit.refusal = std::move(why);
        edit.refusedRow = row;
        return edit;
    };
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const auto [row, column] = cells[i];
        if (row < 0 || row >= Rows() || column == GridColumn::Channel) {
            continue;
        }
        const auto index = static_cast<std::size_t>(row);
        std::string& line = lines.try_emplace(row, doc_.lines[index]).first->second;
        std::uint8_t& option =
            options
                .try_emplace(row, index < doc_.state.ChOption.size() ? doc_.state.ChOption[index]
                                                                     : std::uint8_t{0})
                .first->second;
        const std::string typed = Trim(texts[i]);
        const int side = SideOf(column);
        const std::string channel = "Channel " + std::to_string(row + 1) + ": ";

        if (IsFreq(column) && rules_.fixedChannelsOnly) {
            FixedChannelModel fixed(band, row + 1, line);
            int chosen = -1;
            const auto hz = FreqToHz(typed);
            for (int entry = 0; entry < static_cast<int>(fixed.Frequencies().size()); ++entry) {
                const std::string item = Trim(fixed.Frequencies()[static_cast<std::size_t>(entry)]);
                if (entry == 0 ? (typed.empty() || ToUpperAscii(typed) == item)
                               : hz && FreqToHz(item) == hz) {
                    chosen = entry;
                    break;
                }
            }
            if (chosen < 0) {
                return refuse(row, channel + typed + " MHz is not one of the band's channels");
            }
            fixed.SetFreqIndex(side, chosen);
            line = fixed.Line();
        } else if (IsFreq(column)) {
            ChannelEditModel model(row + 1, line, edges.low, edges.high);
            FreqEntry& entry = model.Freq(side);
            if (typed.empty() || ToUpperAscii(typed) == FreqEntry::kNone) {
                entry.SetNone();
            } else if (entry.Paste(typed) == EntryResult::Refused) {
                // Digits as typed into the box over a selected text: the 1 kHz digit completes.
                entry.SelectAll();
                for (const char c : typed) {
                    if (c == '.') {
                        continue;
                    }
                    if (c < '0' || c > '9' || entry.TypeDigit(c) == EntryResult::Refused) {
                        return refuse(row, channel + typed +
                                               " is not a frequency: type it in MHz (446.00625) "
                                               "or its digits down to the kHz (446006)");
                    }
                }
            }
            if (std::string why = model.JudgeFreq(side); !why.empty()) {
                return refuse(row, channel + why);
            }
            line = model.Line();
        } else if (IsTone(column)) {
            if (FreqField(line, side) == FreqEntry::kNone) {
                return refuse(row, channel + "a side without a frequency has no tone");
            }
            const auto code = ToneCodeOf(typed);
            if (!code) {
                return refuse(row, channel + ToneInputError());
            }
            ChannelEditModel model(row + 1, line, edges.low, edges.high);
            model.SetTone(side, *code);
            line = model.Line();
        } else {
            if (column == GridColumn::Power && !rules_.powerAuthorized) {
                return refuse(row, Hint(row, column));
            }
            if (!HasRx(line)) {
                return refuse(row, channel +
                                       "a channel without a receive frequency has no "
                                       "options");
            }
            const std::vector<std::string> words = OptionWords(column);
            const auto word = std::find(words.begin(), words.end(), ToUpperAscii(typed));
            if (word == words.end()) {
                std::string list;
                for (const std::string& w : words) {
                    list += (list.empty() ? "" : &w == &words.back() ? " or " : ", ") + w;
                }
                return refuse(row,
                              channel + kGridCaptions[static_cast<int>(column)] + " is " + list);
            }
            ChannelOptionChoices choices = OptionChoices(option);
            if (*word == kAutoScanText) {
                choices.autoScan = true;
            } else {
                if (column == GridColumn::Scan) {
                    choices.autoScan = false;
                }
                choices.first[PairOf(column)] = word == words.begin();
            }
            option = static_cast<std::uint8_t>((option & kPresenceBits) | OptionBits(choices));
        }
    }
    for (const auto& [row, line] : lines) {
        if (line != doc_.lines[static_cast<std::size_t>(row)]) {
            edit.change.lines.push_back({row, line});
        }
    }
    for (const auto& [row, option] : options) {
        const auto index = static_cast<std::size_t>(row);
        if (index < doc_.state.ChOption.size() && option != doc_.state.ChOption[index]) {
            edit.change.options.push_back({row, option});
        }
    }
    return edit;
}

std::string ChannelGrid::Copy(const std::vector<int>& rows,
                              const std::vector<GridColumn>& columns) const {
    std::string text;
    if (static_cast<int>(columns.size()) == kGridColumns) {
        std::vector<int> channels;
        for (const int row : rows) {
            channels.push_back(row + 1);
        }
        std::sort(channels.begin(), channels.end());
        // Export's rows as they are, their commas as tabs (no cell of theirs holds a comma).
        for (const char c : ExportChannelsCsv(doc_, channels).text) {
            if (c != '\r') {
                text += c == ',' ? '\t' : c;
            }
        }
        return text;
    }
    for (const int row : rows) {
        std::string line;
        for (const GridColumn column : columns) {
            line += (line.empty() && column == columns.front() ? "" : "\t") + Text(row, column);
        }
        text += line + "\n";
    }
    return text;
}

ChannelImportOptions ChannelGrid::PasteOptions(int row, bool skipUnstorable) const {
    ChannelImportOptions options;
    options.fixedChannelsOnly = rules_.fixedChannelsOnly;
    options.firstChannel = row + 1;
    options.skipUnstorable = skipUnstorable;
    return options;
}

std::optional<ChannelCsvImport> ChannelGrid::PlanPaste(std::string_view text, int row,
                                                       bool skipUnstorable) const {
    const auto csv = PasteCsv(text, row);
    if (!csv) {
        return std::nullopt;
    }
    return PlanChannelsImport(doc_, *csv, PasteOptions(row, skipUnstorable));
}

std::optional<std::string> ChannelGrid::PasteCsv(std::string_view text, int row) const {
    const auto rows = Cells(text, text.find('\t') != std::string_view::npos ? '\t' : ',');
    if (rows.empty()) {
        return std::nullopt;
    }
    const auto& header = rows.front();
    if (std::find(header.begin(), header.end(), "Frequency") != header.end()) {
        std::string converted;
        for (const auto& cells : rows) {
            std::string line;
            for (std::size_t i = 0; i < cells.size(); ++i) {
                line += (i == 0 ? "" : ",") + CsvCell(cells[i]);
            }
            converted += line + "\n";
        }
        return converted;
    }
    // The list's lines: their channels as Export would write them on the channels they go to,
    // each with that channel's own options, then checked as any import is.
    std::vector<std::string> lines;
    std::istringstream input{std::string(text)};
    for (std::string line; std::getline(input, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (Trim(line).empty()) {
            continue;
        }
        if (!IsListLine(line)) {
            return std::nullopt;
        }
        lines.push_back(line);
    }
    Document placed = doc_;
    std::vector<int> channels;
    for (std::size_t i = 0; i < lines.size() && row + static_cast<int>(i) < Rows(); ++i) {
        const int channel = row + static_cast<int>(i) + 1;
        placed.lines[static_cast<std::size_t>(channel - 1)] = RenumberLine(channel, lines[i]);
        channels.push_back(channel);
    }
    if (channels.empty()) {
        return std::nullopt;
    }
    return ExportChannelsCsv(placed, channels).text;
}

GridEdit ChannelGrid::PasteCells(std::string_view text, int row, GridColumn column) const {
    std::vector<std::pair<int, GridColumn>> cells;
    std::vector<std::string> texts;
    const auto rows = Cells(text, '\t');
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const int at = static_cast<int>(column) + static_cast<int>(c);
            if (row + static_cast<int>(r) < Rows() && at < kGridColumns) {
                cells.emplace_back(row + static_cast<int>(r), static_cast<GridColumn>(at));
                texts.push_back(rows[r][c]);
            }
        }
    }
    return SetCells(cells, texts);
}

}  // namespace petrel
