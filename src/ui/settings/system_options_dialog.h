#pragma once

#include <QDialog>
#include <array>

#include "core/settings/system_options.h"

class QCheckBox;
class QComboBox;
class QTabWidget;

namespace petrel {

class Workspace;

// frmSysOP: the system options of one document. Modeless; OK writes into the document it was
// opened from, never into another window's.
class SystemOptionsDialog : public QDialog {
    Q_OBJECT
  public:
    SystemOptionsDialog(Workspace& workspace, int slot, QWidget* parent = nullptr);

    // Open: fills the controls from the document, which may first lose a priority or transmit
    // channel byte above its channel count; shows the "BASIC" page.
    void Fill();

  private:
    void Accept();
    void UpdatePriority();

    Workspace& workspace_;
    const int slot_;
    SystemOptions options_;
    QTabWidget* tabs_;
    std::array<QComboBox*, kSysListCount> lists_{};
    std::array<QCheckBox*, kSysCheckCount> checks_{};
};

}  // namespace petrel
