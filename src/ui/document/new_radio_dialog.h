#pragma once

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QListWidget;

namespace petrel {

class Prompter;
class Workspace;

// frmNewRadio: choose a band and a channel count for a new configuration. Not modal; it closes
// itself on OK and CANCEL.
class NewRadioDialog : public QDialog {
    Q_OBJECT
  public:
    NewRadioDialog(Workspace& workspace, Prompter& prompter, QWidget* parent = nullptr);

  signals:
    // OK built a new document in slot.
    void DocumentCreated(int slot);

  private:
    void ShowReferences();
    void Accept();

    Workspace& workspace_;
    Prompter& prompter_;
    QListWidget* bands_;
    QLineEdit* channels_;
    QLineEdit* sql_;
    QLineEdit* rx_[4];
    QLineEdit* tx_[4];
    QLineEdit* mod_[4];
};

}  // namespace petrel
