#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "core/link/image_link.h"
#include "core/model/document_edit.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QUndoStack;

namespace petrel {

class ButtonsDialog;
class DocumentSession;
class ChannelGridView;
class ChannelOptionListDialog;
class FileChooser;
class Prompter;
class RadioInfoWindow;
class StatusLine;
class SystemOptionsDialog;
struct Document;
class Workspace;
struct Authorization;
struct ShellState;

// frmNotePad: one open configuration. Shows the document's header labels and channel lines,
// offers its own menus (the main window shows them while this editor is active), saves and
// asks about unsaved changes when it closes.
class ConfigEditorWindow : public QWidget {
    Q_OBJECT
  public:
    // The File menu's report commands.
    enum ReportCommand { kPrintReport, kPrinterSetup, kPreviewReport, kExportPdf };

    ConfigEditorWindow(Workspace& workspace, Authorization& authorization, ShellState& shell,
                       int slot, Prompter& prompter, FileChooser& chooser, StatusLine& status,
                       QWidget* parent = nullptr);
    ~ConfigEditorWindow() override;

    int Slot() const { return slot_; }
    // True once the editor has closed and given up its slot.
    bool IsUnloaded() const { return unloaded_; }
    // The menus that replace the main window's while this editor is active.
    const QList<QMenu*>& Menus() const { return menus_; }
    // The menus a running transfer disables: File, Edit, Radio and Help.
    QList<QMenu*> TransferMenus() const;
    // File > Recent Files and the Radio menu, which the main window fills with its own items.
    QMenu* RecentMenu() const { return recentMenu_; }
    QMenu* RadioMenu() const { return radioMenu_; }
    // Every change of the document, one step each: Edit > Undo and Redo. Back at the step
    // last saved the document counts as unchanged.
    QUndoStack& UndoStack() const { return *undo_; }
    // The document as its views and forms see it.
    DocumentSession& Session() const { return *session_; }

    // Becoming the active editor: the workspace's current configuration, the channel check, Paste.
    void Activate();
    // Title and labels again from the document (after a save or a renumbering).
    void Refresh();

    void Save();
    void SaveAs();
    // File > Import Channels... and Export Channels...: the channel list as CSV.
    void ImportChannels();
    void ExportChannels();
    // Feature > Channel: the option list of this document, built afresh.
    void ShowChannelOptions();

    // The Feature menu's settings windows for this document; each opens once and is filled
    // again when chosen again. They close with the editor.
    void ShowSystemOptions();
    void ShowButtons();
    void ShowRadioInfo();

    // The Edit menu on the selected lines (Cut = Copy then Delete).
    void Cut();
    void Copy();
    void Paste();
    void Delete();
    // The selected line indexes, ascending.
    std::vector<int> SelectedRows() const;
    // Shows line row (0-based) as the one selected line, in view, with the focus.
    void SelectLine(int row);
    // View > Grid / List: the channels in the grid or in the list (Ctrl+G switches).
    void ShowGrid(bool grid);
    bool GridShown() const;
    // The editor's frame widened, as far as the work area allows, to show the grid whole.
    void FitGrid();
    ChannelGridView* Grid() const { return grid_; }
    // A change of the document as one undo step, shown in the list and the grid.
    void ApplyChange(const DocumentChange& change);
    // Changes the document's lines and shows them; selectRow >= 0 becomes the one selected line.
    void ApplyEdits(const LineEdits& edits, int selectRow = -1);

  signals:
    void NewRequested();
    void OpenRequested();
    // The view was switched: true for the grid.
    void ViewChanged(bool grid);
    // File > Compare With...: the configuration compared with another file.
    void CompareRequested();
    void ExitRequested();
    void RadioRequested(TransferOp op);
    void HelpRequested();
    void AboutRequested();
    // File > Print, Printer Setup, Print Preview, Export as PDF.
    void ReportRequested(int command);
    // Configure > Option and Configure > Hardware Tuner: their password dialogs.
    void OptionPasswordRequested();
    void HardwarePasswordRequested();
    // The channel dialog's hook: a double-click or Enter on a channel line.
    void ChannelLineActivated(int line);
    // Edit > Auto Tone.
    void AutoToneRequested();
    // Copy filled the channel clipboard (the toolbar's Paste follows).
    void ClipLinesChanged();
    // The editor has closed; its slot is to be released.
    void Unloaded(int slot);
    // The document was saved as path.
    void FileSaved(const QString& path);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Document& Doc() const;
    void BuildMenus();
    void FillList();
    void FitFont();
    // A settings window of this document: its caption names the document's file.
    void NameAfterDocument(QWidget* window) const;
    void CloseWindow();
    void CopyLines(bool thenDelete);
    void ShowLines(const LineEdits& edits);
    void AfterSave(bool saved);

    Workspace& workspace_;
    Authorization& authorization_;
    ShellState& shell_;
    const int slot_;
    Prompter& prompter_;
    FileChooser& chooser_;
    StatusLine& status_;

    QLabel* model_;
    QLabel* range_;
    QLabel* serial_;
    QLabel* customer_;
    QLabel* header_;
    QListWidget* list_;
    ChannelGridView* grid_ = nullptr;
    QAction* viewList_ = nullptr;
    QAction* viewGrid_ = nullptr;
    QList<QMenu*> menus_;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* radioMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* paste_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    DocumentSession* session_;
    QUndoStack* undo_;  // the session's
    bool unloaded_ = false;
    QPointer<ChannelOptionListDialog> channelOptions_;
    QPointer<SystemOptionsDialog> systemOptions_;
    QPointer<ButtonsDialog> buttons_;
    QPointer<RadioInfoWindow> radioInfo_;
};

}  // namespace petrel
