#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/model/document_edit.h"

namespace petrel {

// Edit menu commands on whole channel lines. rows: the selected line indexes in list order.
// None of them touches a channel's option bits.

// Copy: ClipLines becomes the selected lines without their channel numbers (so that a line can
// be renumbered wherever it is pasted). Returns the text added to the system clipboard: each
// whole line followed by a line feed.
std::string CopyLines(const std::vector<std::string>& lines, const std::vector<int>& rows,
                      std::vector<std::string>& clipLines);
// Delete: every selected line becomes an empty channel.
LineEdits DeleteLines(const std::vector<int>& rows);
// Paste: the clipboard lines from the first selected line on, renumbered; what does not fit
// below it is dropped. No selection or an empty clipboard changes nothing.
LineEdits PasteLines(int lineCount, const std::vector<int>& rows,
                     const std::vector<std::string>& clipLines);

inline constexpr const char* kIllegalChannelNumber =
    "Not a legal channel number,please input again";

// The tone fill's target channel boxes, checked when the user leaves one.
enum class TargetBox { First, Last };
struct TargetCheck {
    bool legal = true;
    int value = 0;  // the box's value: as typed when legal, else what it is corrected to
};
// Empty or 0 takes the box's default (1, or the number of lines); a last channel beyond the
// list goes back to the number of lines; a first channel after the last goes back to 1. Every
// correction is refused with kIllegalChannelNumber.
TargetCheck CheckTarget(TargetBox box, std::string_view firstText, std::string_view lastText,
                        int lineCount);

// The automatic tone fill ("Auto Subtone").
struct ToneFill {
    int startCode = 1;
    bool continual = false;  // "1  Continual": one code up per channel, 154 wraps to 1
    bool txOnly = false;     // leave the Rx tones
    bool rxOnly = false;     // leave the Tx tones
    int first = 1;           // target channels, 1-based, inclusive
    int last = 1;
};
LineEdits AutoSubt(const std::vector<std::string>& lines, const ToneFill& fill);

}  // namespace petrel
