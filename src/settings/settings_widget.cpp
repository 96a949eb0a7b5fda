#include "settings/settings_widget.h"

#include <QDialog>

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

QDialogButtonBox* DialogButtons(QDialog* dialog, const char* okName, const char* okText,
                                const char* cancelName, const char* cancelText,
                                const std::function<void()>& onOk) {
    auto* buttons = new QDialogButtonBox;
    auto* ok = buttons->addButton(QString::fromLatin1(okText), QDialogButtonBox::AcceptRole);
    ok->setObjectName(okName);
    ok->setDefault(true);
    auto* cancel =
        buttons->addButton(QString::fromLatin1(cancelText), QDialogButtonBox::RejectRole);
    cancel->setObjectName(cancelName);
    QObject::connect(ok, &QPushButton::clicked, dialog, onOk);
    // Escape closes the dialog as the cancel button does.
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::close);
    return buttons;
}

void ShowInFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace petrel
