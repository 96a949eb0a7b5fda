#pragma once

#include <QWidget>

#include "core/ports/status_line.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace petrel {

// The strip under the editors (picToolbar): the status label labErrMsg, sized to its text, and
// the progress bar ProgressBar1 to its right while a transfer runs.
class StatusArea : public QWidget, public StatusLine {
    Q_OBJECT
  public:
    explicit StatusArea(QWidget* parent = nullptr);

    void SetStatus(const std::string& text, int color, int fontSize) override;
    std::string Text() const override { return text_; }
    int Color() const override { return color_; }
    void ShowProgress(bool visible) override;
    void SetProgressRange(int maximum) override;
    void SetProgress(int value) override;

    // One tick of the blink timer.
    void Blink();
    // The label shown whatever the blink left it.
    void ShowLabel();

  signals:
    // The Cancel button beside the progress bar was pressed.
    void CancelPressed();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void PlaceProgressBar();

    QLabel* label_;
    QProgressBar* progress_;
    QPushButton* cancel_;
    std::string text_;
    int color_ = kStatusBlack;
};

}  // namespace petrel
