#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "document/config_file.h"
#include "document/new_config.h"
#include "document/notepad_window.h"
#include "document/shell_model.h"
#include "shell/link_radio.h"
#include "shell/status_area.h"
#include "shell/ui_support.h"
#include "support/pseudo_terminal.h"

namespace petrel::test {

namespace {

const std::string kNoPortQuestion = " No RS232 Port is available\n\rDetect Again ?";

std::string ChangedQuestion(const std::string& base) {
    return "The data in [" + base + "] has changed.\n\rDo you want to save the changes?";
}

// A new configuration opened in an editor, as the new-radio dialog's OK does.
NotePadWindow* NewEditor(Program& program, int band = 9, int channels = 16) {
    const int slot = BuildNewConfiguration(program.state, band, channels);
    program.window.EnableDownload();
    return program.window.OpenEditor(slot);
}

QStringList Titles(MainWindow& window) {
    QStringList titles;
    for (const NotePadWindow* editor : window.Editors()) {
        titles << editor->windowTitle();
    }
    return titles;
}

bool AnySplashShowing() {
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "frmHi" && widget->isVisible()) {
            return true;
        }
    }
    return false;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void startUpWithoutAnyPortAsksUntilTheUserStops();
    void startUpWithASimulatorPortFindsItWithoutAsking();
    void startUpLeavesTheNoDocumentState();
    void toolbarOffersTwelveButtonsWithTheirTips();
    void toolbarErrorPathClosesTheProgramUnlessAnEditorCancels();
    void menuBarFollowsTheActiveWindow();
    void mainMenusOfferTheirItemsAndShortcuts();
    void redStatusBlinksUntilANormalMessage();
    void closingAWindowRenumbersTheUntitledOnes();
    void closingTheLastEditorResetsTheShell();
    void aboutAndHelp();
    void transferDisablesTheCommandsWhileItRuns();
    void failedTransferWithoutEditorResetsTheShell();
};

void MainWindowTest::startUpWithoutAnyPortAsksUntilTheUserStops() {
    LinkRadio radio({});
    Program program(&radio);
    bool splashDuringQuestion = true;
    std::string statusDuringQuestion;
    program.prompter.onAsk = [&](const Message&) {
        splashDuringQuestion = AnySplashShowing();
        statusDuringQuestion = program.window.Status().Text();
    };
    program.prompter.Expect(kNoPortQuestion, Answer::Yes).Expect(kNoPortQuestion, Answer::No);

    program.window.StartUp();

    QVERIFY_DONE(program.prompter);
    const Message& question = program.prompter.Asked().front();
    QCOMPARE(question.buttons, Buttons::YesNoCancel);
    QCOMPARE(question.icon, Icon::Exclamation);
    QCOMPARE(program.state.PortCount, 0);
    QVERIFY(program.state.PortList.empty());
    // The splash is gone and the detecting message shows while the question is asked.
    QVERIFY(!splashDuringQuestion);
    QCOMPARE(statusDuringQuestion, std::string(kDetectingPortsText));
}

void MainWindowTest::startUpWithASimulatorPortFindsItWithoutAsking() {
    PseudoTerminal radioLine;
    LinkRadio radio({radioLine.Device()});
    Program program(&radio);

    program.window.StartUp();

    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.state.PortCount, 1);
    QCOMPARE(program.state.PortList, std::vector<int>{1});
}

void MainWindowTest::startUpLeavesTheNoDocumentState() {
    Program program;
    program.fakeRadio.ports = {2, 5};
    program.state.RadioAbsent = false;
    program.window.StartUp();

    QCOMPARE(program.window.windowTitle(), QString("PC Software for Petrel Serial Radio"));
    QCOMPARE(program.state.PortCount, 2);
    QVERIFY(program.state.RadioAbsent);
    QCOMPARE(program.window.Status().Text(), std::string(kMenuHintText));
    QCOMPARE(program.state.ErrMsgText, std::string(kMenuHintText));
    QCOMPARE(program.state.ErrMsgColor, kStatusBlack);
    QVERIFY(FindAction(&program.window, "mnuRadioItem0")->isEnabled());
    QAction* download = FindAction(&program.window, "Download");
    QVERIFY(download->isVisible());
    QVERIFY(!download->isEnabled());
    QVERIFY(!AnySplashShowing());
    // The authorization options start as the splash sets them.
    QVERIFY(program.state.FreqLock);
    QVERIFY(!program.state.PowerKeyAuth);
    QVERIFY(!program.state.TxPowerAuth);
    // The decimal separator of the system's numbers.
    QCOMPARE(program.state.DotDecimal, qEnvironmentVariableIsEmpty("PETREL_EXPECT_COMMA_LOCALE"));

    // Halfway between the design size and the screen, centred on it.
    const QRect screen = program.window.screen()->availableGeometry();
    const WindowGeometry g = MainWindowGeometry(screen.width(), screen.height(), 640, 480);
    QCOMPARE(program.window.size(), QSize(g.width, g.height));
    QCOMPARE(program.window.pos(), QPoint(screen.left() + g.left, screen.top() + g.top));
}

void MainWindowTest::toolbarOffersTwelveButtonsWithTheirTips() {
    Program program;
    program.window.StartUp();
    const auto* toolbar = program.window.findChild<QToolBar*>("Toolbar1");
    QVERIFY(toolbar != nullptr);
    QStringList keys;
    QStringList tips;
    for (const QAction* action : toolbar->actions()) {
        keys << action->objectName();
        tips << action->toolTip();
        QVERIFY(!action->icon().isNull());
    }
    QCOMPARE(keys, QStringList({"New", "Open", "Save", "Print", "Cut", "Copy", "Paste", "Upload",
                                "Download", "Key", "Help", "About"}));
    QCOMPARE(tips, QStringList({"New", "Open an existing CFG file", "Save", "Print", "Cut", "Copy",
                                "Paste", "Read Radio", "Write Radio", "Buttons Define", "Help",
                                "About"}));

    // Save does nothing at all.
    FindAction(&program.window, "Save")->trigger();
    QVERIFY(program.prompter.Asked().empty());
    QVERIFY(program.window.isVisible());
}

void MainWindowTest::toolbarErrorPathClosesTheProgramUnlessAnEditorCancels() {
    Program program;
    program.window.StartUp();
    NotePadWindow* editor = NewEditor(program);
    program.state.workspace.At(editor->Slot()).state.Dirty = true;

    // The editor's Cancel keeps the program running.
    program.prompter.Expect("Error operating !", Answer::Ok)
        .Expect(ChangedQuestion("Temp1"), Answer::Cancel);
    FindAction(&program.window, "Print")->trigger();
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.prompter.Asked().front().buttons, Buttons::Ok);
    QCOMPARE(program.prompter.Asked().front().icon, Icon::None);
    QVERIFY(program.window.isVisible());
    QCOMPARE(program.window.Editors().size(), 1);

    // Every handler-less key takes the same road; No lets the editor and the program go.
    for (const char* key : {"Cut", "Copy", "Paste", "Key"}) {
        Program other;
        other.window.StartUp();
        other.prompter.Expect("Error operating !", Answer::Ok);
        FindAction(&other.window, key)->trigger();
        QVERIFY2(other.prompter.Done(), key);
        QVERIFY2(!other.window.isVisible(), key);
    }
    program.prompter.Expect("Error operating !", Answer::Ok)
        .Expect(ChangedQuestion("Temp1"), Answer::No);
    FindAction(&program.window, "Key")->trigger();
    QVERIFY_DONE(program.prompter);
    QVERIFY(!program.window.isVisible());
    QVERIFY(program.window.Editors().isEmpty());
}

void MainWindowTest::menuBarFollowsTheActiveWindow() {
    Program program;
    program.window.StartUp();
    const QStringList mainMenus{"&File", "&Radio", "&Help"};
    const QStringList editorMenus{"&File", "&Edit", "Fe&ature", "&Radio", "&Configure", "&Help"};
    QCOMPARE(MenuBarTitles(program.window), mainMenus);

    NotePadWindow* first = NewEditor(program);
    QCOMPARE(MenuBarTitles(program.window), editorMenus);
    NotePadWindow* second = NewEditor(program, 10, 16);
    QVERIFY(
        program.window.menuBar()->actions().contains(FindMenu(second, "mnuFile")->menuAction()));

    // Activating the first editor brings its own menus back.
    program.window.Area().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
    QVERIFY(program.window.menuBar()->actions().contains(FindMenu(first, "mnuFile")->menuAction()));
    QVERIFY(
        !program.window.menuBar()->actions().contains(FindMenu(second, "mnuFile")->menuAction()));

    // Features that are not built yet are there and cannot be chosen.
    QVERIFY(!FindMenu(first, "mnuFeature")->menuAction()->isEnabled());
    QVERIFY(!FindMenu(first, "mnuConfigure")->menuAction()->isEnabled());
    for (const char* item : {"munPrint", "munPrnset", "mnuECut", "mnuECopy", "mnuEPaste",
                             "mnuEDelete", "mnuEautoT", "mnuSysOp", "mnuCustomer"}) {
        QVERIFY2(!FindAction(first, item)->isEnabled(), item);
    }
    QVERIFY(FindAction(first, "mnuRadioItem1")->isEnabled());

    FindAction(first, "mnuClose")->trigger();
    QCOMPARE(MenuBarTitles(program.window), editorMenus);
    FindAction(second, "mnuClose")->trigger();
    QCOMPARE(MenuBarTitles(program.window), mainMenus);
    QVERIFY(program.window.menuBar()->actions().contains(
        FindMenu(&program.window, "mnuFile")->menuAction()));
}

void MainWindowTest::mainMenusOfferTheirItemsAndShortcuts() {
    Program program;
    program.window.StartUp();
    QMenu* file = program.window.findChild<QMenu*>("mnuFile", Qt::FindDirectChildrenOnly);
    QVERIFY(file != nullptr);
    QStringList items;
    for (const QAction* action : file->actions()) {
        items << (action->isSeparator() ? "-"
                                        : action->text() + " " + action->shortcut().toString());
    }
    QCOMPARE(items, QStringList({"&New Ctrl+N", "&Open Ctrl+O", "E&xit Ctrl+Q", "-"}));
    QMenu* help = program.window.findChild<QMenu*>("mnuHelp", Qt::FindDirectChildrenOnly);
    QVERIFY(!FindAction(help, "mnuAuthor")->isEnabled());
    QCOMPARE(FindAction(help, "mnuAuthor")->text(), QString("Authorization"));

    // Exit ends the program at once.
    FindAction(file, "mnuExit")->trigger();
    QVERIFY(!program.window.isVisible());
    QVERIFY(program.prompter.Asked().empty());
}

void MainWindowTest::redStatusBlinksUntilANormalMessage() {
    Program program;
    program.window.StartUp();
    const auto* timer = program.window.findChild<QTimer*>("Timer1");
    QVERIFY(timer != nullptr);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    const auto* label = program.window.findChild<QLabel*>("labErrMsg");

    program.window.Status().SetStatus("Not detected", kStatusRed, kStatusFontLarge);
    QVERIFY(!label->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(label->isHidden(), 1500);
    QTRY_VERIFY_WITH_TIMEOUT(!label->isHidden(), 1500);

    // ShowStatus sets black: the blinking stops with the label showing.
    ShowStatus(program.window.Status(), "ALL Channels In Range");
    QTest::qWait(1200);
    QVERIFY(!label->isHidden());
    QCOMPARE(label->text(), QString("ALL Channels In Range"));
}

void MainWindowTest::closingAWindowRenumbersTheUntitledOnes() {
    QTemporaryDir dir;
    const std::string saved = dir.filePath("shop.cfg").toStdString();
    {
        ProgramState other;
        ScriptedPrompter quiet;
        QVERIFY(SaveConfigFile(other, BuildNewConfiguration(other, 9, 16), saved, quiet));
    }

    Program program;
    program.window.StartUp();
    NewEditor(program);
    NewEditor(program);
    program.chooser.Then(saved);
    FindAction(&program.window, "Open")->trigger();
    QCOMPARE(Titles(program.window),
             QStringList({"Temp1.cfg", "Temp2.cfg", QString::fromStdString(saved).toUpper()}));
    QCOMPARE(program.state.TempCount, 2);

    // Closing the titled window retitles the untitled ones, counting down in slot order.
    FindAction(program.window.Editors().at(2), "mnuClose")->trigger();
    QCOMPARE(Titles(program.window), QStringList({"TEMP2", "TEMP1"}));

    // Closing an untitled one lowers the count: the other becomes TEMP1.
    FindAction(program.window.Editors().at(0), "mnuClose")->trigger();
    QCOMPARE(program.state.TempCount, 1);
    QCOMPARE(Titles(program.window), QStringList({"TEMP1"}));
    QVERIFY_DONE(program.prompter);
}

void MainWindowTest::closingTheLastEditorResetsTheShell() {
    Program program;
    program.window.StartUp();
    NotePadWindow* editor = NewEditor(program);
    program.state.ClipLines = {"  446.006250  000=  None"};
    QVERIFY(FindAction(&program.window, "Download")->isEnabled());
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));

    FindAction(editor, "mnuClose")->trigger();

    QVERIFY(program.window.Editors().isEmpty());
    QCOMPARE(program.state.workspace.UpperSlot(), 0);
    QVERIFY(program.state.ClipLines.empty());
    QCOMPARE(program.state.TempCount, 0);
    QVERIFY(!FindAction(&program.window, "Download")->isEnabled());
    QCOMPARE(program.window.Status().Text(), std::string(kMenuHintText));
    // A new document starts in slot 1 again and counts from 1.
    QCOMPARE(NewEditor(program)->windowTitle(), QString("Temp1.cfg"));
}

void MainWindowTest::aboutAndHelp() {
    Program program;
    program.window.StartUp();
    program.prompter
        .Expect("Computer Programmer System for Petrel Serial Radio Version 1.20 \n\r" +
                    std::string(kNoticeLine),
                Answer::Ok)
        .Expect("Help is not available: README.md was not found or no viewer could open it.",
                Answer::Ok);
    FindAction(&program.window, "About")->trigger();
    FindAction(&program.window, "mnuReadMe")->trigger();
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.prompter.Asked().front().title, std::string("About CPS"));
    QCOMPARE(program.prompter.Asked().front().buttons, Buttons::Ok);

    // A viewer that opens the help leaves no message.
    int opened = 0;
    program.window.SetHelpOpener([&] { return ++opened > 0; });
    FindAction(&program.window, "Help")->trigger();
    QCOMPARE(opened, 1);
    QCOMPARE(program.prompter.Asked().size(), std::size_t{2});
}

void MainWindowTest::transferDisablesTheCommandsWhileItRuns() {
    Program program;
    program.window.StartUp();
    NotePadWindow* editor = NewEditor(program);
    bool menusDuring = true;
    bool editorMenusDuring = true;
    bool toolbarDuring = true;
    bool timerDuring = true;
    program.fakeRadio.onTransfer = [&](ProgramState& state, int op, int) -> std::optional<int> {
        menusDuring = FindMenu(&program.window, "mnuRadio")->menuAction()->isEnabled();
        editorMenusDuring = FindMenu(editor, "mnuRadio")->menuAction()->isEnabled() ||
                            FindMenu(editor, "mnuFile")->menuAction()->isEnabled();
        toolbarDuring = program.window.findChild<QToolBar*>("Toolbar1")->isEnabled();
        timerDuring = program.window.findChild<QTimer*>("Timer1")->isActive();
        // A second request while one runs is ignored.
        program.window.RadioTransfer(kOpUpload);
        if (op == kOpUpload) {
            return BuildNewConfiguration(state, 10, 16);
        }
        return std::nullopt;
    };

    FindAction(editor, "mnuRadioItem1")->trigger();
    QCOMPARE(program.fakeRadio.operations, std::vector<int>{kOpDownload});
    QCOMPARE(program.fakeRadio.activeSlots, std::vector<int>{editor->Slot()});
    QVERIFY(!menusDuring);
    QVERIFY(!editorMenusDuring);
    QVERIFY(!toolbarDuring);
    QVERIFY(!timerDuring);
    QVERIFY(FindMenu(editor, "mnuRadio")->menuAction()->isEnabled());
    QVERIFY(program.window.findChild<QToolBar*>("Toolbar1")->isEnabled());
    QVERIFY(program.window.findChild<QTimer*>("Timer1")->isActive());
    QCOMPARE(program.window.Editors().size(), 1);

    // An Upload that opened a document shows it in a new, active editor.
    FindAction(&program.window, "Upload")->trigger();
    QCOMPARE(program.window.Editors().size(), 2);
    QCOMPARE(program.window.ActiveEditor()->windowTitle(), QString("Temp2.cfg"));
    QVERIFY(FindAction(&program.window, "Download")->isEnabled());
    QVERIFY(FindMenu(&program.window, "mnuRadio")->menuAction()->isEnabled());
}

void MainWindowTest::failedTransferWithoutEditorResetsTheShell() {
    Program program;
    program.window.StartUp();
    program.fakeRadio.onTransfer = [&](ProgramState&, int, int) -> std::optional<int> {
        program.window.Status().SetStatus("Not detected", kStatusRed, kStatusFontLarge);
        return std::nullopt;
    };
    FindAction(&program.window, "mnuRadioItem0")->trigger();
    QCOMPARE(program.fakeRadio.activeSlots, std::vector<int>{0});
    QVERIFY(program.window.Editors().isEmpty());
    QCOMPARE(program.window.Status().Text(), std::string(kMenuHintText));
    QVERIFY(!FindAction(&program.window, "Download")->isEnabled());
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::MainWindowTest)
#include "main_window_test.moc"
