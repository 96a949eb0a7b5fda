#pragma once

#include <string>
#include <vector>

#include "core/ports/print_surface.h"

namespace petrel {

// A printer of character cells: every character is 0.6 of the font size wide (a Courier
// face's advance), so the report comes out as plain text with its columns where the printed
// report has them. It keeps every text and rule it was given.
class TextSurface : public PrintSurface {
  public:
    TextSurface(int scaleWidth, int scaleHeight) : width_(scaleWidth), height_(scaleHeight) {}

    int ScaleWidth() const override { return width_; }
    int ScaleHeight() const override { return height_; }
    int TextWidth(std::string_view text) const override;

    struct Drawn {
        int page;  // from 1
        int x;     // twips from the printable area's left edge
        int y;     // top of the line
        double points;
        std::string text;  // empty for a rule
        int x2 = 0;        // a rule's end
    };
    const std::vector<Drawn>& Items() const { return items_; }
    int Pages() const { return page_; }
    bool Ended() const { return ended_; }

    // The report as text: one line per printed line, blank ones included, each text from the
    // column its x falls on (counted from x = 0 of the pen), rules as dashes, a form feed after
    // each page. Blanks of a text do not cover what stands under them, as on paper. A control
    // character (from a radio's customer name, say) is written escaped, as "\x0a".
    std::string Render() const;

  protected:
    void DeviceFont(const std::string&, double) override {}
    void DeviceText(int x, int y, std::string_view text) override;
    void DeviceDrawLine(int x1, int x2, int y, int width) override;
    void DeviceNewPage() override { ++page_; }
    void DeviceEndDoc() override { ended_ = true; }

  private:
    int width_;
    int height_;
    int page_ = 1;
    bool ended_ = false;
    std::vector<Drawn> items_;
};

}  // namespace petrel
