#include "ui/editor/channel_edit_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/channels/channel_check.h"
#include "core/channels/channel_dialogs.h"
#include "core/channels/line_editing.h"
#include "core/model/program_state.h"
#include "core/ports/prompter.h"
#include "core/ports/status_line.h"
#include "ui/common/dialog_parts.h"
#include "ui/editor/channel_box_widget.h"
#include "ui/editor/notepad_window.h"

namespace petrel {

namespace {

constexpr int kDtmfLength = 4;
constexpr const char* kFillModes[] = {"0  Identical", "1  Continual"};

// The captions are padded with blanks so that their colons line up: fixed pitch shows that.
QLabel* Label(const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(ColumnFont());
    return label;
}

}  // namespace

ChannelEditDialog::ChannelEditDialog(ProgramState& state, Prompter& prompter, StatusLine& status,
                                     NotePadWindow& editor, Mode mode, int row, QWidget* parent)
    : QDialog(parent),
      state_(state),
      prompter_(prompter),
      status_(status),
      editor_(&editor),
      mode_(mode),
      row_(row),
      bandLow_(state.BandLow),
      bandHigh_(state.BandHigh) {
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
    connect(ok_, &QPushButton::clicked, this, &ChannelEditDialog::Ok);
    connect(buttons.cancel, &QPushButton::clicked, this, &ChannelEditDialog::reject);

    auto* form = new QGridLayout;
    form->setHorizontalSpacing(8);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addLayout(ButtonLayout(buttons, ButtonPlace::Centred));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (mode_ == Mode::Channel) {
        BuildChannelLayout(row);
    } else {
        BuildToneFillLayout();
    }
    setTabOrder(ok_, buttons.cancel);

    // The dialog goes with its editor.
    connect(&editor, &NotePadWindow::Unloaded, this, [this] {
        closing_ = true;
        close();
    });
}

ChannelEditDialog::~ChannelEditDialog() = default;

void ChannelEditDialog::BuildChannelLayout(int row) {
    const Document& doc = state_.workspace.At(editor_->Slot());
    setWindowTitle(
        QString::fromStdString(ChannelEditCaption(row + 1, doc.modelLabel, doc.rangeLabel)));
    model_ = std::make_unique<ChannelEditModel>(row + 1, doc.lines.at(row), bandLow_, bandHigh_);

    auto* form = static_cast<QGridLayout*>(layout()->itemAt(0)->layout());
    const char* labels[2][3] = {
        {"Receive Frequency  :", "Receive Call Guard :", "ANI Number         :"},
        {"Transmit Frequency :", "Transmit Call Guard:", "Selective Call Code:"}};
    QWidget* previous = nullptr;
    for (int side : {kRx, kTx}) {
        freq_[side] = Named(new FreqBox(model_->Freq(side), this), "Rx_freq", side);
        auto* tone = Named(new ToneBox(prompter_, this), "Rx_tone", side);
        tone->SetCode(model_->Tone(side));
        (side == kRx ? startTone_ : txTone_) = tone;
        // A channel line carries no such number: shown, not typed, not in the tab chain.
        dtmf_[side]->setReadOnly(true);
        dtmf_[side]->setFocusPolicy(Qt::NoFocus);

        const int top = side * 3;
        form->addWidget(Label(labels[side][0], this), top, 0);
        form->addWidget(freq_[side], top, 1);
        form->addWidget(Label(" MHz", this), top, 2);
        form->addWidget(Label(labels[side][1], this), top + 1, 0);
        form->addWidget(tone, top + 1, 1, 1, 2);
        form->addWidget(Label(labels[side][2], this), top + 2, 0);
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
    freq_[kRx]->setFocus();

    connect(check_[0], &QCheckBox::clicked, this, [this](bool ticked) {
        if (!ticked) {
            return;
        }
        // The click may come before the Rx tone box's own check of a number just typed.
        if (!startTone_->Check()) {
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

void ChannelEditDialog::BuildToneFillLayout() {
    setWindowTitle("Auto Subtone");
    auto* form = static_cast<QGridLayout*>(layout()->itemAt(0)->layout());

    startTone_ = Named(new ToneBox(prompter_, this), "Rx_tone", 0);
    startTone_->SetCode(1);
    fillMode_ = Named(new QComboBox(this), "Rx_tone", 1);
    for (const char* text : kFillModes) {
        fillMode_->addItem(QString::fromLatin1(text));
    }
    check_[0]->setText("Tx Only");
    dtmf_[0]->setText("1");
    const int lines = static_cast<int>(state_.workspace.At(editor_->Slot()).lines.size());
    dtmf_[1]->setText(QString::number(lines));

    form->addWidget(Label("Start Tone Code :", this), 0, 0);
    form->addWidget(startTone_, 0, 1, 1, 4);
    form->addWidget(Label("Mode            :", this), 1, 0);
    form->addWidget(fillMode_, 1, 1, 1, 4);
    form->addWidget(Label("Area            :", this), 2, 0);
    form->addWidget(check_[0], 2, 1, 1, 2);
    form->addWidget(check_[1], 2, 3, 1, 2);
    form->addWidget(Label("Target Channels :", this), 3, 0);
    form->addWidget(dtmf_[0], 3, 1);
    form->addWidget(Label("  To", this), 3, 2);
    form->addWidget(dtmf_[1], 3, 3);
    form->addWidget(Label(" CH", this), 3, 4);
    QWidget* const order[] = {startTone_, fillMode_, check_[0], check_[1], dtmf_[0], dtmf_[1], ok_};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }
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

bool ChannelEditDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && mode_ == Mode::ToneFill) {
        for (int i : {0, 1}) {
            if (watched == dtmf_[i] && LeftForAnotherField(dtmf_[i])) {
                QTimer::singleShot(0, this, [this, i] { CheckTarget(i); });
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool ChannelEditDialog::CheckTarget(int box) {
    if (!editor_ || editor_->IsUnloaded()) {
        return false;
    }
    const int lines = static_cast<int>(state_.workspace.At(editor_->Slot()).lines.size());
    const TargetCheck check =
        petrel::CheckTarget(box == 0 ? TargetBox::First : TargetBox::Last,
                            dtmf_[0]->text().toStdString(), dtmf_[1]->text().toStdString(), lines);
    if (check.legal) {
        return true;
    }
    dtmf_[box]->setText(QString::number(check.value));
    prompter_.Tell(kIllegalChannelNumber);
    dtmf_[box]->setFocus();
    dtmf_[box]->selectAll();
    return false;
}

void ChannelEditDialog::ShowJudgement(const std::string& message) {
    status_.SetStatus(message, message.empty() ? kStatusBlack : kStatusRed, kStatusFontLarge);
    if (!message.empty()) {
        QApplication::beep();
    }
}

void ChannelEditDialog::SyncTx() {
    freq_[kTx]->Sync();
    txTone_->SetCode(model_->Tone(kTx));
    dtmf_[kTx]->setText(QString::fromStdString(model_->Dtmf(kTx)));
}

void ChannelEditDialog::Ok() {
    if (!editor_ || editor_->IsUnloaded()) {
        return;
    }
    if (mode_ == Mode::Channel) {
        if (!startTone_->Check() || !txTone_->Check()) {
            return;
        }
        editor_->ApplyEdits({{row_, model_->Line()}}, row_);
    } else {
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
        editor_->ApplyEdits(AutoSubt(state_.workspace.At(editor_->Slot()).lines, fill));
    }
    close();
}

void ChannelEditDialog::reject() {
    close();
}

void ChannelEditDialog::closeEvent(QCloseEvent* event) {
    // OK, CANCEL, Escape and the close box all end here: the list is checked once more.
    if (!closing_ && editor_ && !editor_->IsUnloaded()) {
        CheckChannels(state_, state_.workspace.At(editor_->Slot()).lines, bandLow_, bandHigh_,
                      status_);
    }
    closing_ = true;
    event->accept();
}

void ChannelEditDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            Activate();
        } else {
            active_ = false;
        }
    }
}

void ChannelEditDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Activate();
}

void ChannelEditDialog::Activate() {
    if (active_) {
        return;
    }
    active_ = true;
    emit Activated();
    if (mode_ == Mode::Channel) {
        ShowJudgement(model_->Activate());
    }
}

}  // namespace petrel
