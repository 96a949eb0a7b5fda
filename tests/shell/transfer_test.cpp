#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include "document/config_file.h"
#include "document/new_config.h"
#include "document/notepad_window.h"
#include "document/shell_model.h"
#include "shell/link_radio.h"
#include "shell/status_area.h"
#include "shell/ui_support.h"
#include "sim_process.h"
#include "support/temp_dir.h"

namespace petrel::test {

namespace {

const std::string kSimulator = PETREL_BINARY_DIR "/tools/radio-sim/petrel-radio-sim";

}  // namespace

// Upload and Download through the real link against petrel-radio-sim on a pseudo-terminal.
class TransferTest : public QObject {
    Q_OBJECT
  private slots:
    void uploadOpensAWindowWithTheRadiosChannels();
    void downloadThenCheckAndUploadGivesTheSameChannels();
};

void TransferTest::uploadOpensAWindowWithTheRadiosChannels() {
    sim::SimProcess radioSim(kSimulator,
                             {"--quiet", "--serial", "SN-00042", "--customer", "Petrel Shop"});
    LinkRadio radio({radioSim.Device()});
    Program program(&radio);
    program.window.StartUp();
    Trigger(&program.window, "Upload");

    QVERIFY_DONE(program.prompter);
    NotePadWindow* editor = program.window.ActiveEditor();
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->windowTitle(), QString("TEMP1.CFG"));
    QCOMPARE(ListLines(editor).size(), 99);
    QStringList labels;
    for (const char* name : {"lblModel", "lblSerialNo", "lblCustomer"}) {
        labels << editor->findChild<QLabel*>(name)->text();
    }
    QCOMPARE(labels,
             QStringList({"Model:Petrel (PMR)", "Serial No:SN-00042", "Customer:Petrel Shop"}));
    QVERIFY(FindAction(&program.window, "Download")->isEnabled());
    QVERIFY(FindMenu(editor, "mnuRadio")->menuAction()->isEnabled());
    // The new window's activation checked its channels.
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
}

void TransferTest::downloadThenCheckAndUploadGivesTheSameChannels() {
    TempDir dir;
    const std::string file = dir.File("pmr16.cfg");
    ProgramState other;
    ScriptedPrompter quiet;
    const int slot = BuildNewConfiguration(other, 9, 16);
    other.workspace.At(slot).state.Dirty = true;  // pack the channel lines themselves
    QVERIFY(SaveConfigFile(other, slot, file, quiet));
    sim::SimProcess radioSim(kSimulator, {"--quiet", "--channels", "16", "--blank"});
    LinkRadio radio({radioSim.Device()});
    Program program(&radio);
    program.window.StartUp();

    program.chooser.Then(file);
    Trigger(&program.window, "Open");
    NotePadWindow* opened = program.window.ActiveEditor();
    QVERIFY(opened != nullptr);
    program.window.Status().SetStatus("stale", kStatusBlack, kStatusFontNormal);
    Trigger(opened, "mnuRadioItem1");
    QCOMPARE(program.window.Editors().size(), 1);
    // The channel check replaces the detection message once the Download is through.
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));

    Trigger(opened, "mnuRadioItem0");
    NotePadWindow* uploaded = program.window.ActiveEditor();
    QVERIFY(uploaded != opened);
    QCOMPARE(ListLines(uploaded, true), ListLines(opened, true));
    QVERIFY_DONE(program.prompter);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::TransferTest)
#include "transfer_test.moc"
