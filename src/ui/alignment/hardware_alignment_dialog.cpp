#include "ui/alignment/hardware_alignment_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/alignment/level_pair_dialog.h"
#include "ui/alignment/note_window.h"
#include "ui/alignment/tx_power_dialog.h"
#include "ui/common/dialog_parts.h"

namespace petrel {

namespace {

// 9400 x 6400 twips.
constexpr int kWidth = 627;
constexpr int kHeight = 427;
constexpr int kFieldWidth = 64;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QLineEdit* Field(const char* name, QWidget* parent) {
    auto* field = Named(new QLineEdit(parent), name);
    field->setFixedWidth(kFieldWidth);
    return field;
}

QPushButton* AdjustButton(const char* name, QWidget* parent) {
    auto* button = Named(new QPushButton("Adjust", parent), name);
    button->setAutoDefault(false);
    return button;
}

// A frame of two labelled values and, when given, an Adjust button under them.
QGroupBox* PairFrame(const char* name, const char* title, QWidget* parent,
                     std::array<std::pair<const char*, QLineEdit*>, 2> rows, QPushButton* adjust) {
    auto* frame = new QGroupBox(QString::fromLatin1(title), parent);
    frame->setObjectName(name);
    auto* layout = new QGridLayout(frame);
    for (int row = 0; row < 2; ++row) {
        layout->addWidget(new QLabel(QString::fromLatin1(rows[row].first), frame), row, 0);
        rows[row].second->setParent(frame);
        layout->addWidget(rows[row].second, row, 1);
    }
    if (adjust != nullptr) {
        adjust->setParent(frame);
        layout->addWidget(adjust, 2, 0, 1, 2);
    }
    return frame;
}

QSlider* RateSlider(const char* name, QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(0, kSamplingRateMax);
    slider->setPageStep(1);
    slider->setTickPosition(QSlider::TicksBelow);
    return slider;
}

}  // namespace

HardwareAlignmentDialog::HardwareAlignmentDialog(AlignmentContext context, QWidget* parent)
    : QDialog(parent), context_(context), model_(context) {
    setObjectName("frmHard");
    setWindowTitle("Hardware Parameter setting");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);

    for (std::size_t i = 0; i < kHardFieldCount; ++i) {
        fields_[i] = Field(kHardFields[i].control, this);
    }
    const auto field = [this](int i) {
        return std::pair<const char*, QLineEdit*>{kHardFields[i].label, fields_[i]};
    };
    auto* sqlAdjust = AdjustButton("cmdSqlAdj", this);
    auto* batAdjust = AdjustButton("cmdBatAdj", this);
    auto* voxAdjust = AdjustButton("cmdVoxAdj", this);
    auto* txAdjust = AdjustButton("cmdTxAdjust", this);

    // The wide-band squelch and the receive sensitivity are never shown; the wide-band
    // values are still filled and checked by OK.
    QGroupBox* wide =
        PairFrame("SQLforWB", kHardFields[0].frame, this, {field(0), field(1)}, nullptr);
    wide->hide();
    auto* rx = Named(new QGroupBox("RX Sensitivity", this), "frmRX");
    rx->hide();

    auto* top = new QHBoxLayout;
    top->addWidget(
        PairFrame("fraSqlN", kHardFields[2].frame, this, {field(2), field(3)}, sqlAdjust));
    top->addWidget(
        PairFrame("fraBattery", kHardFields[4].frame, this, {field(4), field(5)}, batAdjust));
    top->addWidget(
        PairFrame("fraVox", kHardFields[6].frame, this, {field(6), field(7)}, voxAdjust));

    auto* sampling = Named(new QGroupBox("Squelch Sampling \"ON\" Time", this), "fraSampling");
    auto* samplingLayout = new QGridLayout(sampling);
    powerSaveTime_ = Named(new QComboBox(sampling), "PSampling");
    priorityScanTime_ = Named(new QComboBox(sampling), "cboSampling");
    for (const char* time : kSamplingTimes) {
        powerSaveTime_->addItem(QString::fromLatin1(time));
        priorityScanTime_->addItem(QString::fromLatin1(time));
    }
    samplingLayout->addWidget(new QLabel("Power Save On Time", sampling), 0, 0);
    samplingLayout->addWidget(powerSaveTime_, 0, 1);
    samplingLayout->addWidget(new QLabel("Priority Scan On Time", sampling), 1, 0);
    samplingLayout->addWidget(priorityScanTime_, 1, 1);

    auto* rate = Named(new QGroupBox("Squelch Sampling Rate", this), "fraRate");
    auto* rateLayout = new QGridLayout(rate);
    priorScanRate_ = RateSlider("P_Rate", rate);
    normalRate_ = RateSlider("N_Rate", rate);
    int row = 0;
    for (const auto& [label, slider] :
         {std::pair{"Prior Scan", priorScanRate_}, std::pair{"Normal", normalRate_}}) {
        rateLayout->addWidget(new QLabel(QString::fromLatin1(label), rate), row, 0);
        rateLayout->addWidget(new QLabel("fast", rate), row, 1);
        rateLayout->addWidget(slider, row, 2);
        rateLayout->addWidget(new QLabel("slow", rate), row, 3);
        ++row;
    }
    rateLayout->setColumnStretch(2, 1);

    auto* middle = new QHBoxLayout;
    middle->addWidget(sampling);
    middle->addWidget(rate, 1);

    powerHigh_ = Field("txtPwrHi", this);
    powerLow_ = Field("txtPwrLo", this);
    powerHigh_->setReadOnly(true);
    powerLow_->setReadOnly(true);
    QGroupBox* power = PairFrame("fraTxPower", "TX Power", this,
                                 {{{"High", powerHigh_}, {"Low", powerLow_}}}, txAdjust);

    const auto [ok, cancel] = OkCancelButtons(this, "cmdOK", "cmdCancel");
    ok->setToolTip("Write the Hard Parameter into Radio");
    cancel->setAutoDefault(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(power, 0, Qt::AlignTop);
    bottom->addStretch(1);
    bottom->addLayout(ButtonLayout({ok, cancel}, ButtonPlace::Column));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addLayout(bottom);
    layout->addWidget(wide);
    layout->addWidget(rx);
    resize(kWidth, kHeight);

    // Tab order follows the frames left to right, top to bottom.
    QWidget* order[] = {fields_[2],  fields_[3],     sqlAdjust,         fields_[4],
                        fields_[5],  batAdjust,      fields_[6],        fields_[7],
                        voxAdjust,   powerSaveTime_, priorityScanTime_, priorScanRate_,
                        normalRate_, powerHigh_,     powerLow_,         txAdjust,
                        ok,          cancel};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    model_.onChanged = [this] { Refresh(); };
    connect(ok, &QPushButton::clicked, this, &HardwareAlignmentDialog::PressOk);
    connect(cancel, &QPushButton::clicked, this, &HardwareAlignmentDialog::reject);
    connect(sqlAdjust, &QPushButton::clicked, this, [this] { Adjust(Adjustment::Squelch); });
    connect(batAdjust, &QPushButton::clicked, this, [this] { Adjust(Adjustment::Battery); });
    connect(voxAdjust, &QPushButton::clicked, this, [this] { Adjust(Adjustment::Vox); });
    connect(txAdjust, &QPushButton::clicked, this, [this] { Adjust(Adjustment::TxPower); });
    Refresh();
}

HardwareAlignmentDialog::~HardwareAlignmentDialog() {
    // A tuning dialog still open goes first: its closing code, then this one's (the model's).
    if (tuning_) {
        delete tuning_.data();
    }
}

void HardwareAlignmentDialog::Refresh() {
    const HardValues& values = model_.values;
    for (std::size_t i = 0; i < kHardFieldCount; ++i) {
        fields_[i]->setText(Text(values.fields[i]));
    }
    powerSaveTime_->setCurrentIndex(values.powerSaveTime);
    priorityScanTime_->setCurrentIndex(values.priorityScanTime);
    priorScanRate_->setValue(values.priorScanRate);
    normalRate_->setValue(values.normalRate);
    powerHigh_->setText(Text(values.powerHigh));
    powerLow_->setText(Text(values.powerLow));
    if (model_.focusField >= 0 && isEnabled()) {
        fields_[model_.focusField]->setFocus();
        fields_[model_.focusField]->selectAll();
        model_.focusField = -1;
    }
}

void HardwareAlignmentDialog::Collect() {
    HardValues& values = model_.values;
    for (std::size_t i = 0; i < kHardFieldCount; ++i) {
        values.fields[i] = fields_[i]->text().toStdString();
    }
    values.powerSaveTime = powerSaveTime_->currentIndex();
    values.priorityScanTime = priorityScanTime_->currentIndex();
    values.priorScanRate = priorScanRate_->value();
    values.normalRate = normalRate_->value();
}

void HardwareAlignmentDialog::PressOk() {
    Collect();
    EndAfterOk(this, WhileBusy(this, [this] { return model_.Ok(); }), [this] { Refresh(); });
}

void HardwareAlignmentDialog::reject() {
    if (CancelWhenIdle(this, [this] { model_.Cancel(); })) {
        QDialog::reject();
    }
}

void HardwareAlignmentDialog::CloseAll() {
    if (tuning_) {
        tuning_->reject();
    }
    reject();
}

void HardwareAlignmentDialog::Adjust(Adjustment adjustment) {
    Collect();
    if (!WhileBusy(this, [this] { return model_.Adjust(); })) {
        return;
    }
    hide();
    QDialog* tuning = OpenTuning(adjustment);
    if (tuning == nullptr) {
        show();
        return;
    }
    tuning_ = tuning;
    connect(tuning, &QDialog::finished, this, [this, adjustment](int result) {
        if (result == Accepted) {
            Collect();
            model_.ShowTuned(adjustment);
            Refresh();
        }
        show();
    });
}

QDialog* HardwareAlignmentDialog::OpenTuning(Adjustment adjustment) {
    QWidget* owner = parentWidget();
    if (adjustment == Adjustment::TxPower) {
        return TxPowerDialog::Open(std::make_unique<TxPowerModel>(context_, model_.Tables()),
                                   owner);
    }
    const LevelMember member = adjustment == Adjustment::Squelch   ? LevelMember::Squelch
                               : adjustment == Adjustment::Battery ? LevelMember::Battery
                                                                   : LevelMember::Vox;
    return LevelPairDialog::Open(
        std::make_unique<LevelPairModel>(member, context_, model_.Tables()), owner);
}

}  // namespace petrel
