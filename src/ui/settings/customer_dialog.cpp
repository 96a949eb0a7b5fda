#include "ui/settings/customer_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "core/model/workspace.h"
#include "core/ports/prompter.h"
#include "core/util/text.h"
#include "ui/common/dialog_parts.h"

namespace petrel {

CustomerDialog::CustomerDialog(Workspace& workspace, int slot, Prompter& prompter,
                               std::function<bool(const RadioWork&)> onRadio, const Clock& clock,
                               QWidget* parent)
    : QDialog(parent),
      workspace_(workspace),
      slot_(slot),
      prompter_(prompter),
      onRadio_(std::move(onRadio)),
      clock_(clock),
      name_(new QLineEdit),
      serial_(new QLineEdit) {
    setObjectName("frmCustomer");
    setWindowTitle(kCustomerCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    name_->setObjectName("txtCustomer");
    // The name block holds 15 characters: a 16th would be lost.
    name_->setMaxLength(static_cast<int>(kCustomerNameLength));
    serial_->setObjectName("txtSerial");
    serial_->setMaxLength(static_cast<int>(kSerialTypedLength));
    for (QLineEdit* box : {name_, serial_}) {
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QString(18, QChar('M'))));
    }
    auto* form = new QFormLayout;
    form->addRow("Customer Name :", name_);
    form->addRow("Serial Number :", serial_);

    QDialogButtonBox* buttons =
        DialogButtons(this, "cmdOK", "OK", "cmdCANCEL", "CANCEL", [this] { Accept(); });
    auto* read = buttons->addButton("READ", QDialogButtonBox::ActionRole);
    read->setObjectName("cmdReadInfo");
    read->setAutoDefault(false);
    connect(read, &QPushButton::clicked, this, &CustomerDialog::ReadInfo);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

RadioInfoPage& CustomerDialog::Page() const {
    return workspace_.At(slot_).info;
}

void CustomerDialog::Fill() {
    name_->setText(QString::fromStdString(Trim(Page().CustomerName)));
    serial_->setText(QString::fromStdString(Trim(Page().SerialNo)));
}

bool CustomerDialog::Run(const RadioWork& work) {
    // The operation serves the UI while it waits: this window may be gone when it ends.
    const QPointer<CustomerDialog> self(this);
    setEnabled(false);
    const bool ran = onRadio_(work);
    if (!self) {
        return false;
    }
    setEnabled(true);
    return ran;
}

void CustomerDialog::ReadInfo() {
    if (Run([this](RadioLink& link) { ReadCustomerInfo(link, Page()); })) {
        Fill();
    }
}

void CustomerDialog::Accept() {
    const std::string name = name_->text().toStdString();
    const std::string serial = serial_->text().toStdString();
    std::optional<Result<void>> written;  // none: there was no link to run it on
    if (!Run([&](RadioLink& link) {
            written = WriteCustomerInfo(link, Page(), name, serial, clock_.WallTime().Date());
        })) {
        return;  // gone meanwhile, or another radio operation is running
    }
    if (written && !*written) {
        prompter_.Tell(CustomerNotWrittenText(*written), Icon::Exclamation);
        return;
    }
    if (written) {
        emit Written();
    }
    close();
}

}  // namespace petrel
