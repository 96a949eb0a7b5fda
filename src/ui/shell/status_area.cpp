#include "ui/shell/status_area.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "core/shell/shell_model.h"

namespace petrel {

namespace {
constexpr int kMargin = 4;
constexpr int kProgressGap = 7;  // between the label's right edge and the progress bar

// A colour value of the status label: red in the low byte, then green, then blue.
QColor ToQColor(int color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}
}  // namespace

StatusArea::StatusArea(QWidget* parent)
    : QWidget(parent),
      label_(new QLabel(this)),
      progress_(new QProgressBar(this)),
      cancel_(new QPushButton("Cancel", this)) {
    setObjectName("picToolbar");
    label_->setObjectName("labErrMsg");
    label_->setText("Err Mesage");
    // The mouse is always over the strip, not the label: a blinking label would otherwise hide
    // the strip's tip each time it hides.
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    progress_->setObjectName("ProgressBar1");
    progress_->setTextVisible(false);
    progress_->hide();
    // Stops the transfer the progress bar follows; Escape does the same.
    cancel_->setObjectName("cmdCancelTransfer");
    cancel_->setToolTip("Stop the transfer after the block being sent (Esc)");
    cancel_->setFocusPolicy(Qt::NoFocus);
    cancel_->hide();
    connect(cancel_, &QPushButton::clicked, this, &StatusArea::CancelPressed);
    SetStatus("Err Mesage", kStatusBlack, kStatusFontNormal);
}

void StatusArea::SetStatus(const std::string& text, int color, int fontSize) {
    text_ = text;
    color_ = color;
    QFont font = this->font();
    font.setPointSize(fontSize);
    setFont(font);
    label_->setFont(font);
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, ToQColor(color));
    label_->setPalette(palette);
    label_->setText(QString::fromStdString(text));
    // A long text (a backup's path, say) runs past a narrow window: the tip shows it whole.
    setToolTip(label_->text());
    const QFontMetrics metrics(font);
    const int height = metrics.height() + 2 * kMargin;
    setMinimumHeight(height);
    label_->setGeometry(kMargin, kMargin, metrics.horizontalAdvance(label_->text()) + 2,
                        metrics.height());
    label_->show();
    PlaceProgressBar();
}

void StatusArea::ShowProgress(bool visible) {
    PlaceProgressBar();
    progress_->setVisible(visible);
    cancel_->setVisible(visible);
}

void StatusArea::SetProgressRange(int maximum) {
    progress_->setRange(0, maximum);
}

void StatusArea::SetProgress(int value) {
    progress_->setValue(value);
}

void StatusArea::Blink() {
    label_->setVisible(BlinkVisibility(color_, !label_->isHidden()));
}

void StatusArea::ShowLabel() {
    label_->show();
}

void StatusArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceProgressBar();
}

void StatusArea::PlaceProgressBar() {
    const int left = label_->geometry().right() + kProgressGap;
    const int barHeight = std::max(0, height() - 2 * kMargin);
    const int buttonWidth = cancel_->sizeHint().width();
    cancel_->setGeometry(width() - kMargin - buttonWidth, kMargin, buttonWidth, barHeight);
    progress_->setGeometry(left, kMargin, std::max(0, width() - left - 2 * kMargin - buttonWidth),
                           barHeight);
}

}  // namespace petrel
