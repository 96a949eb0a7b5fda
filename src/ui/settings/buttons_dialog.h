#pragma once

#include <QDialog>
#include <array>

#include "core/settings/button_options.h"

class QComboBox;
class QTabWidget;

namespace petrel {

class Workspace;
struct Authorization;

// frmButtons: the programmable buttons of one document. Modeless; OK writes into the document
// it was opened from. The front buttons are shown but cannot be changed here.
class ButtonsDialog : public QDialog {
    Q_OBJECT
  public:
    ButtonsDialog(Workspace& workspace, const Authorization& authorization, int slot,
                  QWidget* parent = nullptr);

    // Open: builds the side lists for the document and the authorization, selects the stored
    // functions and shows the "Side Buttons" tab.
    void Fill();

  private:
    void Accept();

    Workspace& workspace_;
    const Authorization& authorization_;
    const int slot_;
    ButtonOptions options_;
    QTabWidget* tabs_;
    std::array<QComboBox*, kButtonListCount> lists_{};
};

}  // namespace petrel
