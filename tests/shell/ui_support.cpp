#include "shell/ui_support.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>

#include "shell/qt_ports.h"

namespace petrel::test {

UiPrompter& UiPrompter::Expect(std::string text, Answer answer) {
    script_.push_back({std::move(text), answer});
    return *this;
}

UiPrompter& UiPrompter::ExpectAny(Answer answer) {
    script_.push_back({std::nullopt, answer});
    return *this;
}

Answer UiPrompter::Ask(const Message& message) {
    asked_.push_back(message);
    if (onAsk) {
        onAsk(message);
    }
    if (script_.empty()) {
        failures_
            << QString("unexpected message: \"%1\"").arg(QString::fromStdString(message.text));
        return Answer::Cancel;
    }
    const Step step = script_.front();
    script_.pop_front();
    if (step.text && *step.text != message.text) {
        failures_ << QString("expected \"%1\", got \"%2\"")
                         .arg(QString::fromStdString(*step.text),
                              QString::fromStdString(message.text));
    }
    return step.answer;
}

QString UiPrompter::Report() const {
    QStringList lines = failures_;
    for (const Step& step : script_) {
        lines << QString("never asked: \"%1\"")
                     .arg(step.text ? QString::fromStdString(*step.text) : QString("(any)"));
    }
    return lines.join('\n');
}

UiFileChooser& UiFileChooser::Then(std::string name) {
    names_.push_back(std::move(name));
    return *this;
}

std::string UiFileChooser::AskOpenName() {
    if (names_.empty()) {
        ++unexpected;
        return {};
    }
    std::string name = names_.front();
    names_.pop_front();
    return name;
}

std::string UiFileChooser::AskSaveName(const std::string& proposedName) {
    proposed.push_back(proposedName);
    return AskOpenName();
}

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

Program::Program(RadioSeam* radio)
    : steadyClock(PumpEvents),
      window(state, prompter, chooser,
             radio != nullptr ? static_cast<Clock&>(steadyClock) : virtualClock,
             radio != nullptr ? *radio : fakeRadio) {
    // Help must never start a viewer from a test.
    window.SetHelpOpener([] { return false; });
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

QStringList ListLines(QWidget* editor) {
    QStringList lines;
    const auto* list = editor->findChild<QListWidget*>("lstClient");
    for (int i = 0; list != nullptr && i < list->count(); ++i) {
        lines << list->item(i)->text();
    }
    return lines;
}

}  // namespace petrel::test
