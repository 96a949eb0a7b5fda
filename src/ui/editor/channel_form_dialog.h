#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <string>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace petrel {

class DocumentSession;
class Prompter;
class StatusLine;

// What the free channel editor and the tone fill share (both are frmCh_edit): a modeless form
// over one editor's lines with two number boxes (Rx_DTMF0/1), three check boxes (Check10..12;
// the third is never offered), OK (Command1) and CANCEL (Command2). It goes with its editor,
// and every way out (OK, CANCEL, Escape, the close box) runs the channel check once.
class ChannelFormDialog : public QDialog {
    Q_OBJECT
  public:
    ~ChannelFormDialog() override;

  signals:
    // The dialog became the active window: the status blink stops while it is open.
    void Activated();

  public slots:
    void reject() override;

  protected:
    ChannelFormDialog(Prompter& prompter, StatusLine& status, DocumentSession& session,
                      QWidget* parent);

    // The form became active (once each time it does).
    virtual void OnActivated() {}
    // OK: writes through the session and closes, or keeps the form open after a message.
    virtual void Ok() = 0;

    // False once the editor has closed.
    bool EditorOpen() const;
    // The grid the derived form lays its fields out on, above the buttons.
    QGridLayout* Form() const { return form_; }
    // A caption in the fixed-pitch font, padded with blanks so that the colons line up.
    QLabel* Caption(const char* text);
    // Ends the tab chain: OK, then CANCEL. Called once the fields are in order.
    void EndTabOrder();
    // A judgement of the form in the status label: red with a beep, or cleared when empty.
    void ShowJudgement(const std::string& message);

    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    Prompter& prompter_;
    StatusLine& status_;
    QPointer<DocumentSession> session_;
    std::array<QLineEdit*, 2> dtmf_{};
    std::array<QCheckBox*, 3> check_{};
    QPushButton* ok_ = nullptr;

  private:
    void Activate();

    QPushButton* cancel_ = nullptr;
    QGridLayout* form_ = nullptr;
    bool active_ = false;
    bool closing_ = false;  // the channel check has run (or the editor is gone)
};

}  // namespace petrel
