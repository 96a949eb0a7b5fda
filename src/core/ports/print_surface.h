#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace petrel {

// Units of a printed page: 1440 twips to the inch, 20 to the point.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kTwipsPerPoint = 20;

// The height of a line of text in a font of this size: 1.2 times the size, on every device.
int LineHeightFor(double points);

// What a device reports when it cannot go on (the printer refused a page, the job failed).
class PrintError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A printer as the report sees it: a pen that prints text where it stands, in twips from the
// top left corner of the printable area. The pen is kept here; a device only draws. Printing
// a text moves the pen right by the text's width; ending a line moves it to x = 0 of the next
// line, one line height down. The line height does not depend on the device, so that a report
// breaks its pages alike on paper, in a PDF and as text.
class PrintSurface {
  public:
    virtual ~PrintSurface() = default;

    // The printable area.
    virtual int ScaleWidth() const = 0;
    virtual int ScaleHeight() const = 0;
    // Width of a text in the current font. A surface starts in its own font, the printer's.
    virtual int TextWidth(std::string_view text) const = 0;

    void SetFont(const std::string& family, double points);
    double FontSize() const { return points_; }
    int LineHeight() const;

    // Where x = 0 lies, in twips from the printable area's left edge.
    void SetOriginX(int left) { originX_ = left; }
    int OriginX() const { return originX_; }

    int CurrentX() const { return x_; }
    int CurrentY() const { return y_; }
    void SetCurrentX(int x) { x_ = x; }
    void SetCurrentY(int y) { y_ = y; }

    // Text at the pen; the pen moves right by its width.
    void Print(std::string_view text);
    void EndLine();
    // A horizontal rule on the current line, from x1 to x2, width twips thick.
    void DrawLine(int x1, int x2, int width);
    // The next page, pen at its top left. A device that fails throws PrintError.
    void NewPage();
    // The document is complete: the job goes to the printer or the file is written.
    void EndDoc();

  protected:
    // Device coordinates: twips from the printable area's top left corner; y is the top of
    // the text line.
    virtual void DeviceFont(const std::string& family, double points) = 0;
    virtual void DeviceText(int x, int y, std::string_view text) = 0;
    virtual void DeviceDrawLine(int x1, int x2, int y, int width) = 0;
    virtual void DeviceNewPage() = 0;
    virtual void DeviceEndDoc() = 0;

  private:
    double points_ = 10;
    int originX_ = 0;
    int x_ = 0;
    int y_ = 0;
};

}  // namespace petrel
