// Transfers with the simulated radio behind a real pseudo-terminal: Cancel (button or Escape)
// stopping them between two blocks, and what the status line and the message then say.
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>

#include "shell/ui_support.h"
#include "sim_process.h"
#include "ui/link/serial_radio.h"

namespace petrel::test {

namespace {

// Presses Cancel once the progress bar shows a transfer past its start: a write when
// writing (its range is the image alone), any transfer otherwise.
void CancelWhenRunning(MainWindow& window, bool writing, bool byEscape) {
    auto* bar = Child<QProgressBar>(&window, "ProgressBar1");
    auto* timer = new QTimer(&window);
    QObject::connect(timer, &QTimer::timeout, &window, [=, &window] {
        const bool inWrite = bar->maximum() < 256;  // a read's range adds the 256-byte page
        if (!bar->isVisible() || bar->value() < 16 || (writing && !inWrite)) {
            return;
        }
        timer->stop();
        if (byEscape) {
            QTest::keyClick(&window, Qt::Key_Escape);
        } else {
            Child<QPushButton>(&window, "cmdCancelTransfer")->click();
        }
    });
    timer->start(5);
}

}  // namespace

class TransferTest : public QObject {
    Q_OBJECT
  private slots:
    void cancelStopsAnUploadAndADownloadBetweenBlocks();
};

void TransferTest::cancelStopsAnUploadAndADownloadBetweenBlocks() {
    sim::SimProcess radioSim(kSimulator, {"--quiet", "--delay", "0", "--channels", "16"});
    SerialRadio radio({radioSim.Device()});
    Program program(&radio);
    ConfigEditorWindow* editor = NewEditor(program, 9, 16);

    // An Upload cancelled with the button opens nothing.
    CancelWhenRunning(program.window, false, false);
    Trigger(&program.window, "Upload");
    QCOMPARE(program.window.Editors().size(), 1);
    QCOMPARE(program.window.Status().Text(), std::string("Upload cancelled: nothing was read."));
    QVERIFY(!Child<QWidget>(&program.window, "cmdCancelTransfer")->isVisible());

    // A Download cancelled with Escape while it writes: the radio is a mixture, and the backup
    // read first is named.
    QVERIFY(MakeActive(&program.window));
    CancelWhenRunning(program.window, true, true);
    std::string told;
    program.prompter.onAsk = [&](const Message& message) { told = message.text; };
    program.prompter.Then(Answer::Ok);
    Trigger(editor, "mnuRadioItem1");
    QVERIFY2(told.starts_with("Writing stopped at block 0x") &&
                 told.find(BackupFiles(program).at(0)) != std::string::npos,
             (told + " / " + program.window.Status().Text()).c_str());
    QVERIFY(program.window.Status().Text().starts_with(
        "Download cancelled; the radio as it was is in "));
    QVERIFY_DONE(program.prompter);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::TransferTest)
#include "transfer_test.moc"
