#include "ui/common/settings_widget.h"

namespace petrel {

QComboBox* DropDownList(const char* name) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->setEditable(false);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

void ShowEntries(QComboBox* box, const EntryList& entries, int at) {
    box->clear();
    for (const ListEntry& entry : entries) {
        box->addItem(QString::fromStdString(entry.text), entry.code);
    }
    box->setCurrentIndex(at);
}

}  // namespace petrel
