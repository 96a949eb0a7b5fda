// The settings windows on real editor windows: what they show, what OK writes and into which
// document, and the customer editor against petrel-radio-sim.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "document/config_file.h"
#include "document/notepad_window.h"
#include "shell/link_radio.h"
#include "shell/ui_support.h"
#include "sim_process.h"
#include "support/temp_dir.h"

namespace petrel::test {

namespace {

const std::string kSimulator = PETREL_BINARY_DIR "/tools/radio-sim/petrel-radio-sim";

template <typename T = QDialog>
T* Find(QObject* owner, const char* name) {
    auto* widget = owner->findChild<T*>(name);
    if (widget == nullptr) {
        qFatal("no widget named %s", name);
    }
    return widget;
}

void Choose(QDialog* dialog, const char* list, const QString& text) {
    auto* box = Find<QComboBox>(dialog, list);
    const int at = box->findText(text);
    QVERIFY2(at >= 0, qPrintable(text));
    box->setCurrentIndex(at);
}

void Click(QDialog* dialog, const char* button) {
    QTest::mouseClick(Find<QPushButton>(dialog, button), Qt::LeftButton);
}

std::uint8_t& SysByte(Program& program, NotePadWindow* editor, std::size_t at) {
    return program.state.workspace.At(editor->Slot()).state.SysBlock[at];
}

bool Dirty(Program& program, NotePadWindow* editor) {
    return program.state.workspace.At(editor->Slot()).state.Dirty;
}

void Activate(Program& program, NotePadWindow* editor) {
    program.window.Area().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(editor->parentWidget()));
}

// Saves the editor under path, closes it and opens the file again.
NotePadWindow* SaveAndReopen(Program& program, NotePadWindow* editor, const std::string& path) {
    program.chooser.Then(path).Then(path);
    Trigger(editor, "mnuSaveAs");
    Trigger(editor, "mnuClose");
    Trigger(&program.window, "Open");
    return program.window.ActiveEditor();
}

// Every control on every page is at least as large as it asks to be: no text is cut, and a
// list is as wide as its longest entry.
void ExpectNothingClipped(QDialog* dialog, QTabWidget* tabs) {
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QApplication::processEvents();
        for (QWidget* widget : dialog->findChildren<QWidget*>()) {
            const bool control =
                qobject_cast<QComboBox*>(widget) || qobject_cast<QLabel*>(widget) ||
                qobject_cast<QCheckBox*>(widget) || qobject_cast<QPushButton*>(widget);
            if (control && widget->isVisible()) {
                QVERIFY2(widget->width() >= widget->sizeHint().width(),
                         qPrintable(widget->objectName() + " on " + tabs->tabText(page)));
            }
        }
    }
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
  private slots:
    void systemOptionsWriteTheDocumentTheyWereOpenedFrom();
    void systemOptionsResetBytesAboveTheChannelCountAndGreyOutThePriority();
    void buttonsFromTheToolbarKeepTheFrontButtonsAndSave();
    void radioInformationShowsFourBoxes();
    void customerEditorReadsAndWritesTheRadio();
};

void SettingsTest::systemOptionsWriteTheDocumentTheyWereOpenedFrom() {
    TempDir dir;
    Program program;
    NotePadWindow* first = NewEditor(program);
    NotePadWindow* second = NewEditor(program);
    const auto untouched = program.state.workspace.At(second->Slot()).state.SysBlock;

    Activate(program, first);
    Trigger(first, "mnuSysOp");
    auto* dialog = Find(first, "frmSysOP");
    QVERIFY(dialog->isVisible() && !dialog->isModal());
    QCOMPARE(Find<QTabWidget>(dialog, "tabBasicSYS")->currentIndex(), 0);
    ExpectNothingClipped(dialog, Find<QTabWidget>(dialog, "tabBasicSYS"));
    // Tab goes from the tabs through the controls page by page as they stand, then OK and
    // CANCEL.
    QStringList chain;
    for (QWidget* at = dialog->nextInFocusChain(); at != dialog; at = at->nextInFocusChain()) {
        if (!at->objectName().isEmpty() && !at->isHidden() && at->focusPolicy() & Qt::TabFocus) {
            chain << at->objectName();
        }
    }
    QCOMPARE(chain, QStringList({"tabBasicSYS", "qt_tabwidget_tabbar",
                                 "cboSysOp0",   "cboSysOp1",
                                 "cboSquelch",  "VOX_OFF",
                                 "VOXtatk",     "Key_L",
                                 "cboSysOp5",   "chkBeep",
                                 "cboSysOp4",   "chkPrior",
                                 "cboSysOp3",   "chkP_Tone",
                                 "chkTalkBack", "cboTxCH",
                                 "cboCall",     "FG_Call_Mute",
                                 "cboBCLO",     "cmdOK",
                                 "cmdCANCEL"}));
    Choose(dialog, "cboSysOp0", "30 s");
    Choose(dialog, "VOXtatk", "600mS     ");
    Choose(dialog, "cboBCLO", "wrong CTCSS");
    Find<QCheckBox>(dialog, "chkBeep")->setChecked(false);
    Choose(dialog, "cboTxCH", "8");

    // The other editor is active when OK is pressed: the options still go to the first.
    Activate(program, second);
    QTest::keyClick(dialog, Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(program.state.workspace.At(second->Slot()).state.SysBlock, untouched);
    QVERIFY(!Dirty(program, second));
    QVERIFY(Dirty(program, first));

    NotePadWindow* reopened = SaveAndReopen(program, first, dir.File("options.cfg"));
    QVERIFY(reopened != nullptr);
    const auto image = DecodeConfigFile(ReadBytes(dir.File("options.cfg")));
    QCOMPARE(image[0x08], std::uint8_t{0x02});
    QCOMPARE(image[0x0F] >> 4, 15);
    QCOMPARE(image[0x18], std::uint8_t{2});
    QCOMPARE(image[0x0A] & 0x20, 0x20);
    QCOMPARE(image[0x06], std::uint8_t{8});
    Trigger(reopened, "mnuSysOp");
    dialog = Find(reopened, "frmSysOP");
    QCOMPARE(Find<QComboBox>(dialog, "cboSysOp0")->currentText(), QString("30 s"));
    QCOMPARE(Find<QComboBox>(dialog, "cboTxCH")->currentText(), QString("8"));
    QVERIFY(!Find<QCheckBox>(dialog, "chkBeep")->isChecked());

    // Escape closes without writing; so does closing the editor the dialog belongs to.
    Choose(dialog, "cboSysOp0", "225 s");
    QTest::keyClick(dialog, Qt::Key_Escape);
    QVERIFY(!Dirty(program, reopened));
    Activate(program, second);
    Trigger(second, "mnuSysOp");
    QPointer<QDialog> open = Find(second, "frmSysOP");
    Trigger(second, "mnuClose");
    QTRY_VERIFY(open.isNull());
    QVERIFY_DONE(program.prompter);
}

void SettingsTest::systemOptionsResetBytesAboveTheChannelCountAndGreyOutThePriority() {
    Program program;
    NotePadWindow* editor = NewEditor(program);
    SysByte(program, editor, 0x05) = 20;
    SysByte(program, editor, 0x18) = 7;
    Trigger(editor, "mnuSysOp");
    auto* dialog = Find(editor, "frmSysOP");
    QCOMPARE(SysByte(program, editor, 0x05), std::uint8_t{0});
    QVERIFY(Dirty(program, editor));
    QCOMPARE(Find<QComboBox>(dialog, "cboBCLO")->currentIndex(), -1);

    auto* prior = Find<QCheckBox>(dialog, "chkPrior");
    QVERIFY(!prior->isChecked());
    QVERIFY(!Find<QComboBox>(dialog, "cboSysOp3")->isEnabled());
    QVERIFY(!Find<QCheckBox>(dialog, "chkP_Tone")->isEnabled());
    prior->click();
    QVERIFY(Find<QComboBox>(dialog, "cboSysOp3")->isEnabled());
    QVERIFY(Find<QCheckBox>(dialog, "chkP_Tone")->isEnabled());
    Click(dialog, "cmdOK");
    QCOMPARE(SysByte(program, editor, 0x05), std::uint8_t{1});
    QCOMPARE(SysByte(program, editor, 0x18), std::uint8_t{7});
}

void SettingsTest::buttonsFromTheToolbarKeepTheFrontButtonsAndSave() {
    TempDir dir;
    Program program;
    QVERIFY(!FindAction(&program.window, "Key")->isEnabled());
    NotePadWindow* editor = NewEditor(program);
    SysByte(program, editor, 0x02) = 0x31;  // long 3 is not offered on front button 1
    QVERIFY(FindAction(&program.window, "Key")->isEnabled());
    Trigger(&program.window, "Key");
    auto* dialog = Find(editor, "frmButtons");
    auto* tabs = Find<QTabWidget>(dialog, "tabButtons");
    QCOMPARE(tabs->currentIndex(), 0);
    ExpectNothingClipped(dialog, tabs);
    QCOMPARE(Find<QComboBox>(dialog, "Key_1_Short")->currentText(), QString("Minitor"));
    for (const char* front : {"Key_1_Short", "Key_1_Long", "Key_2_Short", "Key_2_Long"}) {
        QVERIFY(!Find<QComboBox>(dialog, front)->isEnabled());
    }
    // Call tone "Call-2" in a new configuration: side lists offer "Call", not the power key.
    auto* sideA = Find<QComboBox>(dialog, "Key_A_Long");
    QVERIFY(sideA->findText("Call") >= 0);
    QCOMPARE(sideA->findText("Toggle High/Low Power"), -1);
    Choose(dialog, "Key_A_Long", "Toggle Repeater/Talkaround");
    Click(dialog, "OK");
    QVERIFY(Dirty(program, editor));
    QCOMPARE(SysByte(program, editor, 0x00), std::uint8_t{0x51});
    QCOMPARE(SysByte(program, editor, 0x02), std::uint8_t{0x01});

    NotePadWindow* reopened = SaveAndReopen(program, editor, dir.File("keys.cfg"));
    QCOMPARE(DecodeConfigFile(ReadBytes(dir.File("keys.cfg")))[0x00], std::uint8_t{0x51});
    Trigger(reopened, "mnuButtons");
    QCOMPARE(Find<QComboBox>(Find(reopened, "frmButtons"), "Key_A_Long")->currentText(),
             QString("Toggle Repeater/Talkaround"));
    // Nothing changed: OK leaves the document clean.
    Click(Find(reopened, "frmButtons"), "OK");
    QVERIFY(!Dirty(program, reopened));
}

void SettingsTest::radioInformationShowsFourBoxes() {
    Program program;
    NotePadWindow* editor = NewEditor(program, 10);
    program.state.CustomerName = "Harbour Taxi";
    program.state.SerialNo = "PT-1";
    program.state.ProgDate = "Jan-05-2004";
    program.state.FirmwareVersion = "V1.20";
    Trigger(editor, "mnuInfo");
    auto* window = Find(editor, "frmRadioInfo");
    QCOMPARE(window->windowTitle(), QString("Radio Information"));
    QStringList shown;
    for (auto* box : window->findChildren<QLineEdit*>()) {
        if (box->isVisible()) {
            shown << box->objectName() + "=" + box->text();
        }
    }
    QCOMPARE(shown, QStringList({"txtCustomer=Harbour Taxi", "txtSerial=PT-1",
                                 "txtFreqRange=448.7500 ~ 449.2625", "txtPrgDate=Jan-05-2004"}));
    QCOMPARE(Find<QLineEdit>(window, "txtVersion")->text(), QString("V1.20"));
    Click(window, "cmdCLOSE");
    QVERIFY(!window->isVisible());
}

void SettingsTest::customerEditorReadsAndWritesTheRadio() {
    TempDir dir;
    // A 99-channel radio while a 16-channel window is active: the blocks go to the radio's own
    // information page.
    sim::SimProcess radioSim(kSimulator, {"--delay", "0", "--serial", "SN-00042", "--customer",
                                          "Old Shop", "--save", dir.File("radio.cfg")});
    LinkRadio radio({radioSim.Device()});
    Program program(&radio);
    program.window.SetToday([] { return CalendarDate{2004, 1, 5}; });
    NotePadWindow* editor = NewEditor(program);
    program.state.CustomerName = "  Earlier Shop ";

    // The option password opens the editor with the program's texts, trimmed.
    Trigger(editor, "mnuCustomer");
    auto* password = Find(&program.window, "optPwd");
    QTest::keyClicks(Find<QLineEdit>(password, "txtPassword"), "featurelock");
    Click(password, "cmdOK");
    auto* dialog = Find(&program.window, "frmCustomer");
    QVERIFY(dialog->isVisible());
    auto* name = Find<QLineEdit>(dialog, "txtCustomer");
    auto* serial = Find<QLineEdit>(dialog, "txtSerial");
    QCOMPARE(name->text(), QString("Earlier Shop"));
    Click(dialog, "cmdReadInfo");
    QCOMPARE(name->text(), QString("Old Shop"));
    QCOMPARE(serial->text(), QString("SN-00042"));

    name->clear();
    QTest::keyClicks(name, "  Harbour Taxi Company");
    serial->clear();
    QTest::keyClicks(serial, "A1");
    QCOMPARE(name->text().size(), 15);
    Click(dialog, "cmdOK");
    QTRY_VERIFY(!dialog->isVisible());
    QVERIFY_DONE(program.prompter);
    QCOMPARE(radioSim.Stop(), 0);

    const auto info = DecodeCompanionFile(ReadBytes(dir.File("radio.ptx")));
    QVERIFY(info.has_value());
    std::string nameBytes;
    std::string serialBytes;
    for (int i = 0; i < 15; ++i) {
        nameBytes += static_cast<char>((*info)[0xE1 + i]);
        serialBytes += static_cast<char>((*info)[0xD1 + i]);
    }
    QCOMPARE(nameBytes, std::string("Harbour Taxi   "));
    QCOMPARE(serialBytes, std::string("A1          \x04\x01\x05", 15));
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::SettingsTest)
#include "settings_test.moc"
