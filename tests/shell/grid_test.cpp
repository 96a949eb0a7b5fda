// The channel grid in an editor: the view switch, in-place edits under the dialogs' rules,
// many rows at once, fill down, undo, copy and paste.
#include <QClipboard>
#include <QComboBox>
#include <QPushButton>
#include <QTableView>
#include <QUndoStack>

#include "core/channels/channel_grid.h"
#include "shell/ui_support.h"
#include "ui/editor/channel_grid_view.h"
#include "ui/editor/channel_import_dialog.h"

namespace petrel::test {

class GridTest : public QObject {
    Q_OBJECT
  private slots:
    void theViewSwitchesAndIsRemembered();
    void cellsAreEditedInPlaceUnderTheDialogsRules();
    void manyRowsFillDownCopyAndPasteAreOneStepEach();
};

namespace {

// A band 12 configuration (440 ~ 470 MHz) of 8 channels, each on 446.5 MHz, in the grid.
ConfigEditorWindow* GridEditor(Program& program) {
    ConfigEditorWindow* editor = NewEditor(program, 12, 8);
    LineEdits lines;
    for (int i = 0; i < 8; ++i) {
        lines.push_back({i, ChannelLine(i + 1, "446.500000", 0, "446.500000", 0)});
    }
    editor->ApplyEdits(lines);
    editor->UndoStack().clear();
    editor->ShowGrid(true);
    return editor;
}

QTableView* GridOf(ConfigEditorWindow* editor) {
    return Child<QTableView>(editor, "grdChannels");
}

QModelIndex Cell(ConfigEditorWindow* editor, int row, GridColumn column) {
    return GridOf(editor)->model()->index(row, static_cast<int>(column));
}

// Selects the cells of one column over rows first..last, the first one current.
void SelectColumn(ConfigEditorWindow* editor, int first, int last, GridColumn column) {
    QItemSelectionModel* selection = GridOf(editor)->selectionModel();
    selection->setCurrentIndex(Cell(editor, first, column), QItemSelectionModel::ClearAndSelect);
    selection->select(QItemSelection(Cell(editor, first, column), Cell(editor, last, column)),
                      QItemSelectionModel::Select);
}

// Types into the current cell (typing starts the edit) and ends it with key.
void TypeIntoCell(ConfigEditorWindow* editor, const QString& text,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTableView* grid = GridOf(editor);
    QTest::keyClicks(grid, text.left(1));
    QWidget* cell = QApplication::focusWidget();
    QVERIFY(cell != nullptr && cell != grid);
    QTest::keyClicks(cell, text.mid(1));
    QTest::keyClick(cell, Qt::Key_Return, modifiers);
    QCoreApplication::processEvents();  // the delegate commits a plain Return queued
}

}  // namespace

void GridTest::theViewSwitchesAndIsRemembered() {
    Program program;
    ConfigEditorWindow* editor = NewEditor(program, 9, 16);
    QVERIFY(List(editor)->isVisibleTo(editor));
    List(editor)->setCurrentRow(4);
    Trigger(editor, "mnuViewGrid");
    QVERIFY(editor->GridShown() && !List(editor)->isVisibleTo(editor));
    QCOMPARE(GridOf(editor)->currentIndex().row(), 4);  // the same channel
    QVERIFY(Child<QAction>(editor, "mnuViewGrid")->isChecked());
    QCOMPARE(GridOf(editor)->model()->headerData(9, Qt::Horizontal).toString(),
             QString("Beat shift"));
    QVERIFY(program.settings.ChannelGrid());
    // The next editor opens in the grid; Ctrl+G goes back to the list, and that is remembered.
    ConfigEditorWindow* next = NewEditor(program, 9, 16);
    QVERIFY(next->GridShown());
    QVERIFY(MakeActive(&program.window));
    GridOf(next)->setFocus();
    QTest::keyClick(GridOf(next), Qt::Key_G, Qt::ControlModifier);
    QVERIFY(!next->GridShown() && List(next)->isVisibleTo(next));
    QVERIFY(!program.settings.ChannelGrid());
    QVERIFY_DONE(program.prompter);
}

void GridTest::cellsAreEditedInPlaceUnderTheDialogsRules() {
    Program program;
    ConfigEditorWindow* editor = GridEditor(program);
    QVERIFY(MakeActive(&program.window));
    Document& doc = Doc(program, editor);
    QTableView* grid = GridOf(editor);
    grid->setFocus();

    // The frequency box's completion onto the raster, written to the document and the list.
    grid->setCurrentIndex(Cell(editor, 0, GridColumn::RxFreq));
    TypeIntoCell(editor, "446018");
    QCOMPARE(doc.lines[0].substr(0, 16), std::string("1   446.018750  "));
    QCOMPARE(ListLines(editor)[0].left(14), QString("1   446.018750"));
    QCOMPARE(editor->UndoStack().count(), 1);

    // A refusal leaves the cell as it was, with the message in the status line and the cell's
    // tool tip.
    const std::string refusal = "Channel 2: Rx Freqency in Bad Step !";
    grid->setCurrentIndex(Cell(editor, 1, GridColumn::RxFreq));
    TypeIntoCell(editor, "446004");
    QCOMPARE(doc.lines[1].substr(4, 10), std::string("446.500000"));
    QCOMPARE(program.window.Status().Text(), refusal);
    QCOMPARE(Cell(editor, 1, GridColumn::RxFreq).data(Qt::ToolTipRole).toString(),
             QString::fromStdString(refusal));
    // A tone typed by value; an option picked by its word.
    grid->setCurrentIndex(Cell(editor, 1, GridColumn::TxTone));
    TypeIntoCell(editor, "D023");
    QCOMPARE(Cell(editor, 1, GridColumn::TxTone).data().toString(), QString("051=  023"));
    grid->setCurrentIndex(Cell(editor, 1, GridColumn::Power));
    QVERIFY(!(grid->model()->flags(grid->currentIndex()) & Qt::ItemIsEditable));
    QCOMPARE(editor->UndoStack().count(), 2);

    // Editing a frequency of band 12 lifted the frequency lock, as opening its channel dialog
    // does. Set again, the PMR band's cells offer the band's channels.
    QVERIFY(!program.state.authorization.FreqLock);
    program.state.authorization.FreqLock = true;
    ConfigEditorWindow* pmr = NewEditor(program, 9, 16);
    pmr->ShowGrid(true);
    QTableView* pmrGrid = GridOf(pmr);
    pmrGrid->setCurrentIndex(Cell(pmr, 0, GridColumn::TxFreq));
    pmrGrid->edit(pmrGrid->currentIndex());
    auto* table = pmrGrid->findChild<QComboBox*>("cboGridCell");
    QVERIFY(table != nullptr);
    QCOMPARE(table->count(), 9);
    table->setCurrentIndex(8);
    QTest::keyClick(table, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(Doc(program, pmr).lines[0].substr(29, 10), std::string("446.093750"));
    QVERIFY(program.state.authorization.FreqLock);
    QVERIFY_DONE(program.prompter);
}

void GridTest::manyRowsFillDownCopyAndPasteAreOneStepEach() {
    Program program;
    ConfigEditorWindow* editor = GridEditor(program);
    QVERIFY(MakeActive(&program.window));
    Document& doc = Doc(program, editor);
    QTableView* grid = GridOf(editor);
    grid->setFocus();

    // A value typed with Ctrl+Return goes on every selected row.
    SelectColumn(editor, 0, 3, GridColumn::RxTone);
    TypeIntoCell(editor, "88.5", Qt::ControlModifier);
    for (int row = 0; row < 4; ++row) {
        QCOMPARE(Cell(editor, row, GridColumn::RxTone).data().toString(), QString("008=  88.5"));
    }
    QCOMPARE(Cell(editor, 4, GridColumn::RxTone).data().toString(), QString("000=  None"));
    QCOMPARE(editor->UndoStack().count(), 1);

    // Ctrl+D: the first row's cell down the selection.
    doc.lines[5] = ChannelLine(6, "446.750000", 0, "446.500000", 0);
    SelectColumn(editor, 5, 7, GridColumn::RxFreq);
    QTest::keyClick(grid, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(doc.lines[7].substr(4, 10), std::string("446.750000"));
    QCOMPARE(editor->UndoStack().count(), 2);

    // Each is one undo step.
    editor->UndoStack().undo();
    QCOMPARE(doc.lines[7].substr(4, 10), std::string("446.500000"));
    editor->UndoStack().undo();
    QCOMPARE(Cell(editor, 3, GridColumn::RxTone).data().toString(), QString("000=  None"));
    editor->UndoStack().redo();

    // Whole rows copy as tab-separated text with the CSV columns' names, and paste back on the
    // current row through the import as one step.
    grid->selectionModel()->clearSelection();
    grid->selectRow(0);
    grid->selectionModel()->select(grid->model()->index(1, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    Trigger(editor, "mnuECopy");
    const QString copied = QGuiApplication::clipboard()->text();
    QVERIFY(copied.startsWith("Location\tName\tFrequency\t"));
    grid->setCurrentIndex(Cell(editor, 6, GridColumn::RxFreq));
    const int steps = editor->UndoStack().index();
    Trigger(editor, "mnuEPaste");
    QCOMPARE(doc.lines[6], RenumberLine(7, doc.lines[0]));
    QCOMPARE(doc.lines[7], RenumberLine(8, doc.lines[1]));
    QCOMPARE(editor->UndoStack().index(), steps + 1);

    // A row the band cannot hold brings the import's report; Cancel changes nothing.
    QGuiApplication::clipboard()->setText("Location\tFrequency\n1\t430.0\n");
    const std::vector<std::string> before = doc.lines;
    QString reportTitle;
    WhenShown<ChannelImportDialog>([&](ChannelImportDialog* report) {
        reportTitle = report->windowTitle();
        Child<QPushButton>(report, "cmdCancel")->click();
    });
    Trigger(editor, "mnuEPaste");
    QCOMPARE(reportTitle, QString("Import Channels from the clipboard"));
    QCOMPARE(doc.lines, before);
    QCOMPARE(editor->UndoStack().index(), steps + 1);

    // Delete empties the selected channels, as the list's Delete does.
    SelectColumn(editor, 2, 3, GridColumn::TxTone);
    Trigger(editor, "mnuEDelete");
    QCOMPARE(doc.lines[2], EmptyChannelLine(3));
    QCOMPARE(doc.lines[3], EmptyChannelLine(4));
    QCOMPARE(editor->UndoStack().index(), steps + 2);
    QVERIFY_DONE(program.prompter);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::GridTest)
#include "grid_test.moc"
