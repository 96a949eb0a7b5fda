#include "shell/ui_support.h"

#include <QAbstractButton>
#include <QDialog>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

#include "core/link/radio_backup.h"
#include "ui/alignment/hardware_alignment_dialog.h"
#include "ui/common/qt_ports.h"
#include "ui/document/compare_window.h"

namespace petrel::test {

const std::string kSimulator = PETREL_BINARY_DIR "/tools/radio-sim/petrel-radio-sim";

void FakeRadio::DetectSerialPorts(Prompter&) {}

TransferResult FakeRadio::Transfer(TransferOp op, const Document* doc, const std::string&,
                                   Prompter&, StatusLine&, Clock&) {
    operations.push_back(op);
    documents.push_back(doc);
    return onTransfer ? onTransfer(op) : TransferResult{};
}

RadioRead ReadOfNewRadio(int band, int channels) {
    Workspace scratch;
    const Document& doc = scratch.At(BuildNewConfiguration(scratch, band, channels));
    return {PackImage(doc), doc.info, band};
}

Program::Program(RadioSeam* radio, bool startUp, const QString& settingsFile)
    : settings(settingsFile.isEmpty() ? settingsDir.filePath("settings.ini") : settingsFile),
      steadyClock(PumpEvents),
      window(state, prompter, chooser,
             radio != nullptr ? static_cast<Clock&>(steadyClock) : virtualClock,
             radio != nullptr ? *radio : fakeRadio, settings) {
    // Help must never start a viewer from a test.
    window.SetHelpOpener([] { return false; });
    if (startUp) {
        window.StartUp();
    }
}

Program::~Program() = default;

void Click(QWidget* window, const char* button) {
    auto* target = Child<QAbstractButton>(window, button);
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(4, target->height() / 2));
}

void Retype(QWidget* box, const QString& text) {
    box->setFocus();
    if (auto* combo = qobject_cast<QComboBox*>(box)) {
        combo->lineEdit()->selectAll();
    } else if (auto* edit = qobject_cast<QLineEdit*>(box)) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
    }
    QTest::keyClicks(box, text);
}

QDialog* Shown(QObject* owner, const char* name) {
    for (QDialog* dialog : owner->findChildren<QDialog*>(QString::fromLatin1(name))) {
        if (dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

bool MakeActive(QWidget* window) {
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

void TypePassword(QDialog* dialog, const QString& text) {
    QTest::keyClicks(Child(dialog, "txtPassword"), text);
    QTest::keyClick(Child(dialog, "txtPassword"), Qt::Key_Return);
}

ConfigEditorWindow* NewEditor(Program& program, int band, int channels) {
    const int slot = BuildNewConfiguration(program.state.workspace, band, channels);
    program.window.EnableDownload();
    return program.window.OpenEditor(slot);
}

Document& Doc(Program& program, ConfigEditorWindow* editor) {
    return program.state.workspace.At(editor->Slot());
}

QListWidget* List(ConfigEditorWindow* editor) {
    return Child<QListWidget>(editor, "lstClient");
}

QStringList ListLines(ConfigEditorWindow* editor, bool trimmed) {
    QStringList lines;
    for (int i = 0; i < List(editor)->count(); ++i) {
        const QString line = List(editor)->item(i)->text();
        lines << (trimmed ? line.trimmed() : line);
    }
    return lines;
}

void Activate(Program& program, ConfigEditorWindow* editor) {
    program.window.Area().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(editor->parentWidget()));
}

void FocusList(ConfigEditorWindow* editor) {
    if (!MakeActive(editor->window())) {
        qWarning("the main window did not become active");
    }
    List(editor)->setFocus();
}

ConfigEditorWindow* SaveAndReopen(Program& program, ConfigEditorWindow* editor,
                                  const std::string& path) {
    program.chooser.Then(path).Then(path);
    Trigger(editor, "mnuSaveAs");
    Trigger(editor, "mnuClose");
    Trigger(&program.window, "Open");
    return program.window.ActiveEditor();
}

std::string ChangedQuestion(const std::string& base) {
    return "The data in [" + base + "] has changed.\n\rDo you want to save the changes?";
}

QStringList Titles(MainWindow& window) {
    QStringList titles;
    for (const ConfigEditorWindow* editor : window.Editors()) {
        titles << editor->windowTitle();
    }
    return titles;
}

std::vector<std::string> BackupFiles(Program& program) {
    std::vector<std::string> files;
    std::error_code none;  // no folder: no backups
    for (const auto& entry : std::filesystem::directory_iterator(
             program.workFolder.Path() / kBackupFolderName, none)) {
        if (entry.path().extension() == ".cfg") {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

CompareWindow* ShownComparison(Program& program) {
    CompareWindow* shown = nullptr;
    for (auto* window : program.window.findChildren<CompareWindow*>("frmCompare")) {
        shown = window->isVisible() ? window : shown;
    }
    return shown;
}

HardwareAlignmentDialog* OpenHard(Program& program, ConfigEditorWindow* editor) {
    Trigger(editor, "mnuTestHard");
    TypePassword(Shown(&program.window, "frmPassword"), "531948");
    return program.window.HardwareWindow();
}

}  // namespace petrel::test
