#pragma once

#include <string>

namespace petrel {

// Colour values of the status label: red marks an error (and blinks), black is normal.
inline constexpr int kStatusBlack = 0;
inline constexpr int kStatusRed = 255;
inline constexpr int kStatusFontNormal = 12;
inline constexpr int kStatusFontLarge = 15;

// The main window's status label and progress bar.
class StatusLine {
  public:
    virtual ~StatusLine() = default;
    virtual void SetStatus(const std::string& text, int color, int fontSize) = 0;
    virtual std::string Text() const = 0;
    virtual int Color() const = 0;

    virtual void ShowProgress(bool visible) = 0;
    virtual void SetProgressRange(int maximum) = 0;
    virtual void SetProgress(int value) = 0;
};

// Status text in black at the normal size.
inline void ShowStatus(StatusLine& status, const std::string& text) {
    status.SetStatus(text, kStatusBlack, kStatusFontNormal);
}

}  // namespace petrel
