#pragma once

#include <QDialog>
#include <string>

#include "core/channels/channel_csv.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace petrel {

struct Document;

// Import Channels: what importing a CSV file will do, row by row, before the document is
// touched. The first-channel box and the skip box make the plan again as they change; Import
// (the default button, Return) accepts the plan for the caller to apply, Cancel (Escape) leaves
// the document alone.
class ChannelImportDialog : public QDialog {
    Q_OBJECT
  public:
    ChannelImportDialog(const Document& doc, std::string text, bool fixedChannelsOnly,
                        const QString& fileName, QWidget* parent = nullptr);

    // What the dialog shows, and what Import accepted.
    ChannelCsvImport& Plan() { return plan_; }
    // The first channel box set (a paste starts at its row), and the plan made again.
    void SetFirstChannel(int channel);

  private:
    void Replan();

    const Document& doc_;
    const std::string text_;
    const bool fixedChannelsOnly_;
    ChannelCsvImport plan_;
    QLineEdit* firstChannel_;
    QCheckBox* skip_;
    QTableWidget* rows_;
    QLabel* summary_;
    QPushButton* import_ = nullptr;
};

}  // namespace petrel
