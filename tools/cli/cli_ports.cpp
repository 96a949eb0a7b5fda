#include "cli_ports.h"

#include <ostream>

#include "util/text.h"

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
    const bool tryAgain = message.text.find("Try Again ?") != std::string::npos;
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
        err_ << text << '\n';
    }
}

}  // namespace petrel::cli
