// The desktop program under the offscreen platform: every test builds its own program and
// windows, answers the message boxes from a script and checks their exact words.
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <csignal>
#include <functional>

#include "document/config_file.h"
#include "document/new_config.h"
#include "document/notepad_window.h"
#include "document/shell_model.h"
#include "shell/link_radio.h"
#include "shell/qt_ports.h"
#include "shell/quit_signals.h"
#include "shell/status_area.h"
#include "shell/ui_support.h"
#include "sim_process.h"
#include "support/pseudo_terminal.h"
#include "support/temp_dir.h"

namespace petrel::test {

namespace {

const std::string kSimulator = PETREL_BINARY_DIR "/tools/radio-sim/petrel-radio-sim";

bool AnySplashShowing() {
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "frmHi" && widget->isVisible()) {
            return true;
        }
    }
    return false;
}

bool MenuBarShows(MainWindow& window, QObject* owner) {
    return window.menuBar()->actions().contains(FindMenu(owner, "mnuFile")->menuAction());
}

QDialog* NewRadioDialog(Program& program) {
    Trigger(&program.window, "New");
    return program.window.findChild<QDialog*>("frmNewRadio");
}

// The new-radio dialog with a channel count typed and OK pressed.
void TypeChannelsAndPressOk(QDialog* dialog, const QString& count) {
    auto* channels = dialog->findChild<QLineEdit*>("txtMaxCh");
    channels->selectAll();
    QTest::keyClick(channels, Qt::Key_Delete);
    QTest::keyClicks(channels, count);
    QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
}

NotePadWindow* NewFromDialog(Program& program, const QString& count = "16") {
    TypeChannelsAndPressOk(NewRadioDialog(program), count);
    return program.window.ActiveEditor();
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
  private slots:
    void startUpFindsThePortsAndLeavesTheNoDocumentState();
    void toolbarHelpOpensTheViewerOrSaysItCannot();
    void menuBarFollowsTheActiveWindowAndTheLastCloseResetsTheShell();
    void redStatusBlinksUntilANormalMessage();
    void closingAWindowRenumbersTheUntitledOnes();
    void transferDisablesTheCommandsWhileItRuns();
    // Upload and Download through the real link against petrel-radio-sim.
    void uploadOpensAWindowWithTheRadiosChannels();
    void downloadThenChecksTheChannels();
    void newPmrSaveAsCloseOpenShowsTheSameLines();
    void newRadioDialogOffersTheBandsAndRefusesABadChannelCount();
    void editorFontFollowsTheWindowWidth();
    void newEditorsCascadeInsideTheWorkArea();
    void f10OpensTheMenuBarOfTheActiveWindow();
    void changedDataQuestionCancelKeepsTheWindowYesSavesIt();
    void messageBoxShowsTheTextTitleButtonsIconAndDefault();
    void fileDialogsUseTheConfigurationFilterAndDefaultExtension();
    void workingFolderIsMadeInTheDocumentsLocation();
    void terminationSignalEndsTheLoopAndIsRemembered();
};

void DesktopTest::startUpFindsThePortsAndLeavesTheNoDocumentState() {
    {
        // No port at all: the question comes after the splash, under the detecting message.
        const std::string noPort = " No RS232 Port is available\n\rDetect Again ?";
        std::vector<std::string> plugged;
        LinkRadio radio({}, [&] { return plugged; });
        Program program(&radio, false);
        bool splashDuringQuestion = true;
        std::string statusDuringQuestion;
        program.prompter.onAsk = [&](const Message&) {
            splashDuringQuestion = AnySplashShowing();
            statusDuringQuestion = program.window.Status().Text();
        };
        program.prompter.Expect(noPort, Answer::Yes).Expect(noPort, Answer::No);
        program.window.StartUp();
        QVERIFY_DONE(program.prompter);
        QCOMPARE(program.prompter.Asked().front().buttons, Buttons::YesNoCancel);
        QCOMPARE(program.prompter.Asked().front().icon, Icon::Exclamation);
        QCOMPARE(program.state.PortCount, 0);
        QVERIFY(!splashDuringQuestion);
        QCOMPARE(statusDuringQuestion, std::string(kDetectingPortsText));
        QCOMPARE(
            program.prompter.Asked().front().detail,
            std::string("No serial device was found (/dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*)."));
        // A radio plugged in afterwards is found by the next operation.
        sim::SimProcess radioSim(kSimulator, {"--quiet", "--channels", "16"});
        plugged = {radioSim.Device()};
        Trigger(&program.window, "Upload");
        QVERIFY_DONE(program.prompter);
        QCOMPARE(program.window.Editors().size(), 1);
    }
    {
        // A simulator's pseudo-terminal is found without a question.
        PseudoTerminal radioLine;
        LinkRadio radio({radioLine.Device()});
        Program program(&radio);
        QVERIFY_DONE(program.prompter);
        QCOMPARE(program.state.PortList, std::vector<int>{1});
    }
    Program program(nullptr, false);
    program.fakeRadio.ports = {2, 5};
    program.state.RadioAbsent = false;
    program.window.StartUp();
    QCOMPARE(program.state.PortCount, 2);
    QVERIFY(program.state.RadioAbsent);
    QCOMPARE(program.window.Status().Text(), std::string(kMenuHintText));
    QVERIFY(!FindAction(&program.window, "Download")->isEnabled());
    QVERIFY(!AnySplashShowing());
    // The decimal separator of the system's numbers.
    QCOMPARE(program.state.DotDecimal, qEnvironmentVariableIsEmpty("PETREL_EXPECT_COMMA_LOCALE"));
    const QRect screen = program.window.screen()->availableGeometry();
    const WindowGeometry g = MainWindowGeometry(screen.width(), screen.height(), 640, 480);
    QCOMPARE(program.window.size(), QSize(g.width, g.height));
    QCOMPARE(program.window.pos(), QPoint(screen.left() + g.left, screen.top() + g.top));
}

void DesktopTest::toolbarHelpOpensTheViewerOrSaysItCannot() {
    Program program;
    // Save has no editor to save; Help opens the viewer or says that it could not.
    program.prompter.Expect(
        "Help is not available: README.md was not found or no viewer could open it.", Answer::Ok);
    Trigger(&program.window, "Save");
    Trigger(&program.window, "Help");
    QVERIFY_DONE(program.prompter);
    int opened = 0;
    program.window.SetHelpOpener([&] { return ++opened > 0; });
    Trigger(&program.window, "mnuReadMe");
    QCOMPARE(opened, 1);
}

void DesktopTest::menuBarFollowsTheActiveWindowAndTheLastCloseResetsTheShell() {
    Program program;
    const QStringList mainMenus{"&File", "&Radio", "&Help"};
    const QStringList editorMenus{"&File", "&Edit", "Fe&ature", "&Radio", "&Configure", "&Help"};
    QCOMPARE(MenuBarTitles(program.window), mainMenus);

    NotePadWindow* first = NewEditor(program);
    QCOMPARE(MenuBarTitles(program.window), editorMenus);
    // Paste with nothing to paste cannot be chosen.
    QVERIFY(!FindAction(first, "mnuEPaste")->isEnabled());
    QVERIFY(FindAction(first, "mnuRadioItem1")->isEnabled());

    // Activating a window brings its menus back, checks its channels and enables Paste
    // when there is something to paste.
    program.state.workspace.At(first->Slot()).lines[2] =
        "3   446.200000  000=  None   446.200000  000=  None";
    program.state.ClipLines = {"  446.006250  000=  None"};
    NotePadWindow* second = NewEditor(program, 10, 16);
    QVERIFY(MenuBarShows(program.window, second));
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
    program.window.Area().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
    QVERIFY(MenuBarShows(program.window, first));
    QVERIFY(!MenuBarShows(program.window, second));
    QCOMPARE(program.window.Status().Text(), std::string("Channel #3 Range Out !"));
    QCOMPARE(program.window.Status().Color(), kStatusRed);
    QVERIFY(FindAction(first, "mnuEPaste")->isEnabled());

    Trigger(first, "mnuClose");
    QCOMPARE(MenuBarTitles(program.window), editorMenus);
    Trigger(second, "mnuClose");
    QCOMPARE(MenuBarTitles(program.window), mainMenus);
    QVERIFY(MenuBarShows(program.window, &program.window));
    // The last close leaves no document, no clipboard, no Download and the menu hint.
    QCOMPARE(program.state.workspace.UpperSlot(), 0);
    QVERIFY(program.state.ClipLines.empty());
    QCOMPARE(program.state.TempCount, 0);
    QVERIFY(!FindAction(&program.window, "Download")->isEnabled());
    QCOMPARE(program.window.Status().Text(), std::string(kMenuHintText));
    QCOMPARE(NewEditor(program)->windowTitle(), QString("Temp1.cfg"));

    // Exit ends the program at once.
    Trigger(program.window.findChild<QMenu*>("mnuFile", Qt::FindDirectChildrenOnly), "mnuExit");
    QVERIFY(!program.window.isVisible());
    QVERIFY(program.prompter.Asked().empty());
}

void DesktopTest::redStatusBlinksUntilANormalMessage() {
    Program program;
    const auto* timer = program.window.findChild<QTimer*>("Timer1");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    const auto* label = program.window.findChild<QLabel*>("labErrMsg");
    StatusArea& status = program.window.Status();

    status.SetStatus("Not detected", kStatusRed, kStatusFontLarge);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(label->font().pointSize(), 15);
    QVERIFY(!label->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(label->isHidden(), 1500);
    QTRY_VERIFY_WITH_TIMEOUT(!label->isHidden(), 1500);

    // ShowStatus sets black: the blinking stops with the label showing.
    ShowStatus(status, "ALL Channels In Range");
    QTest::qWait(1200);
    QVERIFY(!label->isHidden());
    QCOMPARE(label->text(), QString("ALL Channels In Range"));
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(label->font().pointSize(), 12);

    // The progress bar right of the label.
    auto* progress = program.window.findChild<QProgressBar*>("ProgressBar1");
    QVERIFY(!progress->isVisible());
    status.SetProgressRange(480);
    status.SetProgress(240);
    status.ShowProgress(true);
    QVERIFY(progress->isVisible() && progress->x() > label->geometry().right());
    QCOMPARE(QPoint(progress->value(), progress->maximum()), QPoint(240, 480));
}

void DesktopTest::closingAWindowRenumbersTheUntitledOnes() {
    TempDir dir;
    const std::string saved = dir.File("shop.cfg");
    ProgramState other;
    ScriptedPrompter quiet;
    QVERIFY(SaveConfigFile(other, BuildNewConfiguration(other, 9, 16), saved, quiet));

    Program program;
    NewEditor(program);
    NewEditor(program);
    program.chooser.Then(saved);
    Trigger(&program.window, "Open");
    QCOMPARE(Titles(program.window),
             QStringList({"Temp1.cfg", "Temp2.cfg", QString::fromStdString(saved).toUpper()}));
    QCOMPARE(program.state.TempCount, 2);

    // Closing the titled window retitles the untitled ones, counting down in slot order.
    Trigger(program.window.Editors().at(2), "mnuClose");
    QCOMPARE(Titles(program.window), QStringList({"TEMP2", "TEMP1"}));
    // Closing an untitled one lowers the count: the other becomes TEMP1.
    Trigger(program.window.Editors().at(0), "mnuClose");
    QCOMPARE(program.state.TempCount, 1);
    QCOMPARE(Titles(program.window), QStringList({"TEMP1"}));
    QVERIFY_DONE(program.prompter);
}

void DesktopTest::transferDisablesTheCommandsWhileItRuns() {
    Program program;
    // A failed operation without an editor ends in the no-document state.
    program.fakeRadio.onTransfer = [&](ProgramState&, int, int) -> std::optional<int> {
        program.window.Status().SetStatus("Not detected", kStatusRed, kStatusFontLarge);
        return std::nullopt;
    };
    Trigger(&program.window, "mnuRadioItem0");
    QCOMPARE(program.window.Status().Text(), std::string(kMenuHintText));
    QVERIFY(!FindAction(&program.window, "Download")->isEnabled());

    // While a transfer runs, nothing can start another one and the blinking stops.
    NotePadWindow* editor = NewEditor(program);
    auto* toolbar = program.window.findChild<QToolBar*>("Toolbar1");
    auto* timer = program.window.findChild<QTimer*>("Timer1");
    const auto commands = [&] {
        return QList<bool>{FindMenu(&program.window, "mnuRadio")->menuAction()->isEnabled(),
                           FindMenu(editor, "mnuRadio")->menuAction()->isEnabled(),
                           FindMenu(editor, "mnuFile")->menuAction()->isEnabled(),
                           toolbar->isEnabled(), timer->isActive()};
    };
    QList<bool> during;
    program.fakeRadio.onTransfer = [&](ProgramState& state, int op, int) -> std::optional<int> {
        during = commands();
        program.window.RadioTransfer(kOpUpload);  // ignored
        return op == kOpUpload ? std::optional(BuildNewConfiguration(state, 10, 99)) : std::nullopt;
    };
    Trigger(editor, "mnuRadioItem1");
    QCOMPARE(program.fakeRadio.operations, std::vector<int>({kOpUpload, kOpDownload}));
    QCOMPARE(program.fakeRadio.activeSlots, std::vector<int>({0, editor->Slot()}));
    QCOMPARE(during, QList<bool>(5, false));
    QCOMPARE(commands(), QList<bool>(5, true));
    // An Upload that opened a document shows it in a new, active editor.
    Trigger(&program.window, "Upload");
    QCOMPARE(program.window.Editors().size(), 2);
    QCOMPARE(program.window.ActiveEditor()->windowTitle(), QString("Temp2.cfg"));

    // What the windows could do while a transfer serves them changes nothing it reads: another
    // editor's activation, OK in the still-open new-radio dialog, closing the program.
    NotePadWindow* other = program.window.ActiveEditor();
    program.window.Area().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(editor->parentWidget()));
    QDialog* dialog = NewRadioDialog(program);
    program.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&program.window));
    QList<int> seen;  // channel count, editors, window shown
    program.fakeRadio.onTransfer = [&](ProgramState& state, int, int) -> std::optional<int> {
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        QTest::mouseClick(other->findChild<QListWidget*>("lstClient")->viewport(), Qt::LeftButton);
        program.window.close();
        QCoreApplication::processEvents();  // as the transfer does once per block
        seen = {state.MaxChannel, int(program.window.Editors().size()),
                int(program.window.isVisible())};
        return std::nullopt;
    };
    Trigger(editor, "mnuRadioItem1");
    QCOMPARE(seen, QList<int>({16, 2, 1}));
    QCOMPARE(program.window.ActiveEditor(), editor);
    QVERIFY(dialog->isEnabled());
}

void DesktopTest::uploadOpensAWindowWithTheRadiosChannels() {
    sim::SimProcess radioSim(kSimulator,
                             {"--quiet", "--serial", "SN-00042", "--customer", "Petrel Shop"});
    LinkRadio radio({radioSim.Device()});
    Program program(&radio);
    Trigger(&program.window, "Upload");

    QVERIFY_DONE(program.prompter);
    NotePadWindow* editor = program.window.ActiveEditor();
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->windowTitle(), QString("TEMP1.CFG"));
    QCOMPARE(ListLines(editor).size(), 99);
    QStringList labels;
    for (const char* name : {"lblModel", "lblSerialNo", "lblCustomer"}) {
        labels << editor->findChild<QLabel*>(name)->text();
    }
    QCOMPARE(labels,
             QStringList({"Model:Petrel (PMR)", "Serial No:SN-00042", "Customer:Petrel Shop"}));
    QVERIFY(FindAction(&program.window, "Download")->isEnabled());
    QVERIFY(FindMenu(editor, "mnuRadio")->menuAction()->isEnabled());
    // The new window's activation checked its channels.
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
}

void DesktopTest::downloadThenChecksTheChannels() {
    sim::SimProcess radioSim(kSimulator, {"--quiet", "--channels", "16"});
    LinkRadio radio({radioSim.Device()});
    Program program(&radio);
    NotePadWindow* editor = NewEditor(program);
    program.window.Status().SetStatus("stale", kStatusBlack, kStatusFontNormal);
    Trigger(editor, "mnuRadioItem1");
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.window.Editors().size(), 1);
    // The channel check replaces the detection message once the Download is through.
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
}

void DesktopTest::newPmrSaveAsCloseOpenShowsTheSameLines() {
    TempDir dir;
    const std::string path = dir.File("pmr16.cfg");
    Program program;

    NotePadWindow* editor = NewFromDialog(program, "16");
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->windowTitle(), QString("Temp1.cfg"));
    const QStringList lines = ListLines(editor, true);
    QCOMPARE(lines.size(), 16);
    QCOMPARE(lines[0], QString("1   446.006250  000=  None   446.006250  000=  None"));
    QCOMPARE(editor->findChild<QListWidget*>("lstClient")->currentRow(), 0);
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
    QVERIFY(FindAction(&program.window, "Download")->isEnabled());

    program.chooser.Then(path);
    Trigger(editor, "mnuSaveAs");
    QCOMPARE(program.chooser.proposed, std::vector<std::string>{"Temp1.cfg"});
    QCOMPARE(editor->windowTitle(), QString::fromStdString(path).toUpper());
    QCOMPARE(QFileInfo(QString::fromStdString(path)).size(), 675);
    QVERIFY(QFileInfo::exists(QString::fromStdString(dir.File("pmr16.ptx"))));

    Trigger(editor, "mnuClose");
    QVERIFY(program.window.Editors().isEmpty());
    QCOMPARE(program.window.Status().Text(), std::string(kMenuHintText));
    program.chooser.Then(path);
    Trigger(&program.window, "Open");
    NotePadWindow* reopened = program.window.ActiveEditor();
    QVERIFY(reopened != nullptr);
    QCOMPARE(ListLines(reopened, true), lines);
    QCOMPARE(reopened->windowTitle(), QString::fromStdString(path).toUpper());
    QVERIFY(FindAction(&program.window, "Download")->isEnabled());
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.chooser.unexpected, 0);
}

void DesktopTest::editorFontFollowsTheWindowWidth() {
    Program program;
    NotePadWindow* editor = NewFromDialog(program);
    auto* header = editor->findChild<QLabel*>("Label3");
    auto* list = editor->findChild<QListWidget*>("lstClient");
    auto* frame = qobject_cast<QMdiSubWindow*>(editor->parentWidget());
    QVERIFY(header != nullptr && list != nullptr && frame != nullptr);
    frame->resize(1000, 500);
    const int wide = header->font().pointSize();
    frame->resize(450, 500);
    const int narrow = header->font().pointSize();
    QVERIFY2(narrow < wide, qPrintable(QString("%1 < %2").arg(narrow).arg(wide)));
    QCOMPARE(list->font(), header->font());
    QVERIFY(QFontMetrics(header->font()).horizontalAdvance(header->text()) <=
            editor->contentsRect().width());
}

void DesktopTest::newEditorsCascadeInsideTheWorkArea() {
    Program program;
    program.window.resize(832, 624);  // the frame on a 1024 x 768 screen
    QList<QPoint> corners;
    for (int i = 0; i < 4; ++i) {
        const QWidget* frame = NewEditor(program)->parentWidget();
        QVERIFY(program.window.Area().viewport()->rect().contains(frame->geometry()));
        corners << frame->pos();
    }
    // Each new window a step right of and below the one before.
    for (int i = 1; i < 3; ++i) {
        QVERIFY(corners[i].x() > corners[i - 1].x() && corners[i].y() > corners[i - 1].y());
    }
}

void DesktopTest::f10OpensTheMenuBarOfTheActiveWindow() {
    Program program;
    program.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&program.window));
    QTest::keyClick(&program.window, Qt::Key_F10);
    QTRY_COMPARE(QApplication::activePopupWidget(), FindMenu(&program.window, "mnuFile"));
    QApplication::activePopupWidget()->close();
    // From an editor's channel list: the editor's own menus.
    NotePadWindow* editor = NewEditor(program);
    QTest::keyClick(editor->findChild<QListWidget*>("lstClient"), Qt::Key_F10);
    QTRY_COMPARE(QApplication::activePopupWidget(), FindMenu(editor, "mnuFile"));
}

void DesktopTest::newRadioDialogOffersTheBandsAndRefusesABadChannelCount() {
    Program program;
    QDialog* dialog = NewRadioDialog(program);
    QVERIFY(dialog->isVisible() && !dialog->isModal());
    auto* bands = dialog->findChild<QListWidget*>("LstRadioModel");
    QCOMPARE(bands->count(), 2);
    QCOMPARE(bands->currentRow(), 0);
    bands->setCurrentRow(1);
    // A second New shows the same dialog rather than another one.
    Trigger(&program.window, "New");
    QCOMPARE(program.window.findChildren<QDialog*>("frmNewRadio").size(), 1);

    for (const char* bad : {"0", "100", "abc", "", "1.5", "-3"}) {
        program.prompter.Expect("The number of channels must be a whole number from 1 to 99.",
                                Answer::Ok);
        TypeChannelsAndPressOk(dialog, bad);
        QVERIFY2(dialog->isVisible(), bad);
        QVERIFY2(program.window.Editors().isEmpty(), bad);
    }
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.state.TempCount, 0);
    TypeChannelsAndPressOk(dialog, "99");
    QCOMPARE(program.window.ActiveEditor()->findChild<QLabel*>("lblModel")->text(),
             QString("Model:Petrel (Korea)"));
    QCOMPARE(ListLines(program.window.ActiveEditor()).size(), 99);

    // Cancel creates nothing.
    QTest::mouseClick(NewRadioDialog(program)->findChild<QPushButton*>("cmdCancel"),
                      Qt::LeftButton);
    QTRY_VERIFY(program.window.findChild<QDialog*>("frmNewRadio") == nullptr);
    QCOMPARE(program.window.Editors().size(), 1);
    QCOMPARE(program.state.TempCount, 1);
}

void DesktopTest::changedDataQuestionCancelKeepsTheWindowYesSavesIt() {
    TempDir dir;
    Program program;
    NotePadWindow* editor = NewFromDialog(program);
    program.state.workspace.At(editor->Slot()).state.Dirty = true;

    // Cancel keeps the window, from the menu and from the frame's close box; Yes saves under
    // the name typed, with ".cfg", and closes it. What each answer does is the core's.
    program.prompter.Expect(ChangedQuestion("Temp1"), Answer::Cancel)
        .Expect(ChangedQuestion("Temp1"), Answer::Cancel)
        .Expect(ChangedQuestion("Temp1"), Answer::Yes);
    Trigger(editor, "mnuClose");
    qobject_cast<QMdiSubWindow*>(editor->parentWidget())->close();
    QCOMPARE(program.window.Editors().size(), 1);
    program.chooser.Then(dir.File("kept"));
    Trigger(editor, "mnuClose");
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.prompter.Asked().back().title, std::string(kMainWindowCaption));
    QVERIFY(program.window.Editors().isEmpty());
    QCOMPARE(QFileInfo(QString::fromStdString(dir.File("kept.cfg"))).size(), 675);
}

void DesktopTest::messageBoxShowsTheTextTitleButtonsIconAndDefault() {
    using Box = QMessageBox;
    struct Case {
        Message message;
        QString title;
        Box::StandardButtons buttons;
        Box::Icon icon;
        Box::StandardButton defaultButton;
        Box::StandardButton click;  // NoButton: Escape
        Answer answer;
    };
    const QString caption = "PC Software for Petrel Serial Radio";
    const Case cases[] = {
        {Message{"The data in [X] has changed.\n\rDo you want?", "Title", Buttons::YesNoCancel,
                 Icon::Exclamation, Answer::No},
         "Title", Box::Yes | Box::No | Box::Cancel, Box::Warning, Box::No, Box::Cancel,
         Answer::Cancel},
        {Message{"Try Again ?",
                 {},
                 Buttons::YesNo,
                 Icon::Stop,
                 std::nullopt,
                 "COM1 /dev/ttyUSB0: Permission denied"},
         caption, Box::Yes | Box::No, Box::Critical, Box::Yes, Box::Yes, Answer::Yes},
        {Message{"Question ?", {}, Buttons::YesNo, Icon::Question, std::nullopt}, caption,
         Box::Yes | Box::No, Box::Question, Box::Yes, Box::NoButton, Answer::No},
        {Message{"Done", {}, Buttons::Ok, Icon::None, std::nullopt}, caption, Box::Ok, Box::NoIcon,
         Box::Ok, Box::NoButton, Answer::Ok}};
    QtPrompter prompter;
    for (const Case& c : cases) {
        QString text;
        QString title;
        Box::StandardButtons buttons;
        Box::Icon icon = Box::NoIcon;
        bool isDefault = false;
        QString detail;
        WhenShown<Box>([&](Box* box) {
            text = box->text();
            detail = box->detailedText();
            title = box->windowTitle();
            buttons = box->standardButtons();
            icon = box->icon();
            isDefault = box->defaultButton() == box->button(c.defaultButton);
            c.click == Box::NoButton ? QTest::keyClick(box, Qt::Key_Escape)
                                     : box->button(c.click)->click();
        });
        QCOMPARE(prompter.Ask(c.message), c.answer);
        // "\n\r" shows as one line break.
        QCOMPARE(text, QString::fromStdString(c.message.text).replace("\n\r", "\n"));
        QCOMPARE(title, c.title);
        QCOMPARE(detail, QString::fromStdString(c.message.detail));
        QCOMPARE(buttons, c.buttons);
        QCOMPARE(icon, c.icon);
        QVERIFY(isDefault);
    }
}

void DesktopTest::fileDialogsUseTheConfigurationFilterAndDefaultExtension() {
    QTemporaryDir dir;
    QtFileChooser chooser;
    QStringList shown;  // accept mode, filters and default suffix of each dialog
    const auto answer = [&](bool accept) {
        WhenShown<QFileDialog>([&shown, &dir, accept](QFileDialog* dialog) {
            shown << QString("%1 %2 %3")
                         .arg(dialog->acceptMode() == QFileDialog::AcceptSave ? "save" : "open",
                              dialog->nameFilters().join(';'), dialog->defaultSuffix());
            dialog->selectFile(dir.filePath("radio"));
            QMetaObject::invokeMethod(dialog, accept ? "accept" : "reject");
        });
    };
    answer(true);
    const std::string saved = chooser.AskSaveName(dir.filePath("proposed.cfg").toStdString());
    QCOMPARE(QString::fromStdString(saved), dir.filePath("radio.cfg"));
    answer(false);
    QCOMPARE(chooser.AskOpenName(), std::string());  // cancelled: no name
    QCOMPARE(shown, QStringList({"save EEPROM.CFG (*.cfg) cfg", "open EEPROM.CFG (*.cfg) cfg"}));
}

void DesktopTest::workingFolderIsMadeInTheDocumentsLocation() {
    QTemporaryDir home;
    const QString previous = QDir::currentPath();
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());

    const QString folder = EnterWorkingFolder();

    const QString expected = QDir(home.path()).filePath("Documents/Petrel CPS");
    QDir::setCurrent(previous);
    qputenv("HOME", oldHome);
    oldConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldConfig);
    QCOMPARE(folder, expected);
    QVERIFY(QFileInfo(expected).isDir());
}

// SIGTERM ends the event loop it arrives in and stays known, so that a signal that came while
// a start-up question had its own loop still ends the program.
void DesktopTest::terminationSignalEndsTheLoopAndIsRemembered() {
    QuitOnTerminationSignals();
    QVERIFY(!TerminationRequested());
    QTimer::singleShot(0, [] { ::raise(SIGTERM); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });  // the signal was lost
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(TerminationRequested());
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::DesktopTest)
#include "desktop_test.moc"
