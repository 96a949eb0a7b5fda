#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/prompter.h"
#include "core/ports/status_line.h"

namespace petrel::test {

// Where the scripted ports report a call they did not expect. The GoogleTest main makes it a
// test failure; the Qt tests leave it empty and check Done() instead.
extern std::function<void(const std::string&)> reportUnexpected;

// Answers message boxes from a script and keeps every message asked. A message the script did
// not expect, or with other words than expected, is a problem.
class ScriptedPrompter : public Prompter {
  public:
    // Queue the answer to the next message, whatever it says.
    ScriptedPrompter& Then(Answer answer) { return Expect(std::nullopt, answer); }
    // Queue the answer to the next message, which must say text.
    ScriptedPrompter& Expect(std::optional<std::string> text, Answer answer) {
        script_.push_back({std::move(text), answer});
        return *this;
    }
    Answer Ask(const Message& message) override;

    const std::vector<Message>& Asked() const { return asked_; }
    std::vector<std::string> Texts() const;
    // Every scripted message came with its words and nothing else came.
    bool Done() const { return problems_.empty() && script_.empty(); }
    std::string Report() const;

    // Runs while a message is up: lets a test look at the program at that moment.
    std::function<void(const Message&)> onAsk;

  private:
    struct Step {
        std::optional<std::string> text;
        Answer answer;
    };
    void Problem(const std::string& what);

    std::deque<Step> script_;
    std::vector<Message> asked_;
    std::vector<std::string> problems_;
};

// Returns scripted file names and records the proposed ones; an unscripted dialog is cancelled
// and counted.
class ScriptedFileChooser : public FileChooser {
  public:
    ScriptedFileChooser& Then(std::string name) {
        names_.push_back(std::move(name));
        return *this;
    }
    std::string AskOpenName() override;
    std::string AskSaveName(const std::string& proposed) override;
    std::string AskImportName() override { return AskOpenName(); }
    std::string AskExportName(const std::string& proposed) override {
        return AskSaveName(proposed);
    }
    std::string AskPdfName(const std::string& proposed) override { return AskSaveName(proposed); }

    std::vector<std::string> proposed;
    int unexpected = 0;

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
