#include "core/shell/shell_model.h"

#include <algorithm>

#include "core/model/workspace.h"
#include "core/ports/prompter.h"
#include "core/ports/status_line.h"

namespace petrel {

std::string CaptionWithFile(std::string_view caption, std::string_view title) {
    const std::size_t slash = title.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? title : title.substr(slash + 1);
    std::string text(caption);
    text.erase(text.find_last_not_of(' ') + 1);
    return text + " - " + std::string(name);
}

std::string EditorCaption(const Document& doc) {
    return doc.IsRadioCopy() ? doc.title + " (" + doc.origin + ")" : doc.title;
}

std::string AboutText() {
    return std::string("Computer Programmer System for Petrel Serial Radio") + kVersionText +
           kLineBreak + kNoticeLine;
}

bool ToolButtonEnabled(ToolAction action, bool editorActive, bool clipLinesHeld) {
    switch (action) {
        case ToolAction::Save:
        case ToolAction::Print:
        case ToolAction::Cut:
        case ToolAction::Copy:
        case ToolAction::Buttons:
            return editorActive;
        case ToolAction::Paste:
            return editorActive && clipLinesHeld;
        default:
            return true;
    }
}

WindowGeometry MainWindowGeometry(int screenWidth, int screenHeight, int designWidth,
                                  int designHeight) {
    WindowGeometry g{};
    g.height = (screenHeight + designHeight) / 2;
    g.width = (screenWidth + designWidth) / 2;
    g.top = screenHeight / 2 - g.height / 2;
    g.left = screenWidth / 2 - g.width / 2;
    return g;
}

WindowGeometry EditorGeometry(int areaWidth, int areaHeight, int step, int openCount) {
    constexpr int kMinWidth = 620;    // the channel list at a readable size
    constexpr int kCascadeDepth = 3;  // windows that always fit in one cascade
    const int room = std::max(step, 0) * (kCascadeDepth - 1);
    WindowGeometry g{};
    g.width = std::max(std::min(std::max(kMinWidth, areaWidth * 2 / 3), areaWidth - room), 1);
    g.height = std::max(areaHeight - room, 1);
    const int fits = step > 0 ? 1 + std::max(0, std::min((areaWidth - g.width) / step,
                                                         (areaHeight - g.height) / step))
                              : 1;
    g.left = g.top = step * (openCount % fits);
    return g;
}

bool IsDotDecimal(std::string_view formatted) {
    return formatted.find('.') != std::string_view::npos;
}

bool BlinkVisibility(int color, bool visible) {
    return color == kStatusRed ? !visible : visible;
}

void ResetShellState(Workspace& workspace, ShellState& shell, StatusLine& status) {
    workspace.Reset();
    shell.ClipLines.clear();
    status.SetStatus("", kStatusBlack, kStatusFontNormal);
    ShowStatus(status, kMenuHintText);
}

}  // namespace petrel
