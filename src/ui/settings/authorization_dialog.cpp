#include "ui/settings/authorization_dialog.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/model/authorization.h"
#include "core/settings/access.h"
#include "ui/common/dialog_parts.h"

namespace petrel {

namespace {
constexpr int kMinimumWidth = 260;

QCheckBox* Box(QWidget* parent, const char* name, const char* text) {
    return Named(new QCheckBox(QString::fromLatin1(text), parent), name);
}
}  // namespace

AuthorizationDialog::AuthorizationDialog(Authorization& authorization, QWidget* parent)
    : QDialog(parent),
      authorization_(authorization),
      txPower_(Box(this, "chkTxPower", "RF Power Setting")),
      freq_(Box(this, "chkFreq", "Authorize Frequency")),
      button_(Box(this, "chkButton", "Toggle High/Low Power")) {
    setObjectName("frmAuthor");
    setWindowTitle("Authorization Option");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    // Per-channel transmit power stays locked: its box is never shown.
    txPower_->hide();

    const OkCancel buttons = OkCancelButtons(this, "cmdOK", "cmdCancel");
    connect(buttons.ok, &QPushButton::clicked, this, &AuthorizationDialog::Apply);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txPower_);
    layout->addWidget(freq_);
    layout->addWidget(button_);
    layout->addSpacing(8);
    layout->addLayout(ButtonLayout(buttons));
    // Wide enough for its caption in the title bar.
    setFixedSize(sizeHint().expandedTo(QSize(kMinimumWidth, 0)));
    Load();
}

void AuthorizationDialog::Load() {
    const AuthorizationChoices choices = AuthorizationOf(authorization_);
    txPower_->setChecked(choices.txPower);
    freq_->setChecked(choices.freq);
    button_->setChecked(choices.button);
}

void AuthorizationDialog::Apply() {
    ApplyAuthorization(authorization_,
                       {txPower_->isChecked(), freq_->isChecked(), button_->isChecked()});
    close();
}

}  // namespace petrel
