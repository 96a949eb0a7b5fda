#pragma once

#include <QDialog>

class QCheckBox;

namespace petrel {

struct Authorization;

// frmAuthor: the authorization options. Not modal; OK sets them for the rest of the run.
class AuthorizationDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AuthorizationDialog(Authorization& authorization, QWidget* parent = nullptr);

    // The boxes from the program's flags.
    void Load();

  private:
    void Apply();

    Authorization& authorization_;
    QCheckBox* txPower_;
    QCheckBox* freq_;
    QCheckBox* button_;
};

}  // namespace petrel
