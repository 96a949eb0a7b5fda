#include "ui/print/report_printer.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <algorithm>
#include <optional>

#include "core/document/config_file.h"
#include "core/model/authorization.h"
#include "core/model/workspace.h"
#include "core/ports/clock.h"
#include "core/ports/prompter.h"
#include "core/settings/sys_block.h"
#include "core/util/text.h"
#include "ui/common/qt_ports.h"
#include "ui/print/painter_print_surface.h"

namespace petrel {

namespace {

constexpr const char* kNoPrinterText = "No printer is available.";
constexpr const char* kOfferPdfText = "Export the report as a PDF file instead?";
constexpr const char* kIncompleteText = "The report is incomplete. These parts were not printed:";
constexpr const char* kPdfFailedText = "The PDF file could not be written:";
constexpr const char* kPdfExtension = ".pdf";
constexpr int kPreviewFrame = 24;  // pixels around the preview's tool bar

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += kLineBreak + line;
    }
    return text;
}

// Beside the configuration, named after it; an untitled one in the working folder.
std::string ProposedPdfName(const Document& doc) {
    const std::string& source = doc.path.empty() ? doc.title : doc.path;
    const auto slash = source.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : source.substr(0, slash + 1);
    return folder + FileBase(source) + kPdfExtension;
}

}  // namespace

ReportPrinter::ReportPrinter(const Workspace& workspace, const Authorization& authorization,
                             Prompter& prompter, const Clock& clock, FileChooser& chooser,
                             QWidget* parent)
    : QObject(parent),
      workspace_(workspace),
      authorization_(authorization),
      prompter_(prompter),
      clock_(clock),
      chooser_(chooser),
      parent_(parent) {}

ReportPrinter::~ReportPrinter() = default;

QPrinter& ReportPrinter::Printer() {
    // Made when first needed: asking the print system for its printers can take a moment.
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (printer_->outputFormat() != QPrinter::NativeFormat) {
            printer_->setPageLayout(ReportPageLayout(printer_->pageLayout().pageSize()));
        }
    }
    return *printer_;
}

bool ReportPrinter::PrinterUsable() {
    if (printerUsable_) {
        return printerUsable_();
    }
    QPrinter& printer = Printer();
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        return !printer.outputFileName().isEmpty();  // "print to file", chosen in the set-up
    }
    return printer.isValid() && !printer.printerName().isEmpty();
}

void ReportPrinter::OfferPdf(int slot, const std::string& reason) {
    const Answer answer = prompter_.Ask(Message{
        reason + kLineBreak + kOfferPdfText, {}, Buttons::YesNo, Icon::Question, Answer::Yes});
    if (answer == Answer::Yes) {
        ExportPdf(slot);
    }
}

void ReportPrinter::TellIncomplete(const PrintResult& result) {
    if (!result.Complete()) {
        prompter_.Tell(kIncompleteText + Lines(result.failures), Icon::Exclamation);
    }
}

void ReportPrinter::Print(int slot) {
    const Document* doc = workspace_.Live(slot);
    if (doc == nullptr) {
        return;
    }
    if (!PrinterUsable()) {
        OfferPdf(slot, kNoPrinterText);
        return;
    }
    std::optional<PrintResult> result;
    {
        WaitCursor wait;
        Printer().setDocName(QString::fromStdString(FileBase(doc->title)));
        result = PaintReport(Printer(), authorization_, *doc, clock_.WallTime());
    }
    if (!result) {
        OfferPdf(slot, "The printer " + Printer().printerName().toStdString() + " cannot be used.");
        return;
    }
    TellIncomplete(*result);
}

void ReportPrinter::PrinterSetup() {
    QPrintDialog dialog(&Printer(), parent_);
    dialog.setWindowTitle("Printer Setup");
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    // The set-up chooses; it does not print.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) {
            ok->setText("OK");
        }
    }
    dialog.exec();
}

void ReportPrinter::Preview(int slot) {
    if (workspace_.Live(slot) == nullptr) {
        return;
    }
    QPrintPreviewDialog preview(&Printer(), parent_);
    preview.setWindowTitle("Print Preview");
    // Tall enough for a whole page, and wide enough for the whole tool bar: its last button
    // prints, and a narrower window hides it behind the bar's overflow arrow.
    if (const QScreen* screen = parent_ ? parent_->screen() : nullptr) {
        const QRect room = screen->availableGeometry();
        int width = room.width() * 3 / 5;
        if (auto* bar = preview.findChild<QToolBar*>()) {
            bar->ensurePolished();
            width = std::max(width, bar->sizeHint().width() + kPreviewFrame);
        }
        preview.resize(std::min(width, room.width()), room.height() * 9 / 10);
    }
    std::optional<PrintResult> last;
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* printer) {
        if (const Document* doc = workspace_.Live(slot)) {
            last = PaintReport(*printer, authorization_, *doc, clock_.WallTime());
        }
    });
    preview.exec();
    if (last) {
        TellIncomplete(*last);
    }
}

void ReportPrinter::ExportPdf(int slot) {
    const Document* doc = workspace_.Live(slot);
    if (doc == nullptr) {
        return;
    }
    std::string name = chooser_.AskPdfName(ProposedPdfName(*doc));
    if (name.empty()) {
        return;
    }
    if (!ToUpperAscii(name).ends_with(ToUpperAscii(kPdfExtension))) {
        name += kPdfExtension;
    }
    PrintResult result;
    {
        WaitCursor wait;
        result = WriteReportPdf(name, ReportPageLayout(Printer().pageLayout().pageSize()),
                                authorization_, *doc, clock_.WallTime());
    }
    if (result.pages == 0) {
        prompter_.Tell(kPdfFailedText + Lines(result.failures), Icon::Exclamation);
        return;
    }
    TellIncomplete(result);
}

}  // namespace petrel
