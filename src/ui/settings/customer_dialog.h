#pragma once

#include <QDialog>
#include <functional>

#include "core/settings/radio_info.h"

class QLineEdit;

namespace petrel {

class Prompter;
class Workspace;
struct RadioInfoPage;

// frmCustomer: reads and writes the customer name and serial number kept in the radio, for
// the document in slot (the one active when it opened), whose information page takes what it
// reads and writes. Modeless. The window around it runs each radio operation: onRadio gets
// the work and returns false when it cannot run it now (another radio operation is running).
// OK closes it once the radio took everything; otherwise it says what the radio holds now and
// stays open for another OK.
class CustomerDialog : public QDialog {
    Q_OBJECT
  public:
    using RadioWork = std::function<void(RadioLink&)>;
    CustomerDialog(Workspace& workspace, int slot, Prompter& prompter,
                   std::function<bool(const RadioWork&)> onRadio, const Clock& clock,
                   QWidget* parent = nullptr);

    int Slot() const { return slot_; }
    // The two boxes from the document's page, trimmed, as the option password fills them
    // before showing the editor.
    void Fill();

  signals:
    // OK wrote both texts and the radio took them.
    void Written();

  private:
    bool Run(const RadioWork& work);
    void ReadInfo();
    void Accept();

    RadioInfoPage& Page() const;

    Workspace& workspace_;
    const int slot_;
    Prompter& prompter_;
    std::function<bool(const RadioWork&)> onRadio_;
    const Clock& clock_;  // OK writes its date into the serial block
    QLineEdit* name_;
    QLineEdit* serial_;
};

}  // namespace petrel
