#pragma once

#include <string>
#include <string_view>

namespace petrel {

// The digits written below the 1 kHz digit so that a typed frequency lies on the channel raster,
// from the 10 kHz digit, the 1 kHz digit and whether the text begins with "1" (the 100-199 MHz
// bands also take the 2.5 kHz raster on entry). badStep: the pair is on no raster ("000").
struct Completion {
    std::string_view digits;
    bool badStep = false;
};
Completion CompleteFreq(char tenKhz, char oneKhz, bool beginsWithOne);

// What an input did to a frequency box.
enum class EntryResult {
    Refused,  // nothing changed (the key is discarded)
    Changed,  // text or caret changed
    Judge,    // the frequency changed in a way that is to be judged again
};

// The text and caret of a frequency box. The text is always "NONE" or a complete frequency of
// the band's form: the band's number of MHz digits, ".", six decimals. Digits overwrite in place
// up to the 1 kHz digit; the caret passes over the point; typing the 1 kHz digit completes the
// digits below it.
class FreqEntry {
  public:
    // width: the band's frequency text length (10 for 440-470 MHz, 9 for 38-50 MHz).
    explicit FreqEntry(int width);

    // Shows a frequency field: trimmed, fewer than six decimals padded. A frequency with another
    // number of MHz digits (a line pasted from a window of another band) is shown as it is, so
    // that it is judged and written back unchanged until it is typed over; a text that is no
    // frequency shows "NONE". The caret goes to the start.
    void Load(std::string_view text);
    const std::string& Text() const { return text_; }
    bool IsNone() const { return text_ == kNone; }
    // The text is a frequency of another band's form (see Load): a digit starts a new
    // frequency over it, as over "NONE".
    bool Foreign() const { return foreign_; }
    int Caret() const { return caret_; }
    // The whole text is selected (double-click, select-all): a digit starts a new frequency,
    // Backspace or Delete leave "NONE".
    bool AllSelected() const { return allSelected_; }
    // The last completion found the 10 kHz / 1 kHz pair on no raster.
    bool BadStep() const { return badStep_; }

    EntryResult TypeDigit(char digit);
    // Writes "0" over the digit left of the caret (passing over the point) and puts the caret
    // there; with the whole text selected, leaves "NONE".
    EntryResult Backspace();
    EntryResult Delete();
    // Takes a pasted text when it is a whole frequency of the band's form (up to six decimals,
    // completed as if typed) or "NONE"; anything else is refused.
    EntryResult Paste(std::string_view text);
    void SetNone();

    // Caret moves; a caret on the point moves past it in the direction of travel.
    void Click(int position);
    void Left();
    void Right();
    void Home();
    void End();
    void SelectAll();

    static constexpr std::string_view kNone = "NONE";

  private:
    int OneKhzAt() const { return point_ + 3; }
    void Complete();
    void Place(int position, int direction);

    int width_;
    int point_;  // index of the "."
    std::string text_{kNone};
    int caret_ = 0;
    bool allSelected_ = false;
    bool badStep_ = false;
    bool foreign_ = false;
};

}  // namespace petrel
