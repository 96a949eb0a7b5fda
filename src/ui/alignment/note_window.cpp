#include "ui/alignment/note_window.h"
#include "ui/common/dialog_parts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

namespace petrel {

namespace {
QWidget* OwnerOf(QWidget* over) {
    QWidget* window = over->window();
    return window->parentWidget() != nullptr ? window->parentWidget()->window() : window;
}
}  // namespace

NoteWindow::NoteWindow(const char* name, const char* caption, const char* text, QWidget* over)
    : QWidget(OwnerOf(over), Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      over_(over) {
    setObjectName(name);
    setWindowTitle(QString::fromLatin1(caption));
    setWindowModality(Qt::ApplicationModal);
    auto* label = Named(new QLabel(QString::fromLatin1(text), this), "Label1");
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->addWidget(label);
}

void NoteWindow::ShowNow() {
    adjustSize();
    if (over_) {
        const QWidget* window = over_->window();
        move(window->geometry().center() - rect().center());
    }
    show();
    raise();
    QCoreApplication::processEvents();
}

void NoteWindow::closeEvent(QCloseEvent* event) {
    event->ignore();  // it goes when the radio is done, not before
}

RadioBusy::RadioBusy(QWidget* window) : window_(window) {
    window_->setEnabled(false);
}

RadioBusy::~RadioBusy() {
    if (window_) {
        window_->setEnabled(true);
    }
}

void EndAfterOk(QDialog* dialog, OkResult result, const std::function<void()>& refresh) {
    if (result == OkResult::Stay) {
        refresh();
    } else {
        dialog->done(result == OkResult::Stored ? QDialog::Accepted : QDialog::Rejected);
    }
}

bool CancelWhenIdle(QWidget* window, const std::function<void()>& cancel) {
    if (!window->isEnabled()) {
        return false;
    }
    WhileBusy(window, cancel);
    return true;
}

}  // namespace petrel
