#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "core/link/image_link.h"
#include "core/model/radio_image.h"
#include "core/settings/radio_info.h"
#include "core/shell/shell_model.h"

class QAction;
class QDialog;
class QLabel;
class QMdiArea;
class QMenu;
class QShortcut;
class QTimer;
class QToolBar;

namespace petrel {

class AccessDialogs;
class BackupsWindow;
class CompareWindow;
class Clock;
class CustomerDialog;
class FileChooser;
class HardwareAlignmentDialog;
class NewRadioDialog;
class PortDialog;
class ConfigEditorWindow;
class Prompter;
class RadioLink;
class RadioSeam;
class HistoryWindow;
class ReportPrinter;
class StatusArea;
class UserSettings;
struct ProgramState;

// The user guide for a program in programDir: beside it, in the source tree above a build
// folder, or where an installation puts it; "" when there is none.
QString FindUserGuide(const QString& programDir);

// frmMDI: the frame around the editors, with the toolbar, the status strip, the main menus
// (shown while no editor is active) and the blink timer.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // Radio > History: the service history's records (none when there is no history).
    HistoryWindow* ShowHistoryWindow();
    MainWindow(ProgramState& state, Prompter& prompter, FileChooser& chooser, Clock& clock,
               RadioSeam& radio, UserSettings& settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Sizes and shows the window, shows the splash, scans the ports and enters the
    // no-document state.
    void StartUp();

    // How Help shows its text: returns false when it could not. By default the user guide is
    // opened with the desktop's viewer.
    void SetHelpOpener(std::function<bool()> opener) { helpOpener_ = std::move(opener); }

    StatusArea& Status() { return *status_; }
    QMdiArea& Area() { return *area_; }
    // The password dialogs; their signals lead to the customer editor and the hardware window.
    AccessDialogs& Access() { return *access_; }
    ConfigEditorWindow* ActiveEditor() const;
    QList<ConfigEditorWindow*> Editors() const;

    void ResetShell();
    bool RenumberTemp();
    void EnableDownload();
    void DisableDownload();
    void ShowHelp();
    void ShowAbout();
    void ShowNewRadio();
    void OpenConfig();
    // Opens each configuration as Open does, messages included (the command line's files).
    void OpenFiles(const QStringList& paths);
    void RadioTransfer(TransferOp op);
    // The channel dialog for a line of editor (double-click or Enter): the free editor or, on
    // the fixed-channel bands while FreqLock is on, the fixed-channel dialog. One at a time.
    void OpenChannelDialog(ConfigEditorWindow* editor, int row);
    // Edit > Auto Tone: the tone fill dialog.
    void OpenToneFill(ConfigEditorWindow* editor);

    // File > Compare With...: editor's configuration compared with a file the user chooses.
    void CompareWithFile(ConfigEditorWindow* editor);
    // Radio > Compare with Radio: the active configuration compared with the radio, which is
    // only read (no editor opens, no backup is kept).
    void CompareWithRadio();
    // The comparison window of editor's configuration with other (called otherName).
    CompareWindow* ShowComparison(ConfigEditorWindow* editor, Document other,
                                  const std::string& otherName);

    // Radio > Port...: the serial ports, each tested on request; OK makes the chosen one the
    // port used first, now and in later runs.
    PortDialog* ShowPortDialog();

    // Radio > Backups...: the backups kept in the working folder's Backups, and what they offer:
    // open one (a new editor that never saves over it), compare it with the active
    // configuration, write it to the radio (the radio as it is now is kept first).
    BackupsWindow* ShowBackups();
    void OpenBackup(const std::string& path);
    void CompareWithBackup(const std::string& path);
    void WriteBackup(const std::string& path);

    // The customer editor (frmCustomer), filled with the customer name and serial number
    // trimmed: what the option password opens.
    void ShowCustomerEditor();
    // Runs work on the radio link as one radio operation: the commands that could start
    // another are disabled meanwhile. False when another operation is running.
    bool RunOnRadio(const std::function<void(RadioLink&)>& work);

    // The report commands of editor's File menu (and the toolbar's Print).
    void RunReport(ConfigEditorWindow* editor, int command);
    ReportPrinter& Printing() { return *printing_; }

    // A new editor for the document in slot, made the active window.
    ConfigEditorWindow* OpenEditor(int slot);

    // The hardware parameter window frmHard for the active editor, as the hardware tuner
    // password opens it. Nothing without an editor or the radio's information page.
    void ShowHardwareWindow();
    HardwareAlignmentDialog* HardwareWindow() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    const Document& Doc(const ConfigEditorWindow* editor) const;
    void BuildMenus();
    void OpenConfigNamed(const std::string& name);
    void BuildToolbar();
    void UpdateMenus();
    // The Window menu's list of windows, the active one checked.
    void FillWindowMenu();
    void UpdateToolbar();
    void ToolButtonTriggered(ToolAction action);
    void ShowChannelDialog(QDialog* dialog);
    void EditorUnloaded(int slot);
    void RefreshEditors();
    // File > Recent Files of the main menu and of every editor, from the settings.
    void FillRecentMenus();
    void FillRecentMenu(QMenu* menu);
    void AddRecentFile(const QString& path);
    void SetCommandsEnabled(bool enabled);
    void SetRadioOperationRunning(bool running);
    // Cancel or Escape while a transfer runs.
    void CancelTransfer();
    // The status bar's radio field from the radio identified last.
    void ShowRadioField();
    // What a transfer did, on the status line when it is over.
    void ShowTransferReport(const std::string& report);
    // One image transfer as a radio operation, with the hourglass and the commands off.
    TransferResult RunTransfer(TransferOp op, const Document* doc, const std::string& caption,
                               const BackupPolicy& backup);
    std::string BackupFolder() const;
    // Ends the alignment windows as their CANCEL does, so the radio leaves its test state.
    void CloseAlignment();
    // At start-up: a radio a run that ended without closing its test state left behind is
    // offered its closing code.
    void OfferToReleaseLeftRadio();
    // At start-up: the service history in the work folder; every radio operation is recorded
    // in it from now on.
    void OpenHistory();
    // Radio > Program Several Radios: the active configuration into one radio after another.
    void ShowFleetWindow();
    // What the history window's buttons do with a record's radio.
    void OpenRecord(RadioRead radio, const std::string& name);
    void CompareRecord(RadioRead radio, const std::string& name);
    void WriteRecord(RadioRead radio, const std::string& name);

    ProgramState& state_;
    Prompter& prompter_;
    FileChooser& chooser_;
    Clock& clock_;
    RadioSeam& radio_;
    UserSettings& settings_;
    std::function<bool()> helpOpener_;
    std::unique_ptr<ServiceHistory> history_;
    QPointer<HistoryWindow> historyWindow_;
    QAction* fleetItem_ = nullptr;    // in every editor's Radio menu
    QAction* historyItem_ = nullptr;  // in the main window's Radio menu and every editor's
    QAction* portItem_ = nullptr;     // in the main window's Radio menu and every editor's
    QLabel* radioField_ = nullptr;    // the status bar's port and radio

    QMdiArea* area_;
    StatusArea* status_;
    QToolBar* toolbar_ = nullptr;
    QTimer* timer_;
    AccessDialogs* access_;
    ReportPrinter* printing_;
    QList<QMenu*> mainMenus_;
    QMenu* fileMenu_ = nullptr;
    QMenu* radioMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QList<QAction*> windowItems_;
    QShortcut* printWithoutEditor_ = nullptr;
    QShortcut* cancelKey_ = nullptr;  // Escape while a transfer runs
    QAction* uploadItem_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QAction* backupFirst_ = nullptr;   // in the Radio menu of the main window and every editor
    QAction* compareRadio_ = nullptr;  // in every editor's Radio menu
    QAction* backups_ = nullptr;       // in the Radio menu of the main window and every editor
    QPointer<BackupsWindow> backupsWindow_;
    QAction* downloadButton_ = nullptr;
    QList<QPair<QAction*, ToolAction>> toolButtons_;
    QPointer<QDialog> channelDialog_;  // frmCh_edit or frmChOp
    QPointer<NewRadioDialog> newRadio_;
    QPointer<CustomerDialog> customer_;
    QList<QPointer<QDialog>> blockedDialogs_;  // disabled while a transfer runs
    QPointer<HardwareAlignmentDialog> hardware_;
    QPointer<ConfigEditorWindow> activated_;
    bool transferRunning_ = false;
};

}  // namespace petrel
