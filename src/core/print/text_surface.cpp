#include "core/print/text_surface.h"

#include <algorithm>
#include <cmath>

#include "core/util/text.h"

namespace petrel {

namespace {

constexpr double kCellPerPoint = 0.6 * kTwipsPerPoint;  // a Courier character's advance

// The characters of a UTF-8 text, one string each.
std::vector<std::string> Characters(std::string_view text) {
    std::vector<std::string> characters;
    for (const char byte : text) {
        if ((static_cast<unsigned char>(byte) & 0xC0) == 0x80 && !characters.empty()) {
            characters.back().push_back(byte);
        } else {
            characters.emplace_back(1, byte);
        }
    }
    return characters;
}

}  // namespace

int TextSurface::TextWidth(std::string_view text) const {
    return static_cast<int>(
        std::lround(static_cast<double>(Characters(text).size()) * FontSize() * kCellPerPoint));
}

void TextSurface::DeviceText(int x, int y, std::string_view text) {
    items_.push_back({page_, x, y, FontSize(), std::string(text)});
}

void TextSurface::DeviceDrawLine(int x1, int x2, int y, int) {
    // Kept on the line it was drawn through.
    items_.push_back({page_, x1, y - LineHeight() / 2, FontSize(), {}, x2});
}

std::string TextSurface::Render() const {
    std::string out;
    for (int page = 1; page <= page_; ++page) {
        std::vector<std::vector<std::string>> rows;
        for (const Drawn& item : items_) {
            if (item.page != page) {
                continue;
            }
            const double cell = item.points * kCellPerPoint;
            const double line = LineHeightFor(item.points);
            const auto column = [&](int x) {
                return static_cast<std::size_t>(std::max(0L, std::lround((x - OriginX()) / cell)));
            };
            const auto row = static_cast<std::size_t>(std::max(0L, std::lround(item.y / line)));
            rows.resize(std::max(rows.size(), row + 1));
            std::vector<std::string> characters = Characters(item.text);
            if (item.text.empty()) {
                characters.assign(column(item.x2) - std::min(column(item.x2), column(item.x)), "-");
            }
            std::vector<std::string>& cells = rows[row];
            const std::size_t first = column(item.x);
            cells.resize(std::max(cells.size(), first + characters.size()), " ");
            for (std::size_t i = 0; i < characters.size(); ++i) {
                if (characters[i] != " ") {
                    cells[first + i] = characters[i];
                }
            }
        }
        for (const auto& cells : rows) {
            std::string line;
            for (const auto& character : cells) {
                line += EscapeControls(character);  // a control character keeps to its line
            }
            line.erase(line.find_last_not_of(' ') + 1);
            out += line + '\n';
        }
        out += '\f';
    }
    return out;
}

}  // namespace petrel
