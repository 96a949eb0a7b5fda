#include "ui/editor/tone_fill_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "core/channels/channel_dialogs.h"
#include "core/channels/line_editing.h"
#include "core/model/radio_image.h"
#include "core/ports/prompter.h"
#include "ui/common/dialog_parts.h"
#include "ui/editor/channel_box_widget.h"
#include "ui/editor/document_session.h"

namespace petrel {

namespace {

constexpr const char* kFillModes[] = {"0  Identical", "1  Continual"};

}  // namespace

ToneFillDialog::ToneFillDialog(Prompter& prompter, StatusLine& status, DocumentSession& session,
                               QWidget* parent)
    : ChannelFormDialog(prompter, status, session, parent) {
    setWindowTitle("Auto Subtone");
    QGridLayout* form = Form();

    startTone_ = Named(new ToneBox(prompter_, this), "Rx_tone", 0);
    startTone_->SetCode(1);
    fillMode_ = Named(new QComboBox(this), "Rx_tone", 1);
    for (const char* text : kFillModes) {
        fillMode_->addItem(QString::fromLatin1(text));
    }
    check_[0]->setText("Tx Only");
    dtmf_[0]->setText("1");
    dtmf_[1]->setText(QString::number(LineCount()));

    form->addWidget(Caption("Start Tone Code :"), 0, 0);
    form->addWidget(startTone_, 0, 1, 1, 4);
    form->addWidget(Caption("Mode            :"), 1, 0);
    form->addWidget(fillMode_, 1, 1, 1, 4);
    form->addWidget(Caption("Area            :"), 2, 0);
    form->addWidget(check_[0], 2, 1, 1, 2);
    form->addWidget(check_[1], 2, 3, 1, 2);
    form->addWidget(Caption("Target Channels :"), 3, 0);
    form->addWidget(dtmf_[0], 3, 1);
    form->addWidget(Caption("  To"), 3, 2);
    form->addWidget(dtmf_[1], 3, 3);
    form->addWidget(Caption(" CH"), 3, 4);
    QWidget* const order[] = {startTone_, fillMode_, check_[0], check_[1], dtmf_[0], dtmf_[1], ok_};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }
    EndTabOrder();
    startTone_->setFocus();

    // Ticking one area box clears the other.
    for (int i : {0, 1}) {
        connect(check_[i], &QCheckBox::clicked, this, [this, i](bool ticked) {
            if (ticked) {
                check_[1 - i]->setChecked(false);
            }
        });
        dtmf_[i]->installEventFilter(this);
    }
}

ToneFillDialog::~ToneFillDialog() = default;

int ToneFillDialog::LineCount() const {
    return static_cast<int>(session_->Doc().lines.size());
}

bool ToneFillDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        for (int i : {0, 1}) {
            if (watched == dtmf_[i] && LeftForAnotherField(dtmf_[i])) {
                QTimer::singleShot(0, this, [this, i] { CheckTarget(i); });
            }
        }
    }
    return ChannelFormDialog::eventFilter(watched, event);
}

bool ToneFillDialog::CheckTarget(int box) {
    if (!EditorOpen()) {
        return false;
    }
    const TargetCheck check = petrel::CheckTarget(box == 0 ? TargetBox::First : TargetBox::Last,
                                                  dtmf_[0]->text().toStdString(),
                                                  dtmf_[1]->text().toStdString(), LineCount());
    if (check.legal) {
        return true;
    }
    dtmf_[box]->setText(QString::number(check.value));
    prompter_.Tell(kIllegalChannelNumber);
    dtmf_[box]->setFocus();
    dtmf_[box]->selectAll();
    return false;
}

void ToneFillDialog::Ok() {
    const auto code = startTone_->Check();
    if (!code || !CheckTarget(0) || !CheckTarget(1)) {
        return;
    }
    ToneFill fill;
    fill.startCode = *code;
    fill.continual = fillMode_->currentIndex() == 1;
    fill.txOnly = check_[0]->isChecked();
    fill.rxOnly = check_[1]->isChecked();
    fill.first = dtmf_[0]->text().toInt();
    fill.last = dtmf_[1]->text().toInt();
    session_->ApplyEdits(AutoSubt(session_->Doc().lines, fill));
    close();
}

}  // namespace petrel
