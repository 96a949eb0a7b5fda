#include "ui/link/port_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/link/port_scan.h"
#include "ui/common/dialog_parts.h"

namespace petrel {

namespace {
constexpr int kListRowsShown = 8;  // COM1..COM8 without scrolling
constexpr int kMinimumWidth = 560;
}  // namespace

PortDialog::PortDialog(std::vector<PortEntry> entries, Tester tester, LastRadio lastRadio,
                       QWidget* parent)
    : QDialog(parent),
      entries_(std::move(entries)),
      tester_(std::move(tester)),
      lastRadio_(std::move(lastRadio)),
      list_(Named(new QListWidget, "lstPorts")),
      result_(Named(new QLabel, "lblTestResult")),
      test_(Named(new QPushButton("&Test"), "cmdTest")) {
    setObjectName("frmPort");
    setWindowTitle("Radio Port");

    auto* caption = new QLabel("Serial &ports (the radio is looked for on them in this order):");
    caption->setBuddy(list_);
    list_->setUniformItemSizes(true);
    list_->setMinimumHeight(list_->fontMetrics().height() * (kListRowsShown + 1));
    result_->setWordWrap(true);
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    result_->setMinimumHeight(result_->fontMetrics().height() * 2);
    test_->setToolTip("Look for a radio on the chosen port");
    test_->setAutoDefault(false);

    const OkCancel buttons = OkCancelButtons(this, "cmdOK", "cmdCancel", "&Cancel");
    ok_ = buttons.ok;
    ok_->setText("&OK");
    ok_->setToolTip("Use the chosen port first, now and in later runs");
    buttons.cancel->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(test_, &QPushButton::clicked, this, &PortDialog::RunTest);
    connect(list_, &QListWidget::currentRowChanged, this, [this] {
        result_->clear();
        UpdateButtons();
    });

    auto* row = new QHBoxLayout;
    row->addWidget(test_);
    row->addStretch(1);
    row->addWidget(ok_);
    row->addWidget(buttons.cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(list_, 1);
    layout->addWidget(result_);
    layout->addLayout(row);
    setMinimumWidth(kMinimumWidth);
    setTabOrder(list_, test_);
    setTabOrder(test_, ok_);
    setTabOrder(ok_, buttons.cancel);

    FillRows();
    if (entries_.empty()) {
        result_->setText(QString::fromStdString(PortProblemsText({})));
    }
    list_->setFocus();
    UpdateButtons();
}

void PortDialog::FillRows() {
    const int chosen = list_->currentRow();
    const std::string inUse = PortInUse(entries_, lastRadio_ ? lastRadio_() : std::nullopt);
    rows_ = PortRows(entries_, inUse);
    list_->clear();
    int inUseRow = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(rows_[i].text), list_);
        // The port in use in bold; one that does not open in italics, its reason readable.
        QFont font = item->font();
        font.setBold(rows_[i].inUse);
        font.setItalic(!rows_[i].opens);
        item->setFont(font);
        if (rows_[i].inUse) {
            inUseRow = static_cast<int>(i);
        }
    }
    if (!rows_.empty()) {
        list_->setCurrentRow(chosen >= 0 && chosen < list_->count() ? chosen : inUseRow);
    }
}

void PortDialog::UpdateButtons() {
    const bool chosen = list_->currentRow() >= 0;
    test_->setEnabled(chosen && tester_ != nullptr);
    ok_->setEnabled(chosen);
}

std::string PortDialog::ChosenDevice() const {
    const int row = list_->currentRow();
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row].device : std::string();
}

void PortDialog::RunTest() {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(rows_.size()) || !tester_) {
        return;
    }
    const PortRow port = rows_[row];
    result_->setText(QString("Looking for a radio on COM%1 %2...")
                         .arg(port.number)
                         .arg(QString::fromStdString(port.device)));
    result_->repaint();
    QWidget* focus = focusWidget();
    const std::optional<PortTest> test = tester_(port.number);
    if (!test) {
        result_->setText("The port cannot be tested while another radio operation runs.");
        return;
    }
    FillRows();  // a radio identified marks its port in use
    result_->setText(QString::fromStdString(PortTestText(*test)));
    // The test kept the dialog from taking input; the keys go on where they were.
    if (focus != nullptr) {
        focus->setFocus();
    }
}

}  // namespace petrel
