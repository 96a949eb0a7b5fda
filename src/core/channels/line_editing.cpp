#include "core/channels/line_editing.h"

#include <algorithm>

#include "core/model/channel_line.h"
#include "core/model/tone_table.h"
#include "core/util/text.h"

namespace petrel {

namespace {

constexpr std::size_t kNumberChars = 2;  // what renumbering replaces
// The tone fill's fields: columns 17-27 (Rx) and 42-52 (Tx).
constexpr std::size_t kRxToneColumn = 16;
constexpr std::size_t kTxToneColumn = 41;
constexpr std::size_t kToneFillWidth = 11;

// A target box read as a number; anything that is not one counts as 0 (empty).
int BoxNumber(std::string_view text) {
    const std::string t = Trim(text);
    if (t.empty() || t.size() > 4 ||
        !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    return std::stoi(t);
}

}  // namespace

std::string CopyLines(const std::vector<std::string>& lines, const std::vector<int>& rows,
                      std::vector<std::string>& clipLines) {
    clipLines.clear();
    std::string systemText;
    for (const int row : rows) {
        if (row < 0 || row >= static_cast<int>(lines.size())) {
            continue;
        }
        const std::string& line = lines[static_cast<std::size_t>(row)];
        clipLines.push_back(Mid(line, kNumberChars));
        systemText += line + '\n';
    }
    return systemText;
}

LineEdits DeleteLines(const std::vector<int>& rows) {
    LineEdits edits;
    for (const int row : rows) {
        edits.push_back({row, EmptyChannelLine(row + 1)});
    }
    return edits;
}

LineEdits PasteLines(int lineCount, const std::vector<int>& rows,
                     const std::vector<std::string>& clipLines) {
    LineEdits edits;
    if (rows.empty()) {
        return edits;
    }
    const int start = rows.front();
    const int count = std::min(lineCount - start, static_cast<int>(clipLines.size()));
    for (int k = 0; k < count; ++k) {
        edits.push_back({start + k, ChannelNumberText(start + k + 1) + clipLines[k]});
    }
    return edits;
}

TargetCheck CheckTarget(TargetBox box, std::string_view firstText, std::string_view lastText,
                        int lineCount) {
    const int first = BoxNumber(firstText);
    const int last = BoxNumber(lastText);
    if (box == TargetBox::Last) {
        if (last == 0 || last > lineCount) {
            return {false, lineCount};
        }
        return {true, last};
    }
    if (first == 0) {
        return {false, 1};
    }
    if (first > (last == 0 ? lineCount : last)) {
        return {false, 1};
    }
    return {true, first};
}

LineEdits AutoSubt(const std::vector<std::string>& lines, const ToneFill& fill) {
    LineEdits edits;
    int code = fill.continual ? fill.startCode - 1 : fill.startCode;
    const int last = std::min(fill.last, static_cast<int>(lines.size()));
    for (int channel = std::max(fill.first, 1); channel <= last; ++channel) {
        if (fill.continual && ++code > kLastToneCode) {
            code = 1;
        }
        const std::string field = ToneFillField(code);
        std::string line =
            PadRight(lines[static_cast<std::size_t>(channel - 1)], kTxToneColumn + kToneFillWidth);
        if (!fill.txOnly) {
            line.replace(kRxToneColumn, kToneFillWidth, field);
        }
        if (!fill.rxOnly) {
            line.replace(kTxToneColumn, kToneFillWidth, field);
        }
        edits.push_back({channel - 1, RenumberLine(channel, line)});
    }
    return edits;
}

}  // namespace petrel
