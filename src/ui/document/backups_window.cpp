#include "ui/document/backups_window.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/link/radio_backup.h"
#include "ui/common/dialog_parts.h"

namespace petrel {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kOpensRole = Qt::UserRole + 1;  // the backup opens as a configuration
enum Column { kTaken, kBand, kSerial, kCustomer, kChannels, kNote };

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

BackupsWindow::BackupsWindow(const QString& folder, QWidget* parent)
    : QDialog(parent),
      folder_(folder),
      summary_(Named(new QLabel, "lblBackups")),
      list_(Named(new QTreeWidget, "lstBackups")),
      open_(Named(new QPushButton("&Open"), "cmdOpen")),
      compare_(Named(new QPushButton("&Compare with Active"), "cmdCompare")),
      write_(Named(new QPushButton("&Write to Radio..."), "cmdWrite")) {
    setObjectName("frmBackups");
    setWindowTitle("Backups");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    summary_->setTextFormat(Qt::PlainText);
    summary_->setWordWrap(true);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAlternatingRowColors(true);
    list_->setHeaderLabels(
        {"Date and time", "Band", "Serial number", "Customer", "Channels", "Note"});
    list_->header()->setStretchLastSection(true);
    connect(list_, &QTreeWidget::currentItemChanged, this, &BackupsWindow::UpdateButtons);
    connect(list_, &QTreeWidget::itemActivated, this, [this] {
        if (open_->isEnabled()) {
            open_->click();
        }
    });

    open_->setToolTip("Open the backup in a new window; it is saved only under another name");
    compare_->setToolTip("List what differs between the active configuration and the backup");
    write_->setToolTip("Write the backup into the radio; the radio as it is now is kept first");
    // Return on a row opens it (the list's activation); no button takes Return from the list.
    auto* close = Named(new QPushButton("C&lose"), "cmdClose");
    for (QPushButton* button : {open_, compare_, write_, close}) {
        button->setAutoDefault(false);
    }
    connect(open_, &QPushButton::clicked, this, [this] { emit OpenRequested(SelectedPath()); });
    connect(compare_, &QPushButton::clicked, this,
            [this] { emit CompareRequested(SelectedPath()); });
    connect(write_, &QPushButton::clicked, this, [this] { emit WriteRequested(SelectedPath()); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {open_, compare_, write_}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    setTabOrder(list_, open_);
    setTabOrder(open_, compare_);
    setTabOrder(compare_, write_);
    setTabOrder(write_, close);
    resize(860, 400);
    Refresh();
}

void BackupsWindow::Refresh() {
    const QString selected = SelectedPath();
    list_->clear();
    const BackupList backups = ListBackups(folder_.toStdString());
    for (const BackupEntry& entry : backups.entries) {
        auto* row = new QTreeWidgetItem(list_);
        row->setText(kTaken, Text(entry.taken));
        row->setText(kBand, Text(entry.band));
        row->setText(kSerial, Text(entry.serial));
        row->setText(kCustomer, Text(entry.customer));
        row->setText(kChannels, entry.channels > 0 ? QString::number(entry.channels) : QString());
        row->setText(kNote, Text(entry.problem));
        row->setToolTip(kNote, Text(entry.problem));
        row->setToolTip(kTaken, Text(entry.path));
        row->setData(kTaken, kPathRole, Text(entry.path));
        row->setData(kTaken, kOpensRole, entry.channels > 0);
        if (Text(entry.path) == selected || list_->currentItem() == nullptr) {
            list_->setCurrentItem(row);
        }
    }
    for (int column = kTaken; column < kNote; ++column) {
        list_->resizeColumnToContents(column);
    }
    if (!backups.error.empty()) {
        summary_->setText(Text(backups.error));
    } else if (backups.entries.empty()) {
        summary_->setText("No backups in " + folder_ +
                          " yet. Every radio read is kept there, and before every Download "
                          "while Radio > Back up the radio before writing is ticked.");
    } else {
        const auto count = backups.entries.size();
        summary_->setText(QString("%1 %2 in %3, newest first.")
                              .arg(count)
                              .arg(count == 1 ? "backup" : "backups")
                              .arg(folder_));
    }
    UpdateButtons();
}

void BackupsWindow::SetCompareEnabled(bool enabled) {
    compareEnabled_ = enabled;
    UpdateButtons();
}

QString BackupsWindow::SelectedPath() const {
    const QTreeWidgetItem* row = list_->currentItem();
    return row ? row->data(kTaken, kPathRole).toString() : QString();
}

void BackupsWindow::UpdateButtons() {
    const QTreeWidgetItem* row = list_->currentItem();
    const bool opens = row != nullptr && row->data(kTaken, kOpensRole).toBool();
    open_->setEnabled(opens);
    compare_->setEnabled(opens && compareEnabled_);
    compare_->setToolTip(compareEnabled_ ? "List what differs between the active configuration "
                                           "and the backup"
                                         : "Open a configuration first to compare it");
    write_->setEnabled(opens);
}

}  // namespace petrel
