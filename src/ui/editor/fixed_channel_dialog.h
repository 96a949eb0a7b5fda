#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <array>
#include <memory>

class QCheckBox;
class QComboBox;

namespace petrel {

class FixedChannelModel;
class DocumentSession;
class Prompter;
class ToneBox;

// frmChOp ("Channel Edit"): one channel of a fixed-channel band (9, 10) while FreqLock is on;
// its frequencies are picked from the band's channel table. Modeless; OK writes the line
// through the editor.
class FixedChannelDialog : public QDialog {
    Q_OBJECT
  public:
    FixedChannelDialog(Prompter& prompter, DocumentSession& session, int row,
                       QWidget* parent = nullptr);
    ~FixedChannelDialog() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Ok();

    QPointer<DocumentSession> session_;
    int row_;
    std::unique_ptr<FixedChannelModel> model_;
    std::array<QComboBox*, 2> freq_{};
    std::array<ToneBox*, 2> tone_{};
    QCheckBox* txEqualsRx_;
    QList<QWidget*> enterOrder_;
};

}  // namespace petrel
