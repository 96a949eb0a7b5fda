#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
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
#include "sim_process.h"
#include "support/pseudo_terminal.h"
#include "support/temp_dir.h"

namespace petrel::test {

namespace {

const std::string kErrorOperating = "Error operating !";
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

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void startUpFindsThePortsAndLeavesTheNoDocumentState();
    void toolbarHelpAndTheErrorPathThatClosesUnlessAnEditorCancels();
    void menuBarFollowsTheActiveWindowAndTheLastCloseResetsTheShell();
    void redStatusBlinksUntilANormalMessage();
    void closingAWindowRenumbersTheUntitledOnes();
    void transferDisablesTheCommandsWhileItRuns();
    // Upload and Download through the real link against petrel-radio-sim.
    void uploadOpensAWindowWithTheRadiosChannels();
    void downloadThenCheckAndUploadGivesTheSameChannels();
};

void MainWindowTest::startUpFindsThePortsAndLeavesTheNoDocumentState() {
    {
        // No port at all: the question comes after the splash, under the detecting message.
        const std::string noPort = " No RS232 Port is available\n\rDetect Again ?";
        LinkRadio radio({});
        Program program(&radio);
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
    }
    {
        // A simulator's pseudo-terminal is found without a question.
        PseudoTerminal radioLine;
        LinkRadio radio({radioLine.Device()});
        Program program(&radio);
        program.window.StartUp();
        QVERIFY_DONE(program.prompter);
        QCOMPARE(program.state.PortList, std::vector<int>{1});
    }
    Program program;
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

void MainWindowTest::toolbarHelpAndTheErrorPathThatClosesUnlessAnEditorCancels() {
    Program program;
    program.window.StartUp();
    // Save does nothing; Help opens the viewer or says that it could not.
    program.prompter.Expect(
        "Help is not available: README.md was not found or no viewer could open it.", Answer::Ok);
    Trigger(&program.window, "Save");
    Trigger(&program.window, "Help");
    QVERIFY_DONE(program.prompter);
    int opened = 0;
    program.window.SetHelpOpener([&] { return ++opened > 0; });
    Trigger(&program.window, "mnuReadMe");
    QCOMPARE(opened, 1);

    // A button without a handler closes the program; a changed editor's Cancel stops that.
    NotePadWindow* editor = NewEditor(program);
    program.state.workspace.At(editor->Slot()).state.Dirty = true;
    program.prompter.Expect(kErrorOperating, Answer::Ok)
        .Expect(ChangedQuestion("Temp1"), Answer::Cancel);
    Trigger(&program.window, "Print");
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.prompter.Asked()[1].buttons, Buttons::Ok);
    QCOMPARE(program.prompter.Asked()[1].icon, Icon::None);
    QVERIFY(program.window.isVisible());
    QCOMPARE(program.window.Editors().size(), 1);
    program.prompter.Expect(kErrorOperating, Answer::Ok)
        .Expect(ChangedQuestion("Temp1"), Answer::No);
    Trigger(&program.window, "Key");
    QVERIFY_DONE(program.prompter);
    QVERIFY(!program.window.isVisible());
    QVERIFY(program.window.Editors().isEmpty());

    for (const char* key : {"Cut", "Copy", "Paste"}) {
        Program other;
        other.window.StartUp();
        other.prompter.Expect(kErrorOperating, Answer::Ok);
        Trigger(&other.window, key);
        QVERIFY2(other.prompter.Done(), key);
        QVERIFY2(!other.window.isVisible(), key);
    }
}

void MainWindowTest::menuBarFollowsTheActiveWindowAndTheLastCloseResetsTheShell() {
    Program program;
    program.window.StartUp();
    const QStringList mainMenus{"&File", "&Radio", "&Help"};
    const QStringList editorMenus{"&File", "&Edit", "Fe&ature", "&Radio", "&Configure", "&Help"};
    QCOMPARE(MenuBarTitles(program.window), mainMenus);
    QVERIFY(!FindAction(&program.window, "mnuAuthor")->isEnabled());

    NotePadWindow* first = NewEditor(program);
    QCOMPARE(MenuBarTitles(program.window), editorMenus);
    // Features that are not built yet are there and cannot be chosen.
    QVERIFY(!FindMenu(first, "mnuFeature")->menuAction()->isEnabled());
    QVERIFY(!FindMenu(first, "mnuConfigure")->menuAction()->isEnabled());
    for (const char* item : {"munPrint", "munPrnset", "mnuECut", "mnuECopy", "mnuEPaste",
                             "mnuEDelete", "mnuEautoT", "mnuSysOp", "mnuCustomer"}) {
        QVERIFY2(!FindAction(first, item)->isEnabled(), item);
    }
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

void MainWindowTest::redStatusBlinksUntilANormalMessage() {
    Program program;
    program.window.StartUp();
    const auto* timer = program.window.findChild<QTimer*>("Timer1");
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
    TempDir dir;
    const std::string saved = dir.File("shop.cfg");
    ProgramState other;
    ScriptedPrompter quiet;
    QVERIFY(SaveConfigFile(other, BuildNewConfiguration(other, 9, 16), saved, quiet));

    Program program;
    program.window.StartUp();
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

void MainWindowTest::transferDisablesTheCommandsWhileItRuns() {
    Program program;
    program.window.StartUp();
    // A failed operation without an editor ends in the no-document state.
    program.fakeRadio.onTransfer = [&](ProgramState&, int, int) -> std::optional<int> {
        program.window.Status().SetStatus("Not detected", kStatusRed, kStatusFontLarge);
        return std::nullopt;
    };
    Trigger(&program.window, "mnuRadioItem0");
    QCOMPARE(program.fakeRadio.activeSlots, std::vector<int>{0});
    QCOMPARE(program.window.Status().Text(), std::string(kMenuHintText));
    QVERIFY(!FindAction(&program.window, "Download")->isEnabled());

    NotePadWindow* editor = NewEditor(program);
    auto* toolbar = program.window.findChild<QToolBar*>("Toolbar1");
    auto* timer = program.window.findChild<QTimer*>("Timer1");
    QStringList enabledDuring;
    program.fakeRadio.onTransfer = [&](ProgramState& state, int op, int) -> std::optional<int> {
        for (QObject* owner : std::initializer_list<QObject*>{&program.window, editor}) {
            if (FindMenu(owner, "mnuRadio")->menuAction()->isEnabled()) {
                enabledDuring << owner->objectName();
            }
        }
        if (FindMenu(editor, "mnuFile")->menuAction()->isEnabled() || toolbar->isEnabled() ||
            timer->isActive()) {
            enabledDuring << "file menu, toolbar or timer";
        }
        program.window.RadioTransfer(kOpUpload);  // a second request while one runs is ignored
        return op == kOpUpload ? std::optional(BuildNewConfiguration(state, 10, 16)) : std::nullopt;
    };
    Trigger(editor, "mnuRadioItem1");
    QCOMPARE(program.fakeRadio.operations, std::vector<int>({kOpUpload, kOpDownload}));
    QCOMPARE(program.fakeRadio.activeSlots.back(), editor->Slot());
    QCOMPARE(enabledDuring, QStringList());
    QVERIFY(FindMenu(editor, "mnuRadio")->menuAction()->isEnabled());
    QVERIFY(toolbar->isEnabled() && timer->isActive());
    QCOMPARE(program.window.Editors().size(), 1);

    // An Upload that opened a document shows it in a new, active editor.
    Trigger(&program.window, "Upload");
    QCOMPARE(program.window.Editors().size(), 2);
    QCOMPARE(program.window.ActiveEditor()->windowTitle(), QString("Temp2.cfg"));
    QVERIFY(FindAction(&program.window, "Download")->isEnabled());
    QVERIFY(FindMenu(&program.window, "mnuRadio")->menuAction()->isEnabled());
}

void MainWindowTest::uploadOpensAWindowWithTheRadiosChannels() {
    sim::SimProcess radioSim(kSimulator,
                             {"--quiet", "--serial", "SN-00042", "--customer", "Petrel Shop"});
    LinkRadio radio({radioSim.Device()});
    Program program(&radio);
    program.window.StartUp();
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

void MainWindowTest::downloadThenCheckAndUploadGivesTheSameChannels() {
    TempDir dir;
    const std::string file = dir.File("pmr16.cfg");
    ProgramState other;
    ScriptedPrompter quiet;
    const int slot = BuildNewConfiguration(other, 9, 16);
    other.workspace.At(slot).state.Dirty = true;  // pack the channel lines themselves
    QVERIFY(SaveConfigFile(other, slot, file, quiet));
    sim::SimProcess radioSim(kSimulator, {"--quiet", "--channels", "16", "--blank"});
    LinkRadio radio({radioSim.Device()});
    Program program(&radio);
    program.window.StartUp();

    program.chooser.Then(file);
    Trigger(&program.window, "Open");
    NotePadWindow* opened = program.window.ActiveEditor();
    QVERIFY(opened != nullptr);
    program.window.Status().SetStatus("stale", kStatusBlack, kStatusFontNormal);
    Trigger(opened, "mnuRadioItem1");
    QCOMPARE(program.window.Editors().size(), 1);
    // The channel check replaces the detection message once the Download is through.
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));

    Trigger(opened, "mnuRadioItem0");
    NotePadWindow* uploaded = program.window.ActiveEditor();
    QVERIFY(uploaded != opened);
    QCOMPARE(ListLines(uploaded, true), ListLines(opened, true));
    QVERIFY_DONE(program.prompter);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::MainWindowTest)
#include "main_window_test.moc"
