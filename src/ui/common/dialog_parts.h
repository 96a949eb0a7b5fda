#pragma once

#include <QString>
#include <functional>

class QBoxLayout;
class QDialog;
class QDialogButtonBox;
class QObject;
class QPushButton;
class QTabWidget;
class QWidget;

namespace petrel {

// Pieces every form shares.

// A control with the objectName the forms give it (name, or name followed by index).
template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
template <typename T>
T* Named(T* widget, const char* name, int index) {
    widget->setObjectName(QString::fromLatin1(name) + QString::number(index));
    return widget;
}

// The OK and cancel buttons of a form. OK is the default button, so Return presses it; Escape
// rejects the dialog. The caller connects what each one does and places them in the tab order.
struct OkCancel {
    QPushButton* ok;
    QPushButton* cancel;
};
OkCancel OkCancelButtons(QWidget* form, const char* okName, const char* cancelName,
                         const char* cancelText = "CANCEL");

// The two buttons side by side at the right, or centred; or at the foot of a column.
enum class ButtonPlace { Right, Centred, Column };
QBoxLayout* ButtonLayout(const OkCancel& buttons, ButtonPlace place = ButtonPlace::Right);

// The same pair in a button box that can take further buttons: OK runs onOk, the cancel button
// (and Escape) close the dialog.
QDialogButtonBox* DialogButtons(QDialog* dialog, const char* okName, const char* okText,
                                const char* cancelName, const char* cancelText,
                                const std::function<void()>& onOk);

// Ctrl+Tab / Ctrl+PgDown and Ctrl+Shift+Tab / Ctrl+PgUp anywhere in the tab widget's window
// turn its pages, instead of reaching the shortcuts of the window behind it.
void TurnPagesByKeys(QTabWidget* tabs);

// Every window shows where the focus is (a frame around a focused check box or button), also
// when the focus came there by a click or a key other than Tab: the style otherwise draws the
// frame only after Tab was pressed in that window. Lasts as long as owner.
void ShowFocusFrames(QObject* owner);

// Shows a modeless window in front, active.
void ShowInFront(QWidget* window);

}  // namespace petrel
