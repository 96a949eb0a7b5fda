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
    void activationChecksTheChannelsAndEnablesPaste();
    void listFollowsTheWindowWidthAndOnlyReportsActivation();
    void editorCommandsReachTheMainWindow();
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

void NotePadTest::activationChecksTheChannelsAndEnablesPaste() {
    Program program;
    program.window.StartUp();
    program.state.ClipLines = {"  446.006250  000=  None   446.006250  000=  None"};
    const int slot = BuildNewConfiguration(program.state, 9, 16);
    // A channel outside the band: the check reports it in red.
    program.state.workspace.At(slot).lines[2] =
        "3   446.200000  000=  None   446.200000  000=  None";
    NotePadWindow* editor = program.window.OpenEditor(slot);
    QCOMPARE(program.window.Status().Text(), std::string("Channel #3 Range Out !"));
    QCOMPARE(program.window.Status().Color(), kStatusRed);
    QCOMPARE(program.state.MaxChannel, 16);
    QCOMPARE(program.state.BandHigh, std::string("446.09375"));
    QVERIFY(FindAction(editor, "mnuEPaste")->isEnabled());
    QVERIFY(!FindAction(editor, "mnuECopy")->isEnabled());

    // Switching back to a window runs its activation again.
    program.window.OpenEditor(BuildNewConfiguration(program.state, 10, 99));
    QCOMPARE(program.state.MaxChannel, 99);
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
    program.window.Area().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(editor->parentWidget()));
    QCOMPARE(program.state.MaxChannel, 16);
    QCOMPARE(program.window.Status().Text(), std::string("Channel #3 Range Out !"));
}

void NotePadTest::listFollowsTheWindowWidthAndOnlyReportsActivation() {
    Program program;
    program.window.StartUp();
    NotePadWindow* editor = NewFromDialog(program, "99");
    auto* frame = qobject_cast<QMdiSubWindow*>(editor->parentWidget());
    auto* header = editor->findChild<QLabel*>("Label3");
    auto* list = editor->findChild<QListWidget*>("lstClient");
    frame->resize(420, 400);
    const int small = header->font().pointSize();
    QVERIFY(header->fontMetrics().horizontalAdvance(header->text()) <= editor->width());
    frame->resize(760, 400);
    QVERIFY(header->font().pointSize() > small);
    QVERIFY(header->fontMetrics().horizontalAdvance(header->text()) <= editor->width());
    QCOMPARE(list->font(), header->font());
    QVERIFY(list->font().fixedPitch());
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);

    // Enter and double-click only reach the channel hook.
    QSignalSpy hook(editor, &NotePadWindow::ChannelLineActivated);
    list->setCurrentRow(4);
    QTest::keyClick(list, Qt::Key_Return);
    const QPoint third = list->visualItemRect(list->item(2)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, third);
    QCOMPARE(hook.size(), 2);
    QCOMPARE(QList<int>({hook.at(0).at(0).toInt(), hook.at(1).at(0).toInt()}), QList<int>({4, 2}));
    QVERIFY(!program.state.workspace.At(editor->Slot()).state.Dirty);
}

void NotePadTest::editorCommandsReachTheMainWindow() {
    TempDir dir;
    ScopedWorkingDir cwd(dir.Path());
    Program program;
    program.window.StartUp();
    NotePadWindow* editor = NewFromDialog(program);

    // "Temp1.cfg" is a name: Save writes it in the working folder without a dialog. Titled
    // "TEMP1.CFG" it is untitled: the next Save asks, proposing the title.
    Trigger(editor, "mnuSave");
    QCOMPARE(QFileInfo("Temp1.cfg").size(), 675);
    QCOMPARE(editor->windowTitle(), QString("TEMP1.CFG"));
    program.chooser.Then("");
    Trigger(editor, "mnuSave");
    QCOMPARE(program.chooser.proposed, std::vector<std::string>{"TEMP1.CFG"});

    program.chooser.Then(dir.File("a.cfg")).Then(dir.File("a.cfg"));
    Trigger(editor, "mnuSaveAs");
    Trigger(editor, "mnuOpen");
    QCOMPARE(program.window.Editors().size(), 2);
    Trigger(editor, "mnuRadioItem0");
    Trigger(editor, "mnuRadioItem1");
    QCOMPARE(program.fakeRadio.operations, std::vector<int>({kOpUpload, kOpDownload}));
    program.prompter.Then(Answer::Ok).Then(Answer::Ok);
    Trigger(editor, "mnuAbout");
    Trigger(editor, "mnuReadMe");

    // The editor's Exit closes the program, each editor asking first.
    program.state.workspace.At(editor->Slot()).state.Dirty = true;
    program.prompter.Expect(ChangedQuestion("A"), Answer::No);
    Trigger(editor, "mnuExit");
    QVERIFY_DONE(program.prompter);
    QVERIFY(!program.window.isVisible());
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::NotePadTest)
#include "notepad_test.moc"
