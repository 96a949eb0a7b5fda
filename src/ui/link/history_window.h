#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "core/history/service_history.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace petrel {

class Prompter;
struct RadioRead;

// Radio > History: the service history's records, newest first, filtered by serial number,
// customer, band and date; a record's radio opened as a new configuration, compared with the
// active one, or written to the radio. The records themselves are never changed here.
class HistoryWindow : public QDialog {
    Q_OBJECT

  public:
    HistoryWindow(ServiceHistory& history, Prompter& prompter, QWidget* parent = nullptr);

    // What the buttons do with the chosen record's radio; name says which record it is.
    std::function<void(RadioRead radio, const std::string& name)> onOpen;
    std::function<void(RadioRead radio, const std::string& name)> onCompare;
    std::function<void(RadioRead radio, const std::string& name)> onWrite;

    // Lists the records again, as the filters say.
    void Refresh();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    std::optional<HistoryRecord> Chosen();
    void Run(const std::function<void(RadioRead, const std::string&)>& action);
    void UpdateButtons();

    ServiceHistory& history_;
    Prompter& prompter_;
    std::vector<HistoryRecord> records_;
    QLineEdit* serial_;
    QLineEdit* customer_;
    QComboBox* band_;
    QLineEdit* since_;
    QLineEdit* until_;
    QTableWidget* table_;
    QLabel* count_;
    QPushButton* open_;
    QPushButton* compare_;
    QPushButton* write_;
};

}  // namespace petrel
