// The channel dialogs, the Edit menu and the editor's toolbar buttons, driven through the real
// windows under the offscreen platform.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "channels/channel_line.h"
#include "document/notepad_window.h"
#include "shell/status_area.h"
#include "shell/ui_support.h"
#include "support/temp_dir.h"

namespace petrel::test {

namespace {

const char* const kToneError = "Input Err! Maximun Number is 154";
const char* const kIllegalChannel = "Not a legal channel number,please input again";

template <typename T = QWidget>
T* Child(QObject* owner, const char* name) {
    auto* child = owner->findChild<T*>(name);
    if (child == nullptr) {
        qFatal("no control named %s", name);
    }
    return child;
}

QListWidget* List(NotePadWindow* editor) {
    return Child<QListWidget>(editor, "lstClient");
}

const std::vector<std::string>& Lines(Program& program, NotePadWindow* editor) {
    return program.state.workspace.At(editor->Slot()).lines;
}

void Select(NotePadWindow* editor, std::initializer_list<int> rows) {
    // The Edit keys work while the editor has the focus.
    editor->window()->activateWindow();
    if (!QTest::qWaitForWindowActive(editor->window())) {
        qWarning("the main window did not become active");
    }
    List(editor)->setFocus();
    List(editor)->clearSelection();
    for (int row : rows) {
        List(editor)->item(row)->setSelected(true);
    }
}

// The dialog an Enter on a line opens, active and ready for keys.
QDialog* OpenLine(Program& program, NotePadWindow* editor, int row, const char* name) {
    List(editor)->setCurrentRow(row);
    QTest::keyClick(List(editor), Qt::Key_Return);
    auto* dialog = program.window.findChild<QDialog*>(name);
    if (dialog != nullptr) {
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog)) {
            qWarning("%s did not become active", name);
        }
    }
    return dialog;
}

// Types text into a box and leaves it for the next field; the check on leaving runs after that.
void TypeAndLeave(QWidget* box, const QString& text, Qt::Key leave = Qt::Key_Tab) {
    box->setFocus();
    if (auto* combo = qobject_cast<QComboBox*>(box)) {
        combo->lineEdit()->selectAll();
    } else if (auto* edit = qobject_cast<QLineEdit*>(box)) {
        edit->selectAll();
    }
    QTest::keyClicks(box, text);
    QTest::keyClick(box, leave);
    QTest::qWait(1);
}

}  // namespace

class ChannelEditingTest : public QObject {
    Q_OBJECT
  private slots:
    void channelTypedSavedAndReopenedShowsTheSame();
    void fixedChannelPickedOnBand9();
    void copyCutPasteDeleteBetweenTwoWindows();
    void toneFillOverTheTargetChannels();
    void toolbarButtonsActOnTheActiveEditor();
};

void ChannelEditingTest::channelTypedSavedAndReopenedShowsTheSame() {
    TempDir dir;
    Program program;
    NotePadWindow* editor = NewEditor(program, 6, 16);
    auto* timer = program.window.findChild<QTimer*>("Timer1");
    QDialog* dialog = OpenLine(program, editor, 2, "frmCh_edit");
    QVERIFY(dialog != nullptr && !dialog->isModal());
    QCOMPARE(dialog->windowTitle(), QString("Channel No.3 (UHF Mid Band,Range:440 ~ 470MHz)"));
    QVERIFY(!timer->isActive());

    auto* rx = Child<QLineEdit>(dialog, "Rx_freq0");
    auto* tx = Child<QLineEdit>(dialog, "Rx_freq1");
    auto* rxTone = Child<QComboBox>(dialog, "Rx_tone0");
    QVERIFY(rx->hasFocus());
    QTest::keyClicks(rx, "446006");
    QCOMPARE(rx->text(), QString("446.006250"));
    QCOMPARE(program.window.Status().Text(), std::string());
    // Enter goes on to the tone of the same side; a tone that is no item is refused, letters too.
    QTest::keyClick(rx, Qt::Key_Return);
    QVERIFY(rxTone->hasFocus());
    program.prompter.Expect(kToneError, Answer::Ok).Expect(kToneError, Answer::Ok);
    TypeAndLeave(rxTone, "155");
    QVERIFY(rxTone->hasFocus());
    TypeAndLeave(rxTone, "ab");
    TypeAndLeave(rxTone, "12");
    QVERIFY_DONE(program.prompter);
    QCOMPARE(rxTone->currentText(), QString("012 CTCSS 100.0"));

    // A paste that is no frequency of the band is refused; the caret goes where the mouse puts
    // it, and Backspace at the end erases the 1 kHz digit.
    tx->setFocus();
    QTest::keyClicks(tx, "4");
    QApplication::clipboard()->setText("46.5");
    QTest::keyClick(tx, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(tx->text(), QString("400.000000"));
    QApplication::clipboard()->setText("446.0043");
    QTest::keyClick(tx, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(tx->text(), QString("446.004000"));
    QCOMPARE(program.window.Status().Text(), std::string("Tx Freqency in Bad Step !"));
    QTest::mouseClick(tx, Qt::LeftButton, {}, QPoint(tx->width() - 4, tx->height() / 2));
    QTest::keyClicks(tx, "5");
    QTest::keyClick(tx, Qt::Key_Backspace);
    QCOMPARE(tx->text(), QString("446.000000"));
    QCOMPARE(program.window.Status().Text(), std::string());
    // RX ONLY takes the transmitter away; TX=RX would copy the Rx side back.
    Child<QCheckBox>(dialog, "Check10")->click();
    QCOMPARE(tx->text(), rx->text());
    Child<QCheckBox>(dialog, "Check11")->click();
    QVERIFY(!Child<QCheckBox>(dialog, "Check10")->isChecked());
    QCOMPARE(tx->text(), QString("NONE"));
    QCOMPARE(Child<QLineEdit>(dialog, "Rx_DTMF1")->text(), QString("0000"));

    Child<QPushButton>(dialog, "Command1")->click();
    const std::string written = ChannelLine(3, "446.006250", 12, "NONE", 0);
    QCOMPARE(Lines(program, editor)[2], written);
    QCOMPARE(List(editor)->item(2)->text().toStdString(), written);
    QCOMPARE(List(editor)->selectedItems(), QList<QListWidgetItem*>{List(editor)->item(2)});
    QVERIFY(program.state.workspace.At(editor->Slot()).state.Dirty);
    QTRY_VERIFY(program.window.findChild<QDialog*>("frmCh_edit") == nullptr);
    QVERIFY(timer->isActive());
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));

    // CANCEL writes nothing and checks the list.
    dialog = OpenLine(program, editor, 0, "frmCh_edit");
    QTest::keyClicks(Child<QLineEdit>(dialog, "Rx_freq0"), "5");
    program.window.Status().SetStatus("stale", 0, 12);
    QTest::keyClick(Child(dialog, "Rx_tone0"), Qt::Key_Escape);
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
    QCOMPARE(Lines(program, editor)[0], EmptyChannelLine(1));

    program.chooser.Then(dir.File("uhf.cfg"));
    Trigger(editor, "mnuSaveAs");
    Trigger(editor, "mnuClose");
    program.chooser.Then(dir.File("uhf.cfg"));
    Trigger(&program.window, "Open");
    QCOMPARE(ListLines(program.window.ActiveEditor())[2].toStdString(), written);
    QVERIFY_DONE(program.prompter);
}

void ChannelEditingTest::fixedChannelPickedOnBand9() {
    Program program;
    NotePadWindow* editor = NewEditor(program, 9, 16);
    QListWidget* list = List(editor);
    const QPoint line10 = list->visualItemRect(list->item(9)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line10);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line10);
    auto* dialog = program.window.findChild<QDialog*>("frmChOp");
    QVERIFY(dialog != nullptr);
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QVERIFY(program.window.findChild<QDialog*>("frmCh_edit") == nullptr);
    QCOMPARE(dialog->windowTitle(), QString("Channel No.10"));
    auto* rxFreq = Child<QComboBox>(dialog, "cboRxFreq");
    QCOMPARE(rxFreq->count(), 9);
    QCOMPARE(rxFreq->currentText(), QString("NONE      "));

    // Enter walks the controls; the tone typed is checked when Enter leaves its box.
    QVERIFY(rxFreq->hasFocus());
    QTest::keyClick(rxFreq, Qt::Key_Down);
    QTest::keyClick(rxFreq, Qt::Key_Down);
    QTest::keyClick(rxFreq, Qt::Key_Return);
    auto* rxTone = Child<QComboBox>(dialog, "cboRxCTCSS");
    QVERIFY(rxTone->hasFocus());
    rxTone->lineEdit()->selectAll();
    QTest::keyClicks(rxTone, "51");
    QTest::keyClick(rxTone, Qt::Key_Return);
    QTest::qWait(1);
    QCOMPARE(rxTone->currentIndex(), 51);
    QVERIFY(Child(dialog, "cboTxFreq")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(Child(dialog, "chkTxRxFreq")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(Child(dialog, "cmdOK")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    QCOMPARE(Lines(program, editor)[9], ChannelLine(10, "446.018750", 51, "446.018750", 51));
    QVERIFY(program.state.workspace.At(editor->Slot()).state.Dirty);
    QTRY_VERIFY(program.window.findChild<QDialog*>("frmChOp") == nullptr);
    QVERIFY_DONE(program.prompter);
}

void ChannelEditingTest::copyCutPasteDeleteBetweenTwoWindows() {
    Program program;
    NotePadWindow* second = NewEditor(program, 10, 16);
    NotePadWindow* first = NewEditor(program, 9, 16);
    const std::vector<std::string> original = Lines(program, first);
    QApplication::clipboard()->setText("before ");

    Select(first, {1, 3});
    QTest::keyClick(List(first), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(program.state.ClipLines.size(), 2u);
    QCOMPARE(QApplication::clipboard()->text().toStdString(),
             "before " + original[1] + "\n" + original[3] + "\n");
    QVERIFY(FindAction(first, "mnuEPaste")->isEnabled());
    // Another window's Paste follows the clipboard when its Edit menu opens.
    QVERIFY(!FindAction(second, "mnuEPaste")->isEnabled());
    emit FindMenu(second, "mnuEdit")->aboutToShow();
    QVERIFY(FindAction(second, "mnuEPaste")->isEnabled());

    // Into the other window, two lines above its end: the lines renumbered, nothing added.
    program.window.Area().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(second->parentWidget()));
    Select(second, {14});
    QTest::keyClick(List(second), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Lines(program, second).size(), 16u);
    QCOMPARE(Lines(program, second)[14], "15" + original[1].substr(2));
    QCOMPARE(Lines(program, second)[15], "16" + original[3].substr(2));
    QCOMPARE(ListLines(second)[15].toStdString(), Lines(program, second)[15]);
    QVERIFY(program.state.workspace.At(second->Slot()).state.Dirty);
    // The pasted PMR frequencies are outside the Korean band: the check says so.
    QCOMPARE(program.window.Status().Text(), std::string("Channel #15 Range Out !"));

    // Cut empties the lines it copies; Delete also clears the system clipboard.
    program.window.Area().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
    Select(first, {0});
    QTest::keyClick(List(first), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(program.state.ClipLines, std::vector<std::string>{original[0].substr(2)});
    QCOMPARE(Lines(program, first)[0], EmptyChannelLine(1));
    Select(first, {2, 4});
    QTest::keyClick(List(first), Qt::Key_Delete);
    QCOMPARE(Lines(program, first)[4], EmptyChannelLine(5));
    QCOMPARE(Lines(program, first)[5], original[5]);
    QCOMPARE(QApplication::clipboard()->text(), QString());

    // Without a selection Paste does nothing.
    List(first)->clearSelection();
    Trigger(first, "mnuEPaste");
    QCOMPARE(Lines(program, first)[1], original[1]);
    QVERIFY_DONE(program.prompter);
}

void ChannelEditingTest::toneFillOverTheTargetChannels() {
    Program program;
    NotePadWindow* editor = NewEditor(program, 9, 16);
    const std::vector<std::string> original = Lines(program, editor);
    Trigger(editor, "mnuEautoT");
    auto* dialog = program.window.findChild<QDialog*>("frmCh_edit");
    QVERIFY(dialog != nullptr);
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QCOMPARE(dialog->windowTitle(), QString("Auto Subtone"));
    QVERIFY(dialog->findChild<QLineEdit*>("Rx_freq0") == nullptr);
    QCOMPARE(Child<QComboBox>(dialog, "Rx_tone0")->currentIndex(), 1);
    auto* mode = Child<QComboBox>(dialog, "Rx_tone1");
    QCOMPARE(mode->count(), 2);
    QCOMPARE(mode->currentText(), QString("0  Identical"));
    auto* first = Child<QLineEdit>(dialog, "Rx_DTMF0");
    auto* last = Child<QLineEdit>(dialog, "Rx_DTMF1");
    QCOMPARE(first->text() + ".." + last->text(), QString("1..16"));

    TypeAndLeave(Child(dialog, "Rx_tone0"), "153");
    mode->setCurrentIndex(1);
    program.prompter.Expect(kIllegalChannel, Answer::Ok).Expect(kIllegalChannel, Answer::Ok);
    TypeAndLeave(last, "17", Qt::Key_Backtab);
    QCOMPARE(last->text(), QString("16"));
    QVERIFY(last->hasFocus());
    TypeAndLeave(first, "0");
    QCOMPARE(first->text(), QString("1"));
    TypeAndLeave(first, "13");
    QVERIFY_DONE(program.prompter);
    // The area boxes exclude each other.
    auto* txOnly = Child<QCheckBox>(dialog, "Check10");
    QCOMPARE(txOnly->text(), QString("Tx Only"));
    Child<QCheckBox>(dialog, "Check11")->click();
    txOnly->click();
    QVERIFY(!Child<QCheckBox>(dialog, "Check11")->isChecked());

    Child<QPushButton>(dialog, "Command1")->click();
    const auto& lines = Lines(program, editor);
    QCOMPARE(lines[11], original[11]);
    QStringList codes;
    for (int i = 12; i < 16; ++i) {
        codes << QString::fromStdString(lines[i].substr(41, 3));
        QCOMPARE(lines[i].substr(0, 29), original[i].substr(0, 29));  // Rx as it was
    }
    QCOMPARE(codes, QStringList({"153", "154", "001", "002"}));
    QVERIFY(program.state.workspace.At(editor->Slot()).state.Dirty);
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
    QTRY_VERIFY(program.window.findChild<QDialog*>("frmCh_edit") == nullptr);
}

void ChannelEditingTest::toolbarButtonsActOnTheActiveEditor() {
    Program program;
    const TempDir& dir = program.workFolder;  // the program's working folder
    const char* editorButtons[] = {"Save", "Print", "Cut", "Copy", "Paste", "Key"};
    const auto enabled = [&] {
        QStringList on;
        for (const char* key : editorButtons) {
            if (FindAction(&program.window, key)->isEnabled()) {
                on << key;
            }
        }
        return on;
    };
    QCOMPARE(enabled(), QStringList());
    NotePadWindow* editor = NewEditor(program, 9, 16);
    QCOMPARE(enabled(), QStringList({"Save", "Print", "Cut", "Copy", "Key"}));

    Select(editor, {0});
    Trigger(&program.window, "Copy");
    QCOMPARE(enabled(), QStringList({"Save", "Print", "Cut", "Copy", "Paste", "Key"}));
    Select(editor, {5});
    Trigger(&program.window, "Paste");
    QCOMPARE(Lines(program, editor)[5].substr(2), Lines(program, editor)[0].substr(2));
    Trigger(&program.window, "Cut");
    QCOMPARE(Lines(program, editor)[5], EmptyChannelLine(6));
    // A new configuration's Save writes Temp1.cfg into the working folder.
    Trigger(&program.window, "Save");
    QVERIFY(!program.state.workspace.At(editor->Slot()).state.Dirty);
    QVERIFY(std::filesystem::exists(dir.File("Temp1.cfg")));

    Trigger(editor, "mnuClose");
    QCOMPARE(enabled(), QStringList());
    QVERIFY(program.window.isVisible());
    QVERIFY_DONE(program.prompter);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::ChannelEditingTest)
#include "channel_editing_test.moc"
