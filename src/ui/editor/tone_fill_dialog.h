#pragma once

#include "ui/editor/channel_form_dialog.h"

class QComboBox;

namespace petrel {

class ToneBox;

// frmCh_edit laid out as the automatic tone fill ("Auto Subtone"): a start tone, a mode, the
// side (Tx only, Rx only or both) and the range of target channels of one editor. Modeless;
// OK writes the filled lines through the editor as one step.
class ToneFillDialog : public ChannelFormDialog {
    Q_OBJECT
  public:
    ToneFillDialog(Prompter& prompter, StatusLine& status, DocumentSession& session,
                   QWidget* parent = nullptr);
    ~ToneFillDialog() override;

  protected:
    void Ok() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Checks a target channel box; corrects it, says so and takes the focus back when it is
    // not a legal channel.
    bool CheckTarget(int box);
    int LineCount() const;

    ToneBox* startTone_ = nullptr;   // Rx_tone0
    QComboBox* fillMode_ = nullptr;  // Rx_tone1
};

}  // namespace petrel
