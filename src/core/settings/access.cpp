#include "core/settings/access.h"

#include "core/model/program_state.h"

namespace petrel {

PasswordForm PasswordFormOf(Guarded guarded) {
    switch (guarded) {
        case Guarded::Authorization:
            return {"AuthorPWD", "Authorization Password", "dealerlock"};
        case Guarded::CustomerEditor:
            return {"optPwd", "Option Password", "featurelock"};
        case Guarded::HardwareTuner:
            break;
    }
    return {"frmPassword", "Hardware Tuner Password", "531948"};
}

PasswordPrompt::PasswordPrompt(ProgramState& state, Guarded guarded)
    : state_(state), guarded_(guarded) {}

std::string& PasswordPrompt::Shared() const {
    return guarded_ == Guarded::CustomerEditor ? state_.OptionPwdText : state_.PwdText;
}

void PasswordPrompt::Open() {
    typed_.clear();
    Shared().clear();
}

void PasswordPrompt::Typed(const std::string& text) {
    typed_ = text;
    Shared() = text;
}

bool PasswordPrompt::Accept() {
    const bool match = typed_ == PasswordFormOf(guarded_).password;
    if (match && guarded_ == Guarded::CustomerEditor) {
        state_.OptionPwdText.clear();
    }
    return match;
}

AuthorizationChoices AuthorizationOf(const ProgramState& state) {
    return {state.TxPowerAuth, !state.FreqLock, state.PowerKeyAuth};
}

void ApplyAuthorization(ProgramState& state, const AuthorizationChoices& choices) {
    state.TxPowerAuth = choices.txPower;
    state.FreqLock = !choices.freq;
    state.PowerKeyAuth = choices.button;
}

void SetStartAuthorization(ProgramState& state) {
    ApplyAuthorization(state, AuthorizationChoices{});
}

}  // namespace petrel
