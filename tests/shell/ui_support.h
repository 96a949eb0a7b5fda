#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "document/program_state.h"
#include "ports/clock.h"
#include "ports/prompter.h"
#include "shell/main_window.h"
#include "shell/radio_seam.h"

class QAction;
class QMenu;
class QWidget;

namespace petrel::test {

// Answers message boxes from a script and checks each one's exact text. Anything unexpected
// (a box not in the script, or other words) is kept as a failure for the test to report.
class UiPrompter : public Prompter {
  public:
    UiPrompter& Expect(std::string text, Answer answer);
    // The next box may say anything (its text is checked by the test itself).
    UiPrompter& ExpectAny(Answer answer);
    Answer Ask(const Message& message) override;

    // True when every expected box came and nothing else did.
    bool Done() const { return failures_.isEmpty() && script_.empty(); }
    QString Report() const;
    const std::vector<Message>& Asked() const { return asked_; }

    // Runs while a box is up: lets a test look at the windows at that moment.
    std::function<void(const Message&)> onAsk;

  private:
    struct Step {
        std::optional<std::string> text;
        Answer answer;
    };
    std::deque<Step> script_;
    std::vector<Message> asked_;
    QStringList failures_;
};

// File dialogs answered from a script; records the names proposed to Save.
class UiFileChooser : public FileChooser {
  public:
    UiFileChooser& Then(std::string name);
    std::string AskOpenName() override;
    std::string AskSaveName(const std::string& proposed) override;

    std::vector<std::string> proposed;
    int unexpected = 0;

  private:
    std::deque<std::string> names_;
};

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
    UiPrompter prompter;
    UiFileChooser chooser;
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
