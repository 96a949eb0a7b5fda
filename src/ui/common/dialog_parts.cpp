#include "ui/common/dialog_parts.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QPushButton>
#include <QTabWidget>

namespace petrel {

namespace {

// Watches a tabbed window's keys: the page keys are claimed before any shortcut sees them and
// turn the pages wherever the focus is.
class PageKeys : public QObject {
  public:
    explicit PageKeys(QTabWidget* tabs) : QObject(tabs), tabs_(tabs) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->window() != tabs_->window()) {
            return false;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        const int step = Step(*key);
        if (step == 0) {
            return false;
        }
        key->accept();
        if (event->type() == QEvent::KeyPress && tabs_->count() > 0) {
            tabs_->setCurrentIndex((tabs_->currentIndex() + step + tabs_->count()) %
                                   tabs_->count());
        }
        return true;
    }

  private:
    static int Step(const QKeyEvent& key) {
        if (!(key.modifiers() & Qt::ControlModifier)) {
            return 0;
        }
        const bool shift = key.modifiers() & Qt::ShiftModifier;
        switch (key.key()) {
            case Qt::Key_Tab:
                return shift ? -1 : 1;
            case Qt::Key_Backtab:
                return -1;
            case Qt::Key_PageDown:
                return 1;
            case Qt::Key_PageUp:
                return -1;
            default:
                return 0;
        }
    }

    QTabWidget* tabs_;
};

// The application's style with a focus frame inside a focused push button: the style alone
// draws a focused button as it draws the default one, so the two cannot be told apart.
class FocusFrameStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element == CE_PushButton && (option->state & State_HasFocus) &&
            (option->state & State_KeyboardFocusChange)) {
            constexpr int kInset = 3;
            painter->save();
            QPen pen(option->palette.color(QPalette::Highlight));
            pen.setStyle(Qt::DotLine);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option->rect.adjusted(kInset, kInset, -kInset - 1, -kInset - 1));
            painter->restore();
        }
    }
};

// Marks a window as one whose focus came by the keyboard as soon as a control in it gets the
// focus: the styles draw focus frames only in such windows.
class FocusFrames : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            if (auto* widget = qobject_cast<QWidget*>(watched)) {
                QWidget* window = widget->window();
                if (!window->testAttribute(Qt::WA_KeyboardFocusChange)) {
                    window->setAttribute(Qt::WA_KeyboardFocusChange);
                    widget->update();
                }
            }
        }
        return false;
    }
};

}  // namespace

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

void TurnPagesByKeys(QTabWidget* tabs) {
    // Seen before the control with the focus sees them: a tab bar with the focus would
    // otherwise keep Ctrl+Tab unused, and the window behind would take it as a shortcut. The
    // filter goes with the tab widget.
    qApp->installEventFilter(new PageKeys(tabs));
}

void ShowFocusFrames(QObject* owner) {
    if (dynamic_cast<FocusFrameStyle*>(QApplication::style()) == nullptr) {
        QApplication::setStyle(new FocusFrameStyle(QApplication::style()->name()));
    }
    qApp->installEventFilter(new FocusFrames(owner));
}

}  // namespace petrel
