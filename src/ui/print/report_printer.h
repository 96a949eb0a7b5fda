#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "core/print/print_report.h"

class QPrinter;
class QWidget;

namespace petrel {

class Clock;
class FileChooser;
class Prompter;
class Workspace;
struct Authorization;

// The editor's printing commands: the report at once on the session's printer, the printer
// set-up, the print preview and the PDF export. The session's printer is the system's default
// until Printer Setup chooses another; the choice lasts until the program ends.
class ReportPrinter : public QObject {
    Q_OBJECT
  public:
    // The closing line's date and time are the clock's when the report is drawn.
    ReportPrinter(const Workspace& workspace, const Authorization& authorization,
                  Prompter& prompter, const Clock& clock, FileChooser& chooser, QWidget* parent);
    ~ReportPrinter() override;

    // "&Print": without a usable printer the user is offered the PDF export instead.
    void Print(int slot);
    // "Printer Set&up".
    void PrinterSetup();
    // "Print Pre&view...": the report in a preview window, which can print it too.
    void Preview(int slot);
    // "Export as P&DF...": asks the chooser for a file name (an empty one cancels).
    void ExportPdf(int slot);

    // What tests replace: whether a printer can be used.
    void SetPrinterCheck(std::function<bool()> check) { printerUsable_ = std::move(check); }

  private:
    QPrinter& Printer();
    bool PrinterUsable();
    void OfferPdf(int slot, const std::string& reason);
    void TellIncomplete(const PrintResult& result);

    const Workspace& workspace_;
    const Authorization& authorization_;
    Prompter& prompter_;
    const Clock& clock_;
    FileChooser& chooser_;
    QPointer<QWidget> parent_;
    std::unique_ptr<QPrinter> printer_;
    std::function<bool()> printerUsable_;
};

}  // namespace petrel
