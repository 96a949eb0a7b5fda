#include "ui/alignment/level_pair_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/alignment/note_window.h"
#include "ui/common/dialog_parts.h"

namespace petrel {

namespace {

constexpr int kBoxWidth = 64;
constexpr int kBarWidth = 200;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

LevelPairDialog* LevelPairDialog::Open(std::unique_ptr<LevelPairModel> model, QWidget* parent) {
    auto* dialog = new LevelPairDialog(std::move(model), parent);
    dialog->show();
    if (!WhileBusy(dialog, [dialog] { return dialog->model_->SetUp(); })) {
        delete dialog;  // the set-up has sent the closing code
        return nullptr;
    }
    dialog->Refresh();
    return dialog;
}

LevelPairDialog::LevelPairDialog(std::unique_ptr<LevelPairModel> model, QWidget* parent)
    : QDialog(parent), model_(std::move(model)) {
    const LevelMemberInfo& info = model_->Info();
    setObjectName(info.form);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    if (info.member == LevelMember::Squelch) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel("Receive Frequency :", this));
        receiveFrequency_ = Named(new QLineEdit(this), "txtRxFreq");
        receiveFrequency_->setReadOnly(true);
        row->addWidget(receiveFrequency_);
        row->addStretch(1);
        layout->addLayout(row);
    }

    auto* frames = new QHBoxLayout;
    QWidget* previous = nullptr;
    for (std::size_t f = 0; f < 2; ++f) {
        const LevelFrame& member = info.frames[f];
        auto* frame = new QGroupBox(QString::fromLatin1(member.caption), this);
        auto* grid = new QGridLayout(frame);
        auto* tune = new QPushButton("Auto Tune", frame);
        tune->setObjectName(member.tuneButton);
        tune->setAutoDefault(false);
        if (*member.toolTip != '\0') {
            tune->setToolTip(QString::fromLatin1(member.toolTip));
        }
        boxes_[f] = new QLineEdit(frame);
        boxes_[f]->setObjectName(member.box);
        boxes_[f]->setFixedWidth(kBoxWidth);
        bars_[f] = new QScrollBar(Qt::Horizontal, frame);
        bars_[f]->setObjectName(member.bar);
        bars_[f]->setRange(0, kLevelBarMax);
        bars_[f]->setPageStep(info.largeChange);
        bars_[f]->setMinimumWidth(kBarWidth);
        defaults_[f] = new QLineEdit(frame);
        defaults_[f]->setObjectName(member.defaultBox);
        defaults_[f]->setFixedWidth(kBoxWidth);
        defaults_[f]->setReadOnly(true);
        defaults_[f]->setText(QString::number(model_->defaults[f]));

        grid->addWidget(tune, 0, 0, 1, 2);
        grid->addWidget(new QLabel("Working Softpot", frame), 1, 0);
        grid->addWidget(boxes_[f], 1, 1);
        grid->addWidget(bars_[f], 2, 0, 1, 2);
        grid->addWidget(new QLabel("Default Softpot", frame), 3, 0);
        grid->addWidget(defaults_[f], 3, 1);
        frames->addWidget(frame);

        for (QWidget* next : {static_cast<QWidget*>(tune), static_cast<QWidget*>(boxes_[f]),
                              static_cast<QWidget*>(bars_[f])}) {
            if (previous != nullptr) {
                setTabOrder(previous, next);
            }
            previous = next;
        }
        const int index = static_cast<int>(f);
        connect(tune, &QPushButton::clicked, this, [this, index] { AutoTune(index); });
        connect(boxes_[f], &QLineEdit::textEdited, this,
                [this, index](const QString& text) { model_->boxes[index] = text.toStdString(); });
        connect(bars_[f], &QScrollBar::valueChanged, this, [this, index](int value) {
            model_->MoveBar(index, value);
            Refresh();
        });
    }
    layout->addLayout(frames);

    const auto [ok, cancel] = OkCancelButtons(this, "cmdOK", "cmdCancel");
    cancel->setAutoDefault(false);
    layout->addLayout(ButtonLayout({ok, cancel}));
    setTabOrder(previous, ok);
    setTabOrder(ok, cancel);

    model_->onChanged = [this] { Refresh(); };
    connect(ok, &QPushButton::clicked, this, &LevelPairDialog::PressOk);
    connect(cancel, &QPushButton::clicked, this, &LevelPairDialog::reject);
    Refresh();
}

void LevelPairDialog::Refresh() {
    setWindowTitle(Text(model_->caption));
    if (receiveFrequency_ != nullptr) {
        receiveFrequency_->setText(Text(model_->receiveFrequency));
    }
    for (std::size_t f = 0; f < 2; ++f) {
        const QSignalBlocker quiet(bars_[f]);
        bars_[f]->setValue(model_->bars[f]);
        boxes_[f]->setText(Text(model_->boxes[f]));
    }
    if (model_->focusFrame >= 0 && isEnabled()) {
        boxes_[model_->focusFrame]->setFocus();
        boxes_[model_->focusFrame]->selectAll();
        model_->focusFrame = -1;
    }
}

void LevelPairDialog::AutoTune(int frame) {
    NoteWindow note("frmAutoTune", "Auto Tuning", "Current Radio is auto tuning ...", this);
    model_->onReadingsDone = [&note] { note.hide(); };
    WhileBusy(this, [&] {
        note.ShowNow();
        model_->AutoTune(frame);
    });
    model_->onReadingsDone = nullptr;
    Refresh();
}

void LevelPairDialog::PressOk() {
    EndAfterOk(this, WhileBusy(this, [this] { return model_->Ok(); }), [this] { Refresh(); });
}

void LevelPairDialog::reject() {
    if (CancelWhenIdle(this, [this] { model_->Cancel(); })) {
        QDialog::reject();
    }
}

}  // namespace petrel
