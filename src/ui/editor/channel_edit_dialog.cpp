#include "ui/editor/channel_edit_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/channels/channel_dialogs.h"
#include "core/model/radio_image.h"
#include "ui/common/dialog_parts.h"
#include "ui/editor/channel_box_widget.h"
#include "ui/editor/document_session.h"

namespace petrel {

ChannelEditDialog::ChannelEditDialog(Prompter& prompter, StatusLine& status,
                                     DocumentSession& session, int row, QWidget* parent)
    : ChannelFormDialog(prompter, status, session, parent), row_(row) {
    const Document& doc = session.Doc();
    setWindowTitle(
        QString::fromStdString(ChannelEditCaption(row + 1, doc.modelLabel, doc.rangeLabel)));
    BandEdges edges = DocumentBandEdges(doc);
    model_ = std::make_unique<ChannelEditModel>(row + 1, doc.lines.at(row), std::move(edges.low),
                                                std::move(edges.high));

    QGridLayout* form = Form();
    const char* labels[2][3] = {
        {"Receive Frequency  :", "Receive Call Guard :", "ANI Number         :"},
        {"Transmit Frequency :", "Transmit Call Guard:", "Selective Call Code:"}};
    QWidget* previous = nullptr;
    for (int side : {kRx, kTx}) {
        freq_[side] = Named(new FreqBox(model_->Freq(side), this), "Rx_freq", side);
        ToneBox* tone = tone_[side] = Named(new ToneBox(prompter_, this), "Rx_tone", side);
        tone->SetCode(model_->Tone(side));
        // A channel line carries no such number: shown, not typed, not in the tab chain.
        dtmf_[side]->setReadOnly(true);
        dtmf_[side]->setFocusPolicy(Qt::NoFocus);

        const int top = side * 3;
        form->addWidget(Caption(labels[side][0]), top, 0);
        form->addWidget(freq_[side], top, 1);
        form->addWidget(Caption(" MHz"), top, 2);
        form->addWidget(Caption(labels[side][1]), top + 1, 0);
        form->addWidget(tone, top + 1, 1, 1, 2);
        form->addWidget(Caption(labels[side][2]), top + 2, 0);
        form->addWidget(dtmf_[side], top + 2, 1);
        for (QWidget* next : {static_cast<QWidget*>(freq_[side]), static_cast<QWidget*>(tone),
                              static_cast<QWidget*>(dtmf_[side])}) {
            if (previous != nullptr) {
                setTabOrder(previous, next);
            }
            previous = next;
        }

        connect(freq_[side], &FreqBox::Judge, this,
                [this, side] { ShowJudgement(model_->JudgeFreq(side)); });
        connect(freq_[side], &FreqBox::EnterPressed, tone, [tone] { tone->setFocus(); });
        connect(tone, &ToneBox::CodeChosen, this,
                [this, side](int code) { model_->SetTone(side, code); });
    }
    auto* checks = new QHBoxLayout;
    checks->addWidget(check_[0]);
    checks->addWidget(check_[1]);
    checks->addWidget(check_[2]);
    checks->addStretch(1);
    form->addLayout(checks, 6, 0, 1, 3);
    setTabOrder(previous, check_[0]);
    setTabOrder(check_[0], check_[1]);
    setTabOrder(check_[1], ok_);
    EndTabOrder();
    freq_[kRx]->setFocus();

    connect(check_[0], &QCheckBox::clicked, this, [this](bool ticked) {
        if (!ticked) {
            return;
        }
        // The click may come before the Rx tone box's own check of a number just typed.
        if (!tone_[kRx]->Check()) {
            check_[0]->setChecked(false);
            return;
        }
        check_[1]->setChecked(false);
        ShowJudgement(model_->TxEqualsRx());
        SyncTx();
    });
    connect(check_[1], &QCheckBox::clicked, this, [this](bool ticked) {
        if (ticked) {
            check_[0]->setChecked(false);
            ShowJudgement(model_->RxOnly());
            SyncTx();
        }
    });
}

ChannelEditDialog::~ChannelEditDialog() = default;

void ChannelEditDialog::SyncTx() {
    freq_[kTx]->Sync();
    tone_[kTx]->SetCode(model_->Tone(kTx));
    dtmf_[kTx]->setText(QString::fromStdString(model_->Dtmf(kTx)));
}

void ChannelEditDialog::Ok() {
    if (!tone_[kRx]->Check() || !tone_[kTx]->Check()) {
        return;
    }
    session_->ApplyEdits({{row_, model_->Line()}}, row_);
    close();
}

void ChannelEditDialog::OnActivated() {
    ShowJudgement(model_->Activate());
}

}  // namespace petrel
