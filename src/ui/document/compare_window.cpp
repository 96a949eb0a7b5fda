#include "ui/document/compare_window.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

#include "core/compare/config_compare.h"
#include "ui/common/dialog_parts.h"

namespace petrel {

namespace {

constexpr int kChannelRole = Qt::UserRole;
constexpr int kTextRole = Qt::UserRole + 1;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

CompareWindow::CompareWindow(const Authorization& authorization,
                             std::function<const Document*()> current,
                             const std::string& currentName, Document other,
                             const std::string& otherName, QWidget* parent)
    : QDialog(parent),
      authorization_(authorization),
      current_(std::move(current)),
      currentName_(currentName),
      other_(std::move(other)),
      otherName_(otherName),
      summary_(Named(new QLabel, "lblCompared")),
      list_(Named(new QTreeWidget, "lstDifferences")) {
    setObjectName("frmCompare");
    setWindowTitle(Text("Compare " + currentName_ + " with " + otherName_));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    summary_->setTextFormat(Qt::PlainText);
    summary_->setWordWrap(true);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAlternatingRowColors(true);
    list_->setHeaderLabels({"Where", "What", Text(currentName_), Text(otherName_)});
    list_->header()->setStretchLastSection(true);
    connect(list_, &QTreeWidget::itemActivated, this, &CompareWindow::RowActivated);

    auto* buttons = new QDialogButtonBox;
    auto* again = Named(buttons->addButton("Compare &Again", QDialogButtonBox::ActionRole),
                        "cmdCompareAgain");
    again->setToolTip("Compare the configuration as it is now");
    // No default button: Return on a row chooses its channel and leaves the window open.
    auto* close = Named(buttons->addButton("&Close", QDialogButtonBox::RejectRole), "cmdClose");
    for (QPushButton* button : {again, close}) {
        button->setAutoDefault(false);
    }
    connect(again, &QPushButton::clicked, this, &CompareWindow::Compare);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    setTabOrder(list_, again);
    setTabOrder(again, close);
    resize(720, 420);
    Compare();
}

void CompareWindow::Compare() {
    list_->clear();
    const Document* current = current_();
    if (current == nullptr) {
        summary_->setText(Text(currentName_ + " has been closed: nothing to compare."));
        return;
    }
    const auto differences =
        CompareConfigurations(authorization_, *current, currentName_, other_, otherName_);
    for (const ConfigDifference& difference : differences) {
        auto* row = new QTreeWidgetItem(list_);
        row->setText(0, Text(difference.where));
        if (difference.onlyIn.empty()) {
            row->setText(1, Text(difference.what));
            row->setText(2, Text(difference.first));
            row->setText(3, Text(difference.second));
        } else {
            row->setText(1, Text("only in " + difference.onlyIn));
        }
        row->setData(0, kChannelRole, difference.channel);
        row->setData(0, kTextRole, Text(difference.Text()));
        if (difference.channel > 0) {
            row->setToolTip(0, "Double-click to select this channel in the editor");
        }
    }
    for (int column = 0; column < 3; ++column) {
        list_->resizeColumnToContents(column);
    }
    summary_->setText(
        differences.empty()
            ? Text("No differences: " + currentName_ + " and " + otherName_ + " are the same.")
            : Text(std::to_string(differences.size()) +
                   (differences.size() == 1 ? " difference" : " differences") + " of " +
                   otherName_ + " from " + currentName_ + "."));
    if (!differences.empty()) {
        list_->setCurrentItem(list_->topLevelItem(0));
    }
}

QStringList CompareWindow::Lines() const {
    QStringList lines;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        lines.append(list_->topLevelItem(i)->data(0, kTextRole).toString());
    }
    return lines;
}

void CompareWindow::RowActivated(QTreeWidgetItem* item) {
    const int channel = item->data(0, kChannelRole).toInt();
    if (channel > 0) {
        emit ChannelChosen(channel);
    }
}

}  // namespace petrel
