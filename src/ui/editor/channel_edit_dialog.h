#pragma once

#include <array>
#include <memory>

#include "ui/editor/channel_form_dialog.h"

namespace petrel {

class ChannelEditModel;
class FreqBox;
class ToneBox;

// frmCh_edit: the free channel editor for one line of an editor window. Modeless; OK writes
// the line through the editor.
class ChannelEditDialog : public ChannelFormDialog {
    Q_OBJECT
  public:
    // row: the line edited.
    ChannelEditDialog(Prompter& prompter, StatusLine& status, DocumentSession& session, int row,
                      QWidget* parent = nullptr);
    ~ChannelEditDialog() override;

  protected:
    // Both frequency boxes are judged afresh.
    void OnActivated() override;
    void Ok() override;

  private:
    void SyncTx();

    int row_ = 0;
    std::unique_ptr<ChannelEditModel> model_;
    std::array<FreqBox*, 2> freq_{};
    std::array<ToneBox*, 2> tone_{};
};

}  // namespace petrel
