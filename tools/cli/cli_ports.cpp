#include "cli_ports.h"

#include <algorithm>
#include <ostream>

#include "core/util/text.h"

namespace petrel::cli {

std::string TerminalText(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && i + 1 < text.size() && text[i + 1] == '\r') {
            ++i;  // the pair is one line break
        }
        result.push_back(text[i] == '\r' ? '\n' : text[i]);
    }
    return result;
}

Answer PolicyPrompter::Ask(const Message& message) {
    err_ << TerminalText(message.text) << '\n';
    switch (message.buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::RetryCancel:
            if (retries > 0) {
                --retries;
                return Answer::Retry;
            }
            return Answer::Cancel;
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            break;
    }
    const bool tryAgain = message.text.find("Try Again ?") != std::string::npos ||
                          message.text.find("Detect Again ?") != std::string::npos;
    if (tryAgain) {
        if (retries > 0) {
            --retries;
            return Answer::Yes;
        }
        return Answer::No;
    }
    return yes ? Answer::Yes : Answer::No;
}

void TextStatusLine::SetStatus(const std::string& text, int color, int) {
    text_ = text;
    color_ = color;
    if (echo_ && !Trim(text).empty()) {
        EraseBar();
        err_ << text << '\n';
        DrawBar();
    }
}

void TextStatusLine::ShowProgress(bool visible) {
    if (!visible) {
        EraseBar();
    }
    barVisible_ = visible;
    drawnPercent_ = -1;
    DrawBar();
}

void TextStatusLine::SetProgressRange(int maximum) {
    maximum_ = maximum;
    DrawBar();
}

void TextStatusLine::SetProgress(int value) {
    value_ = value;
    DrawBar();
}

void TextStatusLine::DrawBar() {
    constexpr int kWidth = 40;
    if (!drawBar_ || !barVisible_ || maximum_ <= 0) {
        return;
    }
    const int percent = std::clamp(value_, 0, maximum_) * 100 / maximum_;
    if (percent == drawnPercent_ && barDrawn_) {
        return;
    }
    const int filled = percent * kWidth / 100;
    err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << percent << "%"
         << std::flush;
    drawnPercent_ = percent;
    barDrawn_ = true;
}

void TextStatusLine::EraseBar() {
    if (barDrawn_) {
        err_ << "\r\033[K" << std::flush;
        barDrawn_ = false;
        drawnPercent_ = -1;
    }
}

}  // namespace petrel::cli
