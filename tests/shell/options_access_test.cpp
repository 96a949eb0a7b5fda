// The channel option windows, the password and authorization dialogs and the files given on
// the command line, driven through the real windows under the offscreen platform.
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "channels/channel_line.h"
#include "document/config_file.h"
#include "document/new_config.h"
#include "document/notepad_window.h"
#include "settings/password_dialog.h"
#include "shell/ui_support.h"
#include "support/temp_dir.h"

namespace petrel::test {

namespace {

// The visible dialog of that name (closed ones linger until deleted).
QDialog* Shown(QObject& owner, const char* name) {
    for (QDialog* dialog : owner.findChildren<QDialog*>(name)) {
        if (dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

QListWidget* OptionList(NotePadWindow* editor) {
    Trigger(editor, "mnuOpCH");
    QDialog* dialog = Shown(*editor, "frmCHoption");
    return dialog ? dialog->findChild<QListWidget*>("lstCHoption") : nullptr;
}

// Enter on a row of the option list: the option dialog for it.
QDialog* EditOptions(QListWidget* list, int row) {
    list->setCurrentRow(row);
    QTest::keyClick(list, Qt::Key_Return);
    return Shown(*list->parentWidget(), "frmSetChOP");
}

void Click(QWidget* dialog, const char* name) {
    auto* button = dialog->findChild<QAbstractButton*>(name);
    QVERIFY2(button != nullptr, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

// A password typed into the dialog's box and confirmed with Return.
void TypePassword(QDialog* dialog, const QString& text) {
    auto* box = dialog->findChild<QLineEdit*>("txtPassword");
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

}  // namespace

class OptionsAccessTest : public QObject {
    Q_OBJECT
  private slots:
    void optionsAppliedSavedReopenedAndShown();
    void authorizationOptionsBehindTheirPassword();
    void configurePasswordsLeadToTheirWindows();
    void commandLineFilesOpenAsOpenDoes();
};

void OptionsAccessTest::optionsAppliedSavedReopenedAndShown() {
    TempDir dir;
    const std::string path = dir.File("options.cfg");
    Program program;
    NotePadWindow* editor = NewEditor(program);
    Document& doc = program.state.workspace.At(editor->Slot());
    doc.lines[1] = EmptyChannelLine(2);  // no Rx: not listed

    QListWidget* list = OptionList(editor);
    QVERIFY(list != nullptr);
    QCOMPARE(editor->findChild<QLabel*>("lblTitle")->text(),
             QString("CH SPACE RF_PWR BCLO SCAN SHIFT"));
    QCOMPARE(list->count(), 7);  // channels 1 and 3..8 of the eight PMR channels
    QCOMPARE(list->item(1)->text(), QString("03 12.5K   L    OFF   OFF  OFF"));
    // The fixed-pitch list is wide enough for its lines.
    QVERIFY(list->font().fixedPitch());
    QVERIFY(QFontMetrics(list->font()).horizontalAdvance(list->item(0)->text()) <
            list->viewport()->width());

    // Without the RF power authorization its frame is disabled; CANCL changes nothing.
    QDialog* options = EditOptions(list, 1);
    QVERIFY(options != nullptr && !options->isModal());
    QCOMPARE(options->windowTitle(), QString("Channel 3 Option Edit"));
    QVERIFY(!options->findChild<QGroupBox*>("fraChOption1")->isEnabled());
    QVERIFY(options->findChild<QGroupBox*>("fraChOption3")->isEnabled());
    QVERIFY(options->findChild<QRadioButton*>("optChOption0")->isChecked());
    QVERIFY(options->findChild<QRadioButton*>("optChOption3")->isChecked());
    Click(options, "optChOption4");
    Click(options, "cmdOkBT1");
    QTRY_VERIFY(Shown(*list->parentWidget(), "frmSetChOP") == nullptr);
    QCOMPARE(doc.state.ChOption[2], 0x02);
    QVERIFY(!doc.state.Dirty);

    // With it, all six options go on: the line changes and is selected, the document is dirty.
    program.state.TxPowerAuth = true;
    options = EditOptions(list, 1);
    QVERIFY(options->findChild<QGroupBox*>("fraChOption1")->isEnabled());
    for (const char* name :
         {"optChOption2", "optChOption4", "optChOption6", "OptAuto", "optChOption8"}) {
        Click(options, name);
    }
    list->setCurrentRow(0);
    QTest::keyClick(options, Qt::Key_Return);  // OK is the default button
    QCOMPARE(list->item(1)->text(), QString("03 12.5K   H    ON   AUTO  ON"));
    QCOMPARE(list->currentRow(), 1);
    QVERIFY(doc.state.Dirty);

    program.chooser.Then(path);
    Trigger(editor, "mnuSaveAs");
    Trigger(editor, "mnuClose");
    program.chooser.Then(path);
    Trigger(&program.window, "Open");
    NotePadWindow* reopened = program.window.ActiveEditor();
    QVERIFY(reopened != nullptr);
    QCOMPARE(program.state.workspace.At(reopened->Slot()).state.ChOption[2], 0xFF);
    list = OptionList(reopened);
    QCOMPARE(list->item(1)->text(), QString("03 12.5K   H    ON   AUTO  ON"));
    QVERIFY_DONE(program.prompter);
}

void OptionsAccessTest::authorizationOptionsBehindTheirPassword() {
    Program program;
    QVERIFY(program.state.FreqLock && !program.state.PowerKeyAuth && !program.state.TxPowerAuth);
    // A capitalised password and the hardware tuner's open nothing.
    for (const char* wrong : {"Dealerlock", "531948", ""}) {
        Trigger(&program.window, "mnuAuthor");
        QDialog* password = Shown(program.window, "AuthorPWD");
        QVERIFY(password != nullptr && !password->isModal());
        QCOMPARE(password->findChild<QLineEdit*>("txtPassword")->echoMode(), QLineEdit::Password);
        TypePassword(password, wrong);
        QTRY_VERIFY(Shown(program.window, "AuthorPWD") == nullptr);
        QVERIFY2(Shown(program.window, "frmAuthor") == nullptr, wrong);
    }
    QCOMPARE(program.state.PwdText, std::string());

    // The menu clears what was typed before.
    Trigger(&program.window, "mnuAuthor");
    QTest::keyClicks(Shown(program.window, "AuthorPWD")->findChild<QLineEdit*>("txtPassword"),
                     "dealer");
    QCOMPARE(program.state.PwdText, std::string("dealer"));
    Trigger(&program.window, "mnuAuthor");
    QCOMPARE(program.state.PwdText, std::string());
    TypePassword(Shown(program.window, "AuthorPWD"), "dealerlock");
    QDialog* author = Shown(program.window, "frmAuthor");
    QVERIFY(author != nullptr && !author->isModal());
    auto* txPower = author->findChild<QCheckBox*>("chkTxPower");
    auto* freq = author->findChild<QCheckBox*>("chkFreq");
    auto* button = author->findChild<QCheckBox*>("chkButton");
    QVERIFY(!txPower->isVisible() && freq->isVisible() && button->isVisible());
    QCOMPARE(QList<bool>({freq->isChecked(), button->isChecked()}), QList<bool>({false, false}));

    freq->click();
    button->click();
    QTest::keyClick(author, Qt::Key_Escape);  // CANCEL keeps the flags
    QVERIFY(program.state.FreqLock && !program.state.PowerKeyAuth);
    Trigger(&program.window, "mnuAuthor");
    TypePassword(Shown(program.window, "AuthorPWD"), "dealerlock");
    author = Shown(program.window, "frmAuthor");
    freq = author->findChild<QCheckBox*>("chkFreq");
    QVERIFY(!freq->isChecked());
    freq->click();
    author->findChild<QCheckBox*>("chkButton")->click();
    Click(author, "cmdOK");
    QVERIFY(!program.state.FreqLock && program.state.PowerKeyAuth && !program.state.TxPowerAuth);
    QTRY_VERIFY(Shown(program.window, "frmAuthor") == nullptr);
}

void OptionsAccessTest::configurePasswordsLeadToTheirWindows() {
    Program program;
    NotePadWindow* editor = NewEditor(program);
    QSignalSpy customer(&program.window.Access(), &AccessDialogs::CustomerEditorRequested);
    QSignalSpy hardware(&program.window.Access(), &AccessDialogs::HardwareWindowRequested);

    // Without the radio's information no hardware password is asked.
    program.state.InfoValid = false;
    program.prompter.Expect("Hardware Parameter fail!", Answer::Ok);
    Trigger(editor, "mnuTestHard");
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.prompter.Asked().back().icon, Icon::None);
    QVERIFY(Shown(program.window, "frmPassword") == nullptr);

    program.state.InfoValid = true;
    for (const auto& [typed, opens] : {std::pair{"dealerlock", false}, {"531948", true}}) {
        Trigger(editor, "mnuTestHard");
        TypePassword(Shown(program.window, "frmPassword"), typed);
        QCOMPARE(hardware.count(), opens ? 1 : 0);
    }
    for (const auto& [typed, opens] : {std::pair{"Featurelock", false}, {"featurelock", true}}) {
        Trigger(editor, "mnuCustomer");
        QDialog* password = Shown(program.window, "optPwd");
        QCOMPARE(password->windowTitle(), QString("Option Password"));
        QCOMPARE(password->focusWidget(), password->findChild<QLineEdit*>("txtPassword"));
        TypePassword(password, typed);
        QCOMPARE(customer.count(), opens ? 1 : 0);
    }
    QCOMPARE(program.state.OptionPwdText, std::string());
}

void OptionsAccessTest::commandLineFilesOpenAsOpenDoes() {
    TempDir dir;
    ProgramState other;
    ScriptedPrompter quiet;
    const std::string first = dir.File("first.cfg");
    const std::string second = dir.File("second.cfg");
    QVERIFY(SaveConfigFile(other, BuildNewConfiguration(other, 9, 16), first, quiet));
    QVERIFY(SaveConfigFile(other, BuildNewConfiguration(other, 10, 99), second, quiet));
    const std::string missing = dir.File("missing.cfg");
    const std::string big = dir.File("big.cfg");
    WriteBytes(big, std::vector<std::uint8_t>(5001, 0x11));

    Program program;
    program.prompter.Expect("Can't open file: " + missing, Answer::Ok)
        .Expect("File is too big to open", Answer::Ok);
    program.window.OpenFiles({QString::fromStdString(first), QString::fromStdString(missing),
                              QString::fromStdString(big), QString::fromStdString(second)});
    QVERIFY_DONE(program.prompter);
    QCOMPARE(Titles(program.window), QStringList({QString::fromStdString(first).toUpper(),
                                                  QString::fromStdString(second).toUpper()}));
    QCOMPARE(ListLines(program.window.ActiveEditor()).size(), 99);
    QVERIFY(FindAction(&program.window, "Download")->isEnabled());
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::OptionsAccessTest)
#include "options_access_test.moc"
