#pragma once

#include <string>
#include <vector>

namespace petrel {

struct Document;
struct Authorization;

// One control of a settings page as its dialog shows it: the page's heading ("System Option
// Edit, BASIC"), the control's caption and its entry ("YES"/"NO" for a check box).
struct SettingItem {
    std::string heading;
    std::string caption;
    std::string value;
};

// The controls of the settings dialogs in the order SettingsReport lists them; the button
// lists are built with the program's authorization flags.
std::vector<SettingItem> SettingItems(const Authorization& authorization, const Document& doc);

// The radio-wide settings of a document as the settings dialogs show them, for a plain-text
// listing: a heading line per dialog page, then one "caption: entry" line per control in the
// page's order (check boxes read "YES" or "NO"); the button lists are built with the
// program's authorization flags; then the "Radio Information" boxes that are shown, and the
// channel option list under its title.
std::vector<std::string> SettingsReport(const Authorization& authorization, const Document& doc);

}  // namespace petrel
