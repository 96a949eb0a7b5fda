// The backups window against petrel-radio-sim on a pseudo-terminal: listed newest first,
// opened, compared with the active configuration and with the radio, written back.
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>

#include "core/util/text.h"
#include "shell/ui_support.h"
#include "sim_process.h"
#include "ui/document/backups_window.h"
#include "ui/document/compare_window.h"
#include "ui/link/serial_radio.h"

namespace petrel::test {

namespace fs = std::filesystem;

class BackupsTest : public QObject {
    Q_OBJECT
  private slots:
    void aBackupOpenedComparedAndWrittenBackToTheRadio();
};

namespace {

QStringList Column(QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        texts.append(list->topLevelItem(i)->text(column));
    }
    return texts;
}

}  // namespace

void BackupsTest::aBackupOpenedComparedAndWrittenBackToTheRadio() {
    TempDir dir;
    sim::SimProcess radioSim(
        kSimulator, {"--quiet", "--delay", "0", "--serial", "SN-00042", "--customer", "Old Shop",
                     "--channels", "16", "--save", dir.File("radio.cfg")});
    SerialRadio radio({radioSim.Device()});
    Program program(&radio);
    BackupsWindow* backups = program.window.ShowBackups();
    auto* list = Child<QTreeWidget>(backups, "lstBackups");
    QCOMPARE(list->topLevelItemCount(), 0);
    QVERIFY(Child<QLabel>(backups, "lblBackups")->text().startsWith("No backups in "));
    QVERIFY(!Child(backups, "cmdOpen")->isEnabled() && !Child(backups, "cmdWrite")->isEnabled());

    // The Upload is kept, and so is the radio before the Download of an edited configuration:
    // the list follows at once, newest first.
    Trigger(&program.window, "Upload");
    ConfigEditorWindow* edited = program.window.ActiveEditor();
    QVERIFY(edited != nullptr);
    QCOMPARE(list->topLevelItemCount(), 1);
    const std::string original = Doc(program, edited).lines[0];
    edited->ApplyEdits({{0, ChannelLine(1, "446.093750", 1, "446.093750", 0)}});
    Trigger(edited, "mnuRadioItem1");
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(Column(list, 1), QStringList({"Petrel (PMR)", "Petrel (PMR)"}));
    QCOMPARE(Column(list, 2), QStringList({"SN-00042", "SN-00042"}));
    QCOMPARE(Column(list, 3), QStringList({"Old Shop", "Old Shop"}));
    QCOMPARE(Column(list, 4), QStringList({"16", "16"}));
    QVERIFY(Column(list, 0)[0] >= Column(list, 0)[1]);
    const QString kept = backups->SelectedPath();
    QVERIFY(kept.endsWith(".cfg"));

    // Compared with the active (edited) configuration.
    QVERIFY(Child(backups, "cmdCompare")->isEnabled());
    Click(backups, "cmdCompare");
    CompareWindow* comparison = ShownComparison(program);
    QVERIFY(comparison != nullptr);
    QCOMPARE(comparison->Lines().value(0),
             QString::fromStdString("CH 1 Rx Freq.: 446.093750 | " +
                                    Trim(ParseLine(original).LineRxFreq)));
    comparison->close();

    // Opened as a new editor marked as a backup.
    Click(backups, "cmdOpen");
    ConfigEditorWindow* opened = program.window.ActiveEditor();
    QVERIFY(opened != edited);
    QCOMPARE(opened->windowTitle(), kept.toUpper() + " (backup)");
    QCOMPARE(Doc(program, opened).lines[0], original);

    // Written back, after a question that No answers: nothing happens.
    const std::string question = "Write the backup " +
                                 fs::path(kept.toStdString()).filename().string() +
                                 " into the radio?\n\rThe radio as it is now is kept as a new "
                                 "backup first; the customer name, serial number and calibration "
                                 "tables stay as the radio holds them.";
    program.prompter.Expect(question, Answer::No);
    Click(backups, "cmdWrite");
    QCOMPARE(list->topLevelItemCount(), 2);
    program.prompter.Expect(question, Answer::Yes);
    Click(backups, "cmdWrite");
    QCOMPARE(list->topLevelItemCount(), 3);  // the radio before the restore

    // The radio now holds the backup again: compared with the edited configuration it differs
    // in channel 1 only, and the look at it keeps no backup.
    Activate(program, edited);
    Trigger(&program.window, "mnuCompareRadio");
    comparison = ShownComparison(program);
    QVERIFY(comparison != nullptr);
    QCOMPARE(comparison->windowTitle(), "Compare " + edited->windowTitle() + " with the radio");
    QCOMPARE(comparison->Lines(),
             QStringList({QString::fromStdString("CH 1 Rx Freq.: 446.093750 | " +
                                                 Trim(ParseLine(original).LineRxFreq)),
                          "CH 1 Rx_CTCSS/DCS: 001=  67.0 | 000=  None",
                          QString::fromStdString("CH 1 Tx Freq.: 446.093750 | " +
                                                 Trim(ParseLine(original).LineTxFreq))}));
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(program.window.Editors().size(), 2);
    QVERIFY_DONE(program.prompter);
    QCOMPARE(radioSim.Stop(), 0);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::BackupsTest)
#include "backups_test.moc"
