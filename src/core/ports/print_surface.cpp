#include "core/ports/print_surface.h"

#include <cmath>

namespace petrel {

namespace {
constexpr double kLineSpacing = 1.2;  // line height per font size
}

void PrintSurface::SetFont(const std::string& family, double points) {
    DeviceFont(family, points);
    points_ = points;
}

int LineHeightFor(double points) {
    return static_cast<int>(std::lround(points * kLineSpacing * kTwipsPerPoint));
}

int PrintSurface::LineHeight() const {
    return LineHeightFor(points_);
}

void PrintSurface::Print(std::string_view text) {
    DeviceText(originX_ + x_, y_, text);
    x_ += TextWidth(text);
}

void PrintSurface::EndLine() {
    x_ = 0;
    y_ += LineHeight();
}

void PrintSurface::DrawLine(int x1, int x2, int width) {
    // Through the middle of the line.
    DeviceDrawLine(originX_ + x1, originX_ + x2, y_ + LineHeight() / 2, width);
}

void PrintSurface::NewPage() {
    x_ = 0;
    y_ = 0;
    DeviceNewPage();
}

void PrintSurface::EndDoc() {
    DeviceEndDoc();
}

}  // namespace petrel
