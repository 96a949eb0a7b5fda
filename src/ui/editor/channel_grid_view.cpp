#include "ui/editor/channel_grid_view.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <map>
#include <set>
#include <utility>

#include "core/channels/freq_entry.h"
#include "core/model/band_table.h"
#include "core/model/radio_image.h"
#include "core/ports/status_line.h"
#include "ui/editor/channel_box_widget.h"
#include "ui/editor/channel_import_dialog.h"

namespace petrel {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

GridColumn ColumnOf(int column) {
    return static_cast<GridColumn>(column);
}

bool IsFreqColumn(int column) {
    return ColumnOf(column) == GridColumn::RxFreq || ColumnOf(column) == GridColumn::TxFreq;
}

// The frequency editor of a cell: the channel dialog's frequency box over its own entry model.
struct EntryHolder {
    explicit EntryHolder(int width) : entry(width) {}
    FreqEntry entry;
};
class CellFreqBox : private EntryHolder, public FreqBox {
  public:
    CellFreqBox(int width, QWidget* parent) : EntryHolder(width), FreqBox(entry, parent) {}
    FreqEntry& Entry() { return entry; }
};

}  // namespace

// The document's channels as a table; every read and write goes through ChannelGrid.
class ChannelGridModel : public QAbstractTableModel {
  public:
    ChannelGridModel(ChannelGridView& view) : QAbstractTableModel(&view), view_(view) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : Grid().Rows();
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : kGridColumns;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < kGridColumns) {
            return QString::fromLatin1(kGridCaptions[static_cast<std::size_t>(section)]);
        }
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.isValid() && Grid().Editable(index.row(), ColumnOf(index.column()))) {
            flags |= Qt::ItemIsEditable;
        }
        return flags;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= Grid().Rows()) {
            return {};
        }
        const GridColumn column = ColumnOf(index.column());
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                return Text(Grid().Text(index.row(), column));
            case Qt::ToolTipRole: {
                const auto refused = refusals_.find({index.row(), index.column()});
                return Text(refused != refusals_.end() ? refused->second
                                                       : Grid().Hint(index.row(), column));
            }
            case Qt::TextAlignmentRole:
                return index.column() == 0 ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                           : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
            default:
                return {};
        }
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || role != Qt::EditRole) {
            return false;
        }
        const GridEdit edit =
            Grid().Set(index.row(), ColumnOf(index.column()), value.toString().toStdString());
        return view_.Apply(edit, index.column());
    }

    // Every cell again; the rows stay (a document never changes its channel count), so open
    // editors and the selection stay too.
    void Reload() {
        if (rowCount() > 0) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, kGridColumns - 1));
        }
    }
    void SetRefusal(int row, int column, const std::string& message) {
        if (message.empty()) {
            refusals_.erase({row, column});
        } else {
            refusals_[{row, column}] = message;
        }
        const QModelIndex at = index(row, column);
        emit dataChanged(at, at, {Qt::ToolTipRole});
    }

  private:
    ChannelGrid Grid() const {
        ChannelGridView::Host& host = view_.HostOf();
        return ChannelGrid(host.doc(), host.rules());
    }

    ChannelGridView& view_;
    std::map<std::pair<int, int>, std::string> refusals_;
};

namespace {

// Cell editors: the frequency box, or a list to pick from (tones and a fixed band's channels
// may be typed too). Ctrl+Return sets the text on every selected row instead of one cell.
class GridDelegate : public QStyledItemDelegate {
  public:
    explicit GridDelegate(ChannelGridView& view) : QStyledItemDelegate(&view), view_(view) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                          const QModelIndex& index) const override {
        ChannelGridView::Host& host = view_.HostOf();
        const ChannelGrid grid(host.doc(), host.rules());
        const std::vector<std::string> choices =
            grid.Choices(index.row(), ColumnOf(index.column()));
        if (choices.empty() && IsFreqColumn(index.column())) {
            auto* box = new CellFreqBox(ValueWidth(DocumentBandEdges(host.doc()).low), parent);
            box->setObjectName("txtGridFreq");
            box->setFrame(false);
            return box;
        }
        auto* combo = new QComboBox(parent);
        combo->setObjectName("cboGridCell");
        for (const std::string& choice : choices) {
            combo->addItem(Text(choice));
        }
        // Options are picked; tones and a fixed band's channels may be typed as well.
        const GridColumn column = ColumnOf(index.column());
        combo->setEditable(column < GridColumn::Spacing);
        combo->setInsertPolicy(QComboBox::NoInsert);
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        const QString text = index.data(Qt::EditRole).toString();
        if (auto* box = dynamic_cast<CellFreqBox*>(editor)) {
            box->Entry().Load(text.toStdString());
            box->Entry().SelectAll();  // a digit starts a new frequency, as in the dialog
            box->Sync();
        } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            const int at = combo->findText(text);
            if (at >= 0) {
                combo->setCurrentIndex(at);
            }
            if (combo->isEditable()) {
                combo->setEditText(text);
                combo->lineEdit()->selectAll();
            }
        }
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, EditorText(editor), Qt::EditRole);
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& /*index*/) const override {
        QRect rect = option.rect;
        rect.setWidth(std::max(rect.width(), editor->sizeHint().width()));
        editor->setGeometry(rect);
    }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor != nullptr && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                (key->modifiers() & Qt::ControlModifier)) {
                const QString text = EditorText(editor);
                const int column = view_.currentIndex().column();
                emit const_cast<GridDelegate*>(this)->closeEditor(editor, NoHint);
                view_.SetOnSelectedRows(column, text);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

  private:
    static QString EditorText(QWidget* editor) {
        if (auto* box = dynamic_cast<CellFreqBox*>(editor)) {
            return Text(box->Entry().Text());
        }
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            return combo->currentText();
        }
        return {};
    }

    ChannelGridView& view_;
};

}  // namespace

ChannelGridView::ChannelGridView(Host host, QWidget* parent)
    : QTableView(parent), host_(std::move(host)), model_(new ChannelGridModel(*this)) {
    setObjectName("grdChannels");
    setModel(model_);
    setItemDelegate(new GridDelegate(*this));
    setFont(ColumnFont());
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setAlternatingRowColors(true);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    FitColumns();
}

ChannelGrid ChannelGridView::Grid() const {
    return ChannelGrid(host_.doc(), host_.rules());
}

void ChannelGridView::Refresh() {
    model_->Reload();
}

void ChannelGridView::FitColumns() {
    // Wide enough for the texts a cell can hold, so that nothing is cut.
    const QFontMetrics metrics(font());
    const int pad = metrics.horizontalAdvance(' ') + 6;
    const char* widest[kGridColumns] = {"99",         "446.006250", "000=  None", "446.006250",
                                        "000=  None", "25.0K",      "HIGH",       "OFF",
                                        "AUTO",       "OFF"};
    for (int column = 0; column < kGridColumns; ++column) {
        const int header = horizontalHeader()->fontMetrics().horizontalAdvance(
            QString::fromLatin1(kGridCaptions[static_cast<std::size_t>(column)]));
        const int cell = metrics.horizontalAdvance(QString::fromLatin1(widest[column]));
        setColumnWidth(column, std::max(header, cell) + pad);
    }
}

int ChannelGridView::NeededWidth() const {
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < kGridColumns; ++column) {
        width += columnWidth(column);
    }
    return width;
}

std::vector<int> ChannelGridView::SelectedRows() const {
    std::set<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        rows.insert(index.row());
    }
    if (rows.empty() && currentIndex().isValid()) {
        rows.insert(currentIndex().row());
    }
    return {rows.begin(), rows.end()};
}

std::vector<int> ChannelGridView::SelectedColumns() const {
    std::set<int> columns;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        columns.insert(index.column());
    }
    if (columns.empty() && currentIndex().isValid()) {
        columns.insert(currentIndex().column());
    }
    return {columns.begin(), columns.end()};
}

void ChannelGridView::SelectRow(int row) {
    if (row < 0 || row >= model_->rowCount()) {
        return;
    }
    const QModelIndex first = model_->index(row, 1);
    selectionModel()->setCurrentIndex(
        first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(first);
}

bool ChannelGridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (index.isValid() && (model_->flags(index) & Qt::ItemIsEditable) &&
        IsFreqColumn(index.column()) && host_.beginFrequencyEdit &&
        (editTriggers() & trigger) != 0 && state() != EditingState) {
        host_.beginFrequencyEdit();
    }
    return QTableView::edit(index, trigger, event);
}

void ChannelGridView::ShowRefusal(int row, int column, const std::string& message) {
    model_->SetRefusal(row, column, message);
    if (!message.empty() && host_.status != nullptr) {
        host_.status->SetStatus(message, kStatusRed, kStatusFontNormal);
        QApplication::beep();
    }
}

bool ChannelGridView::Apply(const GridEdit& edit, int column) {
    if (edit.Refused()) {
        ShowRefusal(edit.refusedRow, column, edit.refusal);
        return false;
    }
    for (const LineEdit& line : edit.change.lines) {
        model_->SetRefusal(line.index, column, {});
    }
    if (!edit.change.Empty()) {
        host_.apply(edit.change);
    }
    return true;
}

void ChannelGridView::SetOnSelectedRows(int column, const QString& text) {
    if (column < 0) {
        return;
    }
    Apply(Grid().SetRows(SelectedRows(), ColumnOf(column), text.toStdString()), column);
}

void ChannelGridView::FillDown() {
    std::vector<GridColumn> columns;
    for (const int column : SelectedColumns()) {
        columns.push_back(ColumnOf(column));
    }
    const std::vector<int> columnsSelected = SelectedColumns();
    Apply(Grid().FillDown(SelectedRows(), columns),
          columnsSelected.empty() ? 1 : columnsSelected.front());
}

void ChannelGridView::ClearSelected() {
    Apply(Grid().Clear(SelectedRows()), 1);
}

void ChannelGridView::CopySelection() {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) {
        return;
    }
    // Whole rows when every selected row is selected from end to end.
    std::vector<int> columns = SelectedColumns();
    const bool wholeRows =
        selectionModel()->selectedIndexes().size() == static_cast<int>(rows.size()) * kGridColumns;
    if (wholeRows) {
        columns.clear();
        for (int column = 0; column < kGridColumns; ++column) {
            columns.push_back(column);
        }
    }
    std::vector<GridColumn> gridColumns;
    for (const int column : columns) {
        gridColumns.push_back(ColumnOf(column));
    }
    QGuiApplication::clipboard()->setText(Text(Grid().Copy(rows, gridColumns)));
}

void ChannelGridView::Paste() {
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    const QModelIndex at = currentIndex().isValid() ? currentIndex() : model_->index(0, 1);
    if (text.empty() || !at.isValid()) {
        return;
    }
    const ChannelGrid grid = Grid();
    if (const auto csv = grid.PasteCsv(text, at.row())) {
        ChannelCsvImport plan =
            PlanChannelsImport(host_.doc(), *csv, grid.PasteOptions(at.row(), false));
        if (!plan.CanImport()) {
            // The import's report: what each row would do, and the choice to skip the refused.
            ChannelImportDialog report(host_.doc(), *csv, host_.rules().fixedChannelsOnly,
                                       "the clipboard", this);
            report.SetFirstChannel(at.row() + 1);
            if (report.exec() != QDialog::Accepted || !report.Plan().CanImport()) {
                return;
            }
            plan = report.Plan();
        }
        host_.apply(plan.change);
        if (host_.status != nullptr) {
            ShowStatus(*host_.status, plan.Summary());
        }
        return;
    }
    Apply(grid.PasteCells(text, at.row(), ColumnOf(std::max(1, at.column()))),
          std::max(1, at.column()));
}

void ChannelGridView::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::ControlModifier && event->key() == Qt::Key_D) {
        FillDown();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ControlModifier)) {
        // Not editing: the current cell's text onto the other selected rows.
        const QModelIndex current = currentIndex();
        if (current.isValid()) {
            SetOnSelectedRows(current.column(), current.data(Qt::EditRole).toString());
        }
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace petrel
