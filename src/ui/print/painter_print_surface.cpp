#include "ui/print/painter_print_surface.h"

#include <QBuffer>
#include <QByteArray>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/document/config_file.h"
#include "core/model/radio_image.h"

namespace petrel {

namespace {
constexpr double kBorderInches = kPaperBorderMm / 25.4;
constexpr const char* kCreator = "Petrel CPS";
}  // namespace

QFont ReportFont(const QString& family, double points) {
    // Qt does not follow fontconfig's aliases for a family it lacks, so the faces with
    // Courier's metrics are looked for by name.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (const QString& candidate : {family, QString("Courier New"), QString("Liberation Mono"),
                                     QString("Nimbus Mono PS"), QString("Cousine")}) {
        if (QFontDatabase::hasFamily(candidate) && QFontDatabase::isFixedPitch(candidate)) {
            font = QFont(candidate);
            break;
        }
    }
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(points);
    // Outline metrics: the widths are those of the face, not of a screen's pixel grid.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

PainterPrintSurface::PainterPrintSurface(QPainter& painter, QPagedPaintDevice& device)
    : painter_(painter), device_(device), font_(ReportFont(kReportFont, FontSize())) {
    painter_.setFont(font_);
}

double PainterPrintSurface::ToDevice(int twips, bool vertical) const {
    const int dpi = vertical ? device_.logicalDpiY() : device_.logicalDpiX();
    return static_cast<double>(twips) * dpi / kTwipsPerInch;
}

int PainterPrintSurface::ToTwips(double units, bool vertical) const {
    const int dpi = vertical ? device_.logicalDpiY() : device_.logicalDpiX();
    return static_cast<int>(std::lround(units * kTwipsPerInch / dpi));
}

int PainterPrintSurface::ScaleWidth() const {
    return ToTwips(device_.width());
}

int PainterPrintSurface::ScaleHeight() const {
    return ToTwips(device_.height(), true);
}

int PainterPrintSurface::TextWidth(std::string_view text) const {
    const QFontMetricsF metrics(font_, &device_);
    return ToTwips(metrics.horizontalAdvance(QString::fromUtf8(text.data(), text.size())));
}

void PainterPrintSurface::DeviceFont(const std::string& family, double points) {
    font_ = ReportFont(QString::fromStdString(family), points);
    painter_.setFont(font_);
}

void PainterPrintSurface::DeviceText(int x, int y, std::string_view text) {
    const QFontMetricsF metrics(font_, &device_);
    painter_.drawText(QPointF(ToDevice(x), ToDevice(y, true) + metrics.ascent()),
                      QString::fromUtf8(text.data(), text.size()));
}

void PainterPrintSurface::DeviceDrawLine(int x1, int x2, int y, int width) {
    painter_.setPen(QPen(Qt::black, ToDevice(width, true), Qt::SolidLine, Qt::FlatCap));
    painter_.drawLine(QPointF(ToDevice(x1), ToDevice(y, true)),
                      QPointF(ToDevice(x2), ToDevice(y, true)));
}

void PainterPrintSurface::DeviceNewPage() {
    if (!device_.newPage()) {
        throw PrintError("the printer did not start a new page");
    }
}

void PainterPrintSurface::DeviceEndDoc() {
    if (!painter_.end()) {
        throw PrintError("the printer did not take the document");
    }
}

std::optional<PrintResult> PaintReport(QPagedPaintDevice& device,
                                       const Authorization& authorization, const Document& doc,
                                       const LocalTime& printedAt) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return std::nullopt;
    }
    PainterPrintSurface surface(painter, device);
    PrintResult result = PrintReport(surface, authorization, doc, printedAt);
    if (painter.isActive()) {
        painter.end();  // the end of the document failed before the painter was done
    }
    return result;
}

QPageLayout ReportPageLayout(const QPageSize& size) {
    return QPageLayout(size, QPageLayout::Portrait,
                       QMarginsF(kBorderInches, kBorderInches, kBorderInches, kBorderInches),
                       QPageLayout::Inch);
}

QPageLayout ReportPageLayout(const Paper& paper) {
    return ReportPageLayout(
        QPageSize(QSizeF(paper.widthMm, paper.heightMm), QPageSize::Millimeter));
}

PrintResult WriteReportPdf(const std::string& path, const QPageLayout& layout,
                           const Authorization& authorization, const Document& doc,
                           const LocalTime& printedAt) {
    // Drawn in memory first, then written beside the old file and put in its place only when
    // every byte is on the disk: a save file's commit has been seen to report success for a
    // write that failed on a full disk, leaving an empty file where a good one was.
    QByteArray pdf;
    std::optional<PrintResult> result;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(layout);
        writer.setCreator(kCreator);
        writer.setTitle(QString::fromStdString(FileBase(doc.title)));
        result = PaintReport(writer, authorization, doc, printedAt);
    }
    if (!result || pdf.isEmpty()) {
        return {0, {path + ": the PDF could not be started"}};
    }
    if (const auto error =
            WriteFileAtomically(path, std::vector<std::uint8_t>(pdf.begin(), pdf.end()))) {
        return {0, {path + ": " + *error}};
    }
    return *result;
}

}  // namespace petrel
