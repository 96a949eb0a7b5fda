#include "ui/editor/config_editor_window.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>
#include <QUndoStack>
#include <algorithm>
#include <functional>
#include <optional>
#include <tuple>

#include "core/channels/channel_check.h"
#include "core/channels/channel_csv.h"
#include "core/channels/channel_dialogs.h"
#include "core/channels/line_editing.h"
#include "core/document/config_file.h"
#include "core/document/document_lifecycle.h"
#include "core/model/authorization.h"
#include "core/model/channel_line.h"
#include "core/model/workspace.h"
#include "core/ports/prompter.h"
#include "core/ports/status_line.h"
#include "core/shell/shell_model.h"
#include "ui/common/dialog_parts.h"
#include "ui/common/menus.h"
#include "ui/common/qt_ports.h"
#include "ui/editor/channel_grid_view.h"
#include "ui/editor/channel_import_dialog.h"
#include "ui/editor/channel_options_dialog.h"
#include "ui/editor/document_session.h"
#include "ui/settings/buttons_dialog.h"
#include "ui/settings/radio_info_window.h"
#include "ui/settings/system_options_dialog.h"

namespace petrel {

namespace {

constexpr int kMinFontSize = 6;
constexpr int kMaxFontSize = 24;
constexpr int kListExtra = 10;  // the list is a little wider than its header

QFont FixedFont(int pointSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(pointSize);
    return font;
}

// A header label made of a band-table text: kept as it is, blanks and all.
QLabel* HeaderLabel(const char* name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// A message made of a first line and a list, one item a line; a long list is cut short.
std::string ListMessage(const std::string& first, const std::vector<std::string>& items) {
    constexpr std::size_t kShown = 20;
    std::string text = first;
    for (std::size_t i = 0; i < items.size() && i < kShown; ++i) {
        text += kLineBreak + items[i];
    }
    if (items.size() > kShown) {
        text += kLineBreak + ("... and " + std::to_string(items.size() - kShown) + " more");
    }
    return text;
}

}  // namespace

ConfigEditorWindow::ConfigEditorWindow(Workspace& workspace, Authorization& authorization,
                                       ShellState& shell, int slot, Prompter& prompter,
                                       FileChooser& chooser, StatusLine& status, QWidget* parent)
    : QWidget(parent),
      workspace_(workspace),
      authorization_(authorization),
      shell_(shell),
      slot_(slot),
      prompter_(prompter),
      chooser_(chooser),
      status_(status),
      model_(HeaderLabel("lblModel")),
      range_(HeaderLabel("lblRange")),
      serial_(HeaderLabel("lblSerialNo")),
      customer_(HeaderLabel("lblCustomer")),
      header_(HeaderLabel("Label3")),
      list_(new QListWidget),
      session_(new DocumentSession(workspace, slot, this)),
      undo_(&session_->UndoStack()) {
    setObjectName("frmNotePad");
    setAttribute(Qt::WA_DeleteOnClose);
    ShowStatus(status_, " ");

    header_->setText(Text(std::string(kColumnHeader)));
    list_->setObjectName("lstClient");
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setUniformItemSizes(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->installEventFilter(this);
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit ChannelLineActivated(list_->row(item)); });

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setHorizontalSpacing(24);
    layout->setVerticalSpacing(2);
    layout->addWidget(model_, 0, 0);
    layout->addWidget(serial_, 0, 1);
    layout->addWidget(range_, 1, 0);
    layout->addWidget(customer_, 1, 1);
    layout->addWidget(header_, 2, 0, 1, 2);
    layout->addWidget(list_, 3, 0, 1, 2);
    layout->setRowStretch(3, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowMinimumHeight(2, 0);

    BuildMenus();
    FillList();
    Refresh();
    FitFont();

    // The list follows the document: every change shows its lines, an undo or redo selects
    // the first and checks the channels again.
    connect(session_, &DocumentSession::LinesChanged, this,
            [this](const LineEdits& lines, bool undone) {
                ShowLines(lines);
                if (undone) {
                    list_->setCurrentRow(lines.front().index, QItemSelectionModel::ClearAndSelect);
                    CheckChannels(Doc(), status_);
                }
            });
    connect(session_, &DocumentSession::LineChosen, this,
            [this](int row) { list_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect); });
    connect(session_, &DocumentSession::OptionsChanged, this, [this] {
        if (channelOptions_ && channelOptions_->isVisible()) {
            channelOptions_->Renew();
        }
    });
}

ConfigEditorWindow::~ConfigEditorWindow() = default;

Document& ConfigEditorWindow::Doc() const {
    return workspace_.At(slot_);
}

void ConfigEditorWindow::BuildMenus() {
    fileMenu_ = AddMenu(this, "mnuFile", "&File", &menus_);
    // New and Open as in the main window's File menu, so that their keys work here too.
    connect(AddItem(fileMenu_, "mnuNew", "&New", "Ctrl+N"), &QAction::triggered, this,
            &ConfigEditorWindow::NewRequested);
    connect(AddItem(fileMenu_, "mnuOpen", "&Open...", "Ctrl+O"), &QAction::triggered, this,
            &ConfigEditorWindow::OpenRequested);
    connect(AddItem(fileMenu_, "mnuClose", "&Close"), &QAction::triggered, this,
            &ConfigEditorWindow::CloseWindow);
    connect(AddItem(fileMenu_, "mnuSave", "&Save", "Ctrl+S"), &QAction::triggered, this,
            &ConfigEditorWindow::Save);
    connect(AddItem(fileMenu_, "mnuSaveAs", "Save &As..."), &QAction::triggered, this,
            &ConfigEditorWindow::SaveAs);
    fileMenu_->addSeparator();
    connect(AddItem(fileMenu_, "mnuImportChannels", "&Import Channels..."), &QAction::triggered,
            this, &ConfigEditorWindow::ImportChannels);
    connect(AddItem(fileMenu_, "mnuExportChannels", "&Export Channels..."), &QAction::triggered,
            this, &ConfigEditorWindow::ExportChannels);
    connect(AddItem(fileMenu_, "mnuCompareWith", "Compare &With..."), &QAction::triggered, this,
            &ConfigEditorWindow::CompareRequested);
    fileMenu_->addSeparator();
    const struct {
        const char* name;
        const char* text;
        ReportCommand command;
    } reportItems[] = {{"munPrint", "&Print", kPrintReport},
                       {"munPrnset", "Printer Set&up", kPrinterSetup},
                       {"mnuPreview", "Print Pre&view...", kPreviewReport},
                       {"mnuExportPdf", "Export as P&DF...", kExportPdf}};
    for (const auto& item : reportItems) {
        QAction* action = AddItem(fileMenu_, item.name, item.text);
        connect(action, &QAction::triggered, this,
                [this, command = item.command] { emit ReportRequested(command); });
        if (item.command == kPrintReport) {
            action->setShortcut(QKeySequence("Ctrl+P"));
        }
    }
    fileMenu_->addSeparator();
    recentMenu_ = AddSubmenu(fileMenu_, "mnuRecent", "&Recent Files");
    fileMenu_->addSeparator();
    connect(AddItem(fileMenu_, "mnuExit", "E&xit", "Ctrl+Q"), &QAction::triggered, this,
            &ConfigEditorWindow::ExitRequested);

    editMenu_ = AddMenu(this, "mnuEdit", "&Edit", &menus_);
    for (const auto& [name, text, key, command, enabledBy] :
         {std::tuple{"mnuEUndo", "&Undo", "Ctrl+Z", &QUndoStack::undo, &QUndoStack::canUndoChanged},
          std::tuple{"mnuERedo", "&Redo", "Ctrl+Y", &QUndoStack::redo,
                     &QUndoStack::canRedoChanged}}) {
        QAction* action = AddItem(editMenu_, name, text, key);
        action->setEnabled(false);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        connect(action, &QAction::triggered, undo_, command);
        connect(undo_, enabledBy, action, &QAction::setEnabled);
    }
    editMenu_->addSeparator();
    const struct {
        const char* name;
        const char* text;
        QKeySequence::StandardKey key;
        void (ConfigEditorWindow::*command)();
    } editItems[] = {{"mnuECut", "Cu&t", QKeySequence::Cut, &ConfigEditorWindow::Cut},
                     {"mnuECopy", "&Copy", QKeySequence::Copy, &ConfigEditorWindow::Copy},
                     {"mnuEPaste", "&Paste", QKeySequence::Paste, &ConfigEditorWindow::Paste},
                     {"mnuEDelete", "&Delete", QKeySequence::Delete, &ConfigEditorWindow::Delete}};
    for (const auto& item : editItems) {
        QAction* action = AddItem(editMenu_, item.name, item.text);
        // The keys work while the editor has the focus, not in the dialogs' text boxes.
        action->setShortcut(item.key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, item.command);
        if (item.command == &ConfigEditorWindow::Paste) {
            paste_ = action;
        }
    }
    paste_->setEnabled(false);
    connect(editMenu_, &QMenu::aboutToShow, this,
            // The grid pastes what the desktop clipboard holds.
            [this] { paste_->setEnabled(GridShown() || !shell_.ClipLines.empty()); });
    editMenu_->addSeparator();
    // "Cu&t" has the t: the fill takes the A.
    connect(AddItem(editMenu_, "mnuEautoT", "&AutoTone"), &QAction::triggered, this,
            &ConfigEditorWindow::AutoToneRequested);

    // The channels in the system's list or in the grid; Ctrl+G switches to the other.
    QMenu* view = AddMenu(this, "mnuView", "&View", &menus_);
    auto* views = new QActionGroup(this);
    viewList_ = AddItem(view, "mnuViewList", "&List");
    viewGrid_ = AddItem(view, "mnuViewGrid", "&Grid");
    for (QAction* action : {viewList_, viewGrid_}) {
        action->setCheckable(true);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        views->addAction(action);
        addAction(action);
    }
    viewList_->setChecked(true);
    viewGrid_->setShortcut(QKeySequence("Ctrl+G"));
    connect(viewList_, &QAction::triggered, this, [this] { ShowGrid(false); });
    connect(viewGrid_, &QAction::triggered, this, [this] { ShowGrid(true); });

    QMenu* feature = AddMenu(this, "mnuFeature", "Fe&ature", &menus_);
    connect(AddItem(feature, "mnuSysOp", "S&ystem"), &QAction::triggered, this,
            &ConfigEditorWindow::ShowSystemOptions);
    connect(AddItem(feature, "mnuOpCH", "C&hannel"), &QAction::triggered, this,
            &ConfigEditorWindow::ShowChannelOptions);
    connect(AddItem(feature, "mnuButtons", "&Buttons"), &QAction::triggered, this,
            &ConfigEditorWindow::ShowButtons);
    connect(AddItem(feature, "mnuInfo", "Radio &Info."), &QAction::triggered, this,
            &ConfigEditorWindow::ShowRadioInfo);

    radioMenu_ = AddMenu(this, "mnuRadio", "&Radio", &menus_);
    connect(AddItem(radioMenu_, "mnuRadioItem0", "&Upload"), &QAction::triggered, this,
            [this] { emit RadioRequested(TransferOp::Upload); });
    connect(AddItem(radioMenu_, "mnuRadioItem1", "&Download"), &QAction::triggered, this,
            [this] { emit RadioRequested(TransferOp::Download); });

    QMenu* configure = AddMenu(this, "mnuConfigure", "&Configure", &menus_);
    connect(AddItem(configure, "mnuCustomer", "&Option"), &QAction::triggered, this,
            &ConfigEditorWindow::OptionPasswordRequested);
    connect(AddItem(configure, "mnuTestHard", "&Hardware Tuner"), &QAction::triggered, this,
            &ConfigEditorWindow::HardwarePasswordRequested);

    helpMenu_ = AddMenu(this, "mnuHelp", "&Help", &menus_);
    connect(AddItem(helpMenu_, "mnuReadMe", "&Read Me", "F1"), &QAction::triggered, this,
            &ConfigEditorWindow::HelpRequested);
    connect(AddItem(helpMenu_, "mnuAbout", "&About CPS"), &QAction::triggered, this,
            &ConfigEditorWindow::AboutRequested);
}

QList<QMenu*> ConfigEditorWindow::TransferMenus() const {
    return {fileMenu_, editMenu_, radioMenu_, helpMenu_};
}

void ConfigEditorWindow::FillList() {
    list_->clear();
    for (const std::string& line : Doc().lines) {
        list_->addItem(Text(line));
    }
    if (list_->count() > 0) {
        list_->setCurrentRow(0);
    }
}

void ConfigEditorWindow::Refresh() {
    if (unloaded_) {
        return;
    }
    const Document& doc = Doc();
    // A copy of what a radio held is marked: it is never saved over.
    setWindowTitle(Text(EditorCaption(doc)));
    for (QWidget* window :
         std::initializer_list<QWidget*>{systemOptions_, buttons_, channelOptions_, radioInfo_}) {
        if (window != nullptr) {
            NameAfterDocument(window);
        }
    }
    model_->setText(Text(doc.modelLabel));
    range_->setText(Text(doc.rangeLabel));
    serial_->setText(Text(doc.serialLabel));
    customer_->setText(Text(doc.customerLabel));
}

void ConfigEditorWindow::NameAfterDocument(QWidget* window) const {
    // The window's own caption is kept aside the first time: renames replace the file name.
    constexpr const char* kOwnCaption = "ownCaption";
    if (!window->property(kOwnCaption).isValid()) {
        window->setProperty(kOwnCaption, window->windowTitle());
    }
    window->setWindowTitle(
        Text(CaptionWithFile(window->property(kOwnCaption).toString().toStdString(), Doc().title)));
}

void ConfigEditorWindow::Activate() {
    if (unloaded_) {
        return;
    }
    workspace_.SetActiveSlot(slot_);
    CheckChannels(Doc(), status_);
    paste_->setEnabled(!shell_.ClipLines.empty());
}

void ConfigEditorWindow::ShowChannelOptions() {
    // The list belongs to this document and closes with its window.
    if (!channelOptions_) {
        channelOptions_ = new ChannelOptionListDialog(workspace_, authorization_, slot_, this);
        NameAfterDocument(channelOptions_);
    }
    channelOptions_->Renew();
    ShowInFront(channelOptions_);
}

void ConfigEditorWindow::Save() {
    SaveOutcome outcome;
    {
        WaitCursor wait;
        outcome = SaveDocument(workspace_, slot_, chooser_, prompter_);
    }
    Refresh();
    AfterSave(outcome == SaveOutcome::Saved);
}

void ConfigEditorWindow::SaveAs() {
    SaveOutcome outcome;
    {
        WaitCursor wait;
        outcome = SaveDocumentAs(workspace_, slot_, chooser_, prompter_);
    }
    Refresh();
    AfterSave(outcome == SaveOutcome::Saved);
}

void ConfigEditorWindow::AfterSave(bool saved) {
    if (saved) {
        undo_->setClean();
        emit FileSaved(Text(Doc().path));
    }
}

void ConfigEditorWindow::ExportChannels() {
    const std::string name = chooser_.AskExportName(FileBase(Doc().title) + ".csv");
    if (name.empty()) {
        return;
    }
    // The lines the user chose; one selected line is only where the cursor is.
    std::vector<int> channels = SelectedRows();
    for (int& channel : channels) {
        ++channel;
    }
    const ChannelCsvExport exported =
        channels.size() > 1 ? ExportChannelsCsv(Doc(), channels) : ExportChannelsCsv(Doc());
    std::optional<std::string> error;
    {
        WaitCursor wait;
        error = WriteFileAtomically(
            name, std::vector<std::uint8_t>(exported.text.begin(), exported.text.end()));
    }
    if (error) {
        prompter_.Tell("Can't save " + name + ": " + *error + ".", Icon::Exclamation);
    } else if (!exported.warnings.empty()) {
        prompter_.Tell(ListMessage("The channels are in " + name + ", except:", exported.warnings),
                       Icon::Exclamation);
    }
}

void ConfigEditorWindow::ImportChannels() {
    const std::string name = chooser_.AskImportName();
    if (name.empty()) {
        return;
    }
    std::string why;
    const auto text = ReadChannelsCsvFile(name, why);
    if (!text) {
        prompter_.Tell(why, Icon::Exclamation);
        return;
    }
    Document& doc = Doc();
    const bool fixedOnly = FixedChannelsOnly(authorization_, doc.state.Band);
    // A file whose header cannot be read has no rows to show.
    ChannelImportOptions options;
    options.fixedChannelsOnly = fixedOnly;
    if (const ChannelCsvImport plan = PlanChannelsImport(doc, *text, options);
        plan.rows.empty() && !plan.errors.empty()) {
        prompter_.Tell(ListMessage("Nothing was imported from " + name + ":", plan.errors),
                       Icon::Exclamation);
        return;
    }
    ChannelImportDialog preview(doc, *text, fixedOnly, Text(name), this);
    if (preview.exec() != QDialog::Accepted) {
        return;
    }
    ApplyChannelsImport(doc, preview.Plan());
    if (!preview.Plan().imported) {
        return;
    }
    // The first imported line in view, selected, as after an undo.
    const LineEdits& imported = preview.Plan().change.lines;
    list_->setCurrentRow(imported.front().index, QItemSelectionModel::ClearAndSelect);
    CheckChannels(doc, status_);
}

void ConfigEditorWindow::ShowSystemOptions() {
    if (!systemOptions_) {
        systemOptions_ = new SystemOptionsDialog(workspace_, slot_, this);
        NameAfterDocument(systemOptions_);
    }
    systemOptions_->Fill();
    ShowInFront(systemOptions_);
}

void ConfigEditorWindow::ShowButtons() {
    if (!buttons_) {
        buttons_ = new ButtonsDialog(workspace_, authorization_, slot_, this);
        NameAfterDocument(buttons_);
    }
    buttons_->Fill();
    ShowInFront(buttons_);
}

void ConfigEditorWindow::ShowRadioInfo() {
    if (!radioInfo_) {
        radioInfo_ = new RadioInfoWindow(workspace_, slot_, this);
        NameAfterDocument(radioInfo_);
    }
    radioInfo_->Fill();
    ShowInFront(radioInfo_);
}

std::vector<int> ConfigEditorWindow::SelectedRows() const {
    if (GridShown()) {
        return grid_->SelectedRows();
    }
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool ConfigEditorWindow::GridShown() const {
    return grid_ != nullptr && !grid_->isHidden();
}

void ConfigEditorWindow::ShowGrid(bool grid) {
    if (grid && grid_ == nullptr) {
        ChannelGridView::Host host;
        host.doc = [this]() -> Document& { return Doc(); };
        host.rules = [this] {
            return GridRules{FixedChannelsOnly(authorization_, Doc().state.Band),
                             authorization_.TxPowerAuth};
        };
        host.apply = [this](const DocumentChange& change) { ApplyChange(change); };
        // As a double-click on a line: a channel outside the fixed-channel bands lifts the lock.
        host.beginFrequencyEdit = [this] {
            ReleaseFreqLockOutsideFixedBands(authorization_, Doc().state.Band);
        };
        host.status = &status_;
        grid_ = new ChannelGridView(std::move(host), this);
        grid_->hide();
        static_cast<QGridLayout*>(layout())->addWidget(grid_, 2, 0, 2, 2);
        connect(session_, &DocumentSession::LinesChanged, grid_, &ChannelGridView::Refresh);
        connect(session_, &DocumentSession::OptionsChanged, grid_, &ChannelGridView::Refresh);
    }
    if (grid == GridShown() && (grid || !list_->isHidden())) {
        return;
    }
    // The same channel stays current in the other view.
    const int row = grid ? list_->currentRow() : (grid_ ? grid_->currentIndex().row() : -1);
    header_->setVisible(!grid);
    list_->setVisible(!grid);
    if (grid_ != nullptr) {
        grid_->setVisible(grid);
    }
    viewGrid_->setChecked(grid);
    viewList_->setChecked(!grid);
    // The grid pastes what the desktop clipboard holds; the list, its copied lines.
    paste_->setEnabled(grid || !shell_.ClipLines.empty());
    viewGrid_->setShortcut(grid ? QKeySequence() : QKeySequence("Ctrl+G"));
    viewList_->setShortcut(grid ? QKeySequence("Ctrl+G") : QKeySequence());
    if (grid) {
        FitGrid();
        grid_->Refresh();
        grid_->SelectRow(std::max(row, 0));
        grid_->setFocus();
    } else {
        list_->setCurrentRow(std::max(row, 0), QItemSelectionModel::ClearAndSelect);
        list_->setFocus();
    }
    emit ViewChanged(grid);
}

void ConfigEditorWindow::FitGrid() {
    // Wide enough for every column, as far as the work area has the room.
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!GridShown() || frame == nullptr || frame->mdiArea() == nullptr) {
        return;
    }
    const QMargins margins = layout()->contentsMargins();
    const int needed =
        grid_->NeededWidth() + margins.left() + margins.right() + (frame->width() - width());
    const int room = frame->mdiArea()->viewport()->width();
    if (frame->width() < needed) {
        const int wanted = std::min(needed, room);
        frame->setGeometry(std::min(frame->x(), room - wanted), frame->y(), wanted,
                           frame->height());
    }
}

void ConfigEditorWindow::ApplyChange(const DocumentChange& change) {
    session_->ApplyChange(change);
    if (!change.lines.empty()) {
        CheckChannels(Doc(), status_);
    }
}

void ConfigEditorWindow::SelectLine(int row) {
    if (GridShown()) {
        grid_->SelectRow(row);
        grid_->setFocus();
        return;
    }
    if (QListWidgetItem* item = list_->item(row)) {
        list_->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
        list_->scrollToItem(item);
        list_->setFocus();
    }
}

void ConfigEditorWindow::ApplyEdits(const LineEdits& edits, int selectRow) {
    session_->ApplyEdits(edits, selectRow);
}

void ConfigEditorWindow::ShowLines(const LineEdits& edits) {
    for (const LineEdit& edit : edits) {
        if (QListWidgetItem* item = list_->item(edit.index)) {
            item->setText(Text(Doc().lines[static_cast<std::size_t>(edit.index)]));
        }
    }
}

void ConfigEditorWindow::CopyLines(bool thenDelete) {
    const std::vector<int> rows = SelectedRows();
    const std::string copied = petrel::CopyLines(Doc().lines, rows, shell_.ClipLines);
    // Copied lines are added to the text already on the system clipboard.
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(clipboard->text() + Text(copied));
    paste_->setEnabled(!shell_.ClipLines.empty());
    emit ClipLinesChanged();
    if (thenDelete) {
        ApplyEdits(DeleteLines(rows));
    }
}

void ConfigEditorWindow::Cut() {
    if (GridShown()) {
        grid_->CopySelection();
        grid_->ClearSelected();
        return;
    }
    CopyLines(true);
}

void ConfigEditorWindow::Copy() {
    if (GridShown()) {
        grid_->CopySelection();
        return;
    }
    CopyLines(false);
}

void ConfigEditorWindow::Delete() {
    if (GridShown()) {
        grid_->ClearSelected();
        return;
    }
    ApplyEdits(DeleteLines(SelectedRows()));
    QGuiApplication::clipboard()->setText(QString());
}

void ConfigEditorWindow::Paste() {
    if (GridShown()) {
        grid_->Paste();
        return;
    }
    const LineEdits edits =
        PasteLines(static_cast<int>(Doc().lines.size()), SelectedRows(), shell_.ClipLines);
    if (edits.empty()) {
        return;
    }
    ApplyEdits(edits);
    CheckChannels(Doc(), status_);
}

void ConfigEditorWindow::CloseWindow() {
    // Inside the main window the frame around the editor closes, and asks the editor first.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        frame->close();
    } else {
        close();
    }
}

void ConfigEditorWindow::closeEvent(QCloseEvent* event) {
    if (unloaded_) {
        event->accept();
        return;
    }
    const bool wasDirty = Doc().state.Dirty;
    const bool mayClose = QueryClose(workspace_, slot_, chooser_, prompter_);
    Refresh();
    if (wasDirty && !Doc().state.Dirty) {
        AfterSave(true);
    }
    if (!mayClose) {
        event->ignore();
        return;
    }
    unloaded_ = true;
    session_->Close();
    // The settings windows of this document close with it, without writing.
    for (QWidget* window : std::initializer_list<QWidget*>{systemOptions_, buttons_, radioInfo_}) {
        if (window != nullptr) {
            window->close();
        }
    }
    event->accept();
    emit Unloaded(slot_);
}

void ConfigEditorWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitFont();
}

bool ConfigEditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            list_->currentRow() >= 0) {
            emit ChannelLineActivated(list_->currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ConfigEditorWindow::FitFont() {
    // The largest size at which the column header, plus a little for the list's frame, still
    // fits the window's width.
    const QString header = header_->text();
    const int available = contentsRect().width() - layout()->contentsMargins().left() -
                          layout()->contentsMargins().right() - kListExtra -
                          list_->verticalScrollBar()->sizeHint().width();
    int size = kMinFontSize;
    for (int candidate = kMinFontSize + 1; candidate <= kMaxFontSize; ++candidate) {
        if (QFontMetrics(FixedFont(candidate)).horizontalAdvance(header) > available) {
            break;
        }
        size = candidate;
    }
    const QFont font = FixedFont(size);
    if (header_->font() != font) {
        header_->setFont(font);
        list_->setFont(font);
    }
    // The header's columns stand over the list's: indent it by the list's frame and the
    // margin the style leaves before an item's text.
    const int textMargin =
        list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1;
    header_->setIndent(list_->frameWidth() + textMargin);
}

}  // namespace petrel
