// Two radios, two windows: each window keeps the information page of its own radio (serial,
// customer, calibration tables) in what it shows, saves and writes. Two petrel-radio-sim on
// pseudo-terminals behind one "cable" (a symbolic link the test points at one or the other).
#include <QMdiArea>

#include "core/alignment/alignment.h"
#include "core/model/info_page.h"
#include "shell/ui_support.h"
#include "sim_process.h"
#include "support/documents.h"
#include "ui/alignment/hardware_alignment_dialog.h"
#include "ui/link/serial_radio.h"

namespace petrel::test {

namespace {

namespace fs = std::filesystem;

struct RadioFiles {
    std::string cfg;
    std::string ptx;
};

// A radio's memory as files the simulator loads: a 99-channel configuration of band with a
// serial number, a customer name and calibration tables of its own (seed + element).
RadioFiles MakeRadioFiles(const TempDir& dir, const std::string& name, int band,
                          const std::string& serial, const std::string& customer,
                          std::uint8_t seed) {
    Workspace workspace;
    const int slot = BuildNewConfiguration(workspace, band, 99);
    RadioInfoPage& page = workspace.At(slot).info;
    InfoTables tables;
    for (std::size_t i = 0; i < kTableSize; ++i) {
        tables.level[i] = static_cast<std::uint8_t>(seed + i);
        tables.power[i] = static_cast<std::uint8_t>(seed + 0x40 + i);
    }
    page.SetTables(tables);
    for (std::size_t i = 0; i < kInfoSerialLength; ++i) {
        page.InfoWords[kInfoSerialText + i] = i < serial.size() ? serial[i] : ' ';
    }
    for (std::size_t i = 0; i < kInfoNameLength; ++i) {
        page.InfoWords[kInfoNameText + i] = i < customer.size() ? customer[i] : ' ';
    }
    ScriptedPrompter prompter;
    const RadioFiles files{dir.File(name + ".cfg"), dir.File(name + ".ptx")};
    if (!SaveConfigFile(workspace, slot, files.cfg, prompter)) {
        qFatal("cannot make %s", files.cfg.c_str());
    }
    return files;
}

// The programming cable moved to the radio on device.
void Plug(const std::string& cable, const std::string& device) {
    fs::remove(cable);
    fs::create_symlink(device, cable);
}

QString Box(QWidget* window, const char* name) {
    return Child<QLineEdit>(window, name)->text();
}

// The level table of a companion file.
QList<int> LevelTable(const std::string& ptx) {
    const auto info = DecodeCompanionFile(ReadBytes(ptx));
    QList<int> level;
    for (std::size_t i = 0; info && i < kTableSize; ++i) {
        level << (*info)[kInfoLevelTable + i];
    }
    return level;
}

}  // namespace

class RadioPagesTest : public QObject {
    Q_OBJECT
  private slots:
    void eachWindowKeepsItsOwnRadiosInformation();
};

// Two radios of one band, A read first, then B, which stays on the cable. A's information window
// and Save As hold A's serial, customer and tables; both files opened again, A active, Save: A's
// companion stays A's, byte for byte. The tuner on A's window shows A's tables and asks before
// writing them into B; on A's own radio it writes them without asking. The tuned tables are one
// step of A's undo history and reach A's companion and A's radio, not B's.
void RadioPagesTest::eachWindowKeepsItsOwnRadiosInformation() {
    TempDir dir;
    const RadioFiles a = MakeRadioFiles(dir, "radioA", 9, "SN0012345678", "Harbour Taxi", 0x10);
    const RadioFiles b = MakeRadioFiles(dir, "radioB", 9, "UHF000000042", "City Works", 0x60);
    const std::string endA = dir.File("endA.cfg");
    const std::string endB = dir.File("endB.cfg");
    sim::SimProcess simA(kSimulator, {"--quiet", "--delay", "0", "--load", a.cfg, "--save", endA});
    sim::SimProcess simB(kSimulator, {"--quiet", "--delay", "0", "--load", b.cfg, "--save", endB});
    const std::string cable = dir.File("cable");
    Plug(cable, simA.Device());
    SerialRadio radio({cable});
    Program program(&radio);

    Trigger(&program.window, "Upload");
    ConfigEditorWindow* windowA = program.window.ActiveEditor();
    Plug(cable, simB.Device());
    Trigger(&program.window, "Upload");
    ConfigEditorWindow* windowB = program.window.ActiveEditor();
    QVERIFY2(windowA != nullptr && windowB != nullptr && windowA != windowB,
             program.prompter.Report().c_str());
    QVERIFY_DONE(program.prompter);

    Activate(program, windowA);
    Trigger(windowA, "mnuInfo");
    auto* info = Child<QDialog>(windowA, "frmRadioInfo");
    QCOMPARE(
        Box(info, "txtCustomer") + "|" + Box(info, "txtSerial") + "|" + Box(info, "txtFreqRange"),
        QString("Harbour Taxi|SN0012345678|446.00625 ~ 446.09375"));
    const std::string savedA = dir.File("A.cfg");
    const std::string savedB = dir.File("B.cfg");
    program.chooser.Then(savedA);
    Trigger(windowA, "mnuSaveAs");
    QCOMPARE(ReadBytes(CompanionPath(savedA)), ReadBytes(a.ptx));
    QCOMPARE(Child<QLabel>(windowA, "lblSerialNo")->text(), QString("Serial No:SN0012345678"));
    Activate(program, windowB);
    program.chooser.Then(savedB);
    Trigger(windowB, "mnuSaveAs");
    QCOMPARE(ReadBytes(CompanionPath(savedB)), ReadBytes(b.ptx));

    Trigger(windowA, "mnuClose");
    Trigger(windowB, "mnuClose");
    program.window.OpenFiles({QString::fromStdString(savedA), QString::fromStdString(savedB)});
    const QList<ConfigEditorWindow*> opened = program.window.Editors();
    QCOMPARE(opened.size(), 2);
    windowA = opened[0];
    Activate(program, windowA);
    Trigger(windowA, "mnuSave");
    QCOMPARE(ReadBytes(CompanionPath(savedA)), ReadBytes(a.ptx));
    QCOMPARE(ReadBytes(CompanionPath(savedB)), ReadBytes(b.ptx));
    QVERIFY_DONE(program.prompter);

    HardwareAlignmentDialog* hard = OpenHard(program, windowA);
    QVERIFY(hard != nullptr);
    QCOMPARE(Box(hard, "SQLforNHi") + " " + Box(hard, "LoBAT") + " " + Box(hard, "txtPwrHi"),
             QString("18 22 84"));  // A's: 0x10 + 2, 0x10 + 6, 0x50 + 4
    Retype(Child(hard, "LoVOX"), "88");
    program.prompter.Expect(OtherRadioQuestion("UHF000000042", "SN0012345678"), Answer::No);
    Click(hard, "cmdOK");
    QVERIFY(hard->isVisible());
    QVERIFY(program.prompter.Asked().back().defaultButton == Answer::No);
    Plug(cable, simA.Device());
    Click(hard, "cmdOK");
    QTRY_VERIFY(program.window.HardwareWindow() == nullptr);
    QVERIFY_DONE(program.prompter);

    // One undoable step: Undo puts A's tables back and the window is unchanged again; a later
    // edit and its Undo leave the tables changed.
    Document& docA = Doc(program, windowA);
    QCOMPARE(int(docA.info.LevelTable[9]), 88);
    QVERIFY(docA.state.Dirty);
    Trigger(windowA, "mnuEUndo");
    QCOMPARE(int(docA.info.LevelTable[9]), 0x19);
    QVERIFY(!docA.state.Dirty);
    Trigger(windowA, "mnuERedo");
    windowA->ApplyEdits({{0, "1   446.093750  000=  None   446.093750  000=  None"}});
    Trigger(windowA, "mnuEUndo");
    QCOMPARE(int(docA.info.InfoWords[kInfoLevelTable + 9]), 88);
    QVERIFY(docA.state.Dirty);
    program.prompter.Expect(ChangedQuestion("A"), Answer::Yes);
    program.chooser.Then(savedA);
    Trigger(windowA, "mnuClose");
    QVERIFY_DONE(program.prompter);
    QCOMPARE(LevelTable(CompanionPath(savedA)).at(9), 88);
    QCOMPARE(program.chooser.unexpected, 0);

    // A's radio has the new tables, B's its own.
    QCOMPARE(simA.Stop(), 0);
    QCOMPARE(simB.Stop(), 0);
    QCOMPARE(LevelTable(CompanionPath(endA)).mid(0, 12),
             LevelTable(CompanionPath(savedA)).mid(0, 12));
    QCOMPARE(ReadBytes(CompanionPath(endB)), ReadBytes(b.ptx));
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::RadioPagesTest)
#include "radio_pages_test.moc"
