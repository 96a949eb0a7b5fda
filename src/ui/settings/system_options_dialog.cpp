#include "ui/settings/system_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/model/workspace.h"
#include "ui/common/dialog_parts.h"
#include "ui/common/settings_widget.h"

namespace petrel {

namespace {

QLabel* Caption(const SysListControl& control) {
    auto* label = new QLabel(QString::fromLatin1(control.caption));
    label->setObjectName(control.captionName);
    return label;
}

QGroupBox* Frame(const char* name, const char* caption) {
    auto* frame = new QGroupBox(QString::fromLatin1(caption));
    frame->setObjectName(name);
    return frame;
}

}  // namespace

SystemOptionsDialog::SystemOptionsDialog(Workspace& workspace, int slot, QWidget* parent)
    : QDialog(parent), workspace_(workspace), slot_(slot) {
    setObjectName("frmSysOP");
    setWindowTitle(kSysOpCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    for (int list = 0; list < kSysListCount; ++list) {
        lists_[list] = DropDownList(kSysListControls[list].name);
    }
    for (int check = 0; check < kSysCheckCount; ++check) {
        checks_[check] = new QCheckBox(QString::fromLatin1(kSysCheckControls[check].caption));
        checks_[check]->setObjectName(kSysCheckControls[check].name);
    }
    // Carried along unchanged: the sub-tone option has no place on any page.
    checks_[kSubtoneCheck]->setParent(this);
    checks_[kSubtoneCheck]->hide();

    const auto row = [this](QFormLayout* form, SysList list) {
        form->addRow(Caption(kSysListControls[list]), lists_[list]);
    };

    auto* basic = new QWidget;
    auto* basicForm = new QFormLayout(basic);
    for (const SysList list : {kTimeOutList, kPowerSaveList, kSquelchList, kVoxReleaseList,
                               kVoxAttackList, kLongPressList, kPttResumeList}) {
        row(basicForm, list);
    }
    basicForm->addRow(checks_[kBeepCheck]);

    auto* scan = new QWidget;
    auto* scanLayout = new QVBoxLayout(scan);
    auto* resume = new QFormLayout;
    row(resume, kScanResumeList);
    scanLayout->addLayout(resume);
    QGroupBox* priority = Frame("Frame1", kPriorityFrame);
    auto* priorityForm = new QFormLayout(priority);
    priorityForm->addRow(checks_[kPriorCheck]);
    row(priorityForm, kSampleTimeList);
    priorityForm->addRow(checks_[kPriorToneCheck]);
    scanLayout->addWidget(priority);
    QGroupBox* tx = Frame("Frame2", kTxFrame);
    auto* txForm = new QFormLayout(tx);
    txForm->addRow(checks_[kTalkBackCheck]);
    row(txForm, kTxChannelList);
    scanLayout->addWidget(tx);
    scanLayout->addStretch(1);

    auto* special = new QWidget;
    auto* specialLayout = new QVBoxLayout(special);
    QGroupBox* call = Frame("frmCall", kCallFrame);
    auto* callForm = new QFormLayout(call);
    row(callForm, kCallList);
    callForm->addRow(checks_[kCallMuteCheck]);
    specialLayout->addWidget(call);
    auto* bclo = new QFormLayout;
    row(bclo, kBcloList);
    specialLayout->addLayout(bclo);
    specialLayout->addStretch(1);

    tabs_ = Named(new QTabWidget, "tabBasicSYS");
    tabs_->addTab(basic, kBasicTab);
    tabs_->addTab(scan, kScanTab);
    tabs_->addTab(special, kSpecialTab);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(
        DialogButtons(this, "cmdOK", "OK", "cmdCANCEL", "CANCEL", [this] { Accept(); }));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    TurnPagesByKeys(tabs_);

    connect(checks_[kPriorCheck], &QCheckBox::toggled, this, &SystemOptionsDialog::UpdatePriority);
}

void SystemOptionsDialog::Fill() {
    Document* doc = workspace_.Live(slot_);
    if (doc == nullptr) {
        return;
    }
    // Channel bytes beyond the document's channels are put right as the dialog opens.
    ResetOutOfRangeChannelBytes(*doc);
    options_ = ReadSystemOptions(*doc);
    for (int list = 0; list < kSysListCount; ++list) {
        ShowEntries(lists_[list], options_.lists[list], options_.selected[list].value_or(-1));
    }
    for (int check = 0; check < kSysCheckCount; ++check) {
        checks_[check]->setChecked(options_.checked[check]);
    }
    UpdatePriority();
    tabs_->setCurrentIndex(0);
}

void SystemOptionsDialog::UpdatePriority() {
    const bool on = checks_[kPriorCheck]->isChecked();
    lists_[kSampleTimeList]->setEnabled(on);
    checks_[kPriorToneCheck]->setEnabled(on);
}

void SystemOptionsDialog::Accept() {
    if (Document* doc = workspace_.Live(slot_)) {
        SystemOptions chosen = options_;
        for (int list = 0; list < kSysListCount; ++list) {
            const int at = lists_[list]->currentIndex();
            chosen.selected[list] = at >= 0 ? std::optional<int>(at) : std::nullopt;
        }
        for (int check = 0; check < kSysCheckCount; ++check) {
            chosen.checked[check] = checks_[check]->isChecked();
        }
        WriteSysBlock(*doc, PackSystemOptions(chosen, doc->state.SysBlock));
    }
    close();
}

}  // namespace petrel
