#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include "document/config_file.h"
#include "document/new_config.h"
#include "document/notepad_window.h"
#include "document/shell_model.h"
#include "shell/link_radio.h"
#include "shell/status_area.h"
#include "shell/ui_support.h"
#include "sim_process.h"

namespace petrel::test {

namespace {

const std::string kSimulator = PETREL_BINARY_DIR "/tools/radio-sim/petrel-radio-sim";

QStringList Trimmed(QStringList lines) {
    for (QString& line : lines) {
        line = line.trimmed();
    }
    return lines;
}

}  // namespace

// Upload and Download through the real link against petrel-radio-sim on a pseudo-terminal.
class TransferTest : public QObject {
    Q_OBJECT
  private slots:
    void uploadOpensAWindowWithTheRadiosChannels();
    void downloadThenUploadGivesTheSameChannels();
    void silentRadioAsksToTryAgainAndOpensNothing();
};

void TransferTest::uploadOpensAWindowWithTheRadiosChannels() {
    sim::SimProcess radioSim(kSimulator,
                             {"--quiet", "--serial", "SN-00042", "--customer", "Petrel Shop"});
    LinkRadio radio({radioSim.Device()});
    Program program(&radio);
    program.window.StartUp();
    QCOMPARE(program.state.PortCount, 1);

    FindAction(&program.window, "Upload")->trigger();

    QVERIFY_DONE(program.prompter);
    NotePadWindow* editor = program.window.ActiveEditor();
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->windowTitle(), QString("TEMP1.CFG"));
    QCOMPARE(ListLines(editor).size(), 99);
    QCOMPARE(editor->findChild<QLabel*>("lblModel")->text(), QString("Model:Petrel (PMR)"));
    QCOMPARE(editor->findChild<QLabel*>("lblSerialNo")->text(), QString("Serial No:SN-00042"));
    QCOMPARE(editor->findChild<QLabel*>("lblCustomer")->text(), QString("Customer:Petrel Shop"));
    QCOMPARE(program.state.TempCount, 1);
    QVERIFY(program.state.InfoValid);
    QVERIFY(FindAction(&program.window, "Download")->isEnabled());
    // The new window's activation checked its channels.
    QCOMPARE(program.state.ErrMsgText, program.window.Status().Text());
    QVERIFY(program.window.Status().Text() != "Not detected");
    QVERIFY(FindMenu(editor, "mnuRadio")->menuAction()->isEnabled());
}

void TransferTest::downloadThenUploadGivesTheSameChannels() {
    QTemporaryDir dir;
    const std::string file = dir.filePath("pmr16.cfg").toStdString();
    {
        ProgramState other;
        ScriptedPrompter quiet;
        const int slot = BuildNewConfiguration(other, 9, 16);
        other.workspace.At(slot).state.Dirty = true;  // pack the channel lines themselves
        QVERIFY(SaveConfigFile(other, slot, file, quiet));
    }
    sim::SimProcess radioSim(kSimulator, {"--quiet", "--channels", "16", "--blank"});
    LinkRadio radio({radioSim.Device()});
    Program program(&radio);
    program.window.StartUp();

    program.chooser.Then(file);
    FindAction(&program.window, "Open")->trigger();
    NotePadWindow* opened = program.window.ActiveEditor();
    QVERIFY(opened != nullptr);
    FindAction(opened, "mnuRadioItem1")->trigger();
    QCOMPARE(program.window.Editors().size(), 1);
    // The channel check replaces the detection message once the Download is through.
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));

    FindAction(opened, "mnuRadioItem0")->trigger();
    NotePadWindow* uploaded = program.window.ActiveEditor();
    QVERIFY(uploaded != opened);
    QCOMPARE(uploaded->windowTitle(), QString("TEMP1.CFG"));
    QCOMPARE(Trimmed(ListLines(uploaded)), Trimmed(ListLines(opened)));
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
    QVERIFY_DONE(program.prompter);
}

void TransferTest::silentRadioAsksToTryAgainAndOpensNothing() {
    sim::SimProcess radioSim(kSimulator, {"--quiet", "--silent"});
    LinkRadio radio({radioSim.Device()});
    Program program(&radio);
    program.window.StartUp();
    program.prompter
        .Expect("Connecting Err !  Make sure the connection is OK\n\rTry Again ?", Answer::Yes)
        .Expect("Connecting Err !  Make sure the connection is OK\n\rTry Again ?", Answer::No);

    FindAction(&program.window, "mnuRadioItem0")->trigger();

    QVERIFY_DONE(program.prompter);
    QVERIFY(program.window.Editors().isEmpty());
    QCOMPARE(program.state.TempCount, 0);
    // No document: the operation ends in the no-document state.
    QCOMPARE(program.window.Status().Text(), std::string(kMenuHintText));
    QVERIFY(FindMenu(&program.window, "mnuRadio")->menuAction()->isEnabled());
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::TransferTest)
#include "transfer_test.moc"
