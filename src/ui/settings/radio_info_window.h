#pragma once

#include <QDialog>
#include <array>

class QLineEdit;

namespace petrel {

class Workspace;

// frmRadioInfo: the information texts of the document in slot, display only. Modeless; it
// belongs to that document's editor and closes with it.
class RadioInfoWindow : public QDialog {
    Q_OBJECT
  public:
    RadioInfoWindow(const Workspace& workspace, int slot, QWidget* parent = nullptr);

    // The boxes from the document's information texts as they are now.
    void Fill();

  private:
    const Workspace& workspace_;
    const int slot_;
    std::array<QLineEdit*, 6> boxes_{};
};

}  // namespace petrel
