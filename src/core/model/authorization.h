#pragma once

#include <string>

namespace petrel {

// The authorization options and the password texts of one run, not saved. The splash sets the
// start values (SetStartAuthorization); only the password dialogs, the authorization dialog
// and opening a channel outside the fixed-channel bands change them.
struct Authorization {
    bool FreqLock = true;
    bool PowerKeyAuth = false;
    bool TxPowerAuth = false;
    // What was typed last into the password boxes: the authorization and hardware tuner
    // dialogs share PwdText, the option dialog has OptionPwdText.
    std::string PwdText;
    std::string OptionPwdText;
};

}  // namespace petrel
