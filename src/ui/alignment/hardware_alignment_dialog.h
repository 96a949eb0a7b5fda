#pragma once

#include <QDialog>
#include <QPointer>
#include <array>

#include "core/alignment/hardware_params.h"

class QComboBox;
class QLineEdit;
class QSlider;

namespace petrel {

// frmHard, "Hardware Parameter setting": modal over the main window, deleted when it closes.
// Every way out (OK, CANCEL, Escape, the close button, CloseAll) sends the closing code.
class HardwareAlignmentDialog : public QDialog {
    Q_OBJECT
  public:
    HardwareAlignmentDialog(AlignmentContext context, QWidget* parent);
    ~HardwareAlignmentDialog() override;

    // Ends a tuning dialog it opened, then itself, as their CANCEL buttons do (the program is
    // ending).
    void CloseAll();
    // The tuning dialog open now, if any.
    QDialog* Tuning() const { return tuning_; }

  public slots:
    void reject() override;

  private:
    void Refresh();
    void Collect();
    void PressOk();
    void Adjust(Adjustment adjustment);
    QDialog* OpenTuning(Adjustment adjustment);

    AlignmentContext context_;
    HardwareModel model_;
    std::array<QLineEdit*, kHardFieldCount> fields_{};
    QComboBox* powerSaveTime_ = nullptr;
    QComboBox* priorityScanTime_ = nullptr;
    QSlider* priorScanRate_ = nullptr;
    QSlider* normalRate_ = nullptr;
    QLineEdit* powerHigh_ = nullptr;
    QLineEdit* powerLow_ = nullptr;
    QPointer<QDialog> tuning_;
};

}  // namespace petrel
