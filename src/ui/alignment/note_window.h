#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "core/alignment/alignment.h"
#include "ui/common/qt_ports.h"

class QDialog;

namespace petrel {

// A small window that says what the radio is doing while the user waits: frmAutoTune
// ("Auto Tuning") during the readings, frmWait ("Radio Setup ") during the transmit test
// set-up. It has no buttons and cannot be closed by the user; it is shown without waiting and
// painted at once, centred over the window it speaks for. It belongs to that window's owner,
// so it stays readable while the window itself is disabled.
class NoteWindow : public QWidget {
    Q_OBJECT
  public:
    NoteWindow(const char* name, const char* caption, const char* text, QWidget* over);

    // Shows the window and lets it paint before the caller goes on.
    void ShowNow();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QPointer<QWidget> over_;
};

// While the radio works: the window disabled (so nothing starts a second exchange, and the
// dialogs ignore Escape and their close button), the hourglass on; both back at the end.
class RadioBusy {
  public:
    explicit RadioBusy(QWidget* window);
    ~RadioBusy();
    RadioBusy(const RadioBusy&) = delete;
    RadioBusy& operator=(const RadioBusy&) = delete;

  private:
    QPointer<QWidget> window_;
    WaitCursor cursor_;
};

// Runs work on the radio while the window is busy and returns what work returns.
template <typename Work>
auto WhileBusy(QWidget* window, Work&& work) {
    RadioBusy busy(window);
    return work();
}

// After the model's OK: the window stays open and shows the model again, or ends with what was
// stored.
void EndAfterOk(QDialog* dialog, OkResult result, const std::function<void()>& refresh);

// CANCEL, Escape or the close button: the model's cancel runs while the window is busy. False
// while the radio is busy with something else: the closing code follows when that is done.
bool CancelWhenIdle(QWidget* window, const std::function<void()>& cancel);

}  // namespace petrel
