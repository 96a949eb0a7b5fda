#include "ui/link/fleet_window.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/channels/channel_check.h"
#include "core/document/document_lifecycle.h"
#include "core/fleet/fleet_run.h"
#include "core/link/radio_link.h"
#include "core/model/radio_image.h"
#include "core/ports/clock.h"
#include "core/ports/prompter.h"
#include "core/ports/status_line.h"
#include "core/settings/radio_info.h"
#include "core/util/text.h"
#include "ui/common/dialog_parts.h"
#include "ui/link/radio_seam.h"

namespace petrel {

namespace {

constexpr const char* kFleetCaption = "Program Several Radios";
constexpr int kMaxFleetCount = 10000;
constexpr const char* kChannelMessagePrefix = "Chan";

// The link's progress in the window's own bar; its status texts give way to the run's line.
class FleetStatusLine : public StatusLine {
  public:
    explicit FleetStatusLine(QProgressBar* bar) : bar_(bar) {}
    void SetStatus(const std::string& text, int color, int) override {
        text_ = text;
        color_ = color;
    }
    std::string Text() const override { return text_; }
    int Color() const override { return color_; }
    void ShowProgress(bool visible) override { bar_->setVisible(visible); }
    void SetProgressRange(int maximum) override { bar_->setRange(0, maximum); }
    void SetProgress(int value) override { bar_->setValue(value); }

  private:
    QProgressBar* bar_;
    std::string text_;
    int color_ = kStatusBlack;
};

}  // namespace

FleetWindow::FleetWindow(const Document& doc, RadioSeam& radio, Prompter& prompter, Clock& clock,
                         ServiceHistory* history, std::string backupFolder, QWidget* parent)
    : QDialog(parent),
      doc_(doc),
      radio_(radio),
      prompter_(prompter),
      clock_(clock),
      history_(history),
      backupFolder_(std::move(backupFolder)),
      customer_(Named(new QLineEdit, "txtFleetCustomer")),
      keepSerial_(Named(new QRadioButton("&Keep each radio's serial number"), "optKeepSerial")),
      numberSerial_(Named(new QRadioButton("&Number them from:"), "optNumberSerial")),
      serialFrom_(Named(new QLineEdit("PMR-0001"), "txtSerialFrom")),
      countRadios_(Named(new QRadioButton("&Radios:"), "optCount")),
      untilStop_(Named(new QRadioButton("&Until I stop"), "optUntilStop")),
      count_(Named(new QSpinBox, "spnCount")),
      table_(Named(new QTableWidget(0, 4), "tblFleet")),
      status_(Named(new QLabel, "lblFleetStatus")),
      progress_(Named(new QProgressBar, "prgFleet")),
      start_(Named(new QPushButton("&Start"), "cmdStart")),
      stop_(Named(new QPushButton("S&top"), "cmdStop")),
      close_(Named(new QPushButton("&Close"), "cmdClose")) {
    setObjectName("frmFleet");
    setWindowTitle(QString::fromLatin1(kFleetCaption) + " - " +
                   QString::fromStdString(FileBase(doc.title)));
    setModal(true);

    customer_->setMaxLength(static_cast<int>(kCustomerNameLength));
    customer_->setPlaceholderText("keep each radio's");
    serialFrom_->setMaxLength(static_cast<int>(kSerialSentLength));
    numberSerial_->setChecked(true);
    count_->setRange(1, kMaxFleetCount);
    count_->setValue(10);
    countRadios_->setChecked(true);
    for (QRadioButton* option : {keepSerial_, numberSerial_, countRadios_, untilStop_}) {
        connect(option, &QRadioButton::toggled, this, &FleetWindow::UpdateInputs);
    }

    auto* inputs = new QGridLayout;
    auto* customerLabel = new QLabel("C&ustomer name:");
    customerLabel->setBuddy(customer_);
    inputs->addWidget(customerLabel, 0, 0);
    inputs->addWidget(customer_, 0, 1, 1, 3);
    auto* serialLabel = new QLabel("Serial numbers:");
    inputs->addWidget(serialLabel, 1, 0);
    inputs->addWidget(numberSerial_, 1, 1);
    inputs->addWidget(serialFrom_, 1, 2);
    inputs->addWidget(keepSerial_, 2, 1, 1, 2);
    inputs->addWidget(new QLabel("How many:"), 3, 0);
    inputs->addWidget(countRadios_, 3, 1);
    inputs->addWidget(count_, 3, 2);
    inputs->addWidget(untilStop_, 4, 1, 1, 2);
    serialFrom_->setMaximumWidth(serialFrom_->fontMetrics().horizontalAdvance(QString(16, 'M')));
    count_->setMaximumWidth(count_->fontMetrics().horizontalAdvance(QString(9, '0')));
    inputs->setColumnStretch(3, 1);
    // The two questions' options exclude each other only within their question.
    for (const auto& [first, second] :
         {std::pair{numberSerial_, keepSerial_}, std::pair{countRadios_, untilStop_}}) {
        auto* group = new QButtonGroup(this);
        group->addButton(first);
        group->addButton(second);
    }

    table_->setHorizontalHeaderLabels({"#", "Time", "Serial number", "Result"});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setMinimumSize(table_->fontMetrics().horizontalAdvance(QString(90, 'x')), 220);

    progress_->hide();
    status_->setWordWrap(true);
    status_->setText("Connect the first radio, then press Start.");

    start_->setDefault(true);
    stop_->setEnabled(false);
    stop_->setAutoDefault(false);
    close_->setAutoDefault(false);
    connect(start_, &QPushButton::clicked, this, &FleetWindow::Start);
    connect(stop_, &QPushButton::clicked, this, &FleetWindow::Stop);
    connect(close_, &QPushButton::clicked, this, &FleetWindow::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    buttons->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(inputs);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addLayout(buttons);

    setTabOrder(customer_, numberSerial_);
    setTabOrder(numberSerial_, serialFrom_);
    setTabOrder(serialFrom_, keepSerial_);
    setTabOrder(keepSerial_, countRadios_);
    setTabOrder(countRadios_, count_);
    setTabOrder(count_, untilStop_);
    setTabOrder(untilStop_, table_);
    setTabOrder(table_, start_);
    setTabOrder(start_, stop_);
    setTabOrder(stop_, close_);
    UpdateInputs();
}

FleetWindow::~FleetWindow() = default;

void FleetWindow::UpdateInputs() {
    const bool idle = run_ == nullptr;
    for (QWidget* input : std::initializer_list<QWidget*>{customer_, keepSerial_, numberSerial_,
                                                          countRadios_, untilStop_}) {
        input->setEnabled(idle);
    }
    serialFrom_->setEnabled(idle && numberSerial_->isChecked());
    count_->setEnabled(idle && countRadios_->isChecked());
    start_->setEnabled(idle);
    stop_->setEnabled(!idle);
    close_->setEnabled(idle);
}

void FleetWindow::Start() {
    if (run_ != nullptr) {
        return;
    }
    FleetOptions options;
    options.customer = Trim(customer_->text().toStdString());
    // The radio keeps Latin-1 characters: another would never read back as it was written.
    if (Latin1ToUtf8(Utf8ToLatin1(options.customer)) != options.customer) {
        prompter_.Tell(
            "The customer name can hold only Latin-1 characters (letters with accents "
            "are fine, other scripts and symbols are not).",
            Icon::Exclamation, kFleetCaption);
        customer_->setFocus();
        return;
    }
    options.count = countRadios_->isChecked() ? count_->value() : 0;
    options.backupFolder = backupFolder_;
    if (numberSerial_->isChecked()) {
        std::string why;
        const auto pattern = ParseSerialPattern(serialFrom_->text().toStdString(), why);
        if (!pattern) {
            prompter_.Tell("The serial numbers cannot be made: " + why + ".", Icon::Exclamation,
                           kFleetCaption);
            serialFrom_->setFocus();
            return;
        }
        options.serial = *pattern;
    }
    // The channel warning a Download asks about is asked once, for the whole run.
    std::string accepted;
    if (const auto check = CheckDocumentChannels(doc_);
        check.anyFrequency && StartsWith(check.message, kChannelMessagePrefix)) {
        const Answer answer =
            prompter_.Ask(Message{check.message + kLineBreak + "Do you want to continue ?",
                                  kFleetCaption, Buttons::YesNo, Icon::Stop, Answer::No});
        if (answer != Answer::Yes) {
            return;
        }
        accepted = check.message;
    }

    FleetPrompter fleetPrompter(accepted);
    FleetStatusLine statusLine(progress_);
    std::unique_ptr<RadioLink> link = radio_.NewLink(fleetPrompter, statusLine, clock_);
    if (!link) {
        status_->setText("There is no radio link to program radios with.");
        return;
    }
    link->Frames().SetCaption(doc_.title);
    table_->setRowCount(0);
    FleetRun run(*link, fleetPrompter, clock_, doc_, options, history_);
    run.radioDone = [this](const FleetRadio& radio) { AddRow(radio); };
    run.goOnAfterFailure = [this](const FleetRadio& radio) {
        const Answer answer = prompter_.Ask(Message{
            "Radio " + std::to_string(radio.number) + " was not written: " + radio.reason + "." +
                kLineBreak +
                "Disconnect it, then press OK to go on with the next radio, or Cancel to stop.",
            kFleetCaption, Buttons::OkCancel, Icon::Exclamation, Answer::Ok});
        return answer == Answer::Ok;
    };
    run_ = &run;
    UpdateInputs();
    stop_->setFocus();
    emit RunningChanged(true);
    bool noticeTold = false;
    while (run.Step() != FleetState::Finished) {
        status_->setText(QString::fromStdString(run.StatusText()));
        if (auto notice = run.TakeHistoryNotice(); notice && !noticeTold) {
            noticeTold = true;
            prompter_.Tell(*notice, Icon::Exclamation, kFleetCaption);
        }
        QCoreApplication::processEvents();
    }
    status_->setText(QString::fromStdString(run.StatusText()));
    progress_->hide();
    run_ = nullptr;
    UpdateInputs();
    start_->setFocus();
    emit RunningChanged(false);
    if (closeWhenDone_) {
        close();
    }
}

void FleetWindow::Stop() {
    if (run_ != nullptr) {
        run_->Stop();
        status_->setText("Stopping: a radio being written stops at its next block.");
    }
}

void FleetWindow::AddRow(const FleetRadio& radio) {
    const int row = table_->rowCount();
    table_->insertRow(row);
    std::string result = FleetOutcomeText(radio.outcome);
    if (!radio.reason.empty()) {
        result += ": " + radio.reason;
    }
    const QStringList cells = {QString::number(radio.number), QString::fromStdString(radio.time),
                               QString::fromStdString(radio.serialNo),
                               QString::fromStdString(result)};
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        item->setToolTip(cells[column]);
        table_->setItem(row, column, item);
    }
    table_->scrollToBottom();
}

void FleetWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && run_ != nullptr) {
        Stop();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FleetWindow::reject() {
    if (run_ != nullptr) {
        Stop();
        return;
    }
    QDialog::reject();
}

void FleetWindow::closeEvent(QCloseEvent* event) {
    // The run is stopped (a write between two blocks); the window goes when it has ended.
    if (run_ != nullptr) {
        Stop();
        closeWhenDone_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace petrel
