#include "ui/settings/radio_info_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/model/workspace.h"
#include "core/settings/radio_info.h"
#include "ui/common/dialog_parts.h"

namespace petrel {

namespace {
constexpr int kBoxCharacters = 24;  // the frequency range is 22 characters at most
}  // namespace

RadioInfoWindow::RadioInfoWindow(const Workspace& workspace, int slot, QWidget* parent)
    : QDialog(parent), workspace_(workspace), slot_(slot) {
    setObjectName("frmRadioInfo");
    setWindowTitle(kRadioInfoCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    for (std::size_t i = 0; i < kRadioInfoBoxes.size(); ++i) {
        auto* label = new QLabel(QString::fromLatin1(kRadioInfoBoxes[i].caption));
        boxes_[i] = new QLineEdit;
        boxes_[i]->setObjectName(kRadioInfoBoxes[i].name);
        boxes_[i]->setReadOnly(true);
        boxes_[i]->setMinimumWidth(
            boxes_[i]->fontMetrics().horizontalAdvance(QString(kBoxCharacters, QChar('M'))));
        grid->addWidget(label, static_cast<int>(i), 0);
        grid->addWidget(boxes_[i], static_cast<int>(i), 1);
        label->setVisible(kRadioInfoBoxes[i].visible);
        boxes_[i]->setVisible(kRadioInfoBoxes[i].visible);
    }

    auto* close = Named(new QPushButton("CLOSE"), "cmdCLOSE");
    close->setToolTip("Close the Radio Information Window");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);

    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void RadioInfoWindow::Fill() {
    const auto texts = RadioInfoTexts(workspace_.At(slot_));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        boxes_[i]->setText(QString::fromStdString(texts[i]));
        boxes_[i]->setCursorPosition(0);
    }
}

}  // namespace petrel
