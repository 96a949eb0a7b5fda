#include "ui/editor/fixed_channel_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/channels/channel_dialogs.h"
#include "core/model/radio_image.h"
#include "ui/common/dialog_parts.h"
#include "ui/editor/channel_box_widget.h"
#include "ui/editor/document_session.h"

namespace petrel {

FixedChannelDialog::FixedChannelDialog(Prompter& prompter, DocumentSession& session, int row,
                                       QWidget* parent)
    : QDialog(parent), session_(&session), row_(row) {
    setObjectName("frmChOp");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    const Document& doc = session.Doc();
    model_ = std::make_unique<FixedChannelModel>(doc.state.Band, row + 1, doc.lines.at(row));
    setWindowTitle(QString::fromStdString(model_->Caption()));

    // Only a holder while the boxes are filled in the old form; never shown.
    Named(new QLineEdit(this), "txtFreq")->hide();

    auto* form = new QGridLayout;
    const char* names[2][2] = {{"cboRxFreq", "cboRxCTCSS"}, {"cboTxFreq", "cboTxCTCSS"}};
    const char* labels[2] = {"Receive Frequency", "Transmit Frequency"};
    for (int side : {kRx, kTx}) {
        freq_[side] = Named(new QComboBox(this), names[side][0]);
        freq_[side]->setFont(ColumnFont());
        for (const std::string& entry : model_->Frequencies()) {
            freq_[side]->addItem(QString::fromStdString(entry));
        }
        // A line frequency outside the table stays as it is unless another one is picked.
        freq_[side]->setPlaceholderText(QString::fromStdString(model_->LineFreq(side)).trimmed());
        freq_[side]->setCurrentIndex(model_->FreqIndex(side));
        tone_[side] = Named(new ToneBox(prompter, this), names[side][1]);
        tone_[side]->SetCode(model_->Tone(side));

        form->addWidget(new QLabel(labels[side], this), side, 0);
        form->addWidget(freq_[side], side, 1);
        form->addWidget(new QLabel("MHz", this), side, 2);
        form->addWidget(tone_[side], side, 3);
        connect(freq_[side], &QComboBox::currentIndexChanged, this,
                [this, side](int index) { model_->SetFreqIndex(side, index); });
        connect(tone_[side], &ToneBox::CodeChosen, this,
                [this, side](int code) { model_->SetTone(side, code); });
    }
    txEqualsRx_ = Named(new QCheckBox("Tx = Rx", this), "chkTxRxFreq");
    connect(txEqualsRx_, &QCheckBox::toggled, this,
            [this](bool ticked) { model_->txEqualsRx = ticked; });
    form->addWidget(txEqualsRx_, 2, 1, 1, 3);

    const auto [ok, cancel] = OkCancelButtons(this, "cmdOK", "cmdCancel");
    connect(ok, &QPushButton::clicked, this, &FixedChannelDialog::Ok);
    connect(cancel, &QPushButton::clicked, this, &FixedChannelDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addLayout(ButtonLayout({ok, cancel}, ButtonPlace::Centred));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Enter walks the controls in this order; the tab order is the same.
    enterOrder_ = {freq_[kRx], tone_[kRx], freq_[kTx], tone_[kTx], txEqualsRx_, ok};
    for (int i = 0; i + 1 < enterOrder_.size(); ++i) {
        setTabOrder(enterOrder_[i], enterOrder_[i + 1]);
        enterOrder_[i]->installEventFilter(this);
    }
    setTabOrder(ok, cancel);
    freq_[kRx]->setFocus();

    connect(&session, &DocumentSession::Closed, this, &FixedChannelDialog::close);
}

FixedChannelDialog::~FixedChannelDialog() = default;

bool FixedChannelDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int at = enterOrder_.indexOf(qobject_cast<QWidget*>(watched));
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && at >= 0 &&
            at + 1 < enterOrder_.size()) {
            enterOrder_[at + 1]->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FixedChannelDialog::Ok() {
    // With "Tx = Rx" the Tx boxes are not read, so they are not checked either.
    if (!session_ || session_->IsClosed() || !tone_[kRx]->Check() ||
        (!model_->txEqualsRx && !tone_[kTx]->Check())) {
        return;
    }
    session_->ApplyEdits({{row_, model_->Line()}}, row_);
    close();
}

}  // namespace petrel
