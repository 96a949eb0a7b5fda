// Radio > Program Several Radios against petrel-radio-sim playing a fleet, and Radio > History
// over the records the program made.
#include <QHeaderView>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>

#include "core/history/service_history.h"
#include "sim_process.h"
#include "ui/document/compare_window.h"
#include "ui/link/fleet_window.h"
#include "ui/link/history_window.h"
#include "ui/link/serial_radio.h"
#include "ui_support.h"

namespace petrel::test {

class FleetHistoryTest : public QObject {
    Q_OBJECT

  private slots:
    void threeRadiosOneOfAnotherBandAreRowsAndRecords();
    void historyFiltersOpensAndCompares();
    void aDamagedHistoryIsToldOnceAndSetAside();
    void aRecordWrittenBackIsARestoreThatKeepsTheRadioFirst();
};

QStringList Column(QTableWidget* table, int column) {
    QStringList cells;
    for (int row = 0; row < table->rowCount(); ++row) {
        cells << table->item(row, column)->text();
    }
    return cells;
}

void FleetHistoryTest::threeRadiosOneOfAnotherBandAreRowsAndRecords() {
    TempDir dir;
    sim::SimProcess sim(kSimulator,
                        {"--delay", "0", "--channels", "16", "--fleet", "3", "--fleet-band", "2:5",
                         "--fleet-gap", "300"},
                        dir.File("sim.log"));
    SerialRadio radio({sim.Device()});
    Program program(&radio);
    NewEditor(program, 9, 16);
    Trigger(&program.window, "mnuFleet");
    auto* fleet = qobject_cast<FleetWindow*>(Shown(&program.window, "frmFleet"));
    QVERIFY(fleet != nullptr && fleet->isModal());
    QVERIFY(MakeActive(fleet));
    QTest::keyClicks(Child(fleet, "txtFleetCustomer"), "Harbour Taxi");
    Retype(Child(fleet, "txtSerialFrom"), "TX-0007");
    Child<QSpinBox>(fleet, "spnCount")->setValue(3);
    // The run holds the window until it ends: three radios, the second refused.
    Click(fleet, "cmdStart");
    QVERIFY(!fleet->Running());
    auto* table = Child<QTableWidget>(fleet, "tblFleet");
    QCOMPARE(Column(table, 2), (QStringList{"TX-0007", "", "TX-0008"}));
    QCOMPARE(Column(table, 3).at(0), QString("written"));
    QVERIFY2(Column(table, 3).at(1).startsWith("refused: a radio of band 5"),
             qPrintable(Column(table, 3).at(1)));
    QCOMPARE(Child<QLabel>(fleet, "lblFleetStatus")->text(),
             QString("Finished: 3 radios: 2 written, 1 refused, 0 failed."));
    QVERIFY(Child<QPushButton>(fleet, "cmdStart")->isEnabled());
    QVERIFY(!Child<QPushButton>(fleet, "cmdStop")->isEnabled());
    QTest::keyClick(fleet, Qt::Key_Escape);  // not running: Escape closes
    QVERIFY(!fleet->isVisible());
    QVERIFY_DONE(program.prompter);

    // Each radio that came is a record of the history, newest first.
    Trigger(&program.window, "mnuHistory");
    auto* history = Shown(&program.window, "frmHistory");
    QVERIFY(history != nullptr);
    auto* records = Child<QTableWidget>(history, "tblHistory");
    QCOMPARE(Column(records, 4), (QStringList{"TX-0008", "", "TX-0007"}));
    QCOMPARE(Column(records, 3), (QStringList{"done", "refused", "done"}));
}

void FleetHistoryTest::historyFiltersOpensAndCompares() {
    Program program;
    // Two earlier operations in the history of the program's work folder.
    {
        auto history =
            OpenServiceHistory(program.workFolder.File(kHistoryFileName), program.virtualClock);
        const RadioRead pmr = ReadOfNewRadio(9, 16);
        for (const auto& [serial, customer, time] :
             {std::tuple{"PMR-0041", "Harbour Taxi", "2026-11-30 10:00:00"},
              std::tuple{"CB-7", "City Bus", "2026-12-02 09:00:00"}}) {
            HistoryRecord record;
            record.time = time;
            record.operation = kOpDownload;
            record.result = kResultDone;
            record.serialNo = serial;
            record.customer = customer;
            record.band = 9;
            record.channels = 16;
            record.imageAfter = pmr.image;
            QVERIFY(history->Add(record));
        }
    }
    ConfigEditorWindow* editor = NewEditor(program, 9, 16);
    Trigger(&program.window, "mnuHistory");
    auto* history = Shown(&program.window, "frmHistory");
    QVERIFY(history != nullptr && !history->isModal());
    auto* records = Child<QTableWidget>(history, "tblHistory");
    QCOMPARE(Column(records, 4), (QStringList{"CB-7", "PMR-0041"}));
    QVERIFY(!Child<QPushButton>(history, "cmdOpenRecord")->isEnabled());

    QTest::keyClicks(Child(history, "txtCustomerFilter"), "taxi");
    QCOMPARE(Column(records, 4), QStringList{"PMR-0041"});
    Retype(Child(history, "txtCustomerFilter"), "");
    QTest::keyClicks(Child(history, "txtSinceFilter"), "2026-12-01");
    QCOMPARE(Column(records, 4), QStringList{"CB-7"});
    QCOMPARE(Child<QLabel>(history, "lblHistoryCount")->text(), QString("1 record"));
    Child<QComboBox>(history, "cboBandFilter")->setCurrentIndex(5);  // band 5: none
    QCOMPARE(records->rowCount(), 0);
    Child<QComboBox>(history, "cboBandFilter")->setCurrentIndex(9);
    QCOMPARE(records->rowCount(), 1);

    // Compare: the record against the active configuration, which it equals.
    records->selectRow(0);
    Click(history, "cmdCompareRecord");
    auto* compare = qobject_cast<CompareWindow*>(Shown(&program.window, "frmCompare"));
    QVERIFY(compare != nullptr);
    QVERIFY(compare->Lines().isEmpty());
    compare->close();

    // Open: a new editor with the record's configuration, its caption saying which record it
    // is a copy of; the editor that was there stays.
    const int before = static_cast<int>(Titles(program.window).size());
    Click(history, "cmdOpenRecord");
    const QStringList titles = Titles(program.window);
    QCOMPARE(static_cast<int>(titles.size()), before + 1);
    QVERIFY(titles.contains(QString::fromStdString(Doc(program, editor).title)));
    QCOMPARE(titles.filter(QRegularExpression(" \\(history record 2 \\(CB-7\\)\\)$")).size(), 1);
    QVERIFY_DONE(program.prompter);
}

void FleetHistoryTest::aDamagedHistoryIsToldOnceAndSetAside() {
    Program program(nullptr, false);
    const std::string path = program.workFolder.File(kHistoryFileName);
    WriteBytes(path, std::vector<std::uint8_t>(3000, 0x42));
    program.window.StartUp();
    program.prompter.Expect(std::nullopt, Answer::Ok);
    Trigger(&program.window, "mnuHistory");
    QVERIFY(!program.prompter.Asked().empty());
    const std::string told = program.prompter.Asked().back().text;
    QVERIFY2(told.find("was damaged") != std::string::npos, told.c_str());
    QCOMPARE(Child<QLabel>(Shown(&program.window, "frmHistory"), "lblHistoryCount")->text(),
             QString("0 records"));
    Trigger(&program.window, "mnuHistory");  // said once
    QVERIFY_DONE(program.prompter);
}

void FleetHistoryTest::aRecordWrittenBackIsARestoreThatKeepsTheRadioFirst() {
    TempDir dir;
    sim::SimProcess sim(kSimulator, {"--quiet", "--delay", "0", "--channels", "16"});
    SerialRadio radio({sim.Device()});
    Program program(&radio);
    Trigger(&program.window, "Upload");  // record 1: the radio as it came
    ConfigEditorWindow* editor = program.window.ActiveEditor();
    QVERIFY(editor != nullptr);
    const std::string original = Doc(program, editor).lines[0];
    editor->ApplyEdits({{0, ChannelLine(1, "446.093750", 1, "446.093750", 0)}});
    // Even with the backup option off, a restore keeps the radio as it is now first.
    Trigger(&program.window, "mnuBackupFirst");
    Trigger(editor, "mnuRadioItem1");  // record 2: the edited channel written, no backup
    QCOMPARE(BackupFiles(program).size(), 1u);

    Trigger(&program.window, "mnuHistory");
    auto* history = Shown(&program.window, "frmHistory");
    auto* records = Child<QTableWidget>(history, "tblHistory");
    QCOMPARE(records->rowCount(), 2);
    records->selectRow(1);  // the Upload
    program.prompter.Expect("Write the configuration of record 1 to the radio on the cable?",
                            Answer::Yes);
    Click(history, "cmdWriteRecord");
    QCOMPARE(BackupFiles(program).size(), 2u);
    QCOMPARE(records->rowCount(), 3);

    // The radio holds channel 1 as it came again.
    Trigger(&program.window, "Upload");
    QCOMPARE(Doc(program, program.window.ActiveEditor()).lines[0], original);
    QVERIFY_DONE(program.prompter);
    QCOMPARE(sim.Stop(), 0);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::FleetHistoryTest)
#include "fleet_history_test.moc"
