#pragma once

#include <QDialog>
#include <QPointer>
#include <array>

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QListWidget;
class QRadioButton;

namespace petrel {

class Workspace;
struct Authorization;

// frmSetChOP: the six options of one channel. Not modal; OK applies them to the document and
// closes, CANCL closes.
class ChannelOptionEditDialog : public QDialog {
    Q_OBJECT
  public:
    ChannelOptionEditDialog(Workspace& workspace, const Authorization& authorization, int slot,
                            int channel, QWidget* parent = nullptr);

  signals:
    // OK stored the channel's options (0-based channel).
    void Applied(int channel);

  private:
    void Apply();

    Workspace& workspace_;
    const Authorization& authorization_;
    const int slot_;
    const int channel_;
    std::array<QRadioButton*, 10> options_{};  // optChOption 0..9: even item = bit set
    QCheckBox* auto_ = nullptr;
};

// frmCHoption: the options of every used channel of one document, one fixed-pitch line each
// under the column title. Double-click or Enter opens the option dialog for the entry.
class ChannelOptionListDialog : public QDialog {
    Q_OBJECT
  public:
    ChannelOptionListDialog(Workspace& workspace, const Authorization& authorization, int slot,
                            QWidget* parent = nullptr);

    // CHoptionRenew: the list again from the document.
    void Renew();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void EditRow(int row);
    void ShowApplied(int channel);

    Workspace& workspace_;
    const Authorization& authorization_;
    const int slot_;
    QListWidget* list_;
    QPointer<ChannelOptionEditDialog> editor_;
};

}  // namespace petrel
