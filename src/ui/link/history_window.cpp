#include "ui/link/history_window.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/history/history_listing.h"
#include "core/history/radio_records.h"
#include "core/model/band_table.h"
#include "core/model/radio_image.h"
#include "core/ports/prompter.h"
#include "ui/common/dialog_parts.h"

namespace petrel {

namespace {

constexpr const char* kHistoryCaption = "Service History";

QLabel* Buddy(const char* text, QWidget* box) {
    auto* label = new QLabel(text);
    label->setBuddy(box);
    return label;
}

}  // namespace

HistoryWindow::HistoryWindow(ServiceHistory& history, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      history_(history),
      prompter_(prompter),
      serial_(Named(new QLineEdit, "txtSerialFilter")),
      customer_(Named(new QLineEdit, "txtCustomerFilter")),
      band_(Named(new QComboBox, "cboBandFilter")),
      since_(Named(new QLineEdit, "txtSinceFilter")),
      until_(Named(new QLineEdit, "txtUntilFilter")),
      table_(Named(new QTableWidget(0, static_cast<int>(kHistoryColumns.size())), "tblHistory")),
      count_(Named(new QLabel, "lblHistoryCount")),
      open_(Named(new QPushButton("&Open"), "cmdOpenRecord")),
      compare_(Named(new QPushButton("Com&pare with Active Configuration"), "cmdCompareRecord")),
      write_(Named(new QPushButton("&Write to Radio..."), "cmdWriteRecord")) {
    setObjectName("frmHistory");
    setWindowTitle(kHistoryCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    band_->addItem("Any", 0);
    for (int band = 1; band <= kBandCount; ++band) {
        band_->addItem(QString::fromStdString(HistoryBandText(band)), band);
    }
    for (QLineEdit* date : {since_, until_}) {
        date->setPlaceholderText("yyyy-mm-dd");
        date->setMaxLength(10);
    }
    auto* filters = new QGridLayout;
    filters->addWidget(Buddy("&Serial number:", serial_), 0, 0);
    filters->addWidget(serial_, 0, 1);
    filters->addWidget(Buddy("C&ustomer:", customer_), 0, 2);
    filters->addWidget(customer_, 0, 3);
    filters->addWidget(Buddy("&Band:", band_), 0, 4);
    filters->addWidget(band_, 0, 5);
    filters->addWidget(Buddy("&From:", since_), 1, 0);
    filters->addWidget(since_, 1, 1);
    filters->addWidget(Buddy("&To:", until_), 1, 2);
    filters->addWidget(until_, 1, 3);
    filters->addWidget(count_, 1, 4, 1, 2);
    for (QLineEdit* box : {serial_, customer_, since_, until_}) {
        connect(box, &QLineEdit::textChanged, this, &HistoryWindow::Refresh);
    }
    connect(band_, &QComboBox::currentIndexChanged, this, &HistoryWindow::Refresh);

    QStringList headers;
    for (const char* column : kHistoryColumns) {
        headers << column;
    }
    table_->setHorizontalHeaderLabels(headers);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    // Wide enough for every column of a record with a short file name.
    table_->setMinimumSize(table_->fontMetrics().horizontalAdvance(QString(118, QChar('x'))), 300);
    connect(table_, &QTableWidget::itemSelectionChanged, this, &HistoryWindow::UpdateButtons);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { Run(onOpen); });

    connect(open_, &QPushButton::clicked, this, [this] { Run(onOpen); });
    connect(compare_, &QPushButton::clicked, this, [this] { Run(onCompare); });
    connect(write_, &QPushButton::clicked, this, [this] { Run(onWrite); });
    auto* close = Named(new QPushButton("&Close"), "cmdClose");
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {open_, compare_, write_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    buttons->addWidget(close);
    open_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    Refresh();
}

void HistoryWindow::Refresh() {
    HistoryFilter filter;
    filter.serialNo = serial_->text().trimmed().toStdString();
    filter.customer = customer_->text().trimmed().toStdString();
    filter.band = band_->currentData().toInt();
    // A date is used once it is a whole one; until then it filters nothing.
    const std::string since = since_->text().trimmed().toStdString();
    const std::string until = until_->text().trimmed().toStdString();
    filter.since = IsHistoryDate(since) ? since : std::string();
    filter.until = IsHistoryDate(until) ? until : std::string();

    const std::int64_t chosen = Chosen() ? Chosen()->id : 0;
    records_ = history_.Find(filter);
    table_->setRowCount(static_cast<int>(records_.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const auto cells = HistoryCells(records_[static_cast<std::size_t>(row)]);
        for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
            const QString text = QString::fromStdString(cells[static_cast<std::size_t>(column)]);
            auto* item = new QTableWidgetItem(text);
            item->setToolTip(text);
            table_->setItem(row, column, item);
        }
        if (records_[static_cast<std::size_t>(row)].id == chosen) {
            table_->selectRow(row);
        }
    }
    table_->resizeColumnsToContents();
    count_->setText(records_.size() == 1 ? QString("1 record")
                                         : QString("%1 records").arg(records_.size()));
    UpdateButtons();
}

void HistoryWindow::changeEvent(QEvent* event) {
    // Records made while the window was in the background show when it comes to the front.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Refresh();
    }
    QDialog::changeEvent(event);
}

std::optional<HistoryRecord> HistoryWindow::Chosen() {
    const auto rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty() || rows.first().row() >= static_cast<int>(records_.size())) {
        return std::nullopt;
    }
    return records_[static_cast<std::size_t>(rows.first().row())];
}

void HistoryWindow::UpdateButtons() {
    const auto chosen = Chosen();
    const bool image = chosen && (chosen->hasBefore || chosen->hasAfter);
    for (QPushButton* button : {open_, compare_, write_}) {
        button->setEnabled(image);
    }
}

void HistoryWindow::Run(const std::function<void(RadioRead, const std::string&)>& action) {
    const auto chosen = Chosen();
    if (!chosen || !action) {
        return;
    }
    const auto record = history_.Get(chosen->id);
    auto radio = record ? RecordedRadio(*record) : std::nullopt;
    if (!radio) {
        prompter_.Tell("Record " + std::to_string(chosen->id) +
                           " holds no configuration this program can open.",
                       Icon::Exclamation, kHistoryCaption);
        return;
    }
    std::string name = "record " + std::to_string(chosen->id);
    if (!chosen->serialNo.empty()) {
        name += " (" + chosen->serialNo + ")";
    }
    action(std::move(*radio), name);
}

}  // namespace petrel
