// The keyboard at the desk: the shortcuts with and without an editor, the Window menu, the
// access letters of every menu, tab pages by key, and the settings windows' captions.
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>

#include "core/util/text.h"
#include "shell/ui_support.h"

namespace petrel::test {

namespace {

// Presses a key chord where the user would: on the widget that has the focus.
void Press(const char* chord) {
    const QKeyCombination key = QKeySequence(QString::fromLatin1(chord))[0];
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) {
        target = QApplication::activeWindow();
    }
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
}

// The access letters a menu (and each menu under it) uses twice, or items without one.
QStringList LetterClashes(const QMenu* menu) {
    QStringList clashes;
    QMap<QChar, QString> used;
    for (const QAction* item : menu->actions()) {
        if (item->isSeparator()) {
            continue;
        }
        const QString text = item->text();
        const qsizetype amp = text.indexOf('&');
        if (amp < 0 || amp + 1 >= text.size()) {
            clashes << menu->title() + ": no letter in " + text;
            continue;
        }
        const QChar letter = text[amp + 1].toLower();
        if (used.contains(letter)) {
            clashes << menu->title() + ": " + used[letter] + " and " + text;
        }
        used[letter] = text;
        if (item->menu() != nullptr) {
            clashes << LetterClashes(item->menu());
        }
    }
    return clashes;
}

QStringList MenuBarClashes(MainWindow& window) {
    QStringList clashes;
    for (const QAction* menu : window.menuBar()->actions()) {
        emit menu->menu()->aboutToShow();  // items filled when the menu opens
        clashes << LetterClashes(menu->menu());
    }
    return clashes;
}

QMdiSubWindow* Frame(ConfigEditorWindow* editor) {
    return qobject_cast<QMdiSubWindow*>(editor->parentWidget());
}

// The Window menu's list of windows as it shows when opened, the checked one marked "*".
QStringList WindowList(MainWindow& window) {
    auto* menu = Child<QMenu>(&window, "mnuWindow");
    emit menu->aboutToShow();
    QStringList items;
    for (const QAction* item : menu->actions()) {
        if (item->objectName().startsWith("mnuWindow")) {
            items << item->text() + (item->isChecked() ? " *" : "");
        }
    }
    return items;
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
  private slots:
    void shortcutsWorkWithAndWithoutAnEditor();
    void windowMenuListsCyclesAndArrangesTheEditors();
    void everyMenuItemHasALetterOfItsOwn();
    void settingsWindowsNameTheirConfigurationAndTakeCtrlTabForTheirPages();
    void focusShowsOnCheckBoxesAndButtons();
    void f1OpensTheUserGuideFoundWhereverTheProgramRuns();
};

void KeyboardTest::shortcutsWorkWithAndWithoutAnEditor() {
    Program program;
    // A new configuration is saved under its title, in the working folder.
    const std::string path = program.workFolder.File("Temp1.cfg");

    // With an editor: Save, New, Print, Open.
    ConfigEditorWindow* editor = NewEditor(program, 6, 16);
    FocusList(editor);
    Press("Ctrl+S");
    QVERIFY(std::filesystem::exists(path));
    Press("Ctrl+N");
    QDialog* newRadio = Shown(&program.window, "frmNewRadio");
    QVERIFY(newRadio != nullptr);
    newRadio->close();
    FocusList(editor);
    QObject::disconnect(editor, &ConfigEditorWindow::ReportRequested, &program.window, nullptr);
    QSignalSpy printed(editor, &ConfigEditorWindow::ReportRequested);
    Press("Ctrl+P");
    QCOMPARE(printed.size(), 1);
    QCOMPARE(printed[0][0].toInt(), int(ConfigEditorWindow::kPrintReport));
    program.chooser.Then(path);
    Press("Ctrl+O");
    QCOMPARE(program.window.Editors().size(), 2);

    // Without one: Print says what to do, Open and New work, Quit ends the program.
    for (ConfigEditorWindow* open : program.window.Editors()) {
        Trigger(open, "mnuClose");
    }
    QTRY_VERIFY(program.window.ActiveEditor() == nullptr);
    QVERIFY(MakeActive(&program.window));
    Press("Ctrl+P");
    QCOMPARE(program.window.Status().Text(),
             std::string("Nothing to print: open a configuration or read a radio first."));
    Press("Ctrl+N");
    QVERIFY(Shown(&program.window, "frmNewRadio") != nullptr);
    Shown(&program.window, "frmNewRadio")->close();
    QVERIFY(MakeActive(&program.window));
    program.chooser.Then(path);
    Press("Ctrl+O");
    QVERIFY(program.window.ActiveEditor() != nullptr);
    FocusList(program.window.ActiveEditor());
    Press("Ctrl+Q");
    QTRY_VERIFY(!program.window.isVisible());
    QCOMPARE(program.chooser.unexpected, 0);
    QVERIFY_DONE(program.prompter);
}

void KeyboardTest::windowMenuListsCyclesAndArrangesTheEditors() {
    Program program;
    QVERIFY(WindowList(program.window).isEmpty());
    QVERIFY(!Child<QAction>(&program.window, "mnuTile")->isEnabled());

    ConfigEditorWindow* first = NewEditor(program, 6, 16);
    ConfigEditorWindow* second = NewEditor(program, 6, 16);
    ConfigEditorWindow* third = NewEditor(program, 6, 16);
    QCOMPARE(WindowList(program.window),
             (QStringList{"&1 Temp1.cfg", "&2 Temp2.cfg", "&3 Temp3.cfg *"}));

    // Next (Ctrl+Tab, Ctrl+F6) goes round the windows; an item of the list activates its own.
    FocusList(third);
    Press("Ctrl+Tab");
    QCOMPARE(program.window.ActiveEditor(), first);
    Press("Ctrl+F6");
    QCOMPARE(program.window.ActiveEditor(), second);
    QCOMPARE(WindowList(program.window),
             (QStringList{"&1 Temp1.cfg", "&2 Temp2.cfg *", "&3 Temp3.cfg"}));
    Trigger(&program.window, "mnuWindow3");
    QCOMPARE(program.window.ActiveEditor(), third);

    // Tile: side by side, none over another; Cascade: each one title bar lower.
    Trigger(&program.window, "mnuTile");
    const QRect a = Frame(first)->geometry(), b = Frame(second)->geometry(),
                c = Frame(third)->geometry();
    QVERIFY(!a.intersects(b) && !b.intersects(c) && !a.intersects(c));
    Trigger(&program.window, "mnuCascade");
    QVERIFY(Frame(second)->y() > Frame(first)->y() && Frame(third)->y() > Frame(second)->y());
    QVERIFY(Frame(third)->geometry().intersects(Frame(first)->geometry()));
}

void KeyboardTest::everyMenuItemHasALetterOfItsOwn() {
    Program program;
    program.settings.AddRecentFile("/tmp/a.cfg");
    QCOMPARE(MenuBarClashes(program.window).join("; "), QString());
    NewEditor(program, 6, 16);
    NewEditor(program, 6, 16);
    QCOMPARE(MenuBarClashes(program.window).join("; "), QString());
}

void KeyboardTest::settingsWindowsNameTheirConfigurationAndTakeCtrlTabForTheirPages() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program, 6, 16);
    NewEditor(program, 6, 16);
    Activate(program, editor);
    const struct {
        const char* item;
        const char* window;
        QString caption;
    } windows[] = {{"mnuSysOp", "frmSysOP", "System Option Edit"},
                   {"mnuButtons", "frmButtons", "Conventional Buttons"},
                   {"mnuOpCH", "frmCHoption", "List of Channel Option"},
                   {"mnuInfo", "frmRadioInfo", "Radio Information"}};
    for (const auto& w : windows) {
        Trigger(editor, w.item);
        QCOMPARE(Child<QDialog>(editor, w.window)->windowTitle(), w.caption + " - Temp1.cfg");
    }

    // The tabbed one takes Ctrl+Tab for its pages, not for the next editor: forward and back,
    // round past either end, wherever the focus is in it; the window system sends
    // Ctrl+Shift+Tab as Backtab.
    auto* options = Child<QDialog>(editor, "frmSysOP");
    QVERIFY(MakeActive(options));
    auto* tabs = Child<QTabWidget>(options, "tabBasicSYS");
    const struct {
        const char* key;
        int page;
    } steps[] = {{"Ctrl+Tab", 1},           {"Ctrl+PgDown", 2}, {"Ctrl+Tab", 0},
                 {"Ctrl+Shift+Backtab", 2}, {"Ctrl+PgUp", 1},   {"Ctrl+PgUp", 0}};
    QCOMPARE(tabs->currentIndex(), 0);
    for (const auto& step : steps) {
        Press(step.key);
        QCOMPARE(tabs->currentIndex(), step.page);
        // The next key comes from a control of the page now shown.
        if (QWidget* control = tabs->currentWidget()->findChild<QComboBox*>()) {
            control->setFocus(Qt::TabFocusReason);
        }
    }
    QCOMPARE(program.window.ActiveEditor(), editor);
    const std::string path = program.workFolder.File("pmr-harbour.cfg");
    program.chooser.Then(path);
    Trigger(editor, "mnuSaveAs");
    for (const auto& w : windows) {
        QCOMPARE(Child<QDialog>(editor, w.window)->windowTitle(), w.caption + " - PMR-HARBOUR.CFG");
    }
    QVERIFY_DONE(program.prompter);
}

void KeyboardTest::focusShowsOnCheckBoxesAndButtons() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program, 9, 16);
    QTest::keyClick(List(editor), Qt::Key_Return);
    QDialog* dialog = Shown(&program.window, "frmChOp");
    QVERIFY(dialog != nullptr && MakeActive(dialog));
    // Focus given without the Tab key, as Enter and clicks give it here.
    auto* check = Child<QWidget>(dialog, "chkTxRxFreq");
    auto* ok = Child<QWidget>(dialog, "cmdOK");
    auto* cancel = Child<QWidget>(dialog, "cmdCancel");
    const QImage checkPlain = check->grab().toImage();
    const QImage okPlain = ok->grab().toImage();
    check->setFocus(Qt::OtherFocusReason);
    QVERIFY(check->grab().toImage() != checkPlain);
    ok->setFocus(Qt::OtherFocusReason);
    QCOMPARE(check->grab().toImage(), checkPlain);
    const QImage okFocused = ok->grab().toImage();
    // OK is the default button: with the focus on CANCEL it looks as before, with the focus
    // on itself it looks different.
    cancel->setFocus(Qt::OtherFocusReason);
    ok->setFocus(Qt::OtherFocusReason);
    QVERIFY(ok->grab().toImage() == okFocused);
    cancel->setFocus(Qt::OtherFocusReason);
    QVERIFY(ok->grab().toImage() != okFocused);
    QVERIFY(okPlain != okFocused);
    // Return on the focused OK presses it.
    ok->setFocus(Qt::TabFocusReason);
    QSignalSpy pressed(qobject_cast<QPushButton*>(ok), &QPushButton::clicked);
    QTest::keyClick(ok, Qt::Key_Return);
    QCOMPARE(pressed.size(), 1);
    QVERIFY(!dialog->isVisible());
}

void KeyboardTest::f1OpensTheUserGuideFoundWhereverTheProgramRuns() {
    Program program;
    int opened = 0;
    program.window.SetHelpOpener([&] { return ++opened, true; });
    QVERIFY(MakeActive(&program.window));
    Press("F1");
    FocusList(NewEditor(program, 6, 16));
    Press("F1");
    QCOMPARE(opened, 2);

    // A build folder inside the source tree, an installation's bin beside its share.
    TempDir root;
    for (const auto& [guide, program] :
         {std::pair{"src/docs/user-guide.md", "src/build/src/ui"},
          std::pair{"usr/share/doc/petrel-cps/docs/user-guide.md", "usr/bin"}}) {
        const std::filesystem::path guidePath = root.Path() / guide;
        std::filesystem::create_directories(guidePath.parent_path());
        std::filesystem::create_directories(root.Path() / program);
        const QString programDir = QString::fromStdString((root.Path() / program).string());
        QCOMPARE(FindUserGuide(programDir), QString());
        WriteBytes(guidePath.string(), {'#'});
        QCOMPARE(FindUserGuide(programDir), QString::fromStdString(guidePath.string()));
    }
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::KeyboardTest)
#include "keyboard_test.moc"
