#include "ui/shell/main_window.h"

#include "ui/link/fleet_window.h"
#include "ui/link/history_window.h"
#include "ui/link/port_dialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <optional>

#include "core/channels/channel_dialogs.h"
#include "core/document/config_file.h"
#include "core/document/document_lifecycle.h"
#include "core/link/radio_link.h"
#include "core/link/test_marker.h"
#include "core/ports/clock.h"
#include "core/ports/prompter.h"
#include "core/ports/status_line.h"
#include "core/shell/program_state.h"
#include "core/shell/shell_model.h"
#include "core/util/text.h"
#include "ui/alignment/hardware_alignment_dialog.h"
#include "ui/common/dialog_parts.h"
#include "ui/common/menus.h"
#include "ui/common/qt_ports.h"
#include "ui/common/user_settings.h"
#include "ui/document/backups_window.h"
#include "ui/document/compare_window.h"
#include "ui/document/new_radio_dialog.h"
#include "ui/editor/channel_edit_dialog.h"
#include "ui/editor/config_editor_window.h"
#include "ui/editor/fixed_channel_dialog.h"
#include "ui/editor/tone_fill_dialog.h"
#include "ui/link/radio_seam.h"
#include "ui/print/report_printer.h"
#include "ui/settings/customer_dialog.h"
#include "ui/settings/password_dialog.h"
#include "ui/shell/splash_window.h"
#include "ui/shell/status_area.h"
#include "ui/shell/tool_icons.h"

namespace petrel {

namespace {

constexpr int kDesignWidth = 640;
constexpr int kDesignHeight = 480;
constexpr int kBlinkIntervalMs = 1000;
constexpr const char* kNothingToPrintText =
    "Nothing to print: open a configuration or read a radio first.";
constexpr const char* kNoHelpText =
    "Help is not available: the user guide (user-guide.md) was not found or no viewer could "
    "open it.";

// The user guide, opened with the desktop's viewer.
bool OpenUserGuide() {
    const QString guide = FindUserGuide(QCoreApplication::applicationDirPath());
    return !guide.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(guide));
}

}  // namespace

QString FindUserGuide(const QString& programDir) {
    // Beside the program; in the source tree above a build folder (build/src/ui); where
    // cmake --install and the Debian package put it (bin/../share/doc).
    const QDir dir(programDir);
    for (const char* candidate : {"docs/user-guide.md", "../../../docs/user-guide.md",
                                  "../share/doc/petrel-cps/docs/user-guide.md"}) {
        const QFileInfo file(dir.filePath(QString::fromLatin1(candidate)));
        if (file.isFile()) {
            return file.canonicalFilePath();
        }
    }
    return {};
}

MainWindow::MainWindow(ProgramState& state, Prompter& prompter, FileChooser& chooser, Clock& clock,
                       RadioSeam& radio, UserSettings& settings, QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      prompter_(prompter),
      chooser_(chooser),
      clock_(clock),
      radio_(radio),
      settings_(settings),
      helpOpener_(OpenUserGuide),
      area_(new QMdiArea),
      status_(new StatusArea),
      timer_(new QTimer(this)),
      access_(new AccessDialogs(state.authorization, prompter, this)),
      printing_(
          new ReportPrinter(state.workspace, state.authorization, prompter, clock, chooser, this)) {
    setObjectName("frmMDI");
    setWindowTitle(kMainWindowCaption);

    area_->setObjectName("MDIClient");
    area_->setBackground(QColor(128, 128, 128));
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(area_, 1);
    layout->addWidget(status_);
    setCentralWidget(central);
    // The port in use and the radio identified last, whatever the status label says.
    radioField_ = new QLabel;
    radioField_->setObjectName("lblRadioPort");
    radioField_->setToolTip("The serial port in use and the radio identified on it last");
    statusBar()->setObjectName("sbrRadio");
    statusBar()->addPermanentWidget(radioField_);
    ShowRadioField();
    radio_.SetRadioSeenHandler([this] { ShowRadioField(); });

    timer_->setObjectName("Timer1");
    timer_->setInterval(kBlinkIntervalMs);
    connect(timer_, &QTimer::timeout, status_, &StatusArea::Blink);
    // Cancel and Escape stop a running transfer between two blocks.
    connect(status_, &StatusArea::CancelPressed, this, &MainWindow::CancelTransfer);
    cancelKey_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    cancelKey_->setEnabled(false);
    connect(cancelKey_, &QShortcut::activated, this, &MainWindow::CancelTransfer);

    ShowFocusFrames(this);
    BuildMenus();
    BuildToolbar();
    connect(area_, &QMdiArea::subWindowActivated, this, &MainWindow::UpdateMenus);
    connect(access_, &AccessDialogs::CustomerEditorRequested, this,
            &MainWindow::ShowCustomerEditor);
    // F10 opens the menu bar, as the menu hint in the status line tells the user.
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this, [this] {
        for (QAction* menu : menuBar()->actions()) {
            if (menu->isEnabled() && menu->isVisible()) {
                menuBar()->setActiveAction(menu);
                return;
            }
        }
    });
    connect(access_, &AccessDialogs::HardwareWindowRequested, this,
            &MainWindow::ShowHardwareWindow);
    // However the program ends, a radio under alignment is taken out of its test state first.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::CloseAlignment);
    UpdateMenus();
}

MainWindow::~MainWindow() {
    // A hardware window still open ends its test state while the status and the link's window
    // are still there (its children go after them).
    CloseAlignment();
    radio_.SetHistory(nullptr);  // the history goes with this window; the link may stay
    radio_.SetRadioSeenHandler({});
    // The frames are hidden while the window is taken apart: their activation must not reach
    // a window that is half gone; nor must a channel dialog's end.
    disconnect(area_, nullptr, this, nullptr);
    if (channelDialog_) {
        disconnect(channelDialog_, nullptr, this, nullptr);
        delete channelDialog_;
    }
}

void MainWindow::BuildMenus() {
    fileMenu_ = AddMenu(this, "mnuFile", "&File");
    connect(AddItem(fileMenu_, "mnuNew", "&New", "Ctrl+N"), &QAction::triggered, this,
            &MainWindow::ShowNewRadio);
    connect(AddItem(fileMenu_, "mnuOpen", "&Open", "Ctrl+O"), &QAction::triggered, this,
            &MainWindow::OpenConfig);
    recentMenu_ = AddSubmenu(fileMenu_, "mnuRecent", "&Recent Files");
    FillRecentMenu(recentMenu_);
    // No editor is open while these menus show: Exit has nothing to ask.
    connect(AddItem(fileMenu_, "mnuExit", "E&xit", "Ctrl+Q"), &QAction::triggered, this,
            &MainWindow::close);
    fileMenu_->addSeparator();

    radioMenu_ = AddMenu(this, "mnuRadio", "&Radio");
    uploadItem_ = AddItem(radioMenu_, "mnuRadioItem0", "&Upload");
    connect(uploadItem_, &QAction::triggered, this, [this] { RadioTransfer(TransferOp::Upload); });
    radioMenu_->addSeparator();
    backupFirst_ = AddItem(radioMenu_, "mnuBackupFirst", "Back up the radio before &writing");
    backupFirst_->setCheckable(true);
    backupFirst_->setChecked(settings_.BackupBeforeWriting());
    connect(backupFirst_, &QAction::toggled, this,
            [this](bool on) { settings_.SetBackupBeforeWriting(on); });
    // Only an editor's Radio menu offers it: it needs a configuration to compare.
    compareRadio_ = NewItem(this, "mnuCompareRadio", "&Compare with Radio");
    connect(compareRadio_, &QAction::triggered, this, &MainWindow::CompareWithRadio);
    fleetItem_ = NewItem(this, "mnuFleet", "Program &Several Radios...");
    connect(fleetItem_, &QAction::triggered, this, &MainWindow::ShowFleetWindow);
    portItem_ = AddItem(radioMenu_, "mnuPort", "&Port...");
    connect(portItem_, &QAction::triggered, this, &MainWindow::ShowPortDialog);
    historyItem_ = AddItem(radioMenu_, "mnuHistory", "&History...");
    connect(historyItem_, &QAction::triggered, this, &MainWindow::ShowHistoryWindow);
    backups_ = AddItem(radioMenu_, "mnuBackups", "&Backups...");
    connect(backups_, &QAction::triggered, this, &MainWindow::ShowBackups);

    helpMenu_ = AddMenu(this, "mnuHelp", "&Help");
    connect(AddItem(helpMenu_, "mnuReadMe", "&Read Me", "F1"), &QAction::triggered, this,
            &MainWindow::ShowHelp);
    connect(AddItem(helpMenu_, "mnuAbout", "&About"), &QAction::triggered, this,
            &MainWindow::ShowAbout);
    helpMenu_->addSeparator();
    connect(AddItem(helpMenu_, "mnuAuthor", "Au&thorization"), &QAction::triggered, access_,
            &AccessDialogs::ShowAuthorizationPassword);

    mainMenus_ = {fileMenu_, radioMenu_, helpMenu_};

    // The Window menu is on both menu bars, before Help.
    windowMenu_ = AddMenu(this, "mnuWindow", "&Window");
    connect(AddItem(windowMenu_, "mnuCascade", "&Cascade"), &QAction::triggered, area_,
            &QMdiArea::cascadeSubWindows);
    connect(AddItem(windowMenu_, "mnuTile", "&Tile"), &QAction::triggered, area_,
            &QMdiArea::tileSubWindows);
    QAction* next = AddItem(windowMenu_, "mnuNextWindow", "&Next");
    next->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_F6)});
    connect(next, &QAction::triggered, area_, &QMdiArea::activateNextSubWindow);
    windowMenu_->addSeparator();
    connect(windowMenu_, &QMenu::aboutToShow, this, &MainWindow::FillWindowMenu);

    // Ctrl+P is Print in an editor's File menu; without an editor it says what to do instead.
    printWithoutEditor_ = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this);
    connect(printWithoutEditor_, &QShortcut::activated, this,
            [this] { ShowStatus(*status_, kNothingToPrintText); });
}

void MainWindow::FillWindowMenu() {
    // The item chosen may be among those replaced: each goes once its signal is over.
    for (QAction* item : windowItems_) {
        windowMenu_->removeAction(item);
        item->setObjectName(QString());
        item->deleteLater();
    }
    windowItems_.clear();
    const QList<QMdiSubWindow*> frames = area_->subWindowList(QMdiArea::CreationOrder);
    for (int i = 0; i < frames.size(); ++i) {
        QMdiSubWindow* frame = frames[i];
        const QString number = i < 9 ? QString("&%1").arg(i + 1) : QString::number(i + 1);
        QAction* item = windowMenu_->addAction(number + " " + frame->widget()->windowTitle());
        item->setObjectName(QString("mnuWindow%1").arg(i + 1));
        item->setCheckable(true);
        item->setChecked(frame == area_->activeSubWindow());
        windowItems_.append(item);
        connect(item, &QAction::triggered, this, [this, frame = QPointer<QMdiSubWindow>(frame)] {
            if (frame) {
                area_->setActiveSubWindow(frame);
            }
        });
    }
    for (const char* name : {"mnuCascade", "mnuTile", "mnuNextWindow"}) {
        windowMenu_->findChild<QAction*>(name)->setEnabled(!frames.isEmpty());
    }
}

void MainWindow::BuildToolbar() {
    toolbar_ = addToolBar("Toolbar");
    toolbar_->setObjectName("Toolbar1");
    toolbar_->setMovable(false);
    toolbar_->setIconSize(QSize(24, 24));
    for (const ToolButton& button : kToolButtons) {
        QAction* action =
            toolbar_->addAction(ToolIcon(button.key), QString::fromLatin1(button.key));
        action->setObjectName(button.key);
        action->setToolTip(QString::fromLatin1(button.toolTip));
        const ToolAction what = button.action;
        connect(action, &QAction::triggered, this, [this, what] { ToolButtonTriggered(what); });
        if (what == ToolAction::Download) {
            downloadButton_ = action;
        } else {
            toolButtons_.append({action, what});
        }
    }
}

void MainWindow::ToolButtonTriggered(ToolAction action) {
    ConfigEditorWindow* editor = ActiveEditor();
    switch (action) {
        case ToolAction::NewRadio:
            ShowNewRadio();
            break;
        case ToolAction::OpenConfig:
            OpenConfig();
            break;
        case ToolAction::Upload:
            RadioTransfer(TransferOp::Upload);
            break;
        case ToolAction::Download:
            RadioTransfer(TransferOp::Download);
            break;
        case ToolAction::Help:
            ShowHelp();
            break;
        case ToolAction::About:
            ShowAbout();
            break;
        case ToolAction::Save:
            if (editor != nullptr) {
                editor->Save();
            }
            break;
        case ToolAction::Cut:
            if (editor != nullptr) {
                editor->Cut();
            }
            break;
        case ToolAction::Copy:
            if (editor != nullptr) {
                editor->Copy();
            }
            break;
        case ToolAction::Paste:
            if (editor != nullptr) {
                editor->Paste();
            }
            break;
        case ToolAction::Buttons:
            if (editor != nullptr) {
                editor->ShowButtons();
            }
            break;
        case ToolAction::Print:
            RunReport(editor, ConfigEditorWindow::kPrintReport);
            break;
    }
}

void MainWindow::UpdateToolbar() {
    const bool editorActive = ActiveEditor() != nullptr;
    for (const auto& [button, action] : toolButtons_) {
        button->setEnabled(
            ToolButtonEnabled(action, editorActive, !state_.shell.ClipLines.empty()));
    }
}

void MainWindow::StartUp() {
    state_.shell.DotDecimal = IsDotDecimal(QLocale::system().toString(10.0 / 3.0).toStdString());

    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen->availableGeometry();
    const WindowGeometry g =
        MainWindowGeometry(available.width(), available.height(), kDesignWidth, kDesignHeight);
    resize(g.width, g.height);
    show();
    // Place the frame, title bar included, centred on the screen; or where the user left it.
    move(available.left() + g.left, available.top() + g.top);
    if (const QByteArray geometry = settings_.WindowGeometry(); !geometry.isEmpty()) {
        restoreGeometry(geometry);
    }

    QPointer<SplashWindow> splash = new SplashWindow(state_.authorization);
    splash->show();
    {
        WaitCursor wait;
        ShowStatus(*status_, kDetectingPortsText);
        clock_.Delay(kStartUpPauseSeconds);
        if (splash) {
            splash->close();
        }
        radio_.DetectSerialPorts(prompter_);
    }
    OfferToReleaseLeftRadio();
    OpenHistory();
    ResetShell();
}

void MainWindow::OfferToReleaseLeftRadio() {
    // The marker lives in the work folder, which start-up has made the working directory.
    const std::string marker = QDir::current().filePath(kTestMarkerName).toStdString();
    radio_.SetTestMarker(marker);
    const auto left = FindLeftMarker(marker);
    if (!left) {
        return;
    }
    if (RadioLink* link = radio_.Link({}, prompter_, *status_, clock_)) {
        WaitCursor wait;
        ReleaseLeftRadio(*left, marker, link->Params(), prompter_);
    }
}

void MainWindow::OpenHistory() {
    // A history that cannot be used says so at the first radio operation that would record.
    history_ = OpenServiceHistory(QDir::current().filePath(kHistoryFileName).toStdString(), clock_);
    radio_.SetHistory(history_.get());
}

void MainWindow::ShowFleetWindow() {
    ConfigEditorWindow* editor = ActiveEditor();
    if (editor == nullptr || transferRunning_) {
        return;
    }
    auto* window =
        new FleetWindow(Doc(editor), radio_, prompter_, clock_, history_.get(),
                        QDir::current().absoluteFilePath(kBackupFolderName).toStdString(), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Application-modal: nothing else may talk to the radio or change the configuration while
    // the run writes it.
    window->setWindowModality(Qt::ApplicationModal);
    connect(window, &FleetWindow::RunningChanged, this,
            [this](bool running) { transferRunning_ = running; });
    ShowInFront(window);
}

HistoryWindow* MainWindow::ShowHistoryWindow() {
    if (!history_) {
        return nullptr;
    }
    if (!historyWindow_) {
        historyWindow_ = new HistoryWindow(*history_, prompter_, this);
        historyWindow_->onOpen = [this](RadioRead radio, const std::string& name) {
            OpenRecord(std::move(radio), name);
        };
        historyWindow_->onCompare = [this](RadioRead radio, const std::string& name) {
            CompareRecord(std::move(radio), name);
        };
        historyWindow_->onWrite = [this](RadioRead radio, const std::string& name) {
            WriteRecord(std::move(radio), name);
        };
    }
    historyWindow_->Refresh();
    ShowInFront(historyWindow_);
    // A history that could not be opened says so here if no radio operation has yet.
    if (const auto notice = history_->TakeNotice()) {
        prompter_.Tell(*notice, Icon::Exclamation, "Service History");
    }
    return historyWindow_;
}

void MainWindow::OpenRecord(RadioRead radio, const std::string& name) {
    // As an Upload opens a radio: a new untitled configuration, marked as the record's copy;
    // the record stays as it is.
    EnableDownload();
    const int slot = OpenRadioRead(state_.workspace, std::move(radio));
    Document& doc = state_.workspace.At(slot);
    doc.origin = "history " + name;
    OpenEditor(slot);
}

void MainWindow::CompareRecord(RadioRead radio, const std::string& name) {
    ConfigEditorWindow* editor = ActiveEditor();
    if (editor == nullptr) {
        prompter_.Tell("Open the configuration to compare the record with first.",
                       Icon::Exclamation, "Service History");
        return;
    }
    Workspace aside;
    const int slot = OpenRadioRead(aside, std::move(radio));
    ShowComparison(editor, aside.At(slot), name);
}

void MainWindow::WriteRecord(RadioRead radio, const std::string& name) {
    if (transferRunning_) {
        return;
    }
    const Answer answer =
        prompter_.Ask(Message{"Write the configuration of " + name + " to the radio on the cable?",
                              "Service History", Buttons::YesNo, Icon::Question, Answer::No});
    if (answer != Answer::Yes) {
        return;
    }
    Workspace aside;
    const int slot = OpenRadioRead(aside, std::move(radio));
    // A restore, as from the backups: the radio as it is now is always kept first.
    RunTransfer(TransferOp::Download, &aside.At(slot), name, {BackupFolder(), true});
}

const Document& MainWindow::Doc(const ConfigEditorWindow* editor) const {
    return state_.workspace.At(editor->Slot());
}

ConfigEditorWindow* MainWindow::ActiveEditor() const {
    const QMdiSubWindow* frame = area_->currentSubWindow();
    auto* editor = frame ? qobject_cast<ConfigEditorWindow*>(frame->widget()) : nullptr;
    return editor && !editor->IsUnloaded() ? editor : nullptr;
}

QList<ConfigEditorWindow*> MainWindow::Editors() const {
    QList<ConfigEditorWindow*> editors;
    for (const QMdiSubWindow* frame : area_->subWindowList(QMdiArea::CreationOrder)) {
        auto* editor = qobject_cast<ConfigEditorWindow*>(frame->widget());
        if (editor && !editor->IsUnloaded()) {
            editors.append(editor);
        }
    }
    return editors;
}

void MainWindow::ResetShell() {
    ResetShellState(state_.workspace, state_.shell, *status_);
    QGuiApplication::clipboard()->setText(QString());
    timer_->start();
    uploadItem_->setEnabled(true);
    DisableDownload();
}

bool MainWindow::RenumberTemp() {
    const bool anyOpen = petrel::RenumberTemp(state_.workspace);
    RefreshEditors();
    return anyOpen;
}

void MainWindow::EnableDownload() {
    downloadButton_->setVisible(true);
    downloadButton_->setEnabled(true);
}

void MainWindow::DisableDownload() {
    downloadButton_->setVisible(true);
    downloadButton_->setEnabled(false);
}

void MainWindow::ShowHelp() {
    if (!helpOpener_ || !helpOpener_()) {
        prompter_.Tell(kNoHelpText, Icon::Information);
    }
}

void MainWindow::ShowAbout() {
    prompter_.Ask(Message{AboutText(), kAboutTitle, Buttons::Ok, Icon::None, std::nullopt});
}

void MainWindow::ShowNewRadio() {
    if (!newRadio_) {
        newRadio_ = new NewRadioDialog(state_.workspace, prompter_, this);
        connect(newRadio_, &NewRadioDialog::DocumentCreated, this, [this](int slot) {
            EnableDownload();
            OpenEditor(slot);
        });
    }
    ShowInFront(newRadio_);
}

void MainWindow::OpenConfig() {
    const std::string name = chooser_.AskOpenName();
    if (!name.empty()) {
        OpenConfigNamed(name);
    }
}

void MainWindow::OpenFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        OpenConfigNamed(path.toStdString());
    }
}

void MainWindow::OpenConfigNamed(const std::string& name) {
    // The blink would otherwise fire while the file is read.
    timer_->stop();
    std::optional<int> slot;
    {
        WaitCursor wait;
        slot = OpenConfigFile(state_.workspace, name, prompter_);
    }
    if (slot) {
        EnableDownload();
        OpenEditor(*slot);
        AddRecentFile(QString::fromStdString(state_.workspace.At(*slot).path));
    } else if (settings_.RecentFiles().contains(QString::fromStdString(name))) {
        settings_.RemoveRecentFile(QString::fromStdString(name));  // gone or no longer readable
        FillRecentMenus();
    }
    timer_->start();
}

void MainWindow::AddRecentFile(const QString& path) {
    settings_.AddRecentFile(QFileInfo(path).absoluteFilePath());
    FillRecentMenus();
}

void MainWindow::FillRecentMenus() {
    FillRecentMenu(recentMenu_);
    for (ConfigEditorWindow* editor : Editors()) {
        FillRecentMenu(editor->RecentMenu());
    }
}

void MainWindow::FillRecentMenu(QMenu* menu) {
    // The item chosen may be the one being replaced: it goes once its signal is over.
    for (QAction* item : menu->actions()) {
        menu->removeAction(item);
        item->setObjectName(QString());
        item->deleteLater();
    }
    const QStringList files = settings_.RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        QAction* item = menu->addAction(QString("&%1 %2").arg(i + 1).arg(files[i]));
        item->setObjectName(QString("mnuRecent%1").arg(i + 1));
        const std::string path = files[i].toStdString();
        connect(item, &QAction::triggered, this, [this, path] { OpenConfigNamed(path); });
    }
    menu->setEnabled(!files.isEmpty());
}

void MainWindow::RadioTransfer(TransferOp op) {
    if (transferRunning_) {
        return;
    }
    const ConfigEditorWindow* editor = ActiveEditor();
    // Every radio read is kept in the working folder's Backups.
    TransferResult result = RunTransfer(op, editor ? &state_.workspace.At(editor->Slot()) : nullptr,
                                        editor ? Doc(editor).title : std::string(),
                                        {BackupFolder(), backupFirst_->isChecked()});

    const std::string report = TransferReport(op, result);
    if (result.read) {
        EnableDownload();
        OpenEditor(OpenRadioRead(state_.workspace,
                                 std::move(*result.read)));  // its activation checks the channels
    } else if (!RenumberTemp()) {
        ResetShell();
    } else if (ConfigEditorWindow* editor = ActiveEditor();
               editor && status_->Color() != kStatusRed) {
        // After a Download the channel check comes back; a failure stays on show in red.
        editor->Activate();
    }
    ShowTransferReport(report);
}

namespace {

// A configuration as a comparison names it: its file's name (or its window's title) without
// the folder.
std::string ShortName(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).fileName().toStdString();
}

}  // namespace

void MainWindow::CompareWithFile(ConfigEditorWindow* editor) {
    if (editor == nullptr || editor->IsUnloaded()) {
        return;
    }
    const std::string name = chooser_.AskOpenName();
    if (name.empty()) {
        return;
    }
    // Read aside, as Open reads it: it opens no editor and changes nothing program-wide.
    Workspace aside;
    std::optional<int> slot;
    {
        WaitCursor wait;
        slot = OpenConfigFile(aside, name, prompter_);
    }
    if (slot) {
        ShowComparison(editor, aside.At(*slot), ShortName(name));
    }
}

void MainWindow::CompareWithRadio() {
    ConfigEditorWindow* editor = ActiveEditor();
    if (editor == nullptr || transferRunning_) {
        return;
    }
    // Only a look at the radio: nothing is kept of it.
    TransferResult result = RunTransfer(TransferOp::Upload, nullptr, Doc(editor).title, {});
    if (result.read && !editor->IsUnloaded()) {
        Workspace aside;
        const int slot = OpenRadioRead(aside, std::move(*result.read));
        ShowComparison(editor, aside.At(slot), "the radio");
    }
}

CompareWindow* MainWindow::ShowComparison(ConfigEditorWindow* editor, Document other,
                                          const std::string& otherName) {
    QPointer<ConfigEditorWindow> compared(editor);
    const auto current = [this, compared]() -> const Document* {
        return compared && !compared->IsUnloaded() ? &Doc(compared) : nullptr;
    };
    auto* window = new CompareWindow(state_.authorization, current,
                                     ShortName(editor->windowTitle().toStdString()),
                                     std::move(other), otherName, this);
    connect(window, &CompareWindow::ChannelChosen, this, [this, compared](int channel) {
        if (compared && !compared->IsUnloaded()) {
            if (auto* frame = qobject_cast<QMdiSubWindow*>(compared->parentWidget())) {
                area_->setActiveSubWindow(frame);
            }
            compared->SelectLine(channel - 1);
        }
    });
    ShowInFront(window);
    return window;
}

TransferResult MainWindow::RunTransfer(TransferOp op, const Document* doc,
                                       const std::string& caption, const BackupPolicy& backup) {
    SetRadioOperationRunning(true);
    TransferResult result;
    {
        WaitCursor wait;
        radio_.SetBackupPolicy(backup);
        // The commands are off while the transfer runs: the document it writes stays as it is.
        result = radio_.Transfer(op, doc, caption, prompter_, *status_, clock_);
    }
    status_->ShowProgress(false);
    SetRadioOperationRunning(false);
    if (backupsWindow_ && result.backup) {
        backupsWindow_->Refresh();  // the backup just kept
    }
    if (historyWindow_) {
        historyWindow_->Refresh();  // the record just made
    }
    return result;
}

std::string MainWindow::BackupFolder() const {
    return QDir::current().absoluteFilePath(kBackupFolderName).toStdString();
}

BackupsWindow* MainWindow::ShowBackups() {
    if (!backupsWindow_) {
        backupsWindow_ = new BackupsWindow(QString::fromStdString(BackupFolder()), this);
        connect(backupsWindow_, &BackupsWindow::OpenRequested, this,
                [this](const QString& path) { OpenBackup(path.toStdString()); });
        connect(backupsWindow_, &BackupsWindow::CompareRequested, this,
                [this](const QString& path) { CompareWithBackup(path.toStdString()); });
        connect(backupsWindow_, &BackupsWindow::WriteRequested, this,
                [this](const QString& path) { WriteBackup(path.toStdString()); });
    } else {
        backupsWindow_->Refresh();
    }
    backupsWindow_->SetCompareEnabled(ActiveEditor() != nullptr);
    ShowInFront(backupsWindow_);
    return backupsWindow_;
}

void MainWindow::OpenBackup(const std::string& path) {
    timer_->stop();
    std::optional<int> slot;
    {
        WaitCursor wait;
        slot = OpenConfigFile(state_.workspace, path, prompter_);
    }
    if (slot) {
        // Not a recent file: it is reached through the backups.
        state_.workspace.At(*slot).origin = kBackupOrigin;
        EnableDownload();
        OpenEditor(*slot);
    }
    timer_->start();
}

void MainWindow::CompareWithBackup(const std::string& path) {
    ConfigEditorWindow* editor = ActiveEditor();
    Workspace aside;
    const std::optional<int> slot = editor ? OpenConfigFile(aside, path, prompter_) : std::nullopt;
    if (slot) {
        ShowComparison(editor, aside.At(*slot), ShortName(path));
    }
}

void MainWindow::WriteBackup(const std::string& path) {
    if (transferRunning_) {
        return;
    }
    Workspace aside;
    const std::optional<int> slot = OpenConfigFile(aside, path, prompter_);
    if (!slot) {
        return;
    }
    const Document& backup = aside.At(*slot);
    const std::string name = ShortName(path);
    const Answer answer = prompter_.Ask(Message{
        "Write the backup " + name + " into the radio?" + kLineBreak +
            "The radio as it is now is kept as a new backup first; the customer name, serial "
            "number and calibration tables stay as the radio holds them.",
        {},
        Buttons::YesNo,
        Icon::Question,
        Answer::No});
    if (answer != Answer::Yes) {
        return;
    }
    // The system's Download, always backed up first: a restore must itself be reversible.
    const TransferResult result =
        RunTransfer(TransferOp::Download, &backup, name, {BackupFolder(), true});
    if (ConfigEditorWindow* editor = ActiveEditor();
        editor && result.completed && status_->Color() != kStatusRed) {
        editor->Activate();
    }
}

PortDialog* MainWindow::ShowPortDialog() {
    if (transferRunning_) {
        return nullptr;
    }
    const auto tester = [this](int number) {
        std::optional<PortTest> test;
        RunOnRadio([&](RadioLink& link) { test = link.Frames().TestPort(number); });
        return test;
    };
    auto* dialog = new PortDialog(
        radio_.ListPorts(), tester, [this] { return radio_.LastRadio(); }, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const std::string device = dialog->ChosenDevice();
        if (device.empty()) {
            return;
        }
        radio_.UsePortFirst(device);
        settings_.SetPreferredPort(QString::fromStdString(device));
        ShowStatus(*status_, device + " is now COM1: the radio is looked for there first.");
    });
    dialog->open();
    return dialog;
}

void MainWindow::ShowRadioField() {
    radioField_->setText(QString::fromStdString(RadioFieldText(radio_.LastRadio())));
}

void MainWindow::CancelTransfer() {
    if (transferRunning_) {
        radio_.CancelTransfer();
    }
}

void MainWindow::SetRadioOperationRunning(bool running) {
    transferRunning_ = running;
    cancelKey_->setEnabled(running);
    SetCommandsEnabled(!running);
    if (running) {
        timer_->stop();
    } else {
        timer_->start();
    }
}

void MainWindow::ShowTransferReport(const std::string& report) {
    if (report.empty()) {
        return;  // a failure with no backup to name: its messages said what happened
    }
    // What the transfer did stays on show; a channel check that found a fault keeps its
    // warning after it, in red.
    if (status_->Color() == kStatusRed) {
        status_->SetStatus(report + ". " + status_->Text(), kStatusRed, kStatusFontNormal);
    } else {
        ShowStatus(*status_, report);
    }
}

bool MainWindow::RunOnRadio(const std::function<void(RadioLink&)>& work) {
    if (transferRunning_) {
        return false;
    }
    const ConfigEditorWindow* editor = ActiveEditor();
    RadioLink* link =
        radio_.Link(editor ? Doc(editor).title : std::string(), prompter_, *status_, clock_);
    if (link == nullptr) {
        return true;  // no radio to talk to
    }
    SetRadioOperationRunning(true);
    {
        WaitCursor wait;
        work(*link);
    }
    SetRadioOperationRunning(false);
    return true;
}

void MainWindow::ShowCustomerEditor() {
    // It works on the page of the document active now, for as long as it is open.
    const ConfigEditorWindow* editor = ActiveEditor();
    if (editor == nullptr) {
        return;
    }
    if (customer_ && customer_->Slot() != editor->Slot()) {
        customer_->close();
        customer_ = nullptr;
    }
    if (!customer_) {
        customer_ = new CustomerDialog(
            state_.workspace, editor->Slot(), prompter_,
            [this](const CustomerDialog::RadioWork& work) { return RunOnRadio(work); }, clock_,
            this);
        connect(customer_, &CustomerDialog::Written, this,
                [this] { ShowStatus(*status_, "Customer name and serial number written"); });
    }
    customer_->Fill();
    ShowInFront(customer_);
}

void MainWindow::OpenChannelDialog(ConfigEditorWindow* editor, int row) {
    if (editor == nullptr || editor->IsUnloaded() || row < 0) {
        return;
    }
    const Document& doc = state_.workspace.At(editor->Slot());
    if (row >= static_cast<int>(doc.lines.size())) {
        return;
    }
    ReleaseFreqLockOutsideFixedBands(state_.authorization, doc.state.Band);
    if (ChooseChannelDialog(state_.authorization, doc.state.Band) == ChannelDialogKind::Fixed) {
        ShowChannelDialog(new FixedChannelDialog(prompter_, editor->Session(), row, this));
    } else {
        ShowChannelDialog(new ChannelEditDialog(prompter_, *status_, editor->Session(), row, this));
    }
}

void MainWindow::OpenToneFill(ConfigEditorWindow* editor) {
    if (editor != nullptr && !editor->IsUnloaded()) {
        ShowChannelDialog(new ToneFillDialog(prompter_, *status_, editor->Session(), this));
    }
}

void MainWindow::ShowChannelDialog(QDialog* dialog) {
    // A dialog already open for another line goes without saving.
    delete channelDialog_;
    channelDialog_ = dialog;
    if (auto* edit = qobject_cast<ChannelFormDialog*>(dialog)) {
        // The status blinks no more while the channel editor is open, and shows: a blink may
        // have hidden it.
        connect(edit, &ChannelFormDialog::Activated, this, [this] {
            timer_->stop();
            status_->ShowLabel();
        });
        connect(edit, &QObject::destroyed, this, [this] {
            if (!transferRunning_) {
                timer_->start();
            }
        });
    }
    ShowInFront(dialog);
}

void MainWindow::RunReport(ConfigEditorWindow* editor, int command) {
    if (editor == nullptr || editor->IsUnloaded()) {
        return;
    }
    // No blinking while the report is made.
    const bool blinking = timer_->isActive();
    timer_->stop();
    switch (command) {
        case ConfigEditorWindow::kPrintReport:
            printing_->Print(editor->Slot());
            break;
        case ConfigEditorWindow::kPrinterSetup:
            printing_->PrinterSetup();
            break;
        case ConfigEditorWindow::kPreviewReport:
            printing_->Preview(editor->Slot());
            break;
        case ConfigEditorWindow::kExportPdf:
            printing_->ExportPdf(editor->Slot());
            break;
    }
    if (blinking && !transferRunning_) {
        timer_->start();
    }
}

ConfigEditorWindow* MainWindow::OpenEditor(int slot) {
    auto* editor = new ConfigEditorWindow(state_.workspace, state_.authorization, state_.shell,
                                          slot, prompter_, chooser_, *status_);
    connect(editor, &ConfigEditorWindow::NewRequested, this, &MainWindow::ShowNewRadio);
    connect(editor, &ConfigEditorWindow::OpenRequested, this, &MainWindow::OpenConfig);
    connect(editor, &ConfigEditorWindow::ExitRequested, this, &MainWindow::close);
    connect(editor, &ConfigEditorWindow::RadioRequested, this, &MainWindow::RadioTransfer);
    connect(editor, &ConfigEditorWindow::HelpRequested, this, &MainWindow::ShowHelp);
    connect(editor, &ConfigEditorWindow::AboutRequested, this, &MainWindow::ShowAbout);
    connect(editor, &ConfigEditorWindow::OptionPasswordRequested, access_,
            &AccessDialogs::ShowOptionPassword);
    connect(editor, &ConfigEditorWindow::HardwarePasswordRequested, this, [this, editor] {
        access_->ShowHardwarePassword(state_.workspace.At(editor->Slot()).info.InfoValid);
    });
    connect(editor, &ConfigEditorWindow::Unloaded, this, &MainWindow::EditorUnloaded);
    connect(editor, &ConfigEditorWindow::ChannelLineActivated, this,
            [this, editor](int row) { OpenChannelDialog(editor, row); });
    connect(editor, &ConfigEditorWindow::AutoToneRequested, this,
            [this, editor] { OpenToneFill(editor); });
    connect(editor, &ConfigEditorWindow::ClipLinesChanged, this, &MainWindow::UpdateToolbar);
    connect(editor, &ConfigEditorWindow::ReportRequested, this,
            [this, editor](int command) { RunReport(editor, command); });
    connect(editor, &ConfigEditorWindow::FileSaved, this, &MainWindow::AddRecentFile);
    FillRecentMenu(editor->RecentMenu());
    connect(editor, &ConfigEditorWindow::CompareRequested, this,
            [this, editor] { CompareWithFile(editor); });
    editor->ShowGrid(settings_.ChannelGrid());
    connect(editor, &ConfigEditorWindow::ViewChanged, this,
            [this](bool grid) { settings_.SetChannelGrid(grid); });
    editor->RadioMenu()->addAction(compareRadio_);
    editor->RadioMenu()->addAction(fleetItem_);
    editor->RadioMenu()->addAction(portItem_);
    editor->RadioMenu()->addAction(historyItem_);
    editor->RadioMenu()->addAction(backups_);
    editor->RadioMenu()->addSeparator();
    editor->RadioMenu()->addAction(backupFirst_);

    const int openBefore = static_cast<int>(Editors().size());
    QMdiSubWindow* frame = area_->addSubWindow(editor);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    editor->show();
    // Cascaded by the height of a title bar, inside the area whatever its size.
    const QSize room = area_->viewport()->size();
    const WindowGeometry g = EditorGeometry(
        room.width(), room.height(),
        frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame), openBefore);
    frame->setGeometry(g.left, g.top, g.width, g.height);
    editor->FitGrid();
    area_->setActiveSubWindow(frame);
    UpdateMenus();
    return editor;
}

void MainWindow::ShowHardwareWindow() {
    // It works on the page of the document active now, for as long as it is open (modal).
    ConfigEditorWindow* editor = ActiveEditor();
    if (editor == nullptr || !state_.workspace.At(editor->Slot()).info.InfoValid || hardware_) {
        return;
    }
    RadioLink* link = radio_.Link(Doc(editor).title, prompter_, *status_, clock_);
    if (link == nullptr) {
        return;
    }
    hardware_ = new HardwareAlignmentDialog(
        AlignmentContext{state_.workspace, *link, prompter_, clock_, editor->Slot()}, this);
    hardware_->show();
}

HardwareAlignmentDialog* MainWindow::HardwareWindow() const {
    return hardware_;
}

void MainWindow::CloseAlignment() {
    if (hardware_) {
        hardware_->CloseAll();
    }
}

void MainWindow::EditorUnloaded(int slot) {
    // The customer editor works on this document's page: it closes with it, without writing.
    if (customer_ && customer_->Slot() == slot) {
        customer_->close();
        customer_ = nullptr;
    }
    if (!UnloadDocument(state_.workspace, slot)) {
        ResetShell();
    }
    RefreshEditors();
    UpdateMenus();
}

void MainWindow::RefreshEditors() {
    for (ConfigEditorWindow* editor : Editors()) {
        editor->Refresh();
    }
}

void MainWindow::UpdateMenus() {
    ConfigEditorWindow* editor = ActiveEditor();
    QList<QMenu*> menus = editor ? editor->Menus() : mainMenus_;
    menus.insert(menus.size() - 1, windowMenu_);
    printWithoutEditor_->setEnabled(editor == nullptr);
    FillWindowMenu();
    QList<QAction*> wanted;
    for (const QMenu* menu : menus) {
        wanted.append(menu->menuAction());
    }
    if (menuBar()->actions() != wanted) {
        menuBar()->clear();
        for (QMenu* menu : menus) {
            menuBar()->addMenu(menu);
        }
    }
    if (editor && editor != activated_) {
        activated_ = editor;
        editor->Activate();
    }
    if (backupsWindow_) {
        backupsWindow_->SetCompareEnabled(editor != nullptr);
    }
    UpdateToolbar();
}

void MainWindow::SetCommandsEnabled(bool enabled) {
    for (QMenu* menu : mainMenus_) {
        menu->menuAction()->setEnabled(enabled);
    }
    for (ConfigEditorWindow* editor : Editors()) {
        for (QMenu* menu : editor->TransferMenus()) {
            menu->menuAction()->setEnabled(enabled);
        }
    }
    toolbar_->setEnabled(enabled);
    // A transfer serves the windows once per block. Activating another editor or pressing OK
    // in the new-radio dialog (or any other open dialog) would then change the channel count,
    // band and tables the program holds for the current configuration, so the editors, the
    // menu bar (with the shortcuts of its items) and the dialogs take no input until it is
    // over. Only the dialogs this disabled are enabled again.
    menuBar()->setEnabled(enabled);
    area_->setEnabled(enabled);
    if (!enabled) {
        for (QDialog* dialog : findChildren<QDialog*>()) {
            if (dialog->isEnabled()) {
                dialog->setEnabled(false);
                blockedDialogs_.append(dialog);
            }
        }
    } else {
        for (const QPointer<QDialog>& dialog : blockedDialogs_) {
            if (dialog) {
                dialog->setEnabled(true);
            }
        }
        blockedDialogs_.clear();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Refused while a transfer runs: it ends by itself (every wait is bounded or a question).
    if (transferRunning_) {
        event->ignore();
        return;
    }
    CloseAlignment();
    // Every editor asks about its changes first; one Cancel stops the closing.
    for (QMdiSubWindow* frame : area_->subWindowList(QMdiArea::CreationOrder)) {
        auto* editor = qobject_cast<ConfigEditorWindow*>(frame->widget());
        if (editor && !editor->IsUnloaded() && !frame->close()) {
            event->ignore();
            return;
        }
    }
    if (RenumberTemp()) {
        event->ignore();
        return;
    }
    timer_->stop();
    settings_.SetWindowGeometry(saveGeometry());
    if (newRadio_) {
        newRadio_->close();
    }
    access_->CloseAll();
    if (customer_) {
        customer_->close();
    }
    event->accept();
}

}  // namespace petrel
