#pragma once

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QString>
#include <functional>

#include "settings/sys_block.h"

class QDialog;

namespace petrel {

// Pieces the settings dialogs share.

// A drop-down list as wide as its longest entry.
QComboBox* DropDownList(const char* name);

// Fills a drop-down list with entries and selects position at (none when empty or -1).
void ShowEntries(QComboBox* box, const EntryList& entries, int at);

// OK (the default button: Return) runs onOk; the cancel button and Escape close the dialog.
QDialogButtonBox* DialogButtons(QDialog* dialog, const char* okName, const char* okText,
                                const char* cancelName, const char* cancelText,
                                const std::function<void()>& onOk);

// Shows a modeless window in front.
void ShowInFront(QWidget* window);

}  // namespace petrel
