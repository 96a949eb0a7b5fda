#include "ui/editor/channel_form_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/channels/channel_check.h"
#include "core/model/radio_image.h"
#include "core/ports/status_line.h"
#include "ui/common/dialog_parts.h"
#include "ui/editor/channel_box_widget.h"
#include "ui/editor/document_session.h"

namespace petrel {

namespace {

constexpr int kDtmfLength = 4;

}  // namespace

ChannelFormDialog::ChannelFormDialog(Prompter& prompter, StatusLine& status,
                                     DocumentSession& session, QWidget* parent)
    : QDialog(parent), prompter_(prompter), status_(status), session_(&session) {
    setObjectName("frmCh_edit");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    for (int i = 0; i < 2; ++i) {
        dtmf_[i] = Named(new QLineEdit(this), "Rx_DTMF", i);
        dtmf_[i]->setMaxLength(kDtmfLength);
        dtmf_[i]->setMaximumWidth(dtmf_[i]->fontMetrics().horizontalAdvance("00000000"));
    }
    const char* checkTexts[] = {"TX=RX", "RX ONLY", "Scan OFF"};
    for (int i = 0; i < 3; ++i) {
        check_[i] = Named(new QCheckBox(QString::fromLatin1(checkTexts[i]), this), "Check1", i);
    }
    // The third box does nothing on a channel: it is not offered.
    check_[2]->hide();
    const OkCancel buttons = OkCancelButtons(this, "Command1", "Command2");
    ok_ = buttons.ok;
    cancel_ = buttons.cancel;
    connect(ok_, &QPushButton::clicked, this, [this] {
        if (EditorOpen()) {
            Ok();
        }
    });
    connect(cancel_, &QPushButton::clicked, this, &ChannelFormDialog::reject);

    form_ = new QGridLayout;
    form_->setHorizontalSpacing(8);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form_);
    layout->addSpacing(6);
    layout->addLayout(ButtonLayout(buttons, ButtonPlace::Centred));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The dialog goes with its editor.
    connect(&session, &DocumentSession::Closed, this, [this] {
        closing_ = true;
        close();
    });
}

ChannelFormDialog::~ChannelFormDialog() = default;

bool ChannelFormDialog::EditorOpen() const {
    return session_ && !session_->IsClosed();
}

QLabel* ChannelFormDialog::Caption(const char* text) {
    auto* label = new QLabel(QString::fromLatin1(text), this);
    label->setTextFormat(Qt::PlainText);
    label->setFont(ColumnFont());
    return label;
}

void ChannelFormDialog::EndTabOrder() {
    setTabOrder(ok_, cancel_);
}

void ChannelFormDialog::ShowJudgement(const std::string& message) {
    status_.SetStatus(message, message.empty() ? kStatusBlack : kStatusRed, kStatusFontLarge);
    if (!message.empty()) {
        QApplication::beep();
    }
}

void ChannelFormDialog::reject() {
    close();
}

void ChannelFormDialog::closeEvent(QCloseEvent* event) {
    // OK, CANCEL, Escape and the close box all end here: the list is checked once more.
    if (!closing_ && EditorOpen()) {
        CheckChannels(session_->Doc(), status_);
    }
    closing_ = true;
    event->accept();
}

void ChannelFormDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            Activate();
        } else {
            active_ = false;
        }
    }
}

void ChannelFormDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Activate();
}

void ChannelFormDialog::Activate() {
    if (active_) {
        return;
    }
    active_ = true;
    emit Activated();
    OnActivated();
}

}  // namespace petrel
