#include "ui/common/dialog_parts.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace petrel {

OkCancel OkCancelButtons(QWidget* form, const char* okName, const char* cancelName,
                         const char* cancelText) {
    auto* ok = Named(new QPushButton("OK", form), okName);
    ok->setDefault(true);
    auto* cancel = Named(new QPushButton(QString::fromLatin1(cancelText), form), cancelName);
    return {ok, cancel};
}

QBoxLayout* ButtonLayout(const OkCancel& buttons, ButtonPlace place) {
    auto* layout =
        place == ButtonPlace::Column ? static_cast<QBoxLayout*>(new QVBoxLayout) : new QHBoxLayout;
    layout->addStretch(1);
    layout->addWidget(buttons.ok);
    layout->addWidget(buttons.cancel);
    if (place == ButtonPlace::Centred) {
        layout->addStretch(1);
    }
    return layout;
}

QDialogButtonBox* DialogButtons(QDialog* dialog, const char* okName, const char* okText,
                                const char* cancelName, const char* cancelText,
                                const std::function<void()>& onOk) {
    auto* buttons = new QDialogButtonBox;
    auto* ok = Named(buttons->addButton(QString::fromLatin1(okText), QDialogButtonBox::AcceptRole),
                     okName);
    ok->setDefault(true);
    auto* cancel =
        Named(buttons->addButton(QString::fromLatin1(cancelText), QDialogButtonBox::RejectRole),
              cancelName);
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
