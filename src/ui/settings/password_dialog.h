#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>

#include "core/settings/access.h"

class QLineEdit;
class QWidget;

namespace petrel {

class AuthorizationDialog;
class Prompter;
struct Authorization;

// AuthorPWD, optPwd and frmPassword: one masked box, OK and CANCEL. Not modal. OK closes the
// dialog, then reports a correct password through Unlocked.
class PasswordDialog : public QDialog {
    Q_OBJECT
  public:
    PasswordDialog(Authorization& authorization, Guarded guarded, QWidget* parent = nullptr);

    // Shown from the menu: empty box and shared text, focus in the box.
    void Open();

  signals:
    void Unlocked();

  private:
    void Accept();

    PasswordPrompt prompt_;
    QLineEdit* box_;
};

// The password dialogs and the authorization options, one of each at a time. The customer
// editor and the hardware window are reached through the two signals.
class AccessDialogs : public QObject {
    Q_OBJECT
  public:
    AccessDialogs(Authorization& authorization, Prompter& prompter, QWidget* parent);

    // Help > Authorization of the main window.
    void ShowAuthorizationPassword();
    // Configure > Option of an editor.
    void ShowOptionPassword();
    // Configure > Hardware Tuner of an editor: only when its document has the radio's
    // information page (pageValid).
    void ShowHardwarePassword(bool pageValid);
    void CloseAll();

  signals:
    void CustomerEditorRequested();
    void HardwareWindowRequested();

  private:
    void Show(Guarded guarded);
    void ShowAuthorization();

    Authorization& authorization_;
    Prompter& prompter_;
    QWidget* parent_;
    QPointer<PasswordDialog> dialogs_[3];
    QPointer<AuthorizationDialog> authorizationDialog_;
};

}  // namespace petrel
