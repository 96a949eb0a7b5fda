// The alignment windows driven by their controls against petrel-radio-sim on a pseudo-terminal,
// in real time: what reaches the radio, and that it is never left keyed or in a test state.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <sstream>

#include "alignment/hardware_dialog.h"
#include "document/config_file.h"
#include "document/info_page.h"
#include "document/notepad_window.h"
#include "shell/link_radio.h"
#include "shell/ui_support.h"
#include "sim_process.h"
#include "support/temp_dir.h"

namespace petrel::test {

namespace {

const std::string kSimulator = PETREL_BINARY_DIR "/tools/radio-sim/petrel-radio-sim";

// A program with a 16-channel PMR configuration open and a simulated radio of the same kind
// that saves its memory on exit and logs every frame.
struct Bench {
    explicit Bench(std::vector<std::string> measured = {})
        : sim(kSimulator, Args(measured), dir.File("sim.log")),
          radio({sim.Device()}),
          program(&radio) {
        // Configure > Hardware Tuner and its password.
        NotePadWindow* editor = NewEditor(program, 9, 16);
        Trigger(editor, "mnuTestHard");
        for (QDialog* dialog : program.window.findChildren<QDialog*>("frmPassword")) {
            if (dialog->isVisible()) {
                QTest::keyClicks(dialog->findChild<QLineEdit*>("txtPassword"), "531948");
                QTest::keyClick(dialog->findChild<QLineEdit*>("txtPassword"), Qt::Key_Return);
            }
        }
    }
    std::vector<std::string> Args(std::vector<std::string> extra) const {
        extra.insert(extra.end(), {"--channels", "16", "--save", dir.File("radio.cfg")});
        return extra;
    }
    HardDialog* Hard() { return program.window.HardwareWindow(); }
    QDialog* Tuning() { return Hard() != nullptr ? Hard()->Tuning() : nullptr; }
    // Stops the radio: its exit status and the log, with its report on how it was left.
    std::string StopRadio(int& status) {
        status = sim.Stop();
        std::ifstream in(dir.File("sim.log"));
        std::stringstream log;
        log << in.rdbuf();
        return log.str();
    }

    TempDir dir;
    sim::SimProcess sim;
    LinkRadio radio;
    Program program;
};

template <typename T>
T* Child(QWidget* window, const char* name) {
    auto* child = window->findChild<T*>(name);
    if (child == nullptr) {
        qFatal("no %s in %s", name, qPrintable(window->objectName()));
    }
    return child;
}

void Click(QWidget* window, const char* button) {
    QTest::mouseClick(Child<QPushButton>(window, button), Qt::LeftButton);
}

void Retype(QWidget* window, const char* box, const QString& text) {
    auto* edit = Child<QLineEdit>(window, box);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

}  // namespace

class AlignmentTest : public QObject {
    Q_OBJECT
  private slots:
    void hardwareOkWritesBothTablesIntoTheRadio();
    void eachCalibrationDialogTunesAndShowsItsValueBack();
    void keyingHighThenLowThenClosingLeavesTheRadioQuiet();
};

void AlignmentTest::hardwareOkWritesBothTablesIntoTheRadio() {
    Bench bench;
    HardDialog* hard = bench.Hard();
    QVERIFY(hard != nullptr && hard->isVisible() && hard->isModal());
    QVERIFY(!Child<QWidget>(hard, "SQLforWB")->isVisible());
    Retype(hard, "SQLforNHi", "77");
    Retype(hard, "LoBAT", "88");
    Child<QComboBox>(hard, "PSampling")->setCurrentIndex(9);
    Child<QComboBox>(hard, "cboSampling")->setCurrentIndex(0);
    const auto power = bench.program.state.PowerTable;
    Click(hard, "cmdOK");
    QVERIFY(!hard->isVisible());
    QVERIFY_DONE(bench.program.prompter);

    int status = -1;
    const std::string log = bench.StopRadio(status);
    QCOMPARE(status, 0);
    QVERIFY(log.find("on exit: transmitter off, normal mode") != std::string::npos);
    const auto info = DecodeCompanionFile(ReadBytes(bench.dir.File("radio.ptx")));
    QVERIFY(info.has_value());
    QCOMPARE((*info)[kInfoLevelTable + 2] & 0xFF, 77);
    QCOMPARE((*info)[kInfoLevelTable + 6] & 0xFF, 88);
    QCOMPARE((*info)[kInfoLevelTable + 10] & 0xFF, 0x90);
    for (std::size_t i = 0; i < kTableSize; ++i) {
        QCOMPARE((*info)[kInfoPowerTable + i] & 0xFF, static_cast<int>(power[i]));
    }
}

void AlignmentTest::eachCalibrationDialogTunesAndShowsItsValueBack() {
    Bench bench({"--noise", "40,41,41,42,41", "--battery", "120,121,121", "--vox", "66"});
    struct Case {
        const char* adjust;
        const char* form;
        const char* tune;
        const char* box;
        const char* hardField;
        QString expected;
    };
    const Case cases[] = {
        {"cmdSqlAdj", "frmSqlN", "cmdSqlNHCK", "txtSqlNH", "SQLforNHi", "41"},
        {"cmdBatAdj", "frmBattery", "cmdBatLoCK", "txtBatLow", "LoBAT", "121"},
        {"cmdVoxAdj", "frmVOX", "cmdHiVOXck", "txtHiVOX", "HiVOX", "66"},
    };
    for (const Case& c : cases) {
        Click(bench.Hard(), c.adjust);
        QDialog* tuning = bench.Tuning();
        QVERIFY2(tuning != nullptr, c.form);
        QCOMPARE(tuning->objectName(), QString(c.form));
        QVERIFY(tuning->isVisible() && !bench.Hard()->isVisible());
        Click(tuning, c.tune);
        QCOMPARE(Child<QLineEdit>(tuning, c.box)->text(), c.expected);
        Click(tuning, "cmdOK");
        QVERIFY(!tuning->isVisible());
        QVERIFY(bench.Hard()->isVisible());
        QCOMPARE(Child<QLineEdit>(bench.Hard(), c.hardField)->text(), c.expected);
    }
    // The squelch dialog showed its receive frequency; the wide-band field follows it.
    QCOMPARE(Child<QLineEdit>(bench.Hard(), "SQLforWHi")->text(), QString("41"));
    Click(bench.Hard(), "cmdCancel");
    QVERIFY_DONE(bench.program.prompter);

    int status = -1;
    const std::string log = bench.StopRadio(status);
    QCOMPARE(status, 0);
    for (const char* state :
         {"=> transmitter off, receive test", "=> transmitter off, alignment test",
          "on exit: transmitter off, normal mode"}) {
        QVERIFY2(log.find(state) != std::string::npos, state);
    }
}

void AlignmentTest::keyingHighThenLowThenClosingLeavesTheRadioQuiet() {
    Bench bench;
    Click(bench.Hard(), "cmdTxAdjust");
    QDialog* power = bench.Tuning();
    QVERIFY(power != nullptr);
    QCOMPARE(power->objectName(), QString("frmTxAdj"));
    QCOMPARE(power->windowTitle(), QString("RF Power Softpot  ( 446.006250 MHz )"));
    QCOMPARE(Child<QLabel>(power, "lblRef")->text(), QString("00H"));
    auto* high = Child<QPushButton>(power, "cmdHiPWRck");
    auto* low = Child<QPushButton>(power, "cmdLoPWRck");
    QCOMPARE(high->property("picture").toString(), QString("PTT0"));

    Click(power, "cmdHiPWRck");
    QCOMPARE(high->property("picture").toString(), QString("PTT1"));
    Click(power, "cmdLoPWRck");
    QCOMPARE(high->property("picture").toString(), QString("PTT0"));
    QCOMPARE(low->property("picture").toString(), QString("PTT1"));
    // Enter in a working box checks it and does not press OK.
    auto* box = Child<QLineEdit>(power, "txtLoPWR");
    Retype(power, "txtLoPWR", "4x2");
    QCOMPARE(box->text(), QString("42"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(power->isVisible());

    QVERIFY(power->close());  // the window's close button
    QVERIFY(!power->isVisible());
    QVERIFY(bench.Hard()->isVisible());
    bench.Hard()->CloseAll();
    QVERIFY_DONE(bench.program.prompter);

    int status = -1;
    const std::string log = bench.StopRadio(status);
    QVERIFY2(log.find("TRANSMITTING at power 42, transmit test") != std::string::npos, log.c_str());
    QVERIFY(log.find("on exit: transmitter off, normal mode") != std::string::npos);
    QCOMPARE(status, 0);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::AlignmentTest)
#include "alignment_test.moc"
