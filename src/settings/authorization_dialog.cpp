#include "settings/authorization_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/program_state.h"
#include "settings/access.h"

namespace petrel {

namespace {
constexpr int kMinimumWidth = 260;

QCheckBox* Box(QWidget* parent, const char* name, const char* text) {
    auto* box = new QCheckBox(QString::fromLatin1(text), parent);
    box->setObjectName(name);
    return box;
}
}  // namespace

AuthorizationDialog::AuthorizationDialog(ProgramState& state, QWidget* parent)
    : QDialog(parent),
      state_(state),
      txPower_(Box(this, "chkTxPower", "RF Power Setting")),
      freq_(Box(this, "chkFreq", "Authorize Frequency")),
      button_(Box(this, "chkButton", "Toggle High/Low Power")) {
    setObjectName("frmAuthor");
    setWindowTitle("Authorization Option");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    // Per-channel transmit power stays locked: its box is never shown.
    txPower_->hide();

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    auto* cancel = new QPushButton("CANCEL", this);
    cancel->setObjectName("cmdCancel");
    connect(ok, &QPushButton::clicked, this, &AuthorizationDialog::Apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txPower_);
    layout->addWidget(freq_);
    layout->addWidget(button_);
    layout->addSpacing(8);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    // Wide enough for its caption in the title bar.
    setFixedSize(sizeHint().expandedTo(QSize(kMinimumWidth, 0)));
    Load();
}

void AuthorizationDialog::Load() {
    const AuthorizationChoices choices = AuthorizationOf(state_);
    txPower_->setChecked(choices.txPower);
    freq_->setChecked(choices.freq);
    button_->setChecked(choices.button);
}

void AuthorizationDialog::Apply() {
    ApplyAuthorization(state_, {txPower_->isChecked(), freq_->isChecked(), button_->isChecked()});
    close();
}

}  // namespace petrel
