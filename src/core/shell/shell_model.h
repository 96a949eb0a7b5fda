#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace petrel {

class StatusLine;
class Workspace;
struct Document;

// What the shell keeps for the whole run besides its windows. The status text and colour the
// channel check comes back to are the status line's own.
struct ShellState {
    // Copied channel lines without their channel numbers, shared by every editor.
    std::vector<std::string> ClipLines;
    // Whether the system writes decimals with "."; texts the user sees always do.
    bool DotDecimal = true;
};

// Texts of the main window and its splash.
inline constexpr const char* kVersionText = " Version 1.20 ";
inline constexpr const char* kNoticeLine = "Copyright (C) 2025 Petrel Radio";
inline constexpr const char* kCompanyLine = "Petrel Radio Communications";
inline constexpr const char* kProductLabel = "PC Programmer for  Petrel Serial Radio";
inline constexpr const char* kWelcomeText = "Welcome to Petrel CPS";
inline constexpr const char* kAboutTitle = "About CPS";
inline constexpr const char* kDetectingPortsText = "Detecting RS232 port...";
inline constexpr const char* kMenuHintText =
    "To Access Menu,Press F10 or 'ALT+underlined Key' or Click a Title";
inline constexpr double kStartUpPauseSeconds = 0.5;

// The About box: version line, then the notice line.
std::string AboutText();

// A window that belongs to one configuration: its own caption, then the file name of the
// document's title ("System Option Edit - PMR-HARBOUR.CFG").
std::string CaptionWithFile(std::string_view caption, std::string_view title);

// An editor's caption: the document's title, a copy of what a radio held marked with where it
// came from ("TEMP1.CFG (history record 12 (SN0012345678))").
std::string EditorCaption(const Document& doc);

// What a toolbar button does. Save, Cut, Copy and Paste act on the active editor as its menus
// do, the key button opens its button dialog, Print prints the active editor's report.
enum class ToolAction {
    NewRadio,
    OpenConfig,
    Save,
    Print,
    Cut,
    Copy,
    Paste,
    Upload,
    Download,
    Buttons,
    Help,
    About
};

struct ToolButton {
    const char* key;
    const char* toolTip;
    ToolAction action;
};

// The twelve toolbar buttons, in order.
inline constexpr ToolButton kToolButtons[] = {
    {"New", "New", ToolAction::NewRadio},
    {"Open", "Open an existing CFG file", ToolAction::OpenConfig},
    {"Save", "Save", ToolAction::Save},
    {"Print", "Print", ToolAction::Print},
    {"Cut", "Cut", ToolAction::Cut},
    {"Copy", "Copy", ToolAction::Copy},
    {"Paste", "Paste", ToolAction::Paste},
    {"Upload", "Read Radio", ToolAction::Upload},
    {"Download", "Write Radio", ToolAction::Download},
    {"Key", "Buttons Define", ToolAction::Buttons},
    {"Help", "Help", ToolAction::Help},
    {"About", "About", ToolAction::About},
};

// Whether a toolbar button can be chosen (Download has its own rule): the editor commands need
// an active editor, Paste a line to paste.
bool ToolButtonEnabled(ToolAction action, bool editorActive, bool clipLinesHeld);

struct WindowGeometry {
    int left;
    int top;
    int width;
    int height;
};

// The main window halfway between its design size and the screen, centred on the screen.
WindowGeometry MainWindowGeometry(int screenWidth, int screenHeight, int designWidth,
                                  int designHeight);

// A new editor window in a work area of areaWidth x areaHeight, openCount editors being open
// already: cascaded by step from the top left, starting over where the next one would not fit,
// and always inside the area.
WindowGeometry EditorGeometry(int areaWidth, int areaHeight, int step, int openCount);

// Whether a number formatted by the system (10/3) shows "." as its decimal separator.
bool IsDotDecimal(std::string_view formatted);

// The status label's blink: a pure red message toggles its visibility, anything else stays.
bool BlinkVisibility(int color, bool visible);

// The core side of the no-document state: only slot 0, an empty channel clipboard, no radio
// detected, and the menu hint in the status label. The window resets its own controls.
void ResetShellState(Workspace& workspace, ShellState& shell, StatusLine& status);

}  // namespace petrel
