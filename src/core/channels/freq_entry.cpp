#include "core/channels/freq_entry.h"

#include <algorithm>

#include "core/util/text.h"

namespace petrel {

namespace {

constexpr int kDecimals = 6;
constexpr int kCompletedDigits = 3;  // below the 1 kHz digit

struct RasterRow {
    char oneKhz;
    std::string_view tenKhz;  // the 10 kHz digits that put the pair on the 6.25 kHz raster
    bool anyFromOneHundred;   // a text beginning with "1" takes any 10 kHz digit
    std::string_view digits;
};
constexpr RasterRow kRasterRows[] = {
    {'0', "0123456789", false, "000"}, {'5', "0123456789", false, "000"}, {'1', "38", false, "250"},
    {'2', "16", true, "500"},          {'3', "49", false, "750"},         {'6', "05", false, "250"},
    {'7', "38", true, "500"},          {'8', "16", false, "750"},
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
}

}  // namespace

Completion CompleteFreq(char tenKhz, char oneKhz, bool beginsWithOne) {
    for (const RasterRow& row : kRasterRows) {
        if (row.oneKhz == oneKhz) {
            if (row.tenKhz.find(tenKhz) != std::string_view::npos ||
                (row.anyFromOneHundred && beginsWithOne)) {
                return {row.digits, false};
            }
            break;
        }
    }
    return {"000", true};
}

FreqEntry::FreqEntry(int width) : width_(std::max(width, kDecimals + 2)), point_(width_ - 7) {}

void FreqEntry::Load(std::string_view text) {
    const std::string t = Trim(text);
    const auto dot = t.find('.');
    const std::string mhz = t.substr(0, dot);
    const std::string decimals = dot == std::string::npos ? std::string() : t.substr(dot + 1);
    const bool isFrequency = dot != std::string::npos && !mhz.empty() && AllDigits(mhz) &&
                             decimals.size() <= kDecimals && AllDigits(decimals);
    text_ = isFrequency ? mhz + "." + PadRight(decimals, kDecimals, '0') : std::string(kNone);
    foreign_ = isFrequency && mhz.size() != static_cast<std::size_t>(point_);
    caret_ = 0;
    allSelected_ = false;
}

void FreqEntry::Complete() {
    const Completion c = CompleteFreq(text_[point_ + 2], text_[OneKhzAt()], text_[0] == '1');
    text_.replace(OneKhzAt() + 1, kCompletedDigits, c.digits);
    badStep_ = c.badStep;
}

EntryResult FreqEntry::TypeDigit(char digit) {
    if (!IsDigit(digit)) {
        return EntryResult::Refused;
    }
    if (IsNone() || foreign_ || allSelected_) {
        // A new frequency: the digit, then zeros in the band's form.
        text_ = digit + std::string(point_ - 1, '0') + "." + std::string(kDecimals, '0');
        allSelected_ = false;
        foreign_ = false;
        Place(1, +1);
        return EntryResult::Changed;
    }
    if (caret_ > OneKhzAt()) {
        return EntryResult::Refused;
    }
    text_[caret_] = digit;
    if (caret_ == OneKhzAt()) {
        Complete();
        caret_ = OneKhzAt() + 1;
        return EntryResult::Judge;
    }
    Place(caret_ + 1, +1);
    return EntryResult::Changed;
}

EntryResult FreqEntry::Backspace() {
    if (allSelected_) {
        SetNone();
        return EntryResult::Judge;
    }
    // A caret among the completed digits erases the 1 kHz digit, the last one typed.
    const int from = std::min(caret_, OneKhzAt() + 1);
    if (IsNone() || foreign_ || from == 0) {
        return EntryResult::Refused;
    }
    const int at = from - 1 == point_ ? point_ - 1 : from - 1;
    text_[at] = '0';
    caret_ = at;
    if (at > point_ + 1) {
        Complete();  // the raster pair changed
    }
    return EntryResult::Judge;
}

EntryResult FreqEntry::Delete() {
    if (!allSelected_) {
        return EntryResult::Refused;
    }
    SetNone();
    return EntryResult::Judge;
}

EntryResult FreqEntry::Paste(std::string_view text) {
    const std::string t = Trim(text);
    if (ToUpperAscii(t) == kNone) {
        SetNone();
        return EntryResult::Judge;
    }
    const auto dot = t.find('.');
    const std::string mhz = t.substr(0, dot);
    const std::string decimals = dot == std::string::npos ? std::string() : t.substr(dot + 1);
    if (mhz.size() != static_cast<std::size_t>(point_) || !AllDigits(mhz) ||
        decimals.size() > kDecimals || !AllDigits(decimals)) {
        return EntryResult::Refused;
    }
    text_ = mhz + "." + PadRight(decimals, kDecimals, '0');
    foreign_ = false;
    Complete();
    caret_ = OneKhzAt() + 1;
    allSelected_ = false;
    return EntryResult::Judge;
}

void FreqEntry::SetNone() {
    text_ = std::string(kNone);
    foreign_ = false;
    caret_ = 0;
    allSelected_ = false;
}

void FreqEntry::Place(int position, int direction) {
    allSelected_ = false;
    if (IsNone() || foreign_) {
        caret_ = 0;
        return;
    }
    caret_ = std::clamp(position, 0, width_);
    if (caret_ == point_) {
        caret_ += direction > 0 ? 1 : -1;
    }
}

void FreqEntry::Click(int position) {
    Place(position, +1);
}
void FreqEntry::Left() {
    Place(caret_ - 1, -1);
}
void FreqEntry::Right() {
    Place(caret_ + 1, +1);
}
void FreqEntry::Home() {
    Place(0, +1);
}
void FreqEntry::End() {
    Place(width_, +1);
}
void FreqEntry::SelectAll() {
    allSelected_ = true;
}

}  // namespace petrel
