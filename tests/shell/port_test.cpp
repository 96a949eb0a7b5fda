// Radio > Port against petrel-radio-sim on a pseudo-terminal, beside a silent terminal, one that
// does not exist and one another program holds: what each row says, Test on each, OK making the
// radio's port the one used first (now and in the next run) and Escape changing nothing; the
// status bar's radio field after a test, an Upload and a search that found no radio.
#include <QElapsedTimer>
#include <QFont>
#include <QStatusBar>

#include "core/link/termios_serial_port.h"
#include "shell/ui_support.h"
#include "sim_process.h"
#include "support/pseudo_terminal.h"
#include "ui/link/port_dialog.h"
#include "ui/link/serial_radio.h"

namespace petrel::test {

namespace {

QStringList Rows(QDialog* dialog) {
    QStringList rows;
    auto* list = Child<QListWidget>(dialog, "lstPorts");
    for (int i = 0; i < list->count(); ++i) {
        rows << list->item(i)->text() + (list->item(i)->font().bold() ? " [bold]" : "") +
                    (list->item(i)->font().italic() ? " [italic]" : "");
    }
    return rows;
}

QString Field(Program& program) {
    return Child<QLabel>(&program.window, "lblRadioPort")->text();
}

// Test on the chosen row; the time it took in milliseconds.
qint64 RunTest(QDialog* dialog) {
    QElapsedTimer timer;
    timer.start();
    Child<QPushButton>(dialog, "cmdTest")->click();
    return timer.elapsed();
}

QString Result(QDialog* dialog) {
    return Child<QLabel>(dialog, "lblTestResult")->text();
}

}  // namespace

class PortDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void testsEachPortAndOkPutsTheChosenOneFirst();
};

void PortDialogTest::testsEachPortAndOkPutsTheChosenOneFirst() {
    sim::SimProcess radioSim(kSimulator, {"--quiet", "--delay", "0", "--channels", "16"});
    PseudoTerminal silent;
    PseudoTerminal held;
    TermiosSerialPort holder({held.Device()});
    holder.Open();  // another program has it
    const std::string missing = "/dev/petrel-no-such-port";
    const QString sim = QString::fromStdString(radioSim.Device());
    const QString quiet = QString::fromStdString(silent.Device());
    const QString busy = QString::fromStdString(held.Device());
    SerialRadio radio({missing, held.Device(), silent.Device(), radioSim.Device()});
    Program program(&radio);
    QCOMPARE(Field(program), QString("no radio"));
    QVERIFY(program.window.statusBar()->isVisible());

    Trigger(&program.window, "mnuPort");
    QDialog* dialog = Shown(&program.window, "frmPort");
    QVERIFY(dialog != nullptr);
    QVERIFY(MakeActive(dialog));
    // Before any radio was identified, the first port that opens is the one in use.
    QCOMPARE(Rows(dialog), (QStringList{
                               "COM1 (/dev/petrel-no-such-port): no such file or directory "
                               "[italic]",
                               "COM2 (" + busy + "): busy: another program is using it [italic]",
                               "COM3 (" + quiet + "), in use [bold]",
                               "COM4 (" + sim + ")",
                           }));
    auto* list = Child<QListWidget>(dialog, "lstPorts");
    QCOMPARE(list->currentRow(), 2);
    QVERIFY(list->hasFocus());

    // A silent port costs the check's time-out, a port that does not open nothing; each says
    // what to do, and every port is closed again.
    QVERIFY(RunTest(dialog) < 1000);
    QCOMPARE(Result(dialog), "No radio answered on COM3 " + quiet +
                                 ": check that the radio is switched on and its cable is "
                                 "plugged in.");
    QTest::keyClick(list, Qt::Key_Up);
    RunTest(dialog);
    QCOMPARE(Result(dialog),
             "COM2 " + busy + " cannot be opened: busy: another program is using it.");
    QCOMPARE(Field(program), QString("no radio"));

    // The radio identifies itself by its band; its port is in use from now on.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_End);
    RunTest(dialog);
    QCOMPARE(Result(dialog), "Petrel (PMR) answered on COM4 " + sim + ".");
    QCOMPARE(Field(program), "COM4 " + sim + " - Petrel (PMR)");
    QCOMPARE(Rows(dialog).mid(2),
             (QStringList{"COM3 (" + quiet + ")", "COM4 (" + sim + "), in use [bold]"}));
    QVERIFY(dialog->isEnabled());

    // Return is OK: the radio's port becomes COM1, the others keep their order, and the
    // choice is remembered.
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(Shown(&program.window, "frmPort") == nullptr);
    QCOMPARE(program.settings.PreferredPort(), sim);
    QCOMPARE(Field(program), "COM1 " + sim + " - Petrel (PMR)");
    const std::vector<PortEntry> now = radio.ListPorts();
    QCOMPARE(now.size(), std::size_t{4});
    QCOMPARE(QString::fromStdString(now[0].device), sim);
    QCOMPARE(now[1].device, missing);

    // Escape changes nothing.
    Trigger(&program.window, "mnuPort");
    dialog = Shown(&program.window, "frmPort");
    QVERIFY(dialog != nullptr && MakeActive(dialog));
    QCOMPARE(Child<QListWidget>(dialog, "lstPorts")->currentRow(), 0);
    QTest::keyClick(Child<QListWidget>(dialog, "lstPorts"), Qt::Key_End);
    QTest::keyClick(Child<QListWidget>(dialog, "lstPorts"), Qt::Key_Escape);
    QVERIFY(Shown(&program.window, "frmPort") == nullptr);
    QCOMPARE(program.settings.PreferredPort(), sim);

    // The next run starts with the chosen port first.
    SerialRadio nextRun({missing, held.Device(), silent.Device(), radioSim.Device()}, {},
                        program.settings.PreferredPort().toStdString());
    QCOMPARE(QString::fromStdString(nextRun.ListPorts().at(0).device), sim);

    // An Upload finds the radio on COM1 at once; a search that finds none shows no radio.
    Trigger(&program.window, "Upload");
    QVERIFY(program.window.ActiveEditor() != nullptr);
    QCOMPARE(Field(program), "COM1 " + sim + " - Petrel (PMR)");
    radioSim.Stop();
    program.prompter.Expect("Connecting Err !  Make sure the connection is OK\n\rTry Again ?",
                            Answer::No);
    Trigger(&program.window, "Upload");
    QCOMPARE(Field(program), QString("no radio"));
    QVERIFY_DONE(program.prompter);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::PortDialogTest)
#include "port_test.moc"
