#pragma once

#include <QDialog>
#include <array>

class QLineEdit;

namespace petrel {

struct ProgramState;

// frmRadioInfo: the radio's information texts, display only. Modeless.
class RadioInfoWindow : public QDialog {
    Q_OBJECT
  public:
    RadioInfoWindow(const ProgramState& state, QWidget* parent = nullptr);

    // The boxes from the program's information texts as they are now.
    void Fill();

  private:
    const ProgramState& state_;
    std::array<QLineEdit*, 6> boxes_{};
};

}  // namespace petrel
