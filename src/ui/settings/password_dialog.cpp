#include "ui/settings/password_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/model/authorization.h"
#include "core/ports/prompter.h"
#include "ui/common/dialog_parts.h"
#include "ui/settings/authorization_dialog.h"

namespace petrel {

PasswordDialog::PasswordDialog(Authorization& authorization, Guarded guarded, QWidget* parent)
    : QDialog(parent), prompt_(authorization, guarded), box_(new QLineEdit(this)) {
    const PasswordForm form = PasswordFormOf(guarded);
    setObjectName(form.name);
    setWindowTitle(form.caption);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* label = Named(new QLabel("Password", this), "Label1");
    label->setBuddy(box_);
    box_->setObjectName("txtPassword");
    box_->setEchoMode(QLineEdit::Password);
    box_->setStyleSheet("lineedit-password-character: 42");  // "*"
    box_->setMinimumWidth(160);
    connect(box_, &QLineEdit::textChanged, this,
            [this](const QString& text) { prompt_.Typed(text.toStdString()); });

    const OkCancel buttons = OkCancelButtons(this, "cmdOK", "cmdCancel");
    connect(buttons.ok, &QPushButton::clicked, this, &PasswordDialog::Accept);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(box_, 0, 1);
    layout->addLayout(ButtonLayout(buttons), 1, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PasswordDialog::Open() {
    box_->clear();
    prompt_.Open();
    ShowInFront(this);
    box_->setFocus();
}

void PasswordDialog::Accept() {
    close();
    if (prompt_.Accept()) {
        emit Unlocked();
    }
}

AccessDialogs::AccessDialogs(Authorization& authorization, Prompter& prompter, QWidget* parent)
    : QObject(parent), authorization_(authorization), prompter_(prompter), parent_(parent) {}

void AccessDialogs::Show(Guarded guarded) {
    QPointer<PasswordDialog>& dialog = dialogs_[static_cast<int>(guarded)];
    if (!dialog) {
        dialog = new PasswordDialog(authorization_, guarded, parent_);
        switch (guarded) {
            case Guarded::Authorization:
                connect(dialog, &PasswordDialog::Unlocked, this, &AccessDialogs::ShowAuthorization);
                break;
            case Guarded::CustomerEditor:
                connect(dialog, &PasswordDialog::Unlocked, this,
                        &AccessDialogs::CustomerEditorRequested);
                break;
            case Guarded::HardwareTuner:
                connect(dialog, &PasswordDialog::Unlocked, this,
                        &AccessDialogs::HardwareWindowRequested);
                break;
        }
    }
    dialog->Open();
}

void AccessDialogs::ShowAuthorizationPassword() {
    Show(Guarded::Authorization);
}

void AccessDialogs::ShowOptionPassword() {
    Show(Guarded::CustomerEditor);
}

void AccessDialogs::ShowHardwarePassword(bool pageValid) {
    if (!pageValid) {
        prompter_.Tell(kHardwareFailText);
        return;
    }
    Show(Guarded::HardwareTuner);
}

void AccessDialogs::ShowAuthorization() {
    if (!authorizationDialog_) {
        authorizationDialog_ = new AuthorizationDialog(authorization_, parent_);
    }
    authorizationDialog_->Load();
    ShowInFront(authorizationDialog_);
}

void AccessDialogs::CloseAll() {
    for (const QPointer<PasswordDialog>& dialog : dialogs_) {
        if (dialog) {
            dialog->close();
        }
    }
    if (authorizationDialog_) {
        authorizationDialog_->close();
    }
}

}  // namespace petrel
