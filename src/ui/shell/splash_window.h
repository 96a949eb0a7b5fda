#pragma once

#include <QFrame>

namespace petrel {

struct Authorization;

// The splash frmHi: product, version and notice. A click, a key or losing the focus closes it.
class SplashWindow : public QFrame {
    Q_OBJECT
  public:
    // Showing the splash also sets the start values of the authorization options.
    explicit SplashWindow(Authorization& authorization, QWidget* parent = nullptr);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

}  // namespace petrel
