#include "ui/document/new_radio_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/document/new_config.h"
#include "core/model/band_table.h"
#include "core/ports/prompter.h"
#include "ui/common/dialog_parts.h"

namespace petrel {

namespace {

// Twips of the form's design, in pixels at the usual 15 twips per pixel.
constexpr int Px(int twips) {
    return twips / 15;
}
constexpr int kFormWidth = Px(4000);
constexpr int kButtonTop = Px(3500);
constexpr int kButtonHeight = 28;
// The design's height left an empty band under the buttons: the hidden softpot frames' room.
constexpr int kFormHeight = kButtonTop + kButtonHeight + 20;
constexpr int kOkLeft = Px(1000);
constexpr int kCancelLeft = Px(2400);
constexpr int kReferenceCount = 4;

constexpr const char* kBadChannelCount =
    "The number of channels must be a whole number from 1 to 99.";

// A softpot frame: disabled fields that show a band's reference frequencies; hidden.
QGroupBox* SoftpotFrame(QWidget* parent, const char* name, const char* title, const char* field,
                        QLineEdit* (&fields)[kReferenceCount]) {
    auto* frame = Named(new QGroupBox(QString::fromLatin1(title), parent), name);
    auto* layout = new QVBoxLayout(frame);
    for (int i = 0; i < kReferenceCount; ++i) {
        fields[i] = Named(new QLineEdit(frame), field, i + 1);
        fields[i]->setEnabled(false);
        layout->addWidget(fields[i]);
    }
    frame->hide();
    return frame;
}

}  // namespace

NewRadioDialog::NewRadioDialog(Workspace& workspace, Prompter& prompter, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompter_(prompter) {
    setObjectName("frmNewRadio");
    setWindowTitle("Slelct New Radio Band");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(kFormWidth, kFormHeight);

    auto* bandLabel = new QLabel("Band:", this);
    bandLabel->setGeometry(16, 12, kFormWidth - 32, 20);
    bands_ = Named(new QListWidget(this), "LstRadioModel");
    bands_->setGeometry(16, 34, kFormWidth - 32, 120);
    for (const auto& band : kNewRadioBands) {
        auto* item = new QListWidgetItem(QString::fromLatin1(band.name), bands_);
        item->setData(Qt::UserRole, band.band);
    }

    auto* channelLabel = new QLabel("Channels (1-99):", this);
    channelLabel->setGeometry(16, 172, 130, 24);
    channels_ = Named(new QLineEdit("16", this), "txtMaxCh");
    channels_->setGeometry(150, 172, kFormWidth - 166, 24);

    // The reference frequencies travel with the band; the user does not edit them.
    SoftpotFrame(this, "Frame1", "Rx Softpot", "txtRxFM", rx_);
    SoftpotFrame(this, "Frame2", "Tx Softpot", "txtTxFM", tx_);
    SoftpotFrame(this, "Frame3", "Modulation Softpot", "txtModFM", mod_);
    sql_ = Named(new QLineEdit(this), "txtSqlFM");
    sql_->setEnabled(false);
    sql_->hide();

    const auto [ok, cancel] = OkCancelButtons(this, "cmdOK", "cmdCancel");
    ok->setGeometry(kOkLeft - 20, kButtonTop, 80, kButtonHeight);
    cancel->setGeometry(kCancelLeft - 20, kButtonTop, 80, kButtonHeight);

    connect(bands_, &QListWidget::currentRowChanged, this, &NewRadioDialog::ShowReferences);
    connect(ok, &QPushButton::clicked, this, &NewRadioDialog::Accept);
    connect(cancel, &QPushButton::clicked, this, &NewRadioDialog::close);
    bands_->setCurrentRow(0);
}

void NewRadioDialog::ShowReferences() {
    const QListWidgetItem* item = bands_->currentItem();
    if (item == nullptr) {
        return;
    }
    const int band = item->data(Qt::UserRole).toInt();
    for (int i = 0; i < kReferenceCount; ++i) {
        mod_[i]->setText(QString::fromStdString(ModFreqOf(band, i)));
        tx_[i]->setText(QString::fromStdString(TxFreqOf(band, i)));
        rx_[i]->setText(QString::fromStdString(RxFreqOf(band, i)));
    }
    sql_->setText(QString::fromStdString(SqlFreqOf(band)));
}

void NewRadioDialog::Accept() {
    const QListWidgetItem* item = bands_->currentItem();
    int channels = 0;
    if (!ParseChannelCount(channels_->text().toStdString(), channels)) {
        prompter_.Tell(kBadChannelCount, Icon::Exclamation);
        channels_->setFocus();
        channels_->selectAll();
        return;
    }
    if (item == nullptr) {
        return;
    }
    const int slot = BuildNewConfiguration(workspace_, item->data(Qt::UserRole).toInt(), channels);
    emit DocumentCreated(slot);
    close();
}

}  // namespace petrel
