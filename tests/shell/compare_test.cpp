// The comparison window: the active configuration against a file and against the radio,
// double-click to the channel, compared again after an edit.
#include <QPushButton>
#include <QTreeWidget>

#include "shell/ui_support.h"
#include "ui/document/compare_window.h"

namespace petrel::test {

class CompareTest : public QObject {
    Q_OBJECT
  private slots:
    void aFileComparedAndAChannelChosenFromItsDifference();
    void theRadioIsOnlyReadForAComparison();
};

void CompareTest::aFileComparedAndAChannelChosenFromItsDifference() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program, 9, 16);
    const std::string saved = program.workFolder.File("shop.cfg");
    editor = SaveAndReopen(program, editor, saved);
    const std::string before = program.workFolder.File("before.cfg");
    std::filesystem::copy_file(saved, before);
    std::filesystem::copy_file(CompanionPath(saved), CompanionPath(before));
    editor->ApplyEdits({{2, ChannelLine(3, "446.006250", 1, "NONE", 0)}}, 0);

    // A file that does not open says so and shows nothing.
    program.chooser.Then(program.workFolder.File("none.cfg"));
    program.prompter.Expect("Can't open file: " + program.workFolder.File("none.cfg"), Answer::Ok);
    Trigger(editor, "mnuCompareWith");
    QVERIFY(ShownComparison(program) == nullptr);

    program.chooser.Then(before);
    Trigger(editor, "mnuCompareWith");
    CompareWindow* window = ShownComparison(program);
    QVERIFY(window != nullptr);
    QCOMPARE(window->windowTitle(), QString("Compare SHOP.CFG with before.cfg"));
    QCOMPARE(window->Lines(), QStringList({"CH 3 Rx Freq.: 446.006250 | 446.031250",
                                           "CH 3 Rx_CTCSS/DCS: 001=  67.0 | 000=  None",
                                           "CH 3 Tx Freq.: NONE | 446.031250"}));
    QCOMPARE(Child<QLabel>(window, "lblCompared")->text(),
             QString("3 differences of before.cfg from SHOP.CFG."));
    QCOMPARE(program.window.Editors().size(), 1);  // the file opened no editor

    // Double-click on a channel's difference selects that channel in the editor; the window
    // stays.
    auto* list = Child<QTreeWidget>(window, "lstDifferences");
    const QRect row = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(List(editor)->currentRow(), 2);
    QCOMPARE(List(editor)->selectedItems().size(), 1);
    QVERIFY(window->isVisible());
    // Return on a row does the same and leaves the window open too.
    List(editor)->setCurrentRow(9);
    QVERIFY(MakeActive(window));
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(0));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(List(editor)->currentRow(), 2);
    QVERIFY(window->isVisible());

    // Compared again after the edit is undone: the same.
    Trigger(editor, "mnuEUndo");
    Child<QPushButton>(window, "cmdCompareAgain")->click();
    QVERIFY(window->Lines().isEmpty());
    QCOMPARE(Child<QLabel>(window, "lblCompared")->text(),
             QString("No differences: SHOP.CFG and before.cfg are the same."));
    // Once the editor has gone there is nothing to compare.
    Trigger(editor, "mnuClose");
    Child<QPushButton>(window, "cmdCompareAgain")->click();
    QCOMPARE(Child<QLabel>(window, "lblCompared")->text(),
             QString("SHOP.CFG has been closed: nothing to compare."));
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QVERIFY_DONE(program.prompter);
}

void CompareTest::theRadioIsOnlyReadForAComparison() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program, 9, 16);
    program.fakeRadio.onTransfer = [](TransferOp) {
        TransferResult result;
        result.completed = true;
        result.read = ReadOfNewRadio(9, 99);
        return result;
    };
    Trigger(&program.window, "mnuCompareRadio");
    CompareWindow* window = ShownComparison(program);
    QVERIFY(window != nullptr);
    QCOMPARE(program.fakeRadio.operations, std::vector<TransferOp>{TransferOp::Upload});
    QCOMPARE(program.fakeRadio.documents, std::vector<const Document*>{nullptr});
    QCOMPARE(window->Lines().value(0), QString("Channels: 16 | 99"));
    QCOMPARE(program.window.Editors().size(), 1);
    QVERIFY(!Doc(program, editor).state.Dirty);

    // A radio that was not read shows nothing.
    window->close();
    program.fakeRadio.onTransfer = nullptr;
    Trigger(&program.window, "mnuCompareRadio");
    QVERIFY(ShownComparison(program) == nullptr);
    QVERIFY_DONE(program.prompter);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::CompareTest)
#include "compare_test.moc"
