#pragma once

#include <iosfwd>
#include <string>

#include "core/ports/prompter.h"
#include "core/ports/status_line.h"

namespace petrel::cli {

// Answers message boxes by policy and prints their texts on the error stream.
class PolicyPrompter : public Prompter {
  public:
    explicit PolicyPrompter(std::ostream& err) : err_(err) {}
    Answer Ask(const Message& message) override;

    // How many "Try Again ?" questions may be answered Yes.
    int retries = 0;
    // Whether the other Yes/No questions (band crossed, channel warning) are answered Yes.
    // Questions that offer to try again ("Try Again ?", "Detect Again ?", Retry) only ever
    // take their answer from retries, so that no policy repeats without end.
    bool yes = false;

  private:
    std::ostream& err_;
};

// Keeps the status text; echoes it on the error stream when asked to, and draws the progress
// bar there when the stream is a terminal.
class TextStatusLine : public StatusLine {
  public:
    explicit TextStatusLine(std::ostream& err, bool echo = false) : err_(err), echo_(echo) {}
    void SetEcho(bool echo) { echo_ = echo; }
    void SetProgressBar(bool draw) { drawBar_ = draw; }

    void SetStatus(const std::string& text, int color, int fontSize) override;
    std::string Text() const override { return text_; }
    int Color() const override { return color_; }
    void ShowProgress(bool visible) override;
    void SetProgressRange(int maximum) override;
    void SetProgress(int value) override;

  private:
    void DrawBar();
    void EraseBar();

    std::ostream& err_;
    bool echo_;
    bool drawBar_ = false;
    std::string text_;
    int color_ = kStatusBlack;
    bool barVisible_ = false;
    bool barDrawn_ = false;
    int maximum_ = 0;
    int value_ = 0;
    int drawnPercent_ = -1;
};

// A message as a terminal shows it: the line breaks of message boxes become plain newlines.
std::string TerminalText(const std::string& text);

}  // namespace petrel::cli
