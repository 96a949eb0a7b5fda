#pragma once

#include <QDialog>
#include <functional>

#include "settings/radio_info.h"

class QLineEdit;

namespace petrel {

struct ProgramState;

// frmCustomer: reads and writes the customer name and serial number kept in the radio.
// Modeless. The window around it runs each radio operation: onRadio gets the work and returns
// false when it cannot run it now (another radio operation is running).
class CustomerDialog : public QDialog {
    Q_OBJECT
  public:
    using RadioWork = std::function<void(RadioLink&)>;
    CustomerDialog(ProgramState& state, std::function<bool(const RadioWork&)> onRadio,
                   std::function<CalendarDate()> today, QWidget* parent = nullptr);

    // The two boxes, as the option password fills them before showing the editor.
    void Fill(const std::string& name, const std::string& serial);

  private:
    bool Run(const RadioWork& work);
    void ReadInfo();
    void Accept();

    ProgramState& state_;
    std::function<bool(const RadioWork&)> onRadio_;
    std::function<CalendarDate()> today_;
    QLineEdit* name_;
    QLineEdit* serial_;
};

}  // namespace petrel
