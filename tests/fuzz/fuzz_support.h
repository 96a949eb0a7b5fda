#pragma once

// What the fuzz harnesses share: a message box that answers by policy and a check that stops
// the run so that the fuzzer keeps the input. Their status line is the tests' recording one.

#include <cstdio>
#include <cstdlib>

#include "core/ports/prompter.h"
#include "support/fakes.h"

namespace petrel::fuzz {

inline void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Says Yes (Retry, OK) to the first `yes` questions and No (Cancel) to every later one.
class PolicyPrompter : public Prompter {
  public:
    explicit PolicyPrompter(int yes = 0) : yes_(yes) {}
    Answer Ask(const Message& message) override {
        const bool agree = asked_++ < yes_;
        switch (message.buttons) {
            case Buttons::Ok:
                return Answer::Ok;
            case Buttons::OkCancel:
                return agree ? Answer::Ok : Answer::Cancel;
            case Buttons::RetryCancel:
                return agree ? Answer::Retry : Answer::Cancel;
            case Buttons::YesNo:
            case Buttons::YesNoCancel:
                break;
        }
        return agree ? Answer::Yes : Answer::No;
    }
    int Asked() const { return asked_; }

  private:
    int yes_;
    int asked_ = 0;
};

}  // namespace petrel::fuzz
