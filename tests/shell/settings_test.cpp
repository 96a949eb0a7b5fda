// The settings and access windows on real editor windows: tab order, nothing clipped, what OK
// writes and into which document, and which password opens which window. What the bytes mean
// is the core's and tested there.
#include <QTabWidget>

#include "shell/ui_support.h"

namespace petrel::test {

namespace {

void Choose(QDialog* dialog, const char* list, const QString& text) {
    auto* box = Child<QComboBox>(dialog, list);
    const int at = box->findText(text);
    QVERIFY2(at >= 0, qPrintable(text));
    box->setCurrentIndex(at);
}

// Every control on every page is at least as large as it asks to be: no text is cut, and a
// list is as wide as its longest entry.
void ExpectNothingClipped(QDialog* dialog, QTabWidget* tabs) {
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QApplication::processEvents();
        for (QWidget* widget : dialog->findChildren<QWidget*>()) {
            const bool control =
                qobject_cast<QComboBox*>(widget) || qobject_cast<QLabel*>(widget) ||
                qobject_cast<QCheckBox*>(widget) || qobject_cast<QPushButton*>(widget);
            if (control && widget->isVisible()) {
                QVERIFY2(widget->width() >= widget->sizeHint().width(),
                         qPrintable(widget->objectName() + " on " + tabs->tabText(page)));
            }
        }
    }
    tabs->setCurrentIndex(0);
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
  private slots:
    void settingsDialogsWriteTheDocumentTheyWereOpenedFrom();
    void tabOrderPriorityBoxesAndTheInformationsFourBoxes();
    void passwordDialogsGuardTheirWindows();
};

// Both tabbed dialogs of an editor: nothing clipped on any page; OK (Return) writes the entry
// chosen into the document the dialog was opened from, while another editor is active; saved
// and opened again the dialog shows it; Escape writes nothing; the dialog closes with its editor.
void SettingsTest::settingsDialogsWriteTheDocumentTheyWereOpenedFrom() {
    struct Case {
        const char* action;
        const char* form;
        const char* tabs;
        const char* list;
        const char* entry;
    };
    const Case cases[] = {
        {"mnuSysOp", "frmSysOP", "tabBasicSYS", "cboSysOp0", "30 s"},
        {"mnuButtons", "frmButtons", "tabButtons", "Key_A_Long", "Toggle Repeater/Talkaround"}};
    for (const Case& c : cases) {
        Program program;
        ConfigEditorWindow* first = NewEditor(program);
        ConfigEditorWindow* second = NewEditor(program);
        const auto untouched = Doc(program, second).state.SysBlock;
        Activate(program, first);
        Trigger(first, c.action);
        auto* dialog = Child<QDialog>(first, c.form);
        QVERIFY(dialog->isVisible() && !dialog->isModal());
        ExpectNothingClipped(dialog, Child<QTabWidget>(dialog, c.tabs));
        Choose(dialog, c.list, c.entry);
        Activate(program, second);
        QTest::keyClick(dialog, Qt::Key_Return);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(Doc(program, second).state.SysBlock, untouched);
        QVERIFY2(!Doc(program, second).state.Dirty && Doc(program, first).state.Dirty, c.form);

        // Saved and opened again it shows the entry; OK without a change leaves the document
        // unchanged, and so does Escape after one.
        first = SaveAndReopen(program, first, program.workFolder.File("settings.cfg"));
        for (bool change : {false, true}) {
            Trigger(first, c.action);
            dialog = Shown(first, c.form);
            QCOMPARE(Child<QComboBox>(dialog, c.list)->currentText(), QString(c.entry));
            if (change) {
                Child<QComboBox>(dialog, c.list)->setCurrentIndex(0);
            }
            QTest::keyClick(dialog, change ? Qt::Key_Escape : Qt::Key_Return);
            QVERIFY(!dialog->isVisible() && !Doc(program, first).state.Dirty);
        }
        Activate(program, second);
        Trigger(second, c.action);
        QPointer<QDialog> open = Child<QDialog>(second, c.form);
        Trigger(second, "mnuClose");
        QTRY_VERIFY(open.isNull());
        QVERIFY_DONE(program.prompter);
    }
}

void SettingsTest::tabOrderPriorityBoxesAndTheInformationsFourBoxes() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program);
    Trigger(editor, "mnuSysOp");
    auto* dialog = Child<QDialog>(editor, "frmSysOP");
    // Tab goes from the tabs through the controls page by page as they stand, then OK and
    // CANCEL.
    QStringList chain;
    for (QWidget* at = dialog->nextInFocusChain(); at != dialog; at = at->nextInFocusChain()) {
        if (!at->objectName().isEmpty() && !at->isHidden() && at->focusPolicy() & Qt::TabFocus) {
            chain << at->objectName();
        }
    }
    QCOMPARE(chain.join(' '),
             "tabBasicSYS qt_tabwidget_tabbar cboSysOp0 cboSysOp1 cboSquelch VOX_OFF VOXtatk Key_L "
             "cboSysOp5 chkBeep cboSysOp4 chkPrior cboSysOp3 chkP_Tone chkTalkBack cboTxCH cboCall "
             "FG_Call_Mute cboBCLO cmdOK cmdCANCEL");
    // The priority box enables what belongs to it.
    QVERIFY(!Child(dialog, "cboSysOp3")->isEnabled() && !Child(dialog, "chkP_Tone")->isEnabled());
    Click(dialog, "chkPrior");
    QVERIFY(Child(dialog, "cboSysOp3")->isEnabled() && Child(dialog, "chkP_Tone")->isEnabled());
    // The toolbar's Key opens the buttons, whose front buttons cannot be changed.
    Trigger(&program.window, "Key");
    for (const char* front : {"Key_1_Short", "Key_1_Long", "Key_2_Short", "Key_2_Long"}) {
        QVERIFY2(!Child(Child<QDialog>(editor, "frmButtons"), front)->isEnabled(), front);
    }

    // The information window shows four boxes; version and mask date stay hidden.
    Trigger(editor, "mnuInfo");
    auto* info = Child<QDialog>(editor, "frmRadioInfo");
    QStringList shown;
    for (auto* box : info->findChildren<QLineEdit*>()) {
        shown << (box->isVisible() ? box->objectName() : "hidden " + box->objectName());
    }
    QCOMPARE(shown.join(' '),
             "txtCustomer txtSerial txtFreqRange txtPrgDate hidden txtVersion hidden txtMaskDate");
    Click(info, "cmdCLOSE");
    QVERIFY(!info->isVisible());
}

// Which password opens which window is the core's (the hardware and customer passwords are
// typed in the tests with the simulator); here what the menus, boxes and buttons do.
void SettingsTest::passwordDialogsGuardTheirWindows() {
    Program program;
    QVERIFY(program.state.authorization.FreqLock && !program.state.authorization.PowerKeyAuth &&
            !program.state.authorization.TxPowerAuth);
    Trigger(&program.window, "mnuAuthor");
    QDialog* password = Shown(&program.window, "AuthorPWD");
    QVERIFY(password != nullptr && !password->isModal());
    QCOMPARE(password->focusWidget(), Child(password, "txtPassword"));
    QCOMPARE(Child<QLineEdit>(password, "txtPassword")->echoMode(), QLineEdit::Password);
    TypePassword(password, "Dealerlock");  // a capitalised password opens nothing
    QTRY_VERIFY(Shown(&program.window, "AuthorPWD") == nullptr);
    QVERIFY(Shown(&program.window, "frmAuthor") == nullptr);

    // The menu clears what was typed before. CANCEL keeps the flags, OK sets them.
    Trigger(&program.window, "mnuAuthor");
    QTest::keyClicks(Child(Shown(&program.window, "AuthorPWD"), "txtPassword"), "dealer");
    Trigger(&program.window, "mnuAuthor");
    QCOMPARE(program.state.authorization.PwdText, std::string());
    for (bool ok : {false, true}) {
        TypePassword(Shown(&program.window, "AuthorPWD"), "dealerlock");
        QDialog* author = Shown(&program.window, "frmAuthor");
        QVERIFY(author != nullptr && !author->isModal());
        QVERIFY(!Child(author, "chkTxPower")->isVisible());
        QVERIFY(!Child<QCheckBox>(author, "chkFreq")->isChecked());
        Click(author, "chkFreq");
        Click(author, "chkButton");
        ok ? Click(author, "cmdOK") : QTest::keyClick(author, Qt::Key_Escape);
        QCOMPARE(program.state.authorization.FreqLock, !ok);
        QCOMPARE(program.state.authorization.PowerKeyAuth, ok);
        QTRY_VERIFY(Shown(&program.window, "frmAuthor") == nullptr);
        Trigger(&program.window, "mnuAuthor");
    }
    QVERIFY(!program.state.authorization.TxPowerAuth);

    // Without the radio's information no hardware password is asked.
    ConfigEditorWindow* editor = NewEditor(program);
    Doc(program, editor).info.InfoValid = false;
    program.prompter.Expect("Hardware Parameter fail!", Answer::Ok);
    Trigger(editor, "mnuTestHard");
    QVERIFY_DONE(program.prompter);
    QVERIFY(Shown(&program.window, "frmPassword") == nullptr);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::SettingsTest)
#include "settings_test.moc"
