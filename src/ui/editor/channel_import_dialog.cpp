#include "ui/editor/channel_import_dialog.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/model/radio_image.h"
#include "ui/common/dialog_parts.h"

namespace petrel {

namespace {

enum PreviewColumn {
    kLineColumn,
    kLocationColumn,
    kFrequencyColumn,
    kChannelColumn,
    kResultColumn
};
constexpr const char* kColumnTitles[] = {"Line", "Location", "Frequency", "Channel", "Result"};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

ChannelImportDialog::ChannelImportDialog(const Document& doc, std::string text,
                                         bool fixedChannelsOnly, const QString& fileName,
                                         QWidget* parent)
    : QDialog(parent),
      doc_(doc),
      text_(std::move(text)),
      fixedChannelsOnly_(fixedChannelsOnly),
      firstChannel_(Named(new QLineEdit, "txtFirstChannel")),
      skip_(Named(new QCheckBox("&Skip rows that cannot be stored"), "chkSkipUnstorable")),
      rows_(Named(new QTableWidget(0, std::size(kColumnTitles)), "tblImportRows")),
      summary_(Named(new QLabel, "lblImportSummary")) {
    setObjectName("frmImportChannels");
    setWindowTitle("Import Channels from " + QFileInfo(fileName).fileName());
    setModal(true);

    const int channels = static_cast<int>(doc_.lines.size());
    auto* firstLabel = new QLabel("&First channel:");
    firstLabel->setBuddy(firstChannel_);
    firstChannel_->setValidator(new QIntValidator(1, channels, firstChannel_));
    firstChannel_->setMaxLength(2);
    firstChannel_->setFixedWidth(firstChannel_->fontMetrics().horizontalAdvance("000") + 16);
    auto* firstHint = new QLabel(
        QString("1 to %1: the rows go there in file order. Empty: each row goes to its Location.")
            .arg(channels));
    firstHint->setWordWrap(true);

    QStringList titles;
    for (const char* title : kColumnTitles) {
        titles << title;
    }
    rows_->setHorizontalHeaderLabels(titles);
    rows_->verticalHeader()->hide();
    rows_->verticalHeader()->setDefaultSectionSize(rows_->fontMetrics().height() + 6);
    rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rows_->setSelectionMode(QAbstractItemView::SingleSelection);
    rows_->setWordWrap(false);
    rows_->horizontalHeader()->setStretchLastSection(true);
    summary_->setWordWrap(true);
    summary_->setTextFormat(Qt::PlainText);

    const OkCancel buttons = OkCancelButtons(this, "cmdImport", "cmdCancel", "Cancel");
    import_ = buttons.ok;
    import_->setText("&Import");
    connect(import_, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* options = new QGridLayout;
    options->addWidget(firstLabel, 0, 0);
    options->addWidget(firstChannel_, 0, 1);
    options->addWidget(firstHint, 0, 2);
    options->addWidget(skip_, 1, 0, 1, 3);
    options->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addWidget(rows_, 1);
    layout->addWidget(summary_);
    layout->addLayout(ButtonLayout(buttons));

    setTabOrder(firstChannel_, skip_);
    setTabOrder(skip_, rows_);
    setTabOrder(rows_, import_);
    setTabOrder(import_, buttons.cancel);

    connect(firstChannel_, &QLineEdit::textChanged, this, &ChannelImportDialog::Replan);
    connect(skip_, &QCheckBox::toggled, this, &ChannelImportDialog::Replan);
    Replan();
    rows_->resizeColumnsToContents();
    resize(760, 480);
    firstChannel_->setFocus();
}

void ChannelImportDialog::Replan() {
    ChannelImportOptions options;
    options.fixedChannelsOnly = fixedChannelsOnly_;
    options.skipUnstorable = skip_->isChecked();
    if (!firstChannel_->text().isEmpty()) {
        options.firstChannel = firstChannel_->text().toInt();
    }
    plan_ = PlanChannelsImport(doc_, text_, options);

    rows_->setRowCount(static_cast<int>(plan_.rows.size()));
    for (int r = 0; r < rows_->rowCount(); ++r) {
        const ChannelImportRow& row = plan_.rows[static_cast<std::size_t>(r)];
        const QString cells[] = {QString::number(row.line), Text(row.location), Text(row.frequency),
                                 row.channel > 0 ? QString::number(row.channel) : QString(),
                                 Text(plan_.RowResult(row))};
        for (int c = 0; c < static_cast<int>(std::size(cells)); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c != kResultColumn) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            if (row.outcome == ImportRowOutcome::Refuse) {
                item->setForeground(Qt::red);
            } else if (row.outcome == ImportRowOutcome::Skip) {
                item->setForeground(Qt::darkGray);
            }
            item->setToolTip(cells[kResultColumn]);
            rows_->setItem(r, c, item);
        }
    }
    summary_->setText(Text(plan_.PreviewSummary()));
    import_->setEnabled(plan_.CanImport());
}

void ChannelImportDialog::SetFirstChannel(int channel) {
    firstChannel_->setText(QString::number(channel));  // its change plans again
}

}  // namespace petrel
