#pragma once

#include <QComboBox>

#include "core/settings/sys_block.h"

namespace petrel {

// Pieces the settings dialogs share.

// A drop-down list as wide as its longest entry.
QComboBox* DropDownList(const char* name);

// Fills a drop-down list with entries and selects position at (none when empty or -1).
void ShowEntries(QComboBox* box, const EntryList& entries, int at);

}  // namespace petrel
