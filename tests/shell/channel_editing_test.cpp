// The channel dialogs, the option list, the Edit menu and the editor's toolbar buttons, driven
// through the real windows under the offscreen platform: focus, keys, enabling and which
// document each one writes. What the lines hold is the core's and tested there.
#include <QClipboard>
#include <QGroupBox>
#include <QListWidget>

#include "shell/ui_support.h"

namespace petrel::test {

namespace {

const char* const kToneError = "Input Err! Maximun Number is 154";

void Select(ConfigEditorWindow* editor, std::initializer_list<int> rows) {
    FocusList(editor);
    List(editor)->clearSelection();
    for (int row : rows) {
        List(editor)->item(row)->setSelected(true);
    }
}

// The dialog an Enter on a line opens, active and ready for keys.
QDialog* OpenLine(Program& program, ConfigEditorWindow* editor, int row, const char* name) {
    List(editor)->setCurrentRow(row);
    QTest::keyClick(List(editor), Qt::Key_Return);
    QDialog* dialog = Shown(&program.window, name);
    if (dialog != nullptr && !MakeActive(dialog)) {
        qWarning("%s did not become active", name);
    }
    return dialog;
}

// Types into a box and leaves it with a key; the check on leaving runs after that.
void TypeAndLeave(QWidget* box, const QString& text, Qt::Key leave = Qt::Key_Tab) {
    Retype(box, text);
    QTest::keyClick(box, leave);
    QTest::qWait(1);
}

}  // namespace

class ChannelEditingTest : public QObject {
    Q_OBJECT
  private slots:
    void channelTypedThroughTheDialogsKeys();
    void fixedChannelPickedOnBand9WithEnterThroughTheControls();
    void toneFillOverTheTargetChannels();
    void clipboardKeysAndToolbarActOnTheActiveWindow();
    void optionsAppliedWithTheirAuthorizationAndShown();
};

void ChannelEditingTest::channelTypedThroughTheDialogsKeys() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program, 6, 16);
    auto* timer = Child<QTimer>(&program.window, "Timer1");
    QDialog* dialog = OpenLine(program, editor, 2, "frmCh_edit");
    QVERIFY(dialog != nullptr && !dialog->isModal());
    QVERIFY(!timer->isActive());

    auto* rx = Child<QLineEdit>(dialog, "Rx_freq0");
    auto* tx = Child<QLineEdit>(dialog, "Rx_freq1");
    auto* rxTone = Child<QComboBox>(dialog, "Rx_tone0");
    QVERIFY(rx->hasFocus());
    QTest::keyClicks(rx, "446006");
    QCOMPARE(rx->text(), QString("446.006250"));
    // Enter goes on to the tone of the same side; a tone that is no item keeps the focus.
    QTest::keyClick(rx, Qt::Key_Return);
    QVERIFY(rxTone->hasFocus());
    // A tone by value is taken as well; a value the table lacks is refused like a number.
    QVERIFY(rxTone->toolTip().contains("D023"));
    program.prompter.Expect(kToneError, Answer::Ok);
    TypeAndLeave(rxTone, "155");
    QVERIFY(rxTone->hasFocus());
    TypeAndLeave(rxTone, "88.5");
    QCOMPARE(rxTone->currentIndex(), 8);
    QVERIFY_DONE(program.prompter);
    // A tone typed and TX=RX clicked straight away: the Tx side gets the tone typed.
    Retype(rxTone, "33");
    Click(dialog, "Check10");
    QCOMPARE(Child<QComboBox>(dialog, "Rx_tone1")->currentIndex(), 33);
    QCOMPARE(tx->text(), QString("446.006250"));

    // A paste goes through the box's rules and the status names a bad step; the caret goes where
    // the mouse puts it, and Backspace at the end erases the 1 kHz digit.
    tx->setFocus();
    QTest::keyClicks(tx, "4");
    QApplication::clipboard()->setText("446.0043");
    QTest::keyClick(tx, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(tx->text(), QString("446.004000"));
    QCOMPARE(program.window.Status().Text(), std::string("Tx Freqency in Bad Step !"));
    QTest::mouseClick(tx, Qt::LeftButton, {}, QPoint(tx->width() - 4, tx->height() / 2));
    QTest::keyClick(tx, Qt::Key_Backspace);
    QCOMPARE(tx->text(), QString("446.000000"));
    // RX ONLY takes the transmitter away and clears TX=RX.
    Click(dialog, "Check10");
    Click(dialog, "Check11");
    QVERIFY(!Child<QCheckBox>(dialog, "Check10")->isChecked());
    QCOMPARE(tx->text(), QString("NONE"));

    Click(dialog, "Command1");
    const std::string written = ChannelLine(3, "446.006250", 33, "NONE", 0);
    QCOMPARE(Doc(program, editor).lines[2], written);
    QCOMPARE(List(editor)->selectedItems(), QList<QListWidgetItem*>{List(editor)->item(2)});
    QVERIFY(Doc(program, editor).state.Dirty);
    QTRY_VERIFY(program.window.findChild<QDialog*>("frmCh_edit") == nullptr);
    QVERIFY(timer->isActive());
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));

    // Escape is CANCEL: it writes nothing and checks the list.
    dialog = OpenLine(program, editor, 0, "frmCh_edit");
    QTest::keyClicks(Child(dialog, "Rx_freq0"), "5");
    program.window.Status().SetStatus("stale", 0, 12);
    QTest::keyClick(Child(dialog, "Rx_tone0"), Qt::Key_Escape);
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
    QCOMPARE(Doc(program, editor).lines[0], EmptyChannelLine(1));
    QVERIFY_DONE(program.prompter);
}

void ChannelEditingTest::fixedChannelPickedOnBand9WithEnterThroughTheControls() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program, 9, 16);
    const QPoint line10 = List(editor)->visualItemRect(List(editor)->item(9)).center();
    QTest::mouseClick(List(editor)->viewport(), Qt::LeftButton, {}, line10);
    QTest::mouseDClick(List(editor)->viewport(), Qt::LeftButton, {}, line10);
    QDialog* dialog = Shown(&program.window, "frmChOp");
    QVERIFY(dialog != nullptr && Shown(&program.window, "frmCh_edit") == nullptr);
    QVERIFY(MakeActive(dialog));

    // Enter walks the controls; the tone typed is checked when Enter leaves its box.
    auto* rxFreq = Child<QComboBox>(dialog, "cboRxFreq");
    QVERIFY(rxFreq->hasFocus());
    QTest::keyClick(rxFreq, Qt::Key_Down);
    QTest::keyClick(rxFreq, Qt::Key_Down);
    QTest::keyClick(rxFreq, Qt::Key_Return);
    QVERIFY(Child(dialog, "cboRxCTCSS")->hasFocus());
    TypeAndLeave(Child(dialog, "cboRxCTCSS"), "d023", Qt::Key_Return);
    QCOMPARE(Child<QComboBox>(dialog, "cboRxCTCSS")->currentIndex(), 51);
    QVERIFY(Child(dialog, "cboTxFreq")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(Child(dialog, "chkTxRxFreq")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(Child(dialog, "cmdOK")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    QCOMPARE(Doc(program, editor).lines[9], ChannelLine(10, "446.018750", 51, "446.018750", 51));
    QVERIFY(Doc(program, editor).state.Dirty);
    QTRY_VERIFY(Shown(&program.window, "frmChOp") == nullptr);
    QVERIFY_DONE(program.prompter);
}

void ChannelEditingTest::toneFillOverTheTargetChannels() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program, 9, 16);
    const std::vector<std::string> original = Doc(program, editor).lines;
    // Opened while a blinking message is hidden, the fill shows the status label again.
    auto* label = Child<QLabel>(&program.window, "labErrMsg");
    program.window.Status().SetStatus("Channel #3 Range Out !", kStatusRed, kStatusFontLarge);
    program.window.Status().Blink();
    QVERIFY(label->isHidden());
    Trigger(editor, "mnuEautoT");
    QDialog* dialog = Shown(&program.window, "frmCh_edit");
    QVERIFY(dialog != nullptr);
    QVERIFY(MakeActive(dialog));
    QVERIFY(!label->isHidden());
    QVERIFY(dialog->findChild<QLineEdit*>("Rx_freq0") == nullptr);  // tones only
    auto* first = Child<QLineEdit>(dialog, "Rx_DTMF0");
    auto* last = Child<QLineEdit>(dialog, "Rx_DTMF1");

    TypeAndLeave(Child(dialog, "Rx_tone0"), "153");
    Child<QComboBox>(dialog, "Rx_tone1")->setCurrentIndex(1);  // continual
    // A target outside the channels is put back and keeps the focus.
    program.prompter.Expect("Not a legal channel number,please input again", Answer::Ok);
    TypeAndLeave(last, "17", Qt::Key_Backtab);
    QCOMPARE(last->text(), QString("16"));
    QVERIFY(last->hasFocus());
    TypeAndLeave(first, "13");
    QVERIFY_DONE(program.prompter);
    // The area boxes exclude each other.
    Click(dialog, "Check11");
    Click(dialog, "Check10");  // Tx Only
    QVERIFY(!Child<QCheckBox>(dialog, "Check11")->isChecked());

    Click(dialog, "Command1");
    const auto& lines = Doc(program, editor).lines;
    QCOMPARE(lines[11], original[11]);
    QCOMPARE(lines[12].substr(0, 44), original[12].substr(0, 41) + "153");
    QVERIFY(Doc(program, editor).state.Dirty);
    QCOMPARE(program.window.Status().Text(), std::string("ALL Channels In Range"));
    QTRY_VERIFY(program.window.findChild<QDialog*>("frmCh_edit") == nullptr);
}

void ChannelEditingTest::clipboardKeysAndToolbarActOnTheActiveWindow() {
    Program program;
    const auto enabled = [&] {
        QStringList on;
        for (const char* key : {"Save", "Print", "Cut", "Copy", "Paste", "Key"}) {
            if (Child<QAction>(&program.window, key)->isEnabled()) {
                on << key;
            }
        }
        return on;
    };
    QCOMPARE(enabled(), QStringList());
    ConfigEditorWindow* second = NewEditor(program, 10, 16);
    ConfigEditorWindow* first = NewEditor(program, 9, 16);
    QCOMPARE(enabled(), QStringList({"Save", "Print", "Cut", "Copy", "Key"}));
    const std::vector<std::string> original = Doc(program, first).lines;
    QApplication::clipboard()->setText("before ");

    // Ctrl+C adds the lines to the system clipboard and enables Paste; in another window when
    // its Edit menu opens.
    Select(first, {1, 3});
    QTest::keyClick(List(first), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text().toStdString(),
             "before " + original[1] + "\n" + original[3] + "\n");
    QCOMPARE(enabled(), QStringList({"Save", "Print", "Cut", "Copy", "Paste", "Key"}));
    QVERIFY(!Child<QAction>(second, "mnuEPaste")->isEnabled());
    emit Child<QMenu>(second, "mnuEdit")->aboutToShow();
    QVERIFY(Child<QAction>(second, "mnuEPaste")->isEnabled());

    // Ctrl+V into the other window: its lines and list, dirty, and its check says the PMR
    // frequencies are outside the Korean band.
    Activate(program, second);
    Select(second, {14});
    QTest::keyClick(List(second), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Doc(program, second).lines[15], "16" + original[3].substr(2));
    QCOMPARE(ListLines(second)[15].toStdString(), Doc(program, second).lines[15]);
    QVERIFY(Doc(program, second).state.Dirty);
    QCOMPARE(program.window.Status().Text(), std::string("Channel #15 Range Out !"));

    // The toolbar acts on the active window: Cut empties the lines it copies, Paste puts them
    // back elsewhere; Delete also clears the system clipboard.
    Activate(program, first);
    Select(first, {0});
    Trigger(&program.window, "Cut");
    QCOMPARE(program.state.shell.ClipLines, std::vector<std::string>{original[0].substr(2)});
    QCOMPARE(Doc(program, first).lines[0], EmptyChannelLine(1));
    Select(first, {5});
    Trigger(&program.window, "Paste");
    QCOMPARE(Doc(program, first).lines[5].substr(2), original[0].substr(2));
    Select(first, {4});
    QTest::keyClick(List(first), Qt::Key_Delete);
    QCOMPARE(Doc(program, first).lines[4], EmptyChannelLine(5));
    QCOMPARE(QApplication::clipboard()->text(), QString());
    // A new configuration's Save writes its name into the working folder.
    Trigger(&program.window, "Save");
    QVERIFY(!Doc(program, first).state.Dirty);
    QVERIFY(std::filesystem::exists(program.workFolder.File("Temp2.cfg")));

    Trigger(first, "mnuClose");  // the other becomes TEMP1
    program.prompter.Expect(ChangedQuestion("TEMP1"), Answer::No);
    Trigger(second, "mnuClose");
    QCOMPARE(enabled(), QStringList());
    QVERIFY_DONE(program.prompter);
}

void ChannelEditingTest::optionsAppliedWithTheirAuthorizationAndShown() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program);
    Document& doc = Doc(program, editor);
    doc.lines[1] = EmptyChannelLine(2);  // no Rx: not listed
    Trigger(editor, "mnuOpCH");
    auto* list = Child<QListWidget>(Shown(editor, "frmCHoption"), "lstCHoption");
    QCOMPARE(list->count(), 7);
    // The fixed-pitch list is wide enough for its lines.
    QVERIFY(QFontMetrics(list->font()).horizontalAdvance(list->item(0)->text()) <
            list->viewport()->width());
    const auto editOptions = [&](int row) {
        list->setCurrentRow(row);
        QTest::keyClick(list, Qt::Key_Return);
        return Shown(list->parentWidget(), "frmSetChOP");
    };

    // Without the RF power authorization its frame is disabled; CANCL changes nothing.
    QDialog* options = editOptions(1);
    QVERIFY(options != nullptr && !options->isModal());
    QVERIFY(!Child(options, "fraChOption1")->isEnabled());
    QVERIFY(Child(options, "fraChOption3")->isEnabled());
    Click(options, "optChOption4");
    Click(options, "cmdOkBT1");
    QTRY_VERIFY(Shown(list->parentWidget(), "frmSetChOP") == nullptr);
    QCOMPARE(doc.state.ChOption[2], 0x02);
    QVERIFY(!doc.state.Dirty);

    // With it, all six go on; Return is OK: the line changes and is selected, the document dirty.
    program.state.authorization.TxPowerAuth = true;
    options = editOptions(1);
    QVERIFY(Child(options, "fraChOption1")->isEnabled());
    for (const char* name :
         {"optChOption2", "optChOption4", "optChOption6", "OptAuto", "optChOption8"}) {
        Click(options, name);
    }
    list->setCurrentRow(0);
    QTest::keyClick(options, Qt::Key_Return);
    const QString allOn = "03 12.5K   H    ON   AUTO  ON";
    QCOMPARE(list->item(1)->text(), allOn);
    QCOMPARE(list->currentRow(), 1);
    QVERIFY(doc.state.Dirty);
    QVERIFY_DONE(program.prompter);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::ChannelEditingTest)
#include "channel_editing_test.moc"
