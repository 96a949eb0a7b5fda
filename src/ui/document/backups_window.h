#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace petrel {

// Radio > Backups...: the radios kept before they were written, newest first, with what can be
// done with one: open it, compare it with the active configuration, or write it back.
class BackupsWindow : public QDialog {
    Q_OBJECT
  public:
    explicit BackupsWindow(const QString& folder, QWidget* parent = nullptr);

    // The list read again from the folder; the same backup stays selected when it is still there.
    void Refresh();
    // Whether Compare can be offered: an editor is active.
    void SetCompareEnabled(bool enabled);
    // The configuration file of the selected backup; empty without one.
    QString SelectedPath() const;

  signals:
    void OpenRequested(const QString& path);
    void CompareRequested(const QString& path);
    void WriteRequested(const QString& path);

  private:
    void UpdateButtons();

    QString folder_;
    QLabel* summary_;
    QTreeWidget* list_;
    QPushButton* open_;
    QPushButton* compare_;
    QPushButton* write_;
    bool compareEnabled_ = false;
};

}  // namespace petrel
