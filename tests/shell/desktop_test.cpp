// The desktop program under the offscreen platform: every test builds its own program and
// windows, answers the message boxes from a script and checks their exact words.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <csignal>

#include "core/shell/shell_model.h"
#include "shell/ui_support.h"
#include "sim_process.h"
#include "ui/common/qt_ports.h"
#include "ui/link/serial_radio.h"
#include "ui/shell/quit_signals.h"

namespace petrel::test {

namespace {

namespace fs = std::filesystem;

bool AnySplashShowing() {
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "frmHi" && widget->isVisible()) {
            return true;
        }
    }
    return false;
}

// The titles of the menus the menu bar shows now.
QStringList MenuBarTitles(MainWindow& window) {
    QStringList titles;
    for (const QAction* action : window.menuBar()->actions()) {
        titles << action->text();
    }
    return titles;
}

bool MenuBarShows(MainWindow& window, QObject* owner) {
    return window.menuBar()->actions().contains(Child<QMenu>(owner, "mnuFile")->menuAction());
}

QDialog* NewRadioDialog(Program& program) {
    Trigger(&program.window, "New");
    return Shown(&program.window, "frmNewRadio");
}

void PressOkWithChannels(QDialog* dialog, const QString& count) {
    Retype(Child(dialog, "txtMaxCh"), count);
    QTest::mouseClick(Child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
  private slots:
    void startUpWithoutARadioThenOneReadBackedUpAndWritten();
    void transferDisablesTheCommandsWhileItRuns();
    void menuBarFollowsTheActiveWindowAndTheLastCloseResetsTheShell();
    void redStatusBlinksUntilANormalMessage();
    void newRadioDialogMakesAnEditorThatAsksBeforeItClosesChanged();
    void editorsCascadeInsideTheWorkAreaAndTheirFontFollowsTheWidth();
    void messageBoxShowsTheTextTitleButtonsIconAndDefault();
    void fileDialogsFilterAndStartWhereTheLastFileWasChosen();
    void workingFolderIsMadeInTheDocumentsLocation();
    void terminationSignalEndsTheLoopAndIsRemembered();
};

// One simulated radio through the real link: no port at start-up, then the cable plugged in;
// Upload, Download with and without the backup read first, and the customer editor. Also run
// under a locale that writes decimals with a comma.
void DesktopTest::startUpWithoutARadioThenOneReadBackedUpAndWritten() {
    std::vector<std::string> plugged;
    SerialRadio radio({}, [&] { return plugged; });
    Program program(&radio, false);
    const std::string noPort = " No RS232 Port is available\n\rDetect Again ?";
    bool splashDuringQuestion = true;
    std::string statusDuringQuestion;
    program.prompter.onAsk = [&](const Message&) {
        splashDuringQuestion = AnySplashShowing();
        statusDuringQuestion = program.window.Status().Text();
    };
    program.prompter.Expect(noPort, Answer::Yes).Expect(noPort, Answer::No);
    program.window.StartUp();
    QVERIFY_DONE(program.prompter);
    const Message& asked = program.prompter.Asked().front();
    QCOMPARE(std::pair(asked.buttons, asked.icon),
             std::pair(Buttons::YesNoCancel, Icon::Exclamation));
    QCOMPARE(asked.detail,
             std::string("No serial device was found (/dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*)."));
    QVERIFY(!splashDuringQuestion && !AnySplashShowing());
    QCOMPARE(statusDuringQuestion, std::string(kDetectingPortsText));
    program.prompter.onAsk = nullptr;
    // The no-document state, in the middle of the screen, with the system's decimal separator.
    QCOMPARE(program.window.Status().Text(), std::string(kMenuHintText));
    QVERIFY(!Child<QAction>(&program.window, "Download")->isEnabled());
    QCOMPARE(program.state.shell.DotDecimal,
             qEnvironmentVariableIsEmpty("PETREL_EXPECT_COMMA_LOCALE"));
    const QRect screen = program.window.screen()->availableGeometry();
    const WindowGeometry g = MainWindowGeometry(screen.width(), screen.height(), 640, 480);
    QCOMPARE(program.window.size(), QSize(g.width, g.height));
    QCOMPARE(program.window.pos(), QPoint(screen.left() + g.left, screen.top() + g.top));

    const std::string radioFile = program.workFolder.File("radio.cfg");
    sim::SimProcess radioSim(kSimulator, {"--quiet", "--delay", "0", "--serial", "SN-00042",
                                          "--customer", "Old Shop", "--save", radioFile});
    plugged = {radioSim.Device()};
    Trigger(&program.window, "Upload");
    ConfigEditorWindow* editor = program.window.ActiveEditor();
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->windowTitle(), QString("TEMP1.CFG"));
    QCOMPARE(ListLines(editor).size(), 99);
    QCOMPARE(Child<QLabel>(editor, "lblCustomer")->text(), QString("Customer:Old Shop"));
    QVERIFY(Child<QAction>(&program.window, "Download")->isEnabled());
    QCOMPARE(program.window.Status().Text(),
             std::string("Read 99 channels from Petrel (PMR), serial SN-00042"));
    QCOMPARE(BackupFiles(program).size(), 1u);

    // The Download reads the radio first, byte for byte as the Upload found it, and what it did
    // replaces the link's messages once it is through.
    editor->ApplyEdits({{0, "1   446.093750  000=  None   446.093750  000=  None"}});
    program.window.Status().SetStatus("stale", kStatusBlack, kStatusFontNormal);
    Trigger(editor, "mnuRadioItem1");
    const auto kept = BackupFiles(program);
    QCOMPARE(kept.size(), 2u);
    QCOMPARE(ReadBytes(kept[0]), ReadBytes(kept[1]));
    QVERIFY(program.window.Status().Text().starts_with(
        "Written and verified: 99 channels; the radio as it was is in "));
    Trigger(&program.window, "mnuBackupFirst");  // one item in every Radio menu
    Trigger(editor, "mnuRadioItem1");
    QCOMPARE(BackupFiles(program).size(), 2u);
    QCOMPARE(program.window.Status().Text(), std::string("Written and verified: 99 channels"));

    // The customer editor behind the option password, with a 16-channel window active: the
    // blocks still go to the 99-channel radio's own information page.
    Doc(program, NewEditor(program)).info.CustomerName = "Earlier Shop";
    Trigger(program.window.ActiveEditor(), "mnuCustomer");
    TypePassword(Shown(&program.window, "optPwd"), "featurelock");
    QDialog* customer = Shown(&program.window, "frmCustomer");
    QVERIFY(customer != nullptr);
    auto* name = Child<QLineEdit>(customer, "txtCustomer");
    auto* serial = Child<QLineEdit>(customer, "txtSerial");
    QCOMPARE(name->text(), QString("Earlier Shop"));
    Click(customer, "cmdReadInfo");
    QCOMPARE(name->text() + serial->text(), QString("Old ShopSN-00042"));
    Retype(name, "  Harbour Taxi Company");  // cut at 15 characters, trimmed
    Retype(serial, "A1");
    Click(customer, "cmdOK");
    QTRY_VERIFY(!customer->isVisible());
    QCOMPARE(program.window.Status().Text(),
             std::string("Customer name and serial number written"));
    QVERIFY_DONE(program.prompter);

    QCOMPARE(radioSim.Stop(), 0);
    QVERIFY(ReadBytes(radioFile) != ReadBytes(kept[0]));  // the Downloads went through
    const auto info = DecodeCompanionFile(ReadBytes(program.workFolder.File("radio.ptx")));
    QVERIFY(info.has_value());
    QCOMPARE(std::string(info->begin() + 0xE1, info->begin() + 0xF0), "Harbour Taxi   ");
    QCOMPARE(std::string(info->begin() + 0xD1, info->begin() + 0xD3), "A1");
}

void DesktopTest::transferDisablesTheCommandsWhileItRuns() {
    Program program;
    // A failed operation without an editor ends in the no-document state.
    program.fakeRadio.onTransfer = [&](TransferOp) {
        program.window.Status().SetStatus("Not detected", kStatusRed, kStatusFontLarge);
        return TransferResult{};
    };
    Trigger(&program.window, "mnuRadioItem0");
    QCOMPARE(program.window.Status().Text(), std::string(kMenuHintText));
    QVERIFY(!Child<QAction>(&program.window, "Download")->isEnabled());

    // While a transfer runs, nothing can start another one and the blinking stops.
    ConfigEditorWindow* editor = NewEditor(program);
    const auto commands = [&] {
        return QList<bool>{Child<QMenu>(&program.window, "mnuRadio")->menuAction()->isEnabled(),
                           Child<QMenu>(editor, "mnuRadio")->menuAction()->isEnabled(),
                           Child<QMenu>(editor, "mnuFile")->menuAction()->isEnabled(),
                           Child(&program.window, "Toolbar1")->isEnabled(),
                           Child<QTimer>(&program.window, "Timer1")->isActive()};
    };
    QList<bool> during;
    program.fakeRadio.onTransfer = [&](TransferOp op) {
        during = commands();
        program.window.RadioTransfer(TransferOp::Upload);  // ignored
        TransferResult result;
        if (op == TransferOp::Upload) {
            result.read = ReadOfNewRadio(10, 99);
        }
        return result;
    };
    Trigger(editor, "mnuRadioItem1");
    QCOMPARE(program.fakeRadio.operations,
             std::vector<TransferOp>({TransferOp::Upload, TransferOp::Download}));
    QCOMPARE(program.fakeRadio.documents,
             std::vector<const Document*>({nullptr, &Doc(program, editor)}));
    QCOMPARE(during, QList<bool>(5, false));
    QCOMPARE(commands(), QList<bool>(5, true));

    // What the windows could do while a transfer serves them changes nothing it reads: another
    // editor's activation, OK in the still-open new-radio dialog, closing the program.
    ConfigEditorWindow* other = NewEditor(program, 10, 99);
    Activate(program, editor);
    QDialog* dialog = NewRadioDialog(program);
    QVERIFY(MakeActive(&program.window));
    QList<int> seen;  // channel count, editors, window shown
    program.fakeRadio.onTransfer = [&](TransferOp) {
        QTest::mouseClick(Child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        QTest::mouseClick(List(other)->viewport(), Qt::LeftButton);
        program.window.close();
        QCoreApplication::processEvents();  // as the transfer does once per block
        const Document* active = program.state.workspace.Active();
        seen = {active ? int(active->lines.size()) : -1, int(program.window.Editors().size()),
                int(program.window.isVisible())};
        return TransferResult{};
    };
    Trigger(editor, "mnuRadioItem1");
    QCOMPARE(seen, QList<int>({16, 2, 1}));
    QCOMPARE(program.window.ActiveEditor(), editor);
    QVERIFY(dialog->isEnabled());
}

void DesktopTest::menuBarFollowsTheActiveWindowAndTheLastCloseResetsTheShell() {
    Program program;
    const QStringList mainMenus{"&File", "&Radio", "&Window", "&Help"};
    const QStringList editorMenus{"&File",  "&Edit",      "&View",   "Fe&ature",
                                  "&Radio", "&Configure", "&Window", "&Help"};
    QCOMPARE(MenuBarTitles(program.window), mainMenus);
    // F10 opens the menu bar; Save has nothing to save; Help opens the viewer or says it cannot.
    QVERIFY(MakeActive(&program.window));
    QTest::keyClick(&program.window, Qt::Key_F10);
    QTRY_COMPARE(QApplication::activePopupWidget(), Child<QMenu>(&program.window, "mnuFile"));
    QApplication::activePopupWidget()->close();
    const std::string noHelp =
        "Help is not available: the user guide (user-guide.md) was not found or no viewer "
        "could open it.";
    program.prompter.Expect(noHelp, Answer::Ok).Expect(noHelp, Answer::Ok);
    Trigger(&program.window, "Save");
    Trigger(&program.window, "Help");
    Trigger(&program.window, "mnuReadMe");
    QVERIFY_DONE(program.prompter);

    ConfigEditorWindow* first = NewEditor(program);
    QCOMPARE(MenuBarTitles(program.window), editorMenus);
    QVERIFY(!Child<QAction>(first, "mnuEPaste")->isEnabled());  // nothing to paste

    // Activating a window brings its menus back, checks its channels and enables Paste when
    // there is something to paste.
    Doc(program, first).lines[2] = "3   446.200000  000=  None   446.200000  000=  None";
    program.state.shell.ClipLines = {"  446.006250  000=  None"};
    ConfigEditorWindow* second = NewEditor(program, 10, 16);
    QVERIFY(MenuBarShows(program.window, second));
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
    Activate(program, first);
    QVERIFY(MenuBarShows(program.window, first) && !MenuBarShows(program.window, second));
    QCOMPARE(program.window.Status().Text(), std::string("Channel #3 Range Out !"));
    QCOMPARE(program.window.Status().Color(), kStatusRed);
    QVERIFY(Child<QAction>(first, "mnuEPaste")->isEnabled());

    // Closing a window retitles the untitled ones left.
    Trigger(first, "mnuClose");
    QCOMPARE(Titles(program.window), QStringList({"TEMP1"}));
    QCOMPARE(MenuBarTitles(program.window), editorMenus);
    Trigger(second, "mnuClose");
    QVERIFY(MenuBarShows(program.window, &program.window));
    // The last close leaves no document, no clipboard, no Download and the menu hint.
    QCOMPARE(program.state.workspace.UpperSlot(), 0);
    QVERIFY(program.state.shell.ClipLines.empty());
    QVERIFY(!Child<QAction>(&program.window, "Download")->isEnabled());
    QCOMPARE(program.window.Status().Text(), std::string(kMenuHintText));
    // F10 in an editor's channel list opens the editor's own menus.
    ConfigEditorWindow* editor = NewEditor(program);
    QTest::keyClick(List(editor), Qt::Key_F10);
    QTRY_COMPARE(QApplication::activePopupWidget(), Child<QMenu>(editor, "mnuFile"));
    QApplication::activePopupWidget()->close();

    // Exit ends the program at once.
    Trigger(program.window.findChild<QMenu*>("mnuFile", Qt::FindDirectChildrenOnly), "mnuExit");
    QVERIFY(!program.window.isVisible());
    QVERIFY_DONE(program.prompter);
}

void DesktopTest::redStatusBlinksUntilANormalMessage() {
    Program program;
    const auto* label = Child<QLabel>(&program.window, "labErrMsg");
    StatusArea& status = program.window.Status();
    // The blink timer ticks once a second; the test ticks it itself.
    auto* timer = Child<QTimer>(&program.window, "Timer1");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    const auto tick = [timer] { QVERIFY(QMetaObject::invokeMethod(timer, "timeout")); };
    status.SetStatus("Not detected", kStatusRed, kStatusFontLarge);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(label->font().pointSize(), 15);
    tick();
    QVERIFY(label->isHidden());
    tick();
    QVERIFY(!label->isHidden());
    tick();

    // A black message stops the blinking with the label showing.
    ShowStatus(status, "ALL Channels In Range");
    tick();
    tick();
    QVERIFY(!label->isHidden());
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(label->font().pointSize(), 12);
    // A text wider than the window shows whole in the tip.
    const std::string wide(300, 'W');
    ShowStatus(status, wide);
    QCOMPARE(status.toolTip(), QString::fromStdString(wide));

    // The progress bar right of the label.
    auto* progress = Child<QProgressBar>(&program.window, "ProgressBar1");
    QVERIFY(!progress->isVisible());
    status.SetProgressRange(480);
    status.SetProgress(240);
    status.ShowProgress(true);
    QVERIFY(progress->isVisible() && progress->x() > label->geometry().right());
    QCOMPARE(QPoint(progress->value(), progress->maximum()), QPoint(240, 480));
}

void DesktopTest::newRadioDialogMakesAnEditorThatAsksBeforeItClosesChanged() {
    Program program;
    // Cancel creates nothing.
    Click(NewRadioDialog(program), "cmdCancel");
    QTRY_VERIFY(Shown(&program.window, "frmNewRadio") == nullptr);
    QDialog* dialog = NewRadioDialog(program);
    QVERIFY(dialog != nullptr && !dialog->isModal());
    QCOMPARE(Child<QListWidget>(dialog, "LstRadioModel")->currentRow(), 0);
    // A second New shows the same dialog rather than another one.
    Trigger(&program.window, "New");
    QCOMPARE(program.window.findChildren<QDialog*>("frmNewRadio").size(), 1);
    program.prompter.Expect("The number of channels must be a whole number from 1 to 99.",
                            Answer::Ok);
    PressOkWithChannels(dialog, "100");
    QVERIFY(dialog->isVisible() && program.window.Editors().isEmpty());
    QVERIFY_DONE(program.prompter);
    PressOkWithChannels(dialog, "16");

    ConfigEditorWindow* editor = program.window.ActiveEditor();
    QCOMPARE(editor->windowTitle(), QString("Temp1.cfg"));
    QCOMPARE(List(editor)->count(), 16);
    QCOMPARE(List(editor)->currentRow(), 0);
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
    QVERIFY(Child<QAction>(&program.window, "Download")->isEnabled());

    // Changed, it asks first. Cancel keeps the window, from the menu and from the frame's close
    // box; Yes saves under the name typed, with ".cfg", and closes it.
    Doc(program, editor).state.Dirty = true;
    program.prompter.Expect(ChangedQuestion("Temp1"), Answer::Cancel)
        .Expect(ChangedQuestion("Temp1"), Answer::Cancel)
        .Expect(ChangedQuestion("Temp1"), Answer::Yes);
    Trigger(editor, "mnuClose");
    editor->parentWidget()->close();
    QCOMPARE(program.window.Editors().size(), 1);
    program.chooser.Then(program.workFolder.File("kept"));
    Trigger(editor, "mnuClose");
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.prompter.Asked().back().title, std::string(kMainWindowCaption));
    QCOMPARE(program.chooser.proposed, std::vector<std::string>{"Temp1"});
    QVERIFY(program.window.Editors().isEmpty());
    QVERIFY(fs::exists(program.workFolder.File("kept.cfg")));
}

void DesktopTest::editorsCascadeInsideTheWorkAreaAndTheirFontFollowsTheWidth() {
    Program program;
    program.window.resize(832, 624);  // the frame on a 1024 x 768 screen
    QList<QPoint> corners;
    ConfigEditorWindow* editor = nullptr;
    for (int i = 0; i < 3; ++i) {
        editor = NewEditor(program);
        QVERIFY(
            program.window.Area().viewport()->rect().contains(editor->parentWidget()->geometry()));
        corners << editor->parentWidget()->pos();
    }
    QVERIFY(corners[1].x() > corners[0].x() && corners[2].y() > corners[1].y());

    auto* header = Child<QLabel>(editor, "Label3");
    editor->parentWidget()->resize(1000, 500);
    const int wide = header->font().pointSize();
    editor->parentWidget()->resize(450, 500);
    QVERIFY2(header->font().pointSize() < wide, qPrintable(QString::number(wide)));
    QCOMPARE(List(editor)->font(), header->font());
    QVERIFY(QFontMetrics(header->font()).horizontalAdvance(header->text()) <=
            editor->contentsRect().width());
}

void DesktopTest::messageBoxShowsTheTextTitleButtonsIconAndDefault() {
    using Box = QMessageBox;
    using Look = std::tuple<QString, Box::StandardButtons, Box::Icon, Box::StandardButton>;
    struct Case {
        Message message;
        Look shown;                                    // title, buttons, icon, default button
        std::pair<Box::StandardButton, Answer> press;  // NoButton: Escape
    };
    // A title of its own, a default that is not the first button, a click; the main caption,
    // the first button as default, a detail, Escape (No where No is offered).
    const Case cases[] = {
        {{"The data in [X] has changed.\n\rDo you want?", "Title", Buttons::YesNoCancel,
          Icon::Exclamation, Answer::No},
         {"Title", Box::Yes | Box::No | Box::Cancel, Box::Warning, Box::No},
         {Box::Yes, Answer::Yes}},
        {{"Try Again ?", {}, Buttons::YesNo, Icon::Stop, std::nullopt, "COM1: Permission denied"},
         {kMainWindowCaption, Box::Yes | Box::No, Box::Critical, Box::Yes},
         {Box::NoButton, Answer::No}}};
    QtPrompter prompter;
    for (const Case& c : cases) {
        Look shown;
        QString text;
        WhenShown<Box>([&](Box* box) {
            shown = {box->windowTitle(), box->standardButtons(), box->icon(),
                     box->standardButton(box->defaultButton())};
            text = box->text() + "|" + box->detailedText();
            c.press.first == Box::NoButton ? QTest::keyClick(box, Qt::Key_Escape)
                                           : box->button(c.press.first)->click();
        });
        QCOMPARE(prompter.Ask(c.message), c.press.second);
        QVERIFY(shown == c.shown);
        // "\n\r" shows as one line break.
        QCOMPARE(
            text,
            QString::fromStdString(c.message.text + "|" + c.message.detail).replace("\n\r", "\n"));
    }
}

void DesktopTest::fileDialogsFilterAndStartWhereTheLastFileWasChosen() {
    Program program;
    QtFileChooser chooser;
    chooser.SetSettings(&program.settings);
    const QString folder = QString::fromStdString(program.workFolder.File("shop"));
    QDir().mkpath(folder);
    QStringList shown;  // accept mode, start folder, filters and default suffix of each dialog
    const auto answer = [&shown](const QString& file, bool accept = true) {
        WhenShown<QFileDialog>([&shown, file, accept](QFileDialog* dialog) {
            shown << QString("%1 %2 %3 %4")
                         .arg(dialog->acceptMode() == QFileDialog::AcceptSave ? "save" : "open",
                              dialog->directory().absolutePath(), dialog->nameFilters().join(';'),
                              dialog->defaultSuffix());
            dialog->selectFile(file);
            QMetaObject::invokeMethod(dialog, accept ? "accept" : "reject");
        });
    };
    answer(folder + "/radio");
    QCOMPARE(chooser.AskSaveName("proposed.cfg"), (folder + "/radio.cfg").toStdString());
    answer("old.cfg", false);
    QCOMPARE(chooser.AskOpenName(), std::string());  // cancelled: no name
    answer(folder + "/new.csv");
    QCOMPARE(chooser.AskExportName("Temp1.csv"), (folder + "/new.csv").toStdString());
    const QString start = QDir::currentPath();
    QCOMPARE(shown, QStringList({"save " + start + " EEPROM.CFG (*.cfg) cfg",
                                 "open " + folder + " EEPROM.CFG (*.cfg) cfg",
                                 "save " + folder + " Channels (*.csv) csv"}));
    QCOMPARE(program.settings.LastFolder(), folder);
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
