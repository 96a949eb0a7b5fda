#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/link/port_list.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace petrel {

// Radio > Port (frmPort): the serial ports behind COM1..COM8, each with what it is or why it
// does not open, the one in use marked and chosen at first. Test looks for a radio on the
// chosen port and says what answered; OK makes the chosen port the one used first (the caller
// does it and remembers it).
class PortDialog : public QDialog {
    Q_OBJECT
  public:
    // The check and identify commands on a port number; nothing when the link is not free.
    using Tester = std::function<std::optional<PortTest>(int number)>;
    // The radio identified last (a test may identify one).
    using LastRadio = std::function<std::optional<SeenRadio>()>;

    PortDialog(std::vector<PortEntry> entries, Tester tester, LastRadio lastRadio,
               QWidget* parent = nullptr);

    // The device of the chosen row, "" when there is none.
    std::string ChosenDevice() const;

  private:
    // The rows again, the port in use marked; the chosen row stays chosen.
    void FillRows();
    void RunTest();
    void UpdateButtons();

    std::vector<PortEntry> entries_;
    std::vector<PortRow> rows_;
    Tester tester_;
    LastRadio lastRadio_;
    QListWidget* list_;
    QLabel* result_;
    QPushButton* test_;
    QPushButton* ok_;
};

}  // namespace petrel
