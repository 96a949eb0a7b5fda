#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "document/new_config.h"
#include "document/notepad_window.h"
#include "document/shell_model.h"
#include "shell/status_area.h"
#include "shell/ui_support.h"
#include "support/temp_dir.h"

namespace petrel::test {

namespace {

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

QStringList Labels(QWidget* editor) {
    QStringList texts;
    for (const char* name : {"lblModel", "lblRange", "lblSerialNo", "lblCustomer", "Label3"}) {
        texts << editor->findChild<QLabel*>(name)->text();
    }
    return texts;
}

}  // namespace

class NotePadTest : public QObject {
    Q_OBJECT
  private slots:
    void newPmrSaveAsCloseOpenShowsTheSameLines();
    void newRadioDialogOffersTheBandsAndRefusesABadChannelCount();
    void changedDataQuestionYesNoCancel();
};

void NotePadTest::newPmrSaveAsCloseOpenShowsTheSameLines() {
    TempDir dir;
    const std::string path = dir.File("pmr16.cfg");
    Program program;
    program.window.StartUp();

    NotePadWindow* editor = NewFromDialog(program, "16");
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->windowTitle(), QString("Temp1.cfg"));
    QCOMPARE(Labels(editor),
             QStringList({"Model:Petrel (PMR)", "Range:446.00625 ~ 446.09375MHz", "Serial No:",
                          "Customer:", " CH   Rx Freq.  Rx_CTCSS/DCS   Tx Freq.  Tx_CTCSS/DCS "}));
    const QStringList lines = ListLines(editor, true);
    QCOMPARE(lines.size(), 16);
    QCOMPARE(lines[0], QString("1   446.006250  000=  None   446.006250  000=  None"));
    QCOMPARE(lines[8], QString("9   NONE        000=  None   NONE        000=  None"));
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
    QCOMPARE(Labels(reopened).front(), QString("Model:Petrel (PMR)"));
    QVERIFY(FindAction(&program.window, "Download")->isEnabled());
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.chooser.unexpected, 0);
}

void NotePadTest::newRadioDialogOffersTheBandsAndRefusesABadChannelCount() {
    Program program;
    program.window.StartUp();
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
    QCOMPARE(Labels(program.window.ActiveEditor()).front(), QString("Model:Petrel (Korea)"));
    QCOMPARE(ListLines(program.window.ActiveEditor()).size(), 99);

    // Cancel creates nothing.
    QTest::mouseClick(NewRadioDialog(program)->findChild<QPushButton*>("cmdCancel"),
                      Qt::LeftButton);
    QTRY_VERIFY(program.window.findChild<QDialog*>("frmNewRadio") == nullptr);
    QCOMPARE(program.window.Editors().size(), 1);
    QCOMPARE(program.state.TempCount, 1);
}

void NotePadTest::changedDataQuestionYesNoCancel() {
    TempDir dir;
    ScopedWorkingDir cwd(dir.Path());
    Program program;
    program.window.StartUp();
    NotePadWindow* editor = NewFromDialog(program);
    program.state.workspace.At(editor->Slot()).state.Dirty = true;

    // Cancel keeps the window, from the menu and from the frame's close box.
    program.prompter.Expect(ChangedQuestion("Temp1"), Answer::Cancel)
        .Expect(ChangedQuestion("Temp1"), Answer::Cancel);
    Trigger(editor, "mnuClose");
    qobject_cast<QMdiSubWindow*>(editor->parentWidget())->close();
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.prompter.Asked().back().title, std::string(kMainWindowCaption));
    QCOMPARE(program.window.Editors().size(), 1);

    // No closes without writing anything.
    program.prompter.Expect(ChangedQuestion("Temp1"), Answer::No);
    Trigger(editor, "mnuClose");
    QVERIFY_DONE(program.prompter);
    QVERIFY(program.window.Editors().isEmpty());
    QVERIFY(std::filesystem::is_empty(dir.Path()));

    // Yes asks for a name: a cancelled dialog keeps the window, a name saves and closes.
    editor = NewFromDialog(program);
    program.state.workspace.At(editor->Slot()).state.Dirty = true;
    program.prompter.Expect(ChangedQuestion("Temp1"), Answer::Yes)
        .Expect(ChangedQuestion("Temp1"), Answer::Yes);
    program.chooser.Then("").Then(dir.File("kept.cfg"));
    Trigger(editor, "mnuClose");
    QCOMPARE(program.window.Editors().size(), 1);
    Trigger(editor, "mnuClose");
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.chooser.proposed, std::vector<std::string>({"Temp1", "Temp1"}));
    QVERIFY(program.window.Editors().isEmpty());
    QCOMPARE(QFileInfo(QString::fromStdString(dir.File("kept.cfg"))).size(), 675);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::NotePadTest)
#include "notepad_test.moc"
