#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/channels/channel_csv.h"
#include "core/model/document_edit.h"

namespace petrel {

struct Document;

// The channel grid: every channel on one row, its frequencies, tones and options in columns,
// edited in place under the channel dialogs' rules (the frequency entry, JudgeFreq's checks,
// the tone boxes, the option dialog's choices and its power authorization).
enum class GridColumn {
    Channel,
    RxFreq,
    RxTone,
    TxFreq,
    TxTone,
    Spacing,
    Power,
    Bclo,
    Scan,
    Shift
};
inline constexpr int kGridColumns = 10;
inline constexpr std::array<const char*, kGridColumns> kGridCaptions = {
    "CH",      "Rx MHz", "Rx tone", "Tx MHz", "Tx tone",
    "Spacing", "Power",  "BCLO",    "Scan",   "Beat shift"};

// What an edit of the grid does: the change to make (one undo step), or why nothing changes.
struct GridEdit {
    DocumentChange change;  // empty when refused or when nothing would change
    std::string refusal;    // the message of the first refused cell; empty when accepted
    int refusedRow = -1;    // its row
    bool Refused() const { return !refusal.empty(); }
};

// What the authorization options allow the grid now.
struct GridRules {
    bool fixedChannelsOnly = false;  // the band's channel table is all a frequency may take
    bool powerAuthorized = false;    // the RF power may be changed
};

// A view of one document for the grid; made afresh for each use, it holds no state.
class ChannelGrid {
  public:
    ChannelGrid(const Document& doc, GridRules rules);

    int Rows() const;
    // A cell as the grid shows it: frequencies and tones as the channel list shows them
    // ("446.006250", "001=  67.0"), options in the option dialog's words ("12.5K", "HIGH",
    // "AUTO"); a channel without a receive frequency shows no options (it has none to edit).
    std::string Text(int row, GridColumn column) const;
    // Whether the cell takes input: never the channel number, nor a tone of a side without a
    // frequency, nor the options of a channel without a receive frequency, nor the RF power
    // while it is not authorized.
    bool Editable(int row, GridColumn column) const;
    // What a cell offers to pick from: the tone list, an option's words, and while the band's
    // channel table is all it may take, the table ("NONE" first). Empty: typed only.
    std::vector<std::string> Choices(int row, GridColumn column) const;
    // The message a cell's tool tip gives about what it takes.
    std::string Hint(int row, GridColumn column) const;

    // One cell set to a typed or picked text. A frequency is typed as in the channel dialog
    // (digits fill the band's form and the 1 kHz digit completes it onto the raster, or a whole
    // frequency, or NONE) and refused with the dialog's message when it is out of range or off
    // the raster; a tone as in the tone boxes; an option as one of its words.
    GridEdit Set(int row, GridColumn column, std::string_view text) const;
    // The same text into the same column of every row named, as one change; one refused row
    // refuses them all.
    GridEdit SetRows(const std::vector<int>& rows, GridColumn column, std::string_view text) const;
    // Each column's cell of the first row copied into the other rows (Ctrl+D).
    GridEdit FillDown(const std::vector<int>& rows, const std::vector<GridColumn>& columns) const;
    // The rows emptied, as the list's Delete empties lines.
    GridEdit Clear(const std::vector<int>& rows) const;

    // Copied cells as tab-separated text: whole rows in the CSV columns with their names in the
    // header row (as Export Channels writes them); other cells as shown, one line per row.
    std::string Copy(const std::vector<int>& rows, const std::vector<GridColumn>& columns) const;
    // A paste from row on: text with the CSV columns' names (from the grid or a spreadsheet,
    // tab- or comma-separated) or the list's copied lines, planned through the CSV import's
    // checks with the rows going on row + 1, row + 2, ... Nothing is changed; the plan's change
    // is applied as one step. Nothing when the text is neither (then PasteCells is tried).
    std::optional<ChannelCsvImport> PlanPaste(std::string_view text, int row,
                                              bool skipUnstorable) const;
    // The comma-separated text PlanPaste plans with its rows going on row + 1, ... (for the
    // import's report); nothing when the text has neither the columns' names nor list lines.
    std::optional<std::string> PasteCsv(std::string_view text, int row) const;
    // The import's options for a paste from row on.
    ChannelImportOptions PasteOptions(int row, bool skipUnstorable) const;
    // Cells without a header: each line a row from row on, each tab-separated value a column
    // from column on, set as Set would; one refused cell refuses them all.
    GridEdit PasteCells(std::string_view text, int row, GridColumn column) const;

  private:
    GridEdit SetCells(const std::vector<std::pair<int, GridColumn>>& cells,
                      const std::vector<std::string>& texts) const;

    const Document& doc_;
    GridRules rules_;
};

}  // namespace petrel
