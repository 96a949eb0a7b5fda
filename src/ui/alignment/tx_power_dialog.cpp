#include "ui/alignment/tx_power_dialog.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/alignment/note_window.h"
#include "ui/common/dialog_parts.h"

namespace petrel {

namespace {

constexpr int kPictureSize = 40;
constexpr int kBoxWidth = 64;
constexpr int kBarWidth = 220;
constexpr PowerLevel kLevels[] = {PowerLevel::High, PowerLevel::Low};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

std::size_t At(PowerLevel level) {
    return static_cast<std::size_t>(level);
}

}  // namespace

QIcon PttPicture(bool keyed) {
    QPixmap pixmap(kPictureSize, kPictureSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor body = keyed ? QColor(210, 30, 30) : QColor(160, 160, 160);
    // The press-to-talk key, with waves over it while the transmitter is keyed.
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(body);
    const QRectF key(6, 17, 28, 19);
    painter.drawRoundedRect(key, 5, 5);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(10);
    painter.setFont(font);
    painter.setPen(keyed ? Qt::white : Qt::black);
    painter.drawText(key, Qt::AlignCenter, "PTT");
    if (keyed) {
        painter.setPen(QPen(body, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(13, 6, 14, 14), 30 * 16, 120 * 16);
        painter.drawArc(QRectF(7, 1, 26, 26), 40 * 16, 100 * 16);
    }
    return QIcon(pixmap);
}

TxPowerDialog* TxPowerDialog::Open(std::unique_ptr<TxPowerModel> model, QWidget* parent) {
    bool ready = false;
    {
        NoteWindow wait("frmWait", "Radio Setup ", "Please wait ... ...", parent);
        WaitCursor cursor;
        wait.ShowNow();
        ready = model->SetUp();
    }
    if (!ready) {
        return nullptr;  // the set-up has sent 0xAA
    }
    auto* dialog = new TxPowerDialog(std::move(model), parent);
    dialog->show();
    return dialog;
}

TxPowerDialog::TxPowerDialog(std::unique_ptr<TxPowerModel> model, QWidget* parent)
    : QDialog(parent), model_(std::move(model)) {
    setObjectName("frmTxAdj");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* frames = new QHBoxLayout;
    QWidget* previous = nullptr;
    for (const PowerLevel level : kLevels) {
        const std::size_t i = At(level);
        const PowerFrame& member = kPowerFrames[i];
        auto* frame = new QGroupBox(QString::fromLatin1(member.caption), this);
        auto* grid = new QGridLayout(frame);
        keys_[i] = new QPushButton(frame);
        keys_[i]->setObjectName(member.keyButton);
        keys_[i]->setAutoDefault(false);
        keys_[i]->setIconSize(QSize(kPictureSize, kPictureSize));
        keys_[i]->setToolTip(level == PowerLevel::High
                                 ? "Key the radio on the high level; press again to release it"
                                 : "Key the radio on the low level; press again to release it");
        keys_[i]->setAccessibleName(QString::fromLatin1(member.caption) + " key");
        boxes_[i] = new QLineEdit(frame);
        boxes_[i]->setObjectName(member.box);
        boxes_[i]->setFixedWidth(kBoxWidth);
        boxes_[i]->installEventFilter(this);
        bars_[i] = new QScrollBar(Qt::Horizontal, frame);
        bars_[i]->setObjectName(member.bar);
        bars_[i]->setRange(0, kPowerBarMax);
        bars_[i]->setPageStep(kPowerLargeChange);
        bars_[i]->setMinimumWidth(kBarWidth);
        // A value goes to the radio when the thumb is let go, not at every step of a drag.
        bars_[i]->setTracking(false);
        auto* fixed = new QLineEdit(QString::number(model_->defaults[i]), frame);
        fixed->setObjectName(member.defaultBox);
        fixed->setFixedWidth(kBoxWidth);
        fixed->setReadOnly(true);

        grid->addWidget(keys_[i], 0, 0, 2, 1);
        grid->addWidget(new QLabel("Working Softpot", frame), 0, 1);
        grid->addWidget(boxes_[i], 0, 2);
        grid->addWidget(new QLabel("Default Softpot", frame), 1, 1);
        grid->addWidget(fixed, 1, 2);
        grid->addWidget(bars_[i], 2, 0, 1, 3);
        frames->addWidget(frame);

        for (QWidget* next : {static_cast<QWidget*>(keys_[i]), static_cast<QWidget*>(boxes_[i]),
                              static_cast<QWidget*>(bars_[i])}) {
            if (previous != nullptr) {
                setTabOrder(previous, next);
            }
            previous = next;
        }
        connect(keys_[i], &QPushButton::clicked, this, [this, level] { PressKey(level); });
        connect(boxes_[i], &QLineEdit::textEdited, this,
                [this, i](const QString& text) { model_->boxes[i] = text.toStdString(); });
        connect(bars_[i], &QScrollBar::valueChanged, this,
                [this, level](int value) { MoveBar(level, value); });
    }
    layout->addLayout(frames);

    auto* pllFrame = new QGroupBox("Tx PLL Data", this);
    auto* pllGrid = new QGridLayout(pllFrame);
    const QFont fixedFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    ref_ = Named(new QLabel("REF DATA", pllFrame), "lblRef");
    ref_->setFont(fixedFont);
    pll_ = Named(new QLabel("PLL DATA", pllFrame), "lblChFreq");
    pll_->setFont(fixedFont);
    pllGrid->addWidget(new QLabel("REF DATA :", pllFrame), 0, 0);
    pllGrid->addWidget(ref_, 0, 1);
    pllGrid->addWidget(new QLabel("PLL DATA :", pllFrame), 1, 0);
    pllGrid->addWidget(pll_, 1, 1);
    pllGrid->setColumnStretch(1, 1);

    const auto [ok, cancel] = OkCancelButtons(this, "cmdPWRok", "cmdCancel");
    cancel->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(pllFrame, 1);
    bottom->addLayout(ButtonLayout({ok, cancel}, ButtonPlace::Column));
    layout->addLayout(bottom);
    setTabOrder(previous, ok);
    setTabOrder(ok, cancel);

    model_->onChanged = [this] { Refresh(); };
    connect(ok, &QPushButton::clicked, this, &TxPowerDialog::PressOk);
    connect(cancel, &QPushButton::clicked, this, &TxPowerDialog::reject);
    Refresh();
}

void TxPowerDialog::Refresh() {
    setWindowTitle(Text(model_->caption));
    ref_->setText(Text(model_->refText));
    pll_->setText(Text(model_->pllText));
    for (const PowerLevel level : kLevels) {
        const std::size_t i = At(level);
        const bool keyed = model_->Keyed(level);
        keys_[i]->setIcon(PttPicture(keyed));
        keys_[i]->setProperty("picture", keyed ? "PTT1" : "PTT0");
        const QSignalBlocker quiet(bars_[i]);
        bars_[i]->setValue(model_->bars[i]);
        boxes_[i]->setText(Text(model_->boxes[i]));
    }
    // Focus can only go to a box once the window is enabled again.
    if (model_->focusFrame >= 0 && isEnabled()) {
        QLineEdit* box = boxes_[static_cast<std::size_t>(model_->focusFrame)];
        box->setFocus();
        if (model_->selectText) {
            box->selectAll();
        }
        model_->focusFrame = -1;
        model_->selectText = false;
    }
}

void TxPowerDialog::PressKey(PowerLevel level) {
    WhileBusy(this, [&] { model_->PressKey(level); });
    Refresh();
}

void TxPowerDialog::MoveBar(PowerLevel level, int value) {
    if (model_->Keyed(level)) {
        WhileBusy(this, [&] { model_->MoveBar(level, value); });
    } else {
        model_->MoveBar(level, value);  // snaps back; nothing is sent
    }
    Refresh();
}

void TxPowerDialog::EnterBox(PowerLevel level) {
    WhileBusy(this, [&] { model_->EnterBox(level); });
    Refresh();
}

bool TxPowerDialog::eventFilter(QObject* watched, QEvent* event) {
    for (const PowerLevel level : kLevels) {
        QLineEdit* box = boxes_[At(level)];
        if (watched != box) {
            continue;
        }
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                EnterBox(level);  // Enter checks the box; it does not press OK
                return true;
            }
            const QString text = key->text();
            if (text.size() == 1 && text[0].unicode() >= ' ' &&
                !WorkingBoxTakes(text[0].toLatin1())) {
                return true;  // only digits are typed
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TxPowerDialog::PressOk() {
    EndAfterOk(this, WhileBusy(this, [this] { return model_->Ok(); }), [this] { Refresh(); });
}

void TxPowerDialog::reject() {
    if (CancelWhenIdle(this, [this] { model_->Cancel(); })) {
        QDialog::reject();
    }
}

}  // namespace petrel
