#pragma once

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/document/config_file.h"
#include "core/document/new_config.h"
#include "core/model/channel_line.h"
#include "core/ports/clock.h"
#include "core/ports/prompter.h"
#include "core/shell/program_state.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "ui/common/user_settings.h"
#include "ui/editor/config_editor_window.h"
#include "ui/link/radio_seam.h"
#include "ui/shell/main_window.h"
#include "ui/shell/status_area.h"

// Fails the test unless every scripted message came, with the expected words, and no other.
#define QVERIFY_DONE(prompter) QVERIFY2((prompter).Done(), (prompter).Report().c_str())

namespace petrel {
class CompareWindow;
class HardwareAlignmentDialog;
}  // namespace petrel

namespace petrel::test {

// A radio link without ports whose transfers do what the test says.
class FakeRadio : public RadioSeam {
  public:
    void DetectSerialPorts(Prompter& prompter) override;
    TransferResult Transfer(TransferOp op, const Document* doc, const std::string& caption,
                            Prompter& prompter, StatusLine& status, Clock& clock) override;

    std::function<TransferResult(TransferOp op)> onTransfer;
    std::vector<TransferOp> operations;
    std::vector<const Document*> documents;  // what each was to write
};

// What an Upload of a radio holding a new configuration of band and channels brings.
RadioRead ReadOfNewRadio(int band, int channels);

// One program under test: its state, scripted ports and main window, started up unless the test
// has to script the start-up first. Every test makes its own. A real radio link needs real
// time: its time-outs are measured on the clock. Its settings are fresh ones of its own, or
// those in settingsFile (a program started again); its working folder is a fresh one (radio
// backups go there).
struct Program {
    explicit Program(RadioSeam* radio = nullptr, bool startUp = true,
                     const QString& settingsFile = {});
    ~Program();

    TempDir workFolder;
    ScopedWorkingDir inWorkFolder{workFolder.Path()};
    QTemporaryDir settingsDir;
    UserSettings settings;
    ProgramState state;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    VirtualClock virtualClock;
    SteadyClock steadyClock;
    FakeRadio fakeRadio;
    MainWindow window;
};

// The simulated radio program of this build.
extern const std::string kSimulator;

// A control by objectName, failing loudly when absent.
template <typename T = QWidget>
T* Child(QObject* owner, const char* name) {
    auto* child = owner->findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) {
        qFatal("no %s in %s", name, qPrintable(owner->objectName()));
    }
    return child;
}
inline void Trigger(QObject* owner, const char* action) {
    Child<QAction>(owner, action)->trigger();
}
// A mouse click near the left edge, where a check or radio button has its box.
void Click(QWidget* window, const char* button);
// Replaces a box's text by typing.
void Retype(QWidget* box, const QString& text);
// The visible dialog of that name (closed ones linger until deleted), or none.
QDialog* Shown(QObject* owner, const char* name);
// The window made active, as keys need it; false when it did not become active.
bool MakeActive(QWidget* window);
// A password typed into a password dialog's box and confirmed with Return.
void TypePassword(QDialog* dialog, const QString& text);

// A new configuration opened in an editor, as the new-radio dialog's OK does.
ConfigEditorWindow* NewEditor(Program& program, int band = 9, int channels = 16);
Document& Doc(Program& program, ConfigEditorWindow* editor);
QListWidget* List(ConfigEditorWindow* editor);
// The lines of an editor's channel list, each trimmed when asked: a new configuration's lines
// end after the last description, unpacked ones pad it.
QStringList ListLines(ConfigEditorWindow* editor, bool trimmed = false);
void Activate(Program& program, ConfigEditorWindow* editor);
// The editor's window active and its list focused, as the Edit keys need.
void FocusList(ConfigEditorWindow* editor);
// Saves the editor under path, closes it and opens the file again.
ConfigEditorWindow* SaveAndReopen(Program& program, ConfigEditorWindow* editor,
                                  const std::string& path);
// The question before a changed document named base closes.
std::string ChangedQuestion(const std::string& base);
// The editors' window titles, in slot order.
QStringList Titles(MainWindow& window);
// The radio backups kept in the program's working folder, sorted by path.
std::vector<std::string> BackupFiles(Program& program);
// The comparison window showing, or none.
CompareWindow* ShownComparison(Program& program);
// Configure > Hardware Tuner and its password on an editor: the hardware window.
HardwareAlignmentDialog* OpenHard(Program& program, ConfigEditorWindow* editor);
// Runs check on the first modal dialog of type T once it is up (check closes it).
template <typename T>
void WhenShown(std::function<void(T*)> check) {
    QTimer::singleShot(0, [check] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            QTimer::singleShot(10, [check] { WhenShown<T>(check); });
            return;
        }
        check(dialog);
    });
}

}  // namespace petrel::test
