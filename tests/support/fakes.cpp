#include "support/fakes.h"

#include <gtest/gtest.h>

namespace petrel::test {

Answer ScriptedPrompter::Ask(const Message& message) {
    asked_.push_back(message);
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected message: " << message.text;
        return Answer::Cancel;
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::vector<std::string> ScriptedPrompter::Texts() const {
    std::vector<std::string> texts;
    for (const auto& message : asked_) {
        texts.push_back(message.text);
    }
    return texts;
}

std::string ScriptedFileChooser::AskOpenName() {
    if (names_.empty()) {
        ADD_FAILURE() << "unexpected Open dialog";
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
