#include "shell/ui_support.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>

#include "document/new_config.h"
#include "document/notepad_window.h"
#include "shell/qt_ports.h"

namespace petrel::test {

void FakeRadio::DetectPorts(ProgramState& state, Prompter&) {
    state.PortList = ports;
    state.PortCount = static_cast<int>(ports.size());
}

std::optional<int> FakeRadio::Transfer(ProgramState& state, int op, int activeSlot, Prompter&,
                                       StatusLine&, Clock&) {
    operations.push_back(op);
    activeSlots.push_back(activeSlot);
    return onTransfer ? onTransfer(state, op, activeSlot) : std::nullopt;
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

QAction* FindAction(QObject* owner, const char* name) {
    auto* action = owner->findChild<QAction*>(name);
    if (action == nullptr) {
        qFatal("no action named %s", name);
    }
    return action;
}

QMenu* FindMenu(QObject* owner, const char* name) {
    auto* menu = owner->findChild<QMenu*>(name);
    if (menu == nullptr) {
        qFatal("no menu named %s", name);
    }
    return menu;
}

QStringList MenuBarTitles(MainWindow& window) {
    QStringList titles;
    for (const QAction* action : window.menuBar()->actions()) {
        titles << action->text();
    }
    return titles;
}

NotePadWindow* NewEditor(Program& program, int band, int channels) {
    const int slot = BuildNewConfiguration(program.state, band, channels);
    program.window.EnableDownload();
    return program.window.OpenEditor(slot);
}

std::string ChangedQuestion(const std::string& base) {
    return "The data in [" + base + "] has changed.\n\rDo you want to save the changes?";
}

QStringList Titles(MainWindow& window) {
    QStringList titles;
    for (const NotePadWindow* editor : window.Editors()) {
        titles << editor->windowTitle();
    }
    return titles;
}

QStringList ListLines(QWidget* editor, bool trimmed) {
    QStringList lines;
    const auto* list = editor->findChild<QListWidget*>("lstClient");
    for (int i = 0; list != nullptr && i < list->count(); ++i) {
        lines << (trimmed ? list->item(i)->text().trimmed() : list->item(i)->text());
    }
    return lines;
}

}  // namespace petrel::test
