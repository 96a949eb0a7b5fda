#pragma once

#include <QTableView>
#include <functional>
#include <vector>

#include "core/channels/channel_grid.h"

namespace petrel {

class ChannelGridModel;
class StatusLine;
struct Document;

// The channel grid of one editor: all of a channel on one row, edited in place like a
// spreadsheet under the channel dialogs' rules (ChannelGrid). A refused value leaves the cell
// as it was; its message goes to the status line and the cell's tool tip.
class ChannelGridView : public QTableView {
    Q_OBJECT
  public:
    // What the editor lends the grid.
    struct Host {
        std::function<Document&()> doc;
        std::function<GridRules()> rules;
        // Makes a change as one undo step and shows it in the editor's other views.
        std::function<void(const DocumentChange&)> apply;
        // A frequency cell is about to be edited: the channel dialog's lock rule runs first.
        std::function<void()> beginFrequencyEdit;
        StatusLine* status = nullptr;
    };
    explicit ChannelGridView(Host host, QWidget* parent = nullptr);

    // Every cell again from the document (after any change of it).
    void Refresh();
    // The width that shows every column whole, without horizontal scrolling.
    int NeededWidth() const;
    // The rows that have a selected cell, ascending.
    std::vector<int> SelectedRows() const;
    void SelectRow(int row);

    // Ctrl+Return: text into the column of every selected row.
    void SetOnSelectedRows(int column, const QString& text);
    // Ctrl+D: the first selected row's cells into the other selected rows.
    void FillDown();
    // Delete: the selected channels emptied.
    void ClearSelected();
    // Ctrl+C: the selection on the clipboard as tab-separated text.
    void CopySelection();
    // Ctrl+V: the clipboard from the current row on.
    void Paste();

    // The grid's own words for a whole-rows paste whose rows the import refused.
    Host& HostOf() { return host_; }
    // Shows a refusal (or clears it with an empty text) for the cell at row, column.
    void ShowRefusal(int row, int column, const std::string& message);
    bool Apply(const GridEdit& edit, int column);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

  private:
    ChannelGrid Grid() const;
    void FitColumns();
    std::vector<int> SelectedColumns() const;

    Host host_;
    ChannelGridModel* model_;
};

}  // namespace petrel
