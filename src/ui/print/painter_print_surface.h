#pragma once

#include <QFont>
#include <QPageLayout>
#include <optional>
#include <string>

#include "core/ports/print_surface.h"
#include "core/print/print_report.h"

class QPainter;
class QPagedPaintDevice;

namespace petrel {

// A fixed-pitch font for the report: the family asked for where the system has a fixed-pitch
// face for it (through fontconfig "Courier" is Liberation Mono or another metric twin), else
// the system's fixed-pitch font, so that the channel lines' columns stand in line.
QFont ReportFont(const QString& family, double points);

// The report's surface on a painter that is active on a paged device: a printer, a PDF
// writer, or the print preview. It starts in a 10-point report font, the printer's own.
class PainterPrintSurface : public PrintSurface {
  public:
    PainterPrintSurface(QPainter& painter, QPagedPaintDevice& device);

    int ScaleWidth() const override;
    int ScaleHeight() const override;
    int TextWidth(std::string_view text) const override;

  protected:
    void DeviceFont(const std::string& family, double points) override;
    void DeviceText(int x, int y, std::string_view text) override;
    void DeviceDrawLine(int x1, int x2, int y, int width) override;
    void DeviceNewPage() override;
    void DeviceEndDoc() override;

  private:
    double ToDevice(int twips, bool vertical = false) const;
    int ToTwips(double units, bool vertical = false) const;

    QPainter& painter_;
    QPagedPaintDevice& device_;
    QFont font_;
};

// Paints the report on device, from the first page to the end of the document. Nothing when a
// painter cannot be started on it (no usable printer, a file that cannot be written).
std::optional<PrintResult> PaintReport(QPagedPaintDevice& device,
                                       const Authorization& authorization, const Document& doc,
                                       const LocalTime& printedAt);

// A page of paper with the printable area a printer leaves: a quarter inch off every side.
QPageLayout ReportPageLayout(const QPageSize& size);
QPageLayout ReportPageLayout(const Paper& paper);

// The report as a PDF file; a file that cannot be written is a failure of its own.
PrintResult WriteReportPdf(const std::string& path, const QPageLayout& layout,
                           const Authorization& authorization, const Document& doc,
                           const LocalTime& printedAt);

}  // namespace petrel
