// The alignment windows driven by their controls against petrel-radio-sim on a pseudo-terminal,
// in real time: what reaches the radio, and that it is never left keyed or in a test state.
#include "core/link/frame_protocol.h"
#include "core/link/test_marker.h"
#include "core/model/info_page.h"
#include "core/shell/shell_model.h"
#include "shell/ui_support.h"
#include "sim_process.h"
#include "ui/alignment/hardware_alignment_dialog.h"
#include "ui/link/serial_radio.h"

namespace petrel::test {

namespace {

QString Picture(QWidget* window, const char* key) {
    return Child(window, key)->property("picture").toString();
}

}  // namespace

class AlignmentTest : public QObject {
    Q_OBJECT
  private slots:
    void tuneKeyAndStoreThenCloseLeavesTheRadioQuiet();
    void aRadioLeftKeyedByAKilledProgramIsReleasedAtTheNextStart();
};

// A 16-channel PMR configuration and a simulated radio of the same kind that saves its memory
// on exit and logs every frame: each calibration dialog's Auto Tune, OK writing both tables,
// keying high then low, and the ways out (the close button, the program ending while keyed).
void AlignmentTest::tuneKeyAndStoreThenCloseLeavesTheRadioQuiet() {
    TempDir dir;
    sim::SimProcess sim(kSimulator,
                        {"--noise", "40,41,41,42,41", "--battery", "120,121,121", "--vox", "66",
                         "--channels", "16", "--save", dir.File("radio.cfg")},
                        dir.File("sim.log"));
    SerialRadio radio({sim.Device()});
    Program program(&radio);
    ConfigEditorWindow* editor = NewEditor(program, 9, 16);
    HardwareAlignmentDialog* hard = OpenHard(program, editor);
    QVERIFY(hard != nullptr && hard->isVisible() && hard->isModal());
    QVERIFY(!Child(hard, "SQLforWB")->isVisible());

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
        Click(hard, c.adjust);
        QDialog* tuning = hard->Tuning();
        QVERIFY2(tuning != nullptr && tuning->objectName() == c.form, c.form);
        QVERIFY(tuning->isVisible() && !hard->isVisible());
        Click(tuning, c.tune);
        QCOMPARE(Child<QLineEdit>(tuning, c.box)->text(), c.expected);
        Click(tuning, "cmdOK");
        QVERIFY(!tuning->isVisible() && hard->isVisible());
        QCOMPARE(Child<QLineEdit>(hard, c.hardField)->text(), c.expected);
    }
    // The squelch dialog showed its receive frequency; the wide-band field follows it.
    QCOMPARE(Child<QLineEdit>(hard, "SQLforWHi")->text(), QString("41"));
    Retype(Child(hard, "LoVOX"), "88");
    Child<QComboBox>(hard, "PSampling")->setCurrentIndex(9);
    Child<QComboBox>(hard, "cboSampling")->setCurrentIndex(0);
    const auto power = Doc(program, editor).info.PowerTable;
    // A new configuration's tables are not a radio's: OK asks before writing them.
    program.prompter.Expect(OtherRadioQuestion("", ""), Answer::Yes);
    Click(hard, "cmdOK");
    QTRY_VERIFY(program.window.HardwareWindow() == nullptr);

    // Keying high, then low with a value typed: Enter in the box sends it and does not press OK.
    hard = OpenHard(program, editor);
    Click(hard, "cmdTxAdjust");
    QDialog* tx = hard->Tuning();
    QCOMPARE(tx->objectName(), QString("frmTxAdj"));
    QCOMPARE(Picture(tx, "cmdHiPWRck"), QString("PTT0"));
    Click(tx, "cmdHiPWRck");
    QCOMPARE(Picture(tx, "cmdHiPWRck"), QString("PTT1"));
    Click(tx, "cmdLoPWRck");
    QCOMPARE(Picture(tx, "cmdHiPWRck") + Picture(tx, "cmdLoPWRck"), QString("PTT0PTT1"));
    Retype(Child(tx, "txtLoPWR"), "4x2");
    QCOMPARE(Child<QLineEdit>(tx, "txtLoPWR")->text(), QString("42"));
    QTest::keyClick(Child(tx, "txtLoPWR"), Qt::Key_Return);
    QVERIFY(tx->isVisible());
    QVERIFY(tx->close());  // the window's close button
    QVERIFY(!tx->isVisible() && hard->isVisible());
    // The program ending while the transmitter is keyed (the stored tables changed the
    // configuration: its question comes after the radio is released).
    Click(hard, "cmdTxAdjust");
    Click(hard->Tuning(), "cmdHiPWRck");
    program.prompter.Expect(ChangedQuestion("Temp1"), Answer::No);
    QVERIFY(program.window.close());
    QVERIFY_DONE(program.prompter);

    const int status = sim.Stop();
    const std::string log = ReadText(dir.File("sim.log"));
    for (const char* state :
         {"=> transmitter off, receive test", "=> transmitter off, alignment test",
          "TRANSMITTING at power 42, transmit test", "on exit: transmitter off, normal mode"}) {
        QVERIFY2(log.find(state) != std::string::npos, state);
    }
    QCOMPARE(status, 0);  // 3: left transmitting
    const auto info = DecodeCompanionFile(ReadBytes(dir.File("radio.ptx")));
    QVERIFY(info.has_value());
    QCOMPARE(QList<int>({(*info)[kInfoLevelTable + 0], (*info)[kInfoLevelTable + 2],
                         (*info)[kInfoLevelTable + 6], (*info)[kInfoLevelTable + 8],
                         (*info)[kInfoLevelTable + 9], (*info)[kInfoLevelTable + 10]}),
             QList<int>({41, 41, 121, 66, 88, 0x90}));
    QVERIFY(std::equal(power.begin(), power.end(), info->begin() + kInfoPowerTable));
}

// A program killed while the transmitter is keyed leaves its marker and the radio on the air:
// the next start offers the closing code and sends it.
void AlignmentTest::aRadioLeftKeyedByAKilledProgramIsReleasedAtTheNextStart() {
    TempDir dir;
    sim::SimProcess sim(kSimulator, {"--transmitting"}, dir.File("sim.log"));
    SerialRadio radio({sim.Device()});
    Program program(&radio, false);
    const std::string marker = program.workFolder.File(kTestMarkerName);
    const std::string port = "COM1 " + sim.Device();
    QVERIFY(TestMarkerKeeper(marker, program.steadyClock).Update({kCodeTransmitTest, true}, port));
    const auto left = FindLeftMarker(marker);
    QVERIFY(left.has_value() && left->keyed);
    QCOMPARE(left->port, port);

    program.prompter.Expect(LeftMarkerQuestion(*left), Answer::Yes)
        .Expect(ReleasedText(), Answer::Ok);
    program.window.StartUp();
    QVERIFY_DONE(program.prompter);
    QVERIFY(!std::filesystem::exists(marker));
    QCOMPARE(program.window.Status().Text(), std::string(kMenuHintText));
    QCOMPARE(sim.Stop(), 0);  // 3: left transmitting
    QVERIFY(ReadText(dir.File("sim.log")).find("=> transmitter off, normal mode") !=
            std::string::npos);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::AlignmentTest)
#include "alignment_test.moc"
