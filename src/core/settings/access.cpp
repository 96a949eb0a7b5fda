#include "core/settings/access.h"

#include "core/model/authorization.h"

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

PasswordPrompt::PasswordPrompt(Authorization& authorization, Guarded guarded)
    : authorization_(authorization), guarded_(guarded) {}

std::string& PasswordPrompt::Shared() const {
    return guarded_ == Guarded::CustomerEditor ? authorization_.OptionPwdText
                                               : authorization_.PwdText;
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
        authorization_.OptionPwdText.clear();
    }
    return match;
}

AuthorizationChoices AuthorizationOf(const Authorization& authorization) {
    return {authorization.TxPowerAuth, !authorization.FreqLock, authorization.PowerKeyAuth};
}

void ApplyAuthorization(Authorization& authorization, const AuthorizationChoices& choices) {
    authorization.TxPowerAuth = choices.txPower;
    authorization.FreqLock = !choices.freq;
    authorization.PowerKeyAuth = choices.button;
}

void SetStartAuthorization(Authorization& authorization) {
    ApplyAuthorization(authorization, AuthorizationChoices{});
}

}  // namespace petrel
