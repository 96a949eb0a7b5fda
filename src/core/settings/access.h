#pragma once

#include <string>

namespace petrel {

struct Authorization;

// The three password dialogs and the windows they guard.
enum class Guarded { Authorization, CustomerEditor, HardwareTuner };

struct PasswordForm {
    const char* name;     // the dialog's objectName
    const char* caption;  // its window title
    const char* password;
};
// The form of each password dialog, fixed passwords included (compared exactly, case counts).
PasswordForm PasswordFormOf(Guarded guarded);

// The hardware tuner needs the radio's information page.
inline constexpr const char* kHardwareFailText = "Hardware Parameter fail!";

// One open password dialog. Opening it from the menu clears its shared text; every change of
// the box is copied into that text; OK tells whether the guarded window opens.
class PasswordPrompt {
  public:
    PasswordPrompt(Authorization& authorization, Guarded guarded);

    // The dialog opened from its menu item: box and shared text empty.
    void Open();
    void Typed(const std::string& text);
    // OK: true when the text typed into this dialog is its password. The authorization and
    // hardware dialogs share PwdText, but each accepts only what was typed into it, so the
    // other one, open at the same time, cannot lend it a password. A correct option password
    // clears OptionPwdText.
    bool Accept();

  private:
    std::string& Shared() const;

    Authorization& authorization_;
    Guarded guarded_;
    std::string typed_;
};

// The authorization options as frmAuthor shows them: "Authorize Frequency" is the inverse of
// FreqLock.
struct AuthorizationChoices {
    bool txPower = false;  // chkTxPower, never shown
    bool freq = false;     // chkFreq
    bool button = false;   // chkButton
};
AuthorizationChoices AuthorizationOf(const Authorization& authorization);
void ApplyAuthorization(Authorization& authorization, const AuthorizationChoices& choices);
// The values every run starts with: FreqLock on, the other two off.
void SetStartAuthorization(Authorization& authorization);

}  // namespace petrel
