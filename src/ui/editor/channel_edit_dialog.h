#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace petrel {

class ChannelEditModel;
class FreqBox;
class NotePadWindow;
class Prompter;
class StatusLine;
class ToneBox;
struct ProgramState;

// frmCh_edit: the free channel editor for one line of an editor window, or, re-laid out, the
// automatic tone fill ("Auto Subtone") over a range of its lines. Modeless; OK writes through
// the editor, every way out runs the channel check.
class ChannelEditDialog : public QDialog {
    Q_OBJECT
  public:
    enum class Mode { Channel, ToneFill };
    // row: the line edited (channel mode only).
    ChannelEditDialog(ProgramState& state, Prompter& prompter, StatusLine& status,
                      NotePadWindow& editor, Mode mode, int row, QWidget* parent = nullptr);
    ~ChannelEditDialog() override;

  signals:
    // The dialog became the active window: the status blink stops while it is open.
    void Activated();

  public slots:
    void reject() override;

  protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildChannelLayout(int row);
    void BuildToneFillLayout();
    // Activation: the blink stops; in channel mode both boxes are judged afresh.
    void Activate();
    void ShowJudgement(const std::string& message);
    void SyncTx();
    // Checks a target channel box; corrects it, says so and takes the focus back when it is
    // not a legal channel.
    bool CheckTarget(int box);
    void Ok();

    ProgramState& state_;
    Prompter& prompter_;
    StatusLine& status_;
    QPointer<NotePadWindow> editor_;
    const Mode mode_;
    int row_ = 0;
    std::string bandLow_;
    std::string bandHigh_;
    std::unique_ptr<ChannelEditModel> model_;

    std::array<FreqBox*, 2> freq_{};
    ToneBox* startTone_ = nullptr;   // Rx_tone(0): the Rx tone, or the fill's start code
    ToneBox* txTone_ = nullptr;      // Rx_tone(1) in channel mode
    QComboBox* fillMode_ = nullptr;  // Rx_tone(1) in the tone fill
    std::array<QLineEdit*, 2> dtmf_{};
    std::array<QCheckBox*, 3> check_{};
    QPushButton* ok_ = nullptr;
    bool active_ = false;
    bool closing_ = false;  // the channel check has run (or the editor is gone)
};

}  // namespace petrel
