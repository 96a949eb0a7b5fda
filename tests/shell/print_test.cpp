// The editor's printing commands: their wiring, the PDF offered when no printer can be used,
// and a report that leaves the user's dialogs as they are.
#include <QDialog>
#include <QFile>
#include <QTest>

#include "document/notepad_window.h"
#include "shell/report_printer.h"
#include "shell/ui_support.h"
#include "support/temp_dir.h"

namespace petrel::test {

class PrintTest : public QObject {
    Q_OBJECT
  private slots:
    void withoutAPrinterTheReportIsOfferedAsAPdf();
};

void PrintTest::withoutAPrinterTheReportIsOfferedAsAPdf() {
    TempDir dir;
    ScopedWorkingDir cwd(dir.Path());
    Program program;
    NotePadWindow* editor = NewEditor(program, 11, 99);
    for (const char* item : {"munPrint", "munPrnset", "mnuPreview", "mnuExportPdf"}) {
        QVERIFY2(FindAction(editor, item)->isEnabled(), item);
    }
    QVERIFY(FindAction(&program.window, "Print")->isEnabled());

    // A settings dialog the user has open stays open, where it is, while the report is made.
    Trigger(editor, "mnuSysOp");
    auto* options = editor->findChild<QDialog*>("frmSysOP");
    QVERIFY(options != nullptr && options->isVisible());
    const QPoint where = options->pos();

    ReportPrinter& printing = program.window.Printing();
    printing.SetPrinterCheck([] { return false; });
    std::string proposed;
    std::string answer = dir.File("shop");
    printing.SetPdfNameChooser([&](const std::string& name) {
        proposed = name;
        return answer;
    });
    program.prompter.Expect("No printer is available.\n\rExport the report as a PDF file instead?",
                            Answer::Yes);
    Trigger(&program.window, "Print");
    QVERIFY_DONE(program.prompter);
    QCOMPARE(proposed, std::string("Temp1.pdf"));
    QFile pdf(QString::fromStdString(dir.File("shop.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QVERIFY(options->isVisible());
    QCOMPARE(options->pos(), where);

    // Ctrl+P is File > Print; No leaves it there.
    program.prompter.Expect("No printer is available.\n\rExport the report as a PDF file instead?",
                            Answer::No);
    program.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&program.window));
    QTest::keyClick(editor->findChild<QWidget*>("lstClient"), Qt::Key_P, Qt::ControlModifier);
    QVERIFY_DONE(program.prompter);

    // A file that cannot be written is reported, not taken for a report.
    answer = dir.File("missing/shop.pdf");
    program.prompter.Then(Answer::Ok);
    Trigger(editor, "mnuExportPdf");
    QVERIFY(program.prompter.Asked().back().text.starts_with(
        "The PDF file could not be written:\n\r" + answer + ": "));
    QVERIFY(!QFile::exists(QString::fromStdString(answer)));
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::PrintTest)
#include "print_test.moc"
