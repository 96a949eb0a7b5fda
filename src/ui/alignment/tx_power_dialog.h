#pragma once

#include <QDialog>
#include <QIcon>
#include <array>
#include <memory>

#include "core/alignment/tx_power.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace petrel {

// The pictures of the key buttons: "PTT1" while their level is keyed, "PTT0" otherwise.
QIcon PttPicture(bool keyed);

// frmTxAdj, "RF Power Softpot". Modal, deleted when it closes. Every way out (OK, CANCEL,
// Escape, the close button, being destroyed) sends 0xAA, which ends the transmit test and the
// carrier with it.
class TxPowerDialog : public QDialog {
    Q_OBJECT
  public:
    // Runs the transmit test set-up under the wait window, then shows the dialog. Nothing when
    // the set-up was not completed (0xAA has been sent then).
    static TxPowerDialog* Open(std::unique_ptr<TxPowerModel> model, QWidget* parent);

  public slots:
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    TxPowerDialog(std::unique_ptr<TxPowerModel> model, QWidget* parent);
    void Refresh();
    void PressKey(PowerLevel level);
    void MoveBar(PowerLevel level, int value);
    void EnterBox(PowerLevel level);
    void PressOk();

    std::unique_ptr<TxPowerModel> model_;
    std::array<QPushButton*, 2> keys_{};
    std::array<QLineEdit*, 2> boxes_{};
    std::array<QScrollBar*, 2> bars_{};
    QLabel* ref_ = nullptr;
    QLabel* pll_ = nullptr;
};

}  // namespace petrel
