#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "core/model/radio_image.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace petrel {

struct Authorization;

// The differences between the active configuration and another (a file, a backup, the radio),
// one row each in the program's own words. A double-click on a channel's row asks for that
// channel in the editor; "Compare Again" compares the configuration as it is now.
class CompareWindow : public QDialog {
    Q_OBJECT
  public:
    // current: the configuration compared, or nullptr once its editor has closed. The other is
    // kept as it was read.
    CompareWindow(const Authorization& authorization, std::function<const Document*()> current,
                  const std::string& currentName, Document other, const std::string& otherName,
                  QWidget* parent = nullptr);

    // The differences shown, one text each, as petrel-cli diff prints them.
    QStringList Lines() const;

  signals:
    // A channel's row was double-clicked: channel is 1-based.
    void ChannelChosen(int channel);

  private:
    void Compare();
    void RowActivated(QTreeWidgetItem* item);

    const Authorization& authorization_;
    std::function<const Document*()> current_;
    std::string currentName_;
    Document other_;
    std::string otherName_;
    QLabel* summary_;
    QTreeWidget* list_;
};

}  // namespace petrel
