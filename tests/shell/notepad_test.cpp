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
#include <QTemporaryDir>
#include <QTest>

#include "document/new_config.h"
#include "document/notepad_window.h"
#include "document/shell_model.h"
#include "shell/status_area.h"
#include "shell/ui_support.h"

namespace petrel::test {

namespace {

const std::string kBadCount = "The number of channels must be a whole number from 1 to 99.";

std::string ChangedQuestion(const std::string& base) {
    return "The data in [" + base + "] has changed.\n\rDo you want to save the changes?";
}

QDialog* NewRadioDialog(Program& program) {
    FindAction(&program.window, "New")->trigger();
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
    QDialog* dialog = NewRadioDialog(program);
    TypeChannelsAndPressOk(dialog, count);
    return program.window.ActiveEditor();
}

QString LabelText(QWidget* editor, const char* name) {
    return editor->findChild<QLabel*>(name)->text();
}

// Makes a folder the working directory for the life of the object.
class WorkingFolder {
  public:
    explicit WorkingFolder(const QString& folder) : previous_(QDir::currentPath()) {
        QDir::setCurrent(folder);
    }
    ~WorkingFolder() { QDir::setCurrent(previous_); }

  private:
    QString previous_;
};

}  // namespace

class NotePadTest : public QObject {
    Q_OBJECT
  private slots:
    void newPmrSaveAsCloseOpenShowsTheSameLines();
    void newRadioDialogOffersTheBandsAndItsReferences();
    void newRadioDialogRefusesABadChannelCountAndStaysOpen();
    void newRadioDialogCancelCreatesNothing();
    void changedDataQuestionCancelKeepsTheWindow();
    void changedDataQuestionNoClosesWithoutSaving();
    void changedDataQuestionYesSavesUnderTheChosenName();
    void saveOfANewDocumentWritesItsTitleInTheWorkingFolder();
    void activationChecksTheChannelsAndEnablesPaste();
    void fontFollowsTheWindowWidth();
    void enterAndDoubleClickReachTheChannelHookOnly();
    void editorCommandsReachTheMainWindow();
};

void NotePadTest::newPmrSaveAsCloseOpenShowsTheSameLines() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("pmr16.cfg").toStdString();
    Program program;
    program.window.StartUp();

    NotePadWindow* editor = NewFromDialog(program, "16");
    QVERIFY(editor != nullptr);
    QVERIFY(program.window.findChild<QDialog*>("frmNewRadio") == nullptr ||
            !program.window.findChild<QDialog*>("frmNewRadio")->isVisible());
    QCOMPARE(editor->windowTitle(), QString("Temp1.cfg"));
    QCOMPARE(LabelText(editor, "lblModel"), QString("Model:Petrel (PMR)"));
    QCOMPARE(LabelText(editor, "lblRange"), QString("Range:446.00625 ~ 446.09375MHz"));
    QCOMPARE(LabelText(editor, "lblSerialNo"), QString("Serial No:"));
    QCOMPARE(LabelText(editor, "lblCustomer"), QString("Customer:"));
    QCOMPARE(LabelText(editor, "Label3"),
             QString(" CH   Rx Freq.  Rx_CTCSS/DCS   Tx Freq.  Tx_CTCSS/DCS "));
    const QStringList lines = ListLines(editor);
    QCOMPARE(lines.size(), 16);
    QVERIFY(lines[0].startsWith("1   446.006250  000=  None   446.006250  000=  None"));
    QVERIFY(lines[7].startsWith("8   446.093750"));
    QVERIFY(lines[8].startsWith("9   NONE        000=  None   NONE"));
    QCOMPARE(editor->findChild<QListWidget*>("lstClient")->currentRow(), 0);
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
    QVERIFY(FindAction(&program.window, "Download")->isEnabled());

    program.chooser.Then(path);
    FindAction(editor, "mnuSaveAs")->trigger();
    QCOMPARE(program.chooser.proposed, std::vector<std::string>{"Temp1.cfg"});
    QCOMPARE(editor->windowTitle(), QString::fromStdString(path).toUpper());
    QCOMPARE(QFileInfo(QString::fromStdString(path)).size(), 675);
    QVERIFY(QFileInfo::exists(dir.filePath("pmr16.ptx")));

    FindAction(editor, "mnuClose")->trigger();
    QVERIFY(program.window.Editors().isEmpty());
    QCOMPARE(program.window.Status().Text(), std::string(kMenuHintText));

    program.chooser.Then(path);
    FindAction(&program.window, "Open")->trigger();
    NotePadWindow* reopened = program.window.ActiveEditor();
    QVERIFY(reopened != nullptr);
    // A new configuration's lines end after the last description; unpacked ones pad it to
    // seven characters. The channels themselves are the same.
    QStringList reopenedLines = ListLines(reopened);
    QStringList newLines = lines;
    for (QString& line : reopenedLines) {
        line = line.trimmed();
    }
    for (QString& line : newLines) {
        line = line.trimmed();
    }
    QCOMPARE(reopenedLines, newLines);
    QCOMPARE(reopened->windowTitle(), QString::fromStdString(path).toUpper());
    QCOMPARE(LabelText(reopened, "lblModel"), QString("Model:Petrel (PMR)"));
    QVERIFY(FindAction(&program.window, "Download")->isEnabled());
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.chooser.unexpected, 0);
}

void NotePadTest::newRadioDialogOffersTheBandsAndItsReferences() {
    Program program;
    program.window.StartUp();
    QDialog* dialog = NewRadioDialog(program);
    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    QCOMPARE(dialog->windowTitle(), QString("Slelct New Radio Band"));
    QCOMPARE(dialog->findChild<QPushButton*>("cmdCancel")->text(), QString("CANCEL"));
    QCOMPARE(dialog->findChild<QLineEdit*>("txtMaxCh")->text(), QString("16"));

    auto* bands = dialog->findChild<QListWidget*>("LstRadioModel");
    QCOMPARE(bands->count(), 2);
    QCOMPARE(bands->item(0)->text(), QString("Petrel (PMR)"));
    QCOMPARE(bands->item(0)->data(Qt::UserRole).toInt(), 9);
    QCOMPARE(bands->item(1)->text(), QString("Petrel (Korea)"));
    QCOMPARE(bands->item(1)->data(Qt::UserRole).toInt(), 10);
    QCOMPARE(bands->currentRow(), 0);

    // The softpot references are there, disabled and hidden, and follow the band.
    auto* sql = dialog->findChild<QLineEdit*>("txtSqlFM");
    auto* rx1 = dialog->findChild<QLineEdit*>("txtRxFM1");
    QVERIFY(!sql->isVisible() && !sql->isEnabled());
    QVERIFY(!rx1->isVisible() && !rx1->isEnabled());
    QCOMPARE(sql->text(), QString("446.006250"));
    QCOMPARE(rx1->text(), QString("440.025000"));
    bands->setCurrentRow(1);
    QCOMPARE(sql->text(), QString("448.750000"));

    // A second New shows the same dialog rather than another one.
    FindAction(&program.window, "New")->trigger();
    QCOMPARE(program.window.findChildren<QDialog*>("frmNewRadio").size(), 1);

    // Korea with 16 channels: 15 presets below the gap, then 449.15.
    TypeChannelsAndPressOk(dialog, "16");
    const QStringList lines = ListLines(program.window.ActiveEditor());
    QVERIFY(lines[14].startsWith("15  448.925000"));
    QVERIFY(lines[15].startsWith("16  449.150000"));
}

void NotePadTest::newRadioDialogRefusesABadChannelCountAndStaysOpen() {
    Program program;
    program.window.StartUp();
    QDialog* dialog = NewRadioDialog(program);
    for (const char* bad : {"0", "100", "abc", "", "1.5", "-3"}) {
        program.prompter.Expect(kBadCount, Answer::Ok);
        TypeChannelsAndPressOk(dialog, bad);
        QVERIFY2(dialog->isVisible(), bad);
        QVERIFY2(program.window.Editors().isEmpty(), bad);
    }
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.state.TempCount, 0);

    TypeChannelsAndPressOk(dialog, "99");
    QCOMPARE(ListLines(program.window.ActiveEditor()).size(), 99);
    QVERIFY(ListLines(program.window.ActiveEditor()).last().startsWith("99  NONE"));
}

void NotePadTest::newRadioDialogCancelCreatesNothing() {
    Program program;
    program.window.StartUp();
    QDialog* dialog = NewRadioDialog(program);
    QTest::mouseClick(dialog->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    QTRY_VERIFY(program.window.findChild<QDialog*>("frmNewRadio") == nullptr);
    QVERIFY(program.window.Editors().isEmpty());
    QCOMPARE(program.state.TempCount, 0);
    QVERIFY(!FindAction(&program.window, "Download")->isEnabled());
}

void NotePadTest::changedDataQuestionCancelKeepsTheWindow() {
    Program program;
    program.window.StartUp();
    NotePadWindow* editor = NewFromDialog(program);
    program.state.workspace.At(editor->Slot()).state.Dirty = true;

    program.prompter.Expect(ChangedQuestion("Temp1"), Answer::Cancel);
    FindAction(editor, "mnuClose")->trigger();
    QVERIFY_DONE(program.prompter);
    const Message& question = program.prompter.Asked().back();
    QCOMPARE(question.buttons, Buttons::YesNoCancel);
    QCOMPARE(question.icon, Icon::Exclamation);
    QCOMPARE(question.title, std::string("PC Software for Petrel Serial Radio"));
    QCOMPARE(program.window.Editors().size(), 1);
    QCOMPARE(program.state.TempCount, 1);

    // The frame's close box asks the same question.
    program.prompter.Expect(ChangedQuestion("Temp1"), Answer::Cancel);
    qobject_cast<QMdiSubWindow*>(editor->parentWidget())->close();
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.window.Editors().size(), 1);
}

void NotePadTest::changedDataQuestionNoClosesWithoutSaving() {
    QTemporaryDir dir;
    WorkingFolder cwd(dir.path());
    Program program;
    program.window.StartUp();
    NotePadWindow* editor = NewFromDialog(program);
    program.state.workspace.At(editor->Slot()).state.Dirty = true;

    program.prompter.Expect(ChangedQuestion("Temp1"), Answer::No);
    FindAction(editor, "mnuClose")->trigger();
    QVERIFY_DONE(program.prompter);
    QVERIFY(program.window.Editors().isEmpty());
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    QVERIFY(program.chooser.proposed.empty());
}

void NotePadTest::changedDataQuestionYesSavesUnderTheChosenName() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("kept.cfg").toStdString();
    Program program;
    program.window.StartUp();
    NotePadWindow* editor = NewFromDialog(program);
    program.state.workspace.At(editor->Slot()).state.Dirty = true;

    // A cancelled Save dialog keeps the window open.
    program.prompter.Expect(ChangedQuestion("Temp1"), Answer::Yes);
    program.chooser.Then("");
    FindAction(editor, "mnuClose")->trigger();
    QCOMPARE(program.window.Editors().size(), 1);

    program.prompter.Expect(ChangedQuestion("Temp1"), Answer::Yes);
    program.chooser.Then(path);
    FindAction(editor, "mnuClose")->trigger();
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.chooser.proposed, std::vector<std::string>({"Temp1", "Temp1"}));
    QVERIFY(program.window.Editors().isEmpty());
    QCOMPARE(QFileInfo(QString::fromStdString(path)).size(), 675);
}

void NotePadTest::saveOfANewDocumentWritesItsTitleInTheWorkingFolder() {
    QTemporaryDir dir;
    WorkingFolder cwd(dir.path());
    Program program;
    program.window.StartUp();
    NotePadWindow* editor = NewFromDialog(program);

    // "Temp1.cfg" is not "TEMP...": it is saved under its own name without a dialog.
    FindAction(editor, "mnuSave")->trigger();
    QVERIFY(program.chooser.proposed.empty());
    QCOMPARE(QFileInfo(dir.filePath("Temp1.cfg")).size(), 675);
    QCOMPARE(editor->windowTitle(), QString("TEMP1.CFG"));

    // Now titled "TEMP1.CFG", it is untitled: Save asks, proposing the title.
    program.chooser.Then("");
    FindAction(editor, "mnuSave")->trigger();
    QCOMPARE(program.chooser.proposed, std::vector<std::string>{"TEMP1.CFG"});
    QVERIFY_DONE(program.prompter);
}

void NotePadTest::activationChecksTheChannelsAndEnablesPaste() {
    Program program;
    program.window.StartUp();
    program.state.ClipLines = {"  446.006250  000=  None   446.006250  000=  None"};
    const int slot = BuildNewConfiguration(program.state, 9, 16);
    // A channel outside the band: the check reports it in red at the large size.
    program.state.workspace.At(slot).lines[2] =
        "3   446.200000  000=  None   446.200000  000=  None";
    NotePadWindow* editor = program.window.OpenEditor(slot);

    QCOMPARE(program.window.Status().Text(), std::string("Channel #3 Range Out !"));
    QCOMPARE(program.window.Status().Color(), kStatusRed);
    QCOMPARE(program.state.ErrMsgText, std::string("Channel #3 Range Out !"));
    QCOMPARE(program.state.MaxChannel, 16);
    QCOMPARE(program.state.BandLow, std::string("446.00625"));
    QCOMPARE(program.state.BandHigh, std::string("446.09375"));
    QVERIFY(FindAction(editor, "mnuEPaste")->isEnabled());
    QVERIFY(!FindAction(editor, "mnuECopy")->isEnabled());

    // Switching back to a window runs its activation again.
    NotePadWindow* other = program.window.OpenEditor(BuildNewConfiguration(program.state, 10, 99));
    QCOMPARE(program.state.MaxChannel, 99);
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
    program.window.Area().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(editor->parentWidget()));
    QCOMPARE(program.state.MaxChannel, 16);
    QCOMPARE(program.window.Status().Text(), std::string("Channel #3 Range Out !"));
    QVERIFY(other != editor);
}

void NotePadTest::fontFollowsTheWindowWidth() {
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
    const int large = header->font().pointSize();
    QVERIFY(large > small);
    QVERIFY(header->fontMetrics().horizontalAdvance(header->text()) <= editor->width());
    QCOMPARE(list->font(), header->font());
    QVERIFY(list->font().fixedPitch());
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
}

void NotePadTest::enterAndDoubleClickReachTheChannelHookOnly() {
    Program program;
    program.window.StartUp();
    NotePadWindow* editor = NewFromDialog(program);
    auto* list = editor->findChild<QListWidget*>("lstClient");
    const QStringList before = ListLines(editor);
    QSignalSpy hook(editor, &NotePadWindow::ChannelLineActivated);

    list->setCurrentRow(4);
    QTest::keyClick(list, Qt::Key_Return);
    const QRect third = list->visualItemRect(list->item(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, third.center());

    QCOMPARE(hook.size(), 2);
    QCOMPARE(hook.at(0).at(0).toInt(), 4);
    QCOMPARE(hook.at(1).at(0).toInt(), 2);
    QCOMPARE(ListLines(editor), before);
    QVERIFY(!program.state.workspace.At(editor->Slot()).state.Dirty);
    QVERIFY(program.prompter.Asked().empty());
}

void NotePadTest::editorCommandsReachTheMainWindow() {
    QTemporaryDir dir;
    const std::string saved = dir.filePath("a.cfg").toStdString();
    Program program;
    program.window.StartUp();
    NotePadWindow* editor = NewFromDialog(program);

    // Open from the editor's menu opens a second window.
    program.chooser.Then(saved);
    FindAction(editor, "mnuSaveAs")->trigger();
    program.chooser.Then(saved);
    FindAction(editor, "mnuOpen")->trigger();
    QCOMPARE(program.window.Editors().size(), 2);

    FindAction(editor, "mnuRadioItem0")->trigger();
    FindAction(editor, "mnuRadioItem1")->trigger();
    QCOMPARE(program.fakeRadio.operations, std::vector<int>({kOpUpload, kOpDownload}));

    program.prompter.Then(Answer::Ok).Then(Answer::Ok);
    FindAction(editor, "mnuAbout")->trigger();
    FindAction(editor, "mnuReadMe")->trigger();
    QCOMPARE(program.prompter.Asked().at(0).title, std::string("About CPS"));

    // The editor's Exit closes the program, each editor asking first.
    program.state.workspace.At(editor->Slot()).state.Dirty = true;
    program.prompter.Expect(ChangedQuestion("A"), Answer::No);
    FindAction(editor, "mnuExit")->trigger();
    QVERIFY_DONE(program.prompter);
    QVERIFY(!program.window.isVisible());
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::NotePadTest)
#include "notepad_test.moc"
