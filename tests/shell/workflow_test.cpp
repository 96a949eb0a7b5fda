// Undo, channel import and export, recent files and the radio backups, driven through the real
// windows under the offscreen platform.
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QUndoStack>
#include <filesystem>

#include "channels/channel_csv.h"
#include "channels/channel_line.h"
#include "channels/channel_options.h"
#include "document/notepad_window.h"
#include "shell/link_radio.h"
#include "shell/qt_ports.h"
#include "shell/status_area.h"
#include "shell/ui_support.h"
#include "sim_process.h"
#include "support/temp_dir.h"

namespace petrel::test {

namespace {

namespace fs = std::filesystem;
const std::string kSimulator = PETREL_BINARY_DIR "/tools/radio-sim/petrel-radio-sim";

QListWidget* List(NotePadWindow* editor) {
    return editor->findChild<QListWidget*>("lstClient");
}

// The editor's keys work while its list has the focus.
void Press(NotePadWindow* editor, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    editor->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor->window()));
    List(editor)->setFocus();
    QTest::keyClick(List(editor), static_cast<Qt::Key>(key), modifiers);
}

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// The backups in a folder, each configuration file's bytes.
std::vector<std::vector<std::uint8_t>> Backups(const fs::path& folder) {
    std::vector<std::vector<std::uint8_t>> backups;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".cfg") {
            backups.push_back(ReadBytes(entry.path().string()));
        }
    }
    return backups;
}

}  // namespace

class WorkflowTest : public QObject {
    Q_OBJECT
  private slots:
    void undoStepsBackToTheSavedStateWithoutTheQuestion();
    void channelsComeInAndGoOutThroughTheFileMenu();
    void recentFilesGeometryAndTheBackupOptionOutliveTheProgram();
    void fileDialogsStartInTheFolderOfTheLastFileChosen();
    void uploadIsKeptAndDownloadReadsTheRadioFirst();
};

void WorkflowTest::undoStepsBackToTheSavedStateWithoutTheQuestion() {
    Program program;
    NotePadWindow* editor = NewEditor(program, 9, 16);
    Document& doc = program.state.workspace.At(editor->Slot());
    const std::vector<std::string> lines = doc.lines;
    const std::vector<std::uint8_t> options = doc.state.ChOption;
    QAction* undo = FindAction(editor, "mnuEUndo");
    QAction* redo = FindAction(editor, "mnuERedo");
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());

    // A channel edit (as the channel dialog's OK makes it), an option change (as the option
    // dialog's OK) and a paste.
    editor->ApplyEdits({{2, ChannelLine(3, "446.031250", 12, "446.031250", 12)}}, 2);
    SetChannelOptions(doc, 0, kOptBclo);
    List(editor)->setCurrentRow(0);
    Trigger(editor, "mnuECopy");
    List(editor)->setCurrentRow(5);
    Trigger(editor, "mnuEPaste");
    QCOMPARE(editor->UndoStack().count(), 3);
    QVERIFY(undo->isEnabled() && doc.state.Dirty);

    for (int step = 0; step < 3; ++step) {
        Press(editor, Qt::Key_Z, Qt::ControlModifier);
    }
    QCOMPARE(doc.lines, lines);
    QCOMPARE(doc.state.ChOption, options);
    QCOMPARE(ListLines(editor)[5].toStdString(), lines[5]);
    QVERIFY(!doc.state.Dirty && !undo->isEnabled() && redo->isEnabled());

    Press(editor, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(doc.lines[2].substr(0, 14), std::string("3   446.031250"));
    QVERIFY(doc.state.Dirty);

    // Saved there, that step is the unchanged state; undoing it changes the document again.
    program.chooser.Then(program.workFolder.File("pmr.cfg"));
    Trigger(editor, "mnuSaveAs");
    QVERIFY(!doc.state.Dirty);
    Trigger(editor, "mnuEUndo");
    QVERIFY(doc.state.Dirty);
    program.prompter.Expect(ChangedQuestion("PMR"), Answer::No);
    Trigger(editor, "mnuClose");
    QVERIFY_DONE(program.prompter);

    // Back at the state it was opened in, a document closes without the question.
    editor = NewEditor(program, 9, 16);
    editor->ApplyEdits({{0, EmptyChannelLine(1)}});
    Trigger(editor, "mnuEUndo");
    Trigger(editor, "mnuClose");
    QVERIFY(program.window.Editors().isEmpty());
    QVERIFY_DONE(program.prompter);
}

void WorkflowTest::channelsComeInAndGoOutThroughTheFileMenu() {
    Program program;
    NotePadWindow* editor = NewEditor(program, 6, 16);
    Document& doc = program.state.workspace.At(editor->Slot());
    const std::string good = program.workFolder.File("good.csv");
    const std::string bad = program.workFolder.File("bad.csv");
    WriteText(good, "Location,Frequency,Tone,rToneFreq\n2,446.5,Tone,67.0\n");
    WriteText(bad, "Location,Frequency\n1,446.5\n3,475\n");

    program.chooser.Then(bad);
    program.prompter.Expect(
        "Nothing was imported from " + bad + ":\n\rline 3, Frequency: 475 MHz is outside 440 ~ 470",
        Answer::Ok);
    Trigger(editor, "mnuImportChannels");
    QVERIFY(!doc.state.Dirty);

    program.window.Status().SetStatus("stale", kStatusBlack, kStatusFontNormal);
    program.chooser.Then(good);
    Trigger(editor, "mnuImportChannels");
    QCOMPARE(ListLines(editor, true)[1],
             QString("2   446.500000  000=  None   446.500000  001=  67.0"));
    QVERIFY(doc.state.Dirty);
    QCOMPARE(editor->UndoStack().count(), 1);
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));

    const std::string out = program.workFolder.File("out.csv");
    program.chooser.Then(out);
    Trigger(editor, "mnuExportChannels");
    QCOMPARE(program.chooser.proposed.back(), std::string("Temp1.csv"));
    const auto written = ReadBytes(out);
    QCOMPARE(std::string(written.begin(), written.end()), ExportChannelsCsv(doc).text);
    QVERIFY_DONE(program.prompter);
}

void WorkflowTest::recentFilesGeometryAndTheBackupOptionOutliveTheProgram() {
    QTemporaryDir shared;
    const QString settingsFile = shared.filePath("settings.ini");
    const std::string first = shared.filePath("first.cfg").toStdString();
    const std::string second = shared.filePath("second.cfg").toStdString();
    {
        Program program(nullptr, true, settingsFile);
        for (const std::string& name : {first, second}) {
            NotePadWindow* editor = NewEditor(program);
            program.chooser.Then(name);
            Trigger(editor, "mnuSaveAs");
        }
        FindAction(&program.window, "mnuBackupFirst")->trigger();
        program.window.setGeometry(40, 50, 700, 500);
        QVERIFY(program.window.close());
    }
    Program program(nullptr, true, settingsFile);
    QVERIFY(!FindAction(&program.window, "mnuBackupFirst")->isChecked());
    QCOMPARE(program.window.size(), QSize(700, 500));
    QMenu* recent = FindMenu(&program.window, "mnuRecent");
    QCOMPARE(recent->actions().size(), 2);
    QCOMPARE(recent->actions()[0]->text(), "&1 " + QString::fromStdString(second));

    // A file that is gone says so and leaves the list.
    fs::remove(second);
    program.prompter.Expect("Can't open file: " + second, Answer::Ok);
    Trigger(recent, "mnuRecent1");
    QCOMPARE(recent->actions().size(), 1);
    Trigger(recent, "mnuRecent1");
    NotePadWindow* editor = program.window.ActiveEditor();
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->windowTitle(), QString::fromStdString(first).toUpper());
    QCOMPARE(FindMenu(editor, "mnuRecent")->actions()[0]->text(),
             "&1 " + QString::fromStdString(first));
    QVERIFY_DONE(program.prompter);

    for (int i = 0; i < 10; ++i) {
        program.settings.AddRecentFile(QString("/x/%1.cfg").arg(i));
    }
    QCOMPARE(program.settings.RecentFiles().size(), kRecentFileCount);
    QCOMPARE(program.settings.RecentFiles().front(), QString("/x/9.cfg"));
}

void WorkflowTest::fileDialogsStartInTheFolderOfTheLastFileChosen() {
    Program program;
    QtFileChooser chooser;
    chooser.SetSettings(&program.settings);
    const QString folder = QString::fromStdString(program.workFolder.File("shop"));
    QDir().mkpath(folder);
    WriteText((folder + "/old.csv").toStdString(), "");
    QStringList shown;  // where each dialog started, and its filter
    const auto answer = [&shown](const QString& file) {
        WhenShown<QFileDialog>([&shown, file](QFileDialog* dialog) {
            shown << dialog->directory().absolutePath() + " " + dialog->nameFilters().join(';');
            dialog->selectFile(file);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    };
    answer(folder + "/new.csv");
    QCOMPARE(chooser.AskExportName("Temp1.csv"), (folder + "/new.csv").toStdString());
    answer("old.csv");
    QCOMPARE(chooser.AskImportName(), (folder + "/old.csv").toStdString());
    QCOMPARE(shown, QStringList(
                        {QDir::currentPath() + " Channels (*.csv)", folder + " Channels (*.csv)"}));
    QCOMPARE(program.settings.LastFolder(), folder);
}

void WorkflowTest::uploadIsKeptAndDownloadReadsTheRadioFirst() {
    TempDir radioDir;
    const std::string radioFile = radioDir.File("radio.cfg");
    std::vector<std::uint8_t> written;
    {
        sim::SimProcess radioSim(kSimulator, {"--quiet", "--channels", "16", "--save", radioFile});
        LinkRadio radio({radioSim.Device()});
        Program program(&radio);
        const fs::path backups = program.workFolder.Path() / "Backups";
        QVERIFY(FindAction(&program.window, "mnuBackupFirst")->isChecked());

        Trigger(&program.window, "Upload");
        QCOMPARE(Backups(backups).size(), 1u);
        NotePadWindow* editor = program.window.ActiveEditor();
        editor->ApplyEdits({{0, ChannelLine(1, "446.093750", 0, "446.093750", 0)}});
        Trigger(editor, "mnuRadioItem1");
        QVERIFY_DONE(program.prompter);
        // Read before the write: the radio as the Upload found it, byte for byte.
        const auto kept = Backups(backups);
        QCOMPARE(kept.size(), 2u);
        QCOMPARE(kept[0], kept[1]);
        written = kept[0];

        Trigger(&program.window, "mnuBackupFirst");  // one item in every Radio menu
        Trigger(editor, "mnuRadioItem1");
        QCOMPARE(Backups(backups).size(), 2u);
        QCOMPARE(radioSim.Stop(), 0);
    }
    QVERIFY(ReadBytes(radioFile) != written);  // the Downloads went through
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::WorkflowTest)
#include "workflow_test.moc"
