#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace petrel {

class Clock;
class FleetRun;
class Prompter;
class RadioSeam;
class ServiceHistory;
struct Document;
struct FleetRadio;

// Radio > Program Several Radios: the active configuration into one radio after another, with
// a customer name and serial numbers in sequence, a row per radio and one status line. Modal:
// the configuration it writes takes no input while it runs.
class FleetWindow : public QDialog {
    Q_OBJECT

  public:
    FleetWindow(const Document& doc, RadioSeam& radio, Prompter& prompter, Clock& clock,
                ServiceHistory* history, std::string backupFolder, QWidget* parent = nullptr);
    ~FleetWindow() override;

    bool Running() const { return run_ != nullptr; }
    // Runs the loop until it ends (Stop, Escape, the count reached); returns at once when the
    // entries are refused.
    void Start();
    void Stop();

  signals:
    void RunningChanged(bool running);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void AddRow(const FleetRadio& radio);
    void UpdateInputs();

    const Document& doc_;
    RadioSeam& radio_;
    Prompter& prompter_;
    Clock& clock_;
    ServiceHistory* history_;
    std::string backupFolder_;
    FleetRun* run_ = nullptr;
    bool closeWhenDone_ = false;

    QLineEdit* customer_;
    QRadioButton* keepSerial_;
    QRadioButton* numberSerial_;
    QLineEdit* serialFrom_;
    QRadioButton* countRadios_;
    QRadioButton* untilStop_;
    QSpinBox* count_;
    QTableWidget* table_;
    QLabel* status_;
    QProgressBar* progress_;
    QPushButton* start_;
    QPushButton* stop_;
    QPushButton* close_;
};

}  // namespace petrel
