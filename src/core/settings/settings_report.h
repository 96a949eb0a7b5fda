#pragma once

#include <string>
#include <vector>

namespace petrel {

struct Document;
struct ProgramState;

// The radio-wide settings of a document as the settings dialogs show them, for a plain-text
// listing: a heading line per dialog page, then one "caption: entry" line per control in the
// page's order (check boxes read "YES" or "NO"); the button lists are built with the
// program's authorization flags; then the "Radio Information" boxes that are shown, and the
// channel option list under its title.
std::vector<std::string> SettingsReport(const ProgramState& state, const Document& doc);

}  // namespace petrel
