#include "ui/editor/channel_options_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/channels/channel_options.h"
#include "core/model/authorization.h"
#include "core/model/workspace.h"
#include "ui/common/dialog_parts.h"

namespace petrel {

namespace {

constexpr int kVisibleLines = 16;

constexpr int kListFontSize = 11;

QFont ListFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(kListFontSize);
    return font;
}

}  // namespace

ChannelOptionEditDialog::ChannelOptionEditDialog(Workspace& workspace,
                                                 const Authorization& authorization, int slot,
                                                 int channel, QWidget* parent)
    : QDialog(parent),
      workspace_(workspace),
      authorization_(authorization),
      slot_(slot),
      channel_(channel) {
    setObjectName("frmSetChOP");
    setWindowTitle(QString("Channel %1 Option Edit").arg(channel + 1));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    const std::uint8_t options = workspace_.At(slot_).state.ChOption.at(channel_);
    const ChannelOptionChoices choices = OptionChoices(options);

    auto* frames = new QHBoxLayout;
    for (int k = 0; k < kOptionPairCount; ++k) {
        auto* frame = Named(new QGroupBox(QString::fromLatin1(kOptionFrames[k].title), this),
                            "fraChOption", k);
        auto* column = new QVBoxLayout(frame);
        auto* group = new QButtonGroup(frame);
        for (int item = 0; item < 2; ++item) {
            auto* button =
                Named(new QRadioButton(QString::fromLatin1(item == 0 ? kOptionFrames[k].first
                                                                     : kOptionFrames[k].second),
                                       frame),
                      "optChOption", 2 * k + item);
            group->addButton(button);
            column->addWidget(button);
            options_[2 * k + item] = button;
        }
        options_[2 * k + (choices.first[k] ? 0 : 1)]->setChecked(true);
        if (k == kPairScan) {
            // AUTO sets its own bit beside ON/OFF, and can be switched off again.
            auto_ = Named(new QCheckBox(kAutoScanText, frame), "OptAuto");
            auto_->setChecked(choices.autoScan);
            column->addWidget(auto_);
        }
        column->addStretch(1);
        if (k == kPairPower) {
            frame->setEnabled(authorization_.TxPowerAuth);
        }
        frames->addWidget(frame);
    }

    const OkCancel buttons = OkCancelButtons(this, "cmdOkBT0", "cmdOkBT1", "CANCL");
    connect(buttons.ok, &QPushButton::clicked, this, &ChannelOptionEditDialog::Apply);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(ButtonLayout(buttons));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ChannelOptionEditDialog::Apply() {
    ChannelOptionChoices choices;
    for (int k = 0; k < kOptionPairCount; ++k) {
        choices.first[k] = options_[2 * k]->isChecked();
    }
    choices.autoScan = auto_->isChecked();
    SetChannelOptions(workspace_.At(slot_), channel_, OptionBits(choices));
    emit Applied(channel_);
    close();
}

ChannelOptionListDialog::ChannelOptionListDialog(Workspace& workspace,
                                                 const Authorization& authorization, int slot,
                                                 QWidget* parent)
    : QDialog(parent),
      workspace_(workspace),
      authorization_(authorization),
      slot_(slot),
      list_(new QListWidget(this)) {
    setObjectName("frmCHoption");
    setWindowTitle("List of Channel Option ");
    setModal(false);

    auto* title =
        new QLabel(QString::fromLatin1(kOptionListTitle.data(), kOptionListTitle.size()), this);
    title->setObjectName("lblTitle");
    title->setTextFormat(Qt::PlainText);
    const QFont font = ListFont();
    title->setFont(font);
    list_->setFont(font);
    list_->setObjectName("lstCHoption");
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(true);
    list_->installEventFilter(this);
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { EditRow(list_->row(item)); });

    // The title's columns stand over the list's: indent it by the frame and the margin the
    // style leaves before an item's text; size the list for the widest line.
    const int textMargin =
        list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1;
    title->setIndent(list_->frameWidth() + textMargin);
    const QFontMetrics metrics(font);
    const int lineWidth =
        metrics.horizontalAdvance(QString::fromStdString(ChannelOptionLine(99, kOptionMask)));
    list_->setMinimumWidth(lineWidth + 2 * (list_->frameWidth() + textMargin) +
                           list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8);
    list_->setMinimumHeight(metrics.lineSpacing() * kVisibleLines + 2 * list_->frameWidth());

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(2);
    layout->addWidget(title);
    layout->addWidget(list_, 1);
}

void ChannelOptionListDialog::Renew() {
    list_->clear();
    for (const ChannelOptionEntry& entry : ChannelOptionList(workspace_.At(slot_))) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry.line), list_);
        item->setData(Qt::UserRole, entry.channel);
    }
    if (list_->count() > 0) {
        list_->setCurrentRow(0);
    }
}

void ChannelOptionListDialog::EditRow(int row) {
    const QListWidgetItem* item = list_->item(row);
    if (item == nullptr) {
        return;
    }
    // One option dialog at a time: another entry replaces it.
    if (editor_) {
        editor_->close();
    }
    editor_ = new ChannelOptionEditDialog(workspace_, authorization_, slot_,
                                          item->data(Qt::UserRole).toInt(), this);
    connect(editor_, &ChannelOptionEditDialog::Applied, this,
            &ChannelOptionListDialog::ShowApplied);
    ShowInFront(editor_);
}

void ChannelOptionListDialog::ShowApplied(int channel) {
    const std::uint8_t options = workspace_.At(slot_).state.ChOption.at(channel);
    for (int row = 0; row < list_->count(); ++row) {
        QListWidgetItem* item = list_->item(row);
        if (item->data(Qt::UserRole).toInt() == channel) {
            item->setText(QString::fromStdString(ChannelOptionLine(channel + 1, options)));
            list_->setCurrentRow(row);
            return;
        }
    }
}

bool ChannelOptionListDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            EditRow(list_->currentRow());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace petrel
