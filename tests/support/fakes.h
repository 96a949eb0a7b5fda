#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ports/prompter.h"
#include "ports/status_line.h"

namespace petrel::test {

// Answers message boxes from a script and keeps every message asked. A message that the
// script did not expect fails the test.
class ScriptedPrompter : public Prompter {
  public:
    // Queue the answer to the next question.
    ScriptedPrompter& Then(Answer answer) {
        answers_.push_back(answer);
        return *this;
    }
    Answer Ask(const Message& message) override;

    const std::vector<Message>& Asked() const { return asked_; }
    std::vector<std::string> Texts() const;
    bool AllAnswered() const { return answers_.empty(); }

  private:
    std::deque<Answer> answers_;
    std::vector<Message> asked_;
};

// Returns scripted file names and records the proposed ones.
class ScriptedFileChooser : public FileChooser {
  public:
    ScriptedFileChooser& Then(std::string name) {
        names_.push_back(std::move(name));
        return *this;
    }
    std::string AskOpenName() override;
    std::string AskSaveName(const std::string& proposed) override;

    std::vector<std::string> proposed;

  private:
    std::deque<std::string> names_;
};

// Records what the status label and progress bar were told.
class RecordingStatusLine : public StatusLine {
  public:
    void SetStatus(const std::string& text, int color, int fontSize) override {
        text_ = text;
        color_ = color;
        fontSize_ = fontSize;
        history.push_back(text);
    }
    std::string Text() const override { return text_; }
    int Color() const override { return color_; }
    int FontSize() const { return fontSize_; }
    void ShowProgress(bool visible) override { progressVisible = visible; }
    void SetProgressRange(int maximum) override { progressMaximum = maximum; }
    void SetProgress(int value) override { progress.push_back(value); }

    std::vector<std::string> history;
    bool progressVisible = false;
    int progressMaximum = 0;
    std::vector<int> progress;

  private:
    std::string text_;
    int color_ = kStatusBlack;
    int fontSize_ = kStatusFontNormal;
};

}  // namespace petrel::test
