#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "document/program_state.h"
#include "ports/clock.h"
#include "ports/prompter.h"
#include "shell/main_window.h"
#include "shell/radio_seam.h"
#include "support/fakes.h"

class QAction;
class QMenu;
class QWidget;

// Fails the test unless every scripted message came, with the expected words, and no other.
#define QVERIFY_DONE(prompter) QVERIFY2((prompter).Done(), (prompter).Report().c_str())

namespace petrel::test {

// A radio link that does what the test says: its ports, and what a transfer does.
class FakeRadio : public RadioSeam {
  public:
    void DetectPorts(ProgramState& state, Prompter& prompter) override;
    std::optional<int> Transfer(ProgramState& state, int op, int activeSlot, Prompter& prompter,
                                StatusLine& status, Clock& clock) override;

    std::vector<int> ports;
    std::function<std::optional<int>(ProgramState&, int op, int activeSlot)> onTransfer;
    std::vector<int> operations;
    std::vector<int> activeSlots;
};

// One program under test: its state, scripted ports and main window. Every test makes its own.
// A real radio link needs real time: its time-outs are measured on the clock.
struct Program {
    explicit Program(RadioSeam* radio = nullptr);
    ~Program();

    ProgramState state;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    VirtualClock virtualClock;
    SteadyClock steadyClock;
    FakeRadio fakeRadio;
    MainWindow window;
};

// Controls by objectName, failing loudly when absent.
QAction* FindAction(QObject* owner, const char* name);
QMenu* FindMenu(QObject* owner, const char* name);
// The titles of the menus the main window's menu bar shows now.
QStringList MenuBarTitles(MainWindow& window);
// The lines of an editor's channel list.
QStringList ListLines(QWidget* editor);

}  // namespace petrel::test
