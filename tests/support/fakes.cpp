#include "support/fakes.h"

namespace petrel::test {

std::function<void(const std::string&)> reportUnexpected;

void ScriptedPrompter::Problem(const std::string& what) {
    problems_.push_back(what);
    if (reportUnexpected) {
        reportUnexpected(what);
    }
}

Answer ScriptedPrompter::Ask(const Message& message) {
    asked_.push_back(message);
    if (onAsk) {
        onAsk(message);
    }
    if (script_.empty()) {
        Problem("unexpected message: \"" + message.text + "\"");
        return Answer::Cancel;
    }
    const Step step = script_.front();
    script_.pop_front();
    if (step.text && *step.text != message.text) {
        Problem("expected \"" + *step.text + "\", got \"" + message.text + "\"");
    }
    return step.answer;
}

std::vector<std::string> ScriptedPrompter::Texts() const {
    std::vector<std::string> texts;
    for (const auto& message : asked_) {
        texts.push_back(message.text);
    }
    return texts;
}

std::string ScriptedPrompter::Report() const {
    std::string report;
    for (const auto& problem : problems_) {
        report += problem + '\n';
    }
    for (const Step& step : script_) {
        report += "never asked: \"" + step.text.value_or("(any)") + "\"\n";
    }
    return report;
}

std::string ScriptedFileChooser::AskOpenName() {
    if (names_.empty()) {
        ++unexpected;
        if (reportUnexpected) {
            reportUnexpected("unexpected file dialog");
        }
        return {};
    }
    std::string name = names_.front();
    names_.pop_front();
    return name;
}

std::string ScriptedFileChooser::AskSaveName(const std::string& proposedName) {
    proposed.push_back(proposedName);
    return AskOpenName();
}

}  // namespace petrel::test
