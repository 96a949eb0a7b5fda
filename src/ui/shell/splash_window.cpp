#include "ui/shell/splash_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "core/model/authorization.h"
#include "core/settings/access.h"
#include "core/shell/shell_model.h"

namespace petrel {

namespace {
QLabel* AddLabel(QVBoxLayout* layout, const char* name, const QString& text, int pointSize,
                 bool bold = false) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    layout->addWidget(label);
    return label;
}
}  // namespace

SplashWindow::SplashWindow(Authorization& authorization, QWidget* parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("frmHi");
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    setFrameStyle(QFrame::Box | QFrame::Raised);
    setLineWidth(2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(30, 24, 30, 24);
    layout->setSpacing(10);
    AddLabel(layout, "lblCompanyProduct", kWelcomeText, 18, true);
    AddLabel(layout, "lblProduct", kProductLabel, 14);
    AddLabel(layout, "lblVersion", kVersionText, 11);
    layout->addSpacing(12);
    AddLabel(layout, "lblCopyright", kNoticeLine, 9);
    AddLabel(layout, "lblCompany", kCompanyLine, 9);

    SetStartAuthorization(authorization);
}

void SplashWindow::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    adjustSize();
    const QRect screen =
        (this->screen() ? this->screen() : QGuiApplication::primaryScreen())->geometry();
    move(screen.center() - rect().center());
    activateWindow();
    setFocus();
}

void SplashWindow::mousePressEvent(QMouseEvent*) {
    close();
}

void SplashWindow::keyPressEvent(QKeyEvent*) {
    close();
}

void SplashWindow::focusOutEvent(QFocusEvent* event) {
    QFrame::focusOutEvent(event);
    // The focus moving between its own labels is no reason to go.
    if (!isActiveWindow()) {
        close();
    }
}

}  // namespace petrel
