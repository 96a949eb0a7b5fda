#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "core/alignment/level_pair.h"

class QLineEdit;
class QScrollBar;

namespace petrel {

// frmSqlN, frmBattery and frmVOX: one window for the three members. Modal, deleted when it
// closes; every way out sends the member's closing code.
class LevelPairDialog : public QDialog {
    Q_OBJECT
  public:
    // Makes the dialog, shows it and runs its set-up. Nothing when the set-up was not
    // completed (the closing code has been sent then).
    static LevelPairDialog* Open(std::unique_ptr<LevelPairModel> model, QWidget* parent);

  public slots:
    void reject() override;

  private:
    LevelPairDialog(std::unique_ptr<LevelPairModel> model, QWidget* parent);
    void Refresh();
    void AutoTune(int frame);
    void PressOk();

    std::unique_ptr<LevelPairModel> model_;
    QLineEdit* receiveFrequency_ = nullptr;
    std::array<QLineEdit*, 2> boxes_{};
    std::array<QScrollBar*, 2> bars_{};
    std::array<QLineEdit*, 2> defaults_{};
};

}  // namespace petrel
