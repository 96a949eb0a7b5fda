// Transfers with the simulated radio behind a real pseudo-terminal: what the status line says
// when each is over, Cancel (button or Escape) stopping them between two blocks, and a radio
// that stops answering part-way.
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
    void finishedTransfersSayWhatTheyDid();
    void cancelStopsAnUploadAndADownloadBetweenBlocks();
    void aDownloadThatStopsMidwayNamesTheBackupToRestore();
};

void TransferTest::finishedTransfersSayWhatTheyDid() {
    sim::SimProcess radioSim(
        kSimulator, {"--quiet", "--delay", "0", "--channels", "16", "--serial", "SN0012345678"});
    SerialRadio radio({radioSim.Device()});
    Program program(&radio);
    Trigger(&program.window, "Upload");
    ConfigEditorWindow* editor = program.window.ActiveEditor();
    QVERIFY(editor != nullptr);
    QCOMPARE(program.window.Status().Text(),
             std::string("Read 16 channels from Petrel (PMR), serial SN0012345678"));

    Trigger(editor, "mnuRadioItem1");
    const std::string written = program.window.Status().Text();
    QVERIFY2(written.starts_with("Written and verified: 16 channels; the radio as it was is in " +
                                 program.workFolder.File("Backups") + "/"),
             written.c_str());
    QVERIFY(std::filesystem::exists(written.substr(written.find(" is in ") + 7)));

    Trigger(editor, "mnuCustomer");
    TypePassword(Shown(&program.window, "optPwd"), "featurelock");
    QDialog* customer = Shown(&program.window, "frmCustomer");
    QVERIFY(customer != nullptr);
    Retype(Child(customer, "txtCustomer"), "HARBOUR TAXI");
    QTest::mouseClick(Child<QPushButton>(customer, "cmdOK"), Qt::LeftButton);
    QCOMPARE(program.window.Status().Text(),
             std::string("Customer name and serial number written"));
    QVERIFY_DONE(program.prompter);
}

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
    QVERIFY2(told.starts_with("Writing stopped at block 0x"),
             (told + " / " + program.window.Status().Text()).c_str());
    QVERIFY2(told.find("the radio now holds a mixture of the new and its old configuration and "
                       "must be written again. The radio as it was is kept in " +
                       program.workFolder.File("Backups") + "/") != std::string::npos,
             told.c_str());
    QVERIFY(program.window.Status().Text().starts_with(
        "Download cancelled; the radio as it was is in "));
    QVERIFY_DONE(program.prompter);
}

// The radio stops answering part-way through the writing: the question and, after No, the
// status line name the backup the radio can be restored from.
void TransferTest::aDownloadThatStopsMidwayNamesTheBackupToRestore() {
    sim::SimProcess radioSim(
        kSimulator, {"--quiet", "--delay", "0", "--channels", "16", "--drop", "write@30xall"});
    SerialRadio radio({radioSim.Device()});
    Program program(&radio);
    ConfigEditorWindow* editor = NewEditor(program, 9, 16);
    program.prompter.Then(Answer::No);
    Trigger(editor, "mnuRadioItem1");
    std::vector<std::string> kept;
    for (const auto& entry :
         std::filesystem::directory_iterator(program.workFolder.File("Backups"))) {
        if (entry.path().extension() == ".cfg") {
            kept.push_back(entry.path().string());
        }
    }
    QCOMPARE(kept.size(), std::size_t(1));
    QCOMPARE(program.prompter.Asked().size(), std::size_t(1));
    const std::string asked = program.prompter.Asked()[0].text;
    QVERIFY2(
        asked.starts_with("Writing stopped at block 0x0078: the radio now holds a mixture") &&
            asked.find("The radio as it was is kept in " + kept[0] + " (") != std::string::npos,
        asked.c_str());
    const std::string status = program.window.Status().Text();
    QVERIFY2(status.starts_with("Download failed; the radio as it was is in " + kept[0]),
             status.c_str());
    // Wider than the window at 1024x768: the status line's tip shows it whole.
    QCOMPARE(program.window.Status().toolTip(), QString::fromStdString(status));
    QVERIFY_DONE(program.prompter);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::TransferTest)
#include "transfer_test.moc"
