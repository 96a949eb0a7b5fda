// Undo, channel import and export, recent files, files named on the command line and the
// printed report, driven through the real windows under the offscreen platform.
#include <QFile>
#include <QPrintPreviewDialog>
#include <QTableWidget>
#include <QToolBar>
#include <QUndoStack>

#include "core/channels/channel_csv.h"
#include "core/channels/channel_options.h"
#include "shell/ui_support.h"
#include "ui/editor/channel_import_dialog.h"
#include "ui/print/report_printer.h"

namespace petrel::test {

namespace {

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace

class WorkflowTest : public QObject {
    Q_OBJECT
  private slots:
    void undoStepsBackToTheSavedStateWithoutTheQuestion();
    void aFileThatCannotBeImportedChangesNothingAndExportTakesTheSelection();
    void theImportPreviewShowsWhereEachRowGoes();
    void recentFilesGeometryAndTheBackupOptionOutliveTheProgram();
    void commandLineFilesOpenAsOpenDoes();
    void withoutAPrinterTheReportIsOfferedAsAPdf();
    void thePreviewShowsItsPrintButton();
};

void WorkflowTest::undoStepsBackToTheSavedStateWithoutTheQuestion() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program, 9, 16);
    Document& doc = Doc(program, editor);
    const std::vector<std::string> lines = doc.lines;
    const std::vector<std::uint8_t> options = doc.state.ChOption;
    QAction* undo = Child<QAction>(editor, "mnuEUndo");
    QAction* redo = Child<QAction>(editor, "mnuERedo");
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

    FocusList(editor);
    for (int step = 0; step < 3; ++step) {
        QTest::keyClick(List(editor), Qt::Key_Z, Qt::ControlModifier);
    }
    QCOMPARE(doc.lines, lines);
    QCOMPARE(doc.state.ChOption, options);
    QCOMPARE(ListLines(editor)[5].toStdString(), lines[5]);
    QVERIFY(!doc.state.Dirty && !undo->isEnabled() && redo->isEnabled());

    QTest::keyClick(List(editor), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(doc.lines[2].substr(0, 14), std::string("3   446.031250"));
    QVERIFY(doc.state.Dirty);

    // Saved there, that step is the unchanged state; undoing it changes the document again.
    const std::string saved = program.workFolder.File("pmr.cfg");
    program.chooser.Then(saved);
    Trigger(editor, "mnuSaveAs");
    QCOMPARE(program.chooser.proposed, std::vector<std::string>{"Temp1.cfg"});
    QCOMPARE(editor->windowTitle(), QString::fromStdString(saved).toUpper());
    QVERIFY(!doc.state.Dirty);
    Trigger(editor, "mnuEUndo");
    QVERIFY(doc.state.Dirty);
    program.prompter.Expect(ChangedQuestion("PMR"), Answer::No);
    Trigger(editor, "mnuClose");
    QVERIFY(program.window.Editors().isEmpty());
    QVERIFY_DONE(program.prompter);
}

void WorkflowTest::aFileThatCannotBeImportedChangesNothingAndExportTakesTheSelection() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program, 6, 16);
    Document& doc = Doc(program, editor);
    const std::string bad = program.workFolder.File("bad.csv");
    WriteText(bad, "Frequency\n446.5\n");
    // A file without the columns it needs has no rows to preview: it changes nothing.
    program.chooser.Then(bad);
    program.prompter.Expect(
        "Nothing was imported from " + bad + ":\n\rline 1, Location: the header has no such column",
        Answer::Ok);
    Trigger(editor, "mnuImportChannels");
    QVERIFY(!doc.state.Dirty && editor->UndoStack().count() == 0);

    // One selected line is the cursor: all channels go out. More are the channels chosen.
    const std::string out = program.workFolder.File("out.csv");
    List(editor)->setCurrentRow(4, QItemSelectionModel::ClearAndSelect);
    program.chooser.Then(out);
    Trigger(editor, "mnuExportChannels");
    QCOMPARE(program.chooser.proposed.back(), std::string("Temp1.csv"));
    QCOMPARE(ReadText(out), ExportChannelsCsv(doc).text);
    List(editor)->setCurrentRow(1, QItemSelectionModel::Select);
    List(editor)->setCurrentRow(9, QItemSelectionModel::Select);
    program.chooser.Then(out);
    Trigger(editor, "mnuExportChannels");
    QCOMPARE(ReadText(out), ExportChannelsCsv(doc, {2, 5, 10}).text);
    QVERIFY_DONE(program.prompter);
}

// A CHIRP list of LPD and PMR channels into a PMR configuration: the preview names each row's
// channel or why it is left out, redone as the boxes change; Escape changes nothing, Return
// imports as one undo step.
void WorkflowTest::theImportPreviewShowsWhereEachRowGoes() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program, 9, 16);
    Document& doc = Doc(program, editor);
    const std::vector<std::string> lines = doc.lines;
    const std::string csv = program.workFolder.File("lpd-pmr.csv");
    WriteText(csv,
              "Location,Frequency,Power\n0,146.01,50W\n1,433.075,0.5W\n15,446.05625,0.5W\n"
              "16,446.08125,0.1W\n");
    struct Seen {
        QStringList rows;
        QString summary;
        bool importable = false;
    };
    const auto look = [](QDialog* preview) {
        Seen seen;
        auto* table = Child<QTableWidget>(preview, "tblImportRows");
        for (int r = 0; r < table->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table->columnCount(); ++c) {
                cells << table->item(r, c)->text();
            }
            seen.rows << cells.join(" | ");
        }
        seen.summary = Child<QLabel>(preview, "lblImportSummary")->text();
        seen.importable = Child<QPushButton>(preview, "cmdImport")->isEnabled();
        return seen;
    };
    const QString scratch =
        "2 | 0 | 146.01 |  | Skip: Location: 0 is a scratch memory, not a channel";
    const QString lpd =
        "3 | 1 | 433.075 |  | %1: Frequency: 433.075 MHz is outside 446.00625 ~ "
        "446.09375";

    std::vector<Seen> seen;
    program.chooser.Then(csv);
    WhenShown<ChannelImportDialog>([&](ChannelImportDialog* preview) {
        seen.push_back(look(preview));
        QTest::keyClick(preview, Qt::Key_Escape);
    });
    Trigger(editor, "mnuImportChannels");
    QCOMPARE(seen.size(), std::size_t{1});
    QCOMPARE(seen[0].rows,
             (QStringList{scratch, lpd.arg("Refused"),
                          "4 | 15 | 446.05625 | 15 | Not imported: other rows are refused",
                          "5 | 16 | 446.08125 | 16 | Not imported: other rows are refused"}));
    QCOMPARE(seen[0].summary, QString("Nothing can be imported: 1 row is refused. Tick \"Skip rows "
                                      "that cannot be stored\" to import the others, or mend the "
                                      "file."));
    QVERIFY(!seen[0].importable);
    QCOMPARE(doc.lines, lines);
    QVERIFY(!doc.state.Dirty);
    QCOMPARE(editor->UndoStack().count(), 0);

    seen.clear();
    program.window.Status().SetStatus("stale", kStatusBlack, kStatusFontNormal);
    program.chooser.Then(csv);
    WhenShown<ChannelImportDialog>([&](ChannelImportDialog* preview) {
        Click(preview, "chkSkipUnstorable");
        seen.push_back(look(preview));
        auto* first = Child<QLineEdit>(preview, "txtFirstChannel");
        Retype(first, "16");
        seen.push_back(look(preview));
        Retype(first, "1");
        seen.push_back(look(preview));
        QTest::keyClick(first, Qt::Key_Return);
    });
    Trigger(editor, "mnuImportChannels");
    QCOMPARE(seen.size(), std::size_t{3});
    QCOMPARE(seen[0].rows,
             (QStringList{scratch, lpd.arg("Skip"), "4 | 15 | 446.05625 | 15 | Import",
                          "5 | 16 | 446.08125 | 16 | Import"}));
    QCOMPARE(seen[0].summary, QString("2 channels will be imported, 2 rows skipped."));
    QVERIFY(seen[0].importable);
    QCOMPARE(seen[1].rows.mid(2),
             (QStringList{"4 | 15 | 446.05625 | 16 | Import",
                          "5 | 16 | 446.08125 |  | Skip: Location: the configuration has no "
                          "channel 17"}));
    QCOMPARE(seen[1].summary, QString("1 channel will be imported, 3 rows skipped."));
    QCOMPARE(seen[2].rows.mid(2),
             (QStringList{"4 | 15 | 446.05625 | 1 | Import", "5 | 16 | 446.08125 | 2 | Import"}));

    QCOMPARE(ListLines(editor, true).mid(0, 2),
             (QStringList{"1   446.056250  000=  None   446.056250  000=  None",
                          "2   446.081250  000=  None   446.081250  000=  None"}));
    QCOMPARE(doc.state.ChOption[0] & kOptHighPower, kOptHighPower);
    QCOMPARE(doc.state.ChOption[1] & kOptHighPower, 0);
    QCOMPARE(editor->UndoStack().count(), 1);
    QVERIFY(doc.state.Dirty);
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
    Trigger(editor, "mnuEUndo");
    QCOMPARE(doc.lines, lines);
    QCOMPARE(ListLines(editor, true)[0], QString::fromStdString(lines[0]).trimmed());
    QVERIFY(!doc.state.Dirty);
}

void WorkflowTest::recentFilesGeometryAndTheBackupOptionOutliveTheProgram() {
    QTemporaryDir shared;
    const QString settingsFile = shared.filePath("settings.ini");
    const std::string first = shared.filePath("first.cfg").toStdString();
    const std::string second = shared.filePath("second.cfg").toStdString();
    {
        Program program(nullptr, true, settingsFile);
        for (const std::string& name : {first, second}) {
            program.chooser.Then(name);
            Trigger(NewEditor(program), "mnuSaveAs");
        }
        Trigger(&program.window, "mnuBackupFirst");
        program.window.setGeometry(40, 50, 700, 500);
        QVERIFY(program.window.close());
    }
    Program program(nullptr, true, settingsFile);
    QVERIFY(!Child<QAction>(&program.window, "mnuBackupFirst")->isChecked());
    QCOMPARE(program.window.size(), QSize(700, 500));
    auto* recent = Child<QMenu>(&program.window, "mnuRecent");
    QCOMPARE(recent->actions().size(), 2);
    QCOMPARE(recent->actions()[0]->text(), "&1 " + QString::fromStdString(second));

    // A file that is gone says so and leaves the list.
    std::filesystem::remove(second);
    program.prompter.Expect("Can't open file: " + second, Answer::Ok);
    Trigger(recent, "mnuRecent1");
    QCOMPARE(recent->actions().size(), 1);
    Trigger(recent, "mnuRecent1");
    ConfigEditorWindow* editor = program.window.ActiveEditor();
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->windowTitle(), QString::fromStdString(first).toUpper());
    QCOMPARE(Child<QMenu>(editor, "mnuRecent")->actions()[0]->text(),
             "&1 " + QString::fromStdString(first));
    QVERIFY_DONE(program.prompter);

    for (int i = 0; i < 10; ++i) {
        program.settings.AddRecentFile(QString("/x/%1.cfg").arg(i));
    }
    QCOMPARE(program.settings.RecentFiles().size(), kRecentFileCount);
    QCOMPARE(program.settings.RecentFiles().front(), QString("/x/9.cfg"));
}

void WorkflowTest::commandLineFilesOpenAsOpenDoes() {
    Program program;
    Workspace other;
    ScriptedPrompter quiet;
    const std::string first = program.workFolder.File("first.cfg");
    const std::string second = program.workFolder.File("second.cfg");
    const std::string missing = program.workFolder.File("missing.cfg");
    QVERIFY(SaveConfigFile(other, BuildNewConfiguration(other, 9, 16), first, quiet));
    QVERIFY(SaveConfigFile(other, BuildNewConfiguration(other, 10, 99), second, quiet));
    program.prompter.Expect("Can't open file: " + missing, Answer::Ok);
    program.window.OpenFiles({QString::fromStdString(first), QString::fromStdString(missing),
                              QString::fromStdString(second)});
    QVERIFY_DONE(program.prompter);
    QCOMPARE(Titles(program.window), QStringList({QString::fromStdString(first).toUpper(),
                                                  QString::fromStdString(second).toUpper()}));
    QCOMPARE(ListLines(program.window.ActiveEditor()).size(), 99);
    QVERIFY(Child<QAction>(&program.window, "Download")->isEnabled());
}

void WorkflowTest::withoutAPrinterTheReportIsOfferedAsAPdf() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program, 11, 99);
    // A settings dialog the user has open stays open, where it is, while the report is made.
    Trigger(editor, "mnuSysOp");
    auto* options = Child<QDialog>(editor, "frmSysOP");
    const QPoint where = options->pos();

    ReportPrinter& printing = program.window.Printing();
    printing.SetPrinterCheck([] { return false; });
    // The PDF's name is asked through the file chooser, like every other file name.
    program.chooser.Then(program.workFolder.File("shop"));
    const std::string offer =
        "No printer is available.\n\rExport the report as a PDF file instead?";
    program.prompter.Expect(offer, Answer::Yes);
    Trigger(&program.window, "Print");
    QVERIFY_DONE(program.prompter);
    QCOMPARE(program.chooser.proposed, std::vector<std::string>{"Temp1.pdf"});
    QFile pdf(QString::fromStdString(program.workFolder.File("shop.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QVERIFY(options->isVisible());
    QCOMPARE(options->pos(), where);

    // Ctrl+P is File > Print; No leaves it there.
    program.prompter.Expect(offer, Answer::No);
    FocusList(editor);
    QTest::keyClick(List(editor), Qt::Key_P, Qt::ControlModifier);
    QVERIFY_DONE(program.prompter);

    // A file that cannot be written is reported, not taken for a report.
    const std::string answer = program.workFolder.File("missing/shop.pdf");
    program.chooser.Then(answer);
    program.prompter.Then(Answer::Ok);
    Trigger(editor, "mnuExportPdf");
    QVERIFY(program.prompter.Asked().back().text.starts_with(
        "The PDF file could not be written:\n\r" + answer + ": "));
    QVERIFY(!QFile::exists(QString::fromStdString(answer)));
    QCOMPARE(program.chooser.unexpected, 0);
}

// The preview is as wide as its whole tool bar: the print button, the bar's last, is never hidden
// behind the bar's overflow arrow.
void WorkflowTest::thePreviewShowsItsPrintButton() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program, 11, 99);
    bool printShown = false;
    QTimer::singleShot(0, &program.window, [&] {
        auto* preview = program.window.findChild<QPrintPreviewDialog*>();
        const QList<QAction*> actions = preview->findChild<QToolBar*>()->actions();
        const auto print = std::find_if(actions.begin(), actions.end(),
                                        [](const QAction* a) { return a->text() == "Print"; });
        if (print != actions.end()) {
            QWidget* button = preview->findChild<QToolBar*>()->widgetForAction(*print);
            printShown = QTest::qWaitFor([&] { return button->isVisible(); }, 1000);
        }
        preview->reject();
    });
    Trigger(editor, "mnuPreview");
    QVERIFY(printShown);
    QVERIFY_DONE(program.prompter);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::WorkflowTest)
#include "workflow_test.moc"
