#pragma once

#include <QDialog>

class QCheckBox;

namespace petrel {

struct ProgramState;

// frmAuthor: the authorization options. Not modal; OK sets them for the rest of the run.
class AuthorizationDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AuthorizationDialog(ProgramState& state, QWidget* parent = nullptr);

    // The boxes from the program's flags.
    void Load();

  private:
    void Apply();

    ProgramState& state_;
    QCheckBox* txPower_;
    QCheckBox* freq_;
    QCheckBox* button_;
};

}  // namespace petrel
