#include "ui/settings/buttons_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/model/authorization.h"
#include "core/model/workspace.h"
#include "ui/common/dialog_parts.h"
#include "ui/common/settings_widget.h"

namespace petrel {

ButtonsDialog::ButtonsDialog(Workspace& workspace, const Authorization& authorization, int slot,
                             QWidget* parent)
    : QDialog(parent), workspace_(workspace), authorization_(authorization), slot_(slot) {
    setObjectName("frmButtons");
    setWindowTitle(kButtonsCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    // One page per tab, two button frames on each, short and long press in each frame.
    QWidget* pages[2] = {new QWidget, new QWidget};
    for (std::size_t frame = 0; frame < kButtonFrames.size(); ++frame) {
        auto* box = new QGroupBox(QString::fromLatin1(kButtonFrames[frame].caption));
        box->setObjectName(kButtonFrames[frame].name);
        auto* grid = new QGridLayout(box);
        for (int press = 0; press < 2; ++press) {
            const int list = static_cast<int>(2 * frame) + press;
            lists_[list] = DropDownList(kButtonControls[list].name);
            grid->addWidget(new QLabel(press == 0 ? kShortPressLabel : kLongPressLabel), press, 0);
            grid->addWidget(lists_[list], press, 1);
            // The front buttons are shown but not changed in this dialog.
            lists_[list]->setEnabled(IsSideList(list));
        }
        grid->setColumnStretch(1, 1);
        QWidget* page = pages[frame / 2];
        if (page->layout() == nullptr) {
            new QVBoxLayout(page);
        }
        page->layout()->addWidget(box);
    }
    tabs_ = Named(new QTabWidget, "tabButtons");
    tabs_->addTab(pages[0], kSideTab);
    tabs_->addTab(pages[1], kFrontTab);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(DialogButtons(this, "OK", "OK", "Cancel", "Cancel", [this] { Accept(); }));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    TurnPagesByKeys(tabs_);
}

void ButtonsDialog::Fill() {
    const Document* doc = workspace_.Live(slot_);
    if (doc == nullptr) {
        return;
    }
    options_ = OpenButtons(doc->state, authorization_.PowerKeyAuth);
    for (int list = 0; list < kButtonListCount; ++list) {
        ShowEntries(lists_[list], options_.lists[list], options_.selected[list]);
    }
    tabs_->setCurrentIndex(0);
}

void ButtonsDialog::Accept() {
    if (Document* doc = workspace_.Live(slot_)) {
        ButtonOptions chosen = options_;
        for (int list = 0; list < kButtonListCount; ++list) {
            chosen.selected[list] = std::max(0, lists_[list]->currentIndex());
        }
        WriteSysBlock(*doc, PackButtons(chosen, doc->state.SysBlock));
    }
    close();
}

}  // namespace petrel
