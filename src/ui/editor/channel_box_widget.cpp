#include "ui/editor/channel_box_widget.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include "core/channels/channel_dialogs.h"
#include "core/channels/freq_entry.h"
#include "core/model/tone_table.h"
#include "core/ports/prompter.h"

namespace petrel {

bool LeftForAnotherField(const QWidget* box) {
    const QWidget* next = QApplication::focusWidget();
    return next != nullptr && next != box && next->window() == box->window() &&
           qobject_cast<const QPushButton*>(next) == nullptr;
}

QFont ColumnFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    return font;
}

FreqBox::FreqBox(FreqEntry& entry, QWidget* parent) : QLineEdit(parent), entry_(entry) {
    setAcceptDrops(false);
    setDragEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // Whatever reaches the text without passing the model is taken back.
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (text().toStdString() != entry_.Text()) {
            Sync();
        }
    });
    Sync();
}

void FreqBox::Sync() {
    const QSignalBlocker block(this);
    const QString shown = QString::fromStdString(entry_.Text());
    if (text() != shown) {
        setText(shown);
    }
    if (entry_.AllSelected()) {
        setSelection(0, static_cast<int>(shown.size()));
    } else {
        setCursorPosition(entry_.Caret());
    }
}

void FreqBox::keyPressEvent(QKeyEvent* event) {
    EntryResult result = EntryResult::Changed;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit EnterPressed();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        event->ignore();  // the dialog's CANCEL
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        result = entry_.Paste(QApplication::clipboard()->text().toStdString());
        if (result == EntryResult::Refused) {
            QApplication::beep();
        }
    } else if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(text());
    } else if (event->matches(QKeySequence::SelectAll)) {
        entry_.SelectAll();
    } else {
        switch (event->key()) {
            case Qt::Key_Backspace:
                result = entry_.Backspace();
                break;
            case Qt::Key_Delete:
                result = entry_.Delete();
                break;
            case Qt::Key_Left:
                entry_.Left();
                break;
            case Qt::Key_Right:
                entry_.Right();
                break;
            case Qt::Key_Home:
                entry_.Home();
                break;
            case Qt::Key_End:
                entry_.End();
                break;
            default:
                if (event->text().isEmpty() || event->modifiers() & Qt::ControlModifier) {
                    QWidget::keyPressEvent(event);  // not ours: let the dialog see it
                    return;
                }
                // Every other character is discarded; digits overwrite.
                result = entry_.TypeDigit(event->text().front().toLatin1());
        }
    }
    Sync();
    if (result == EntryResult::Judge) {
        emit Judge();
    }
}

void FreqBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        entry_.Click(cursorPositionAt(event->position().toPoint()));
        setFocus(Qt::MouseFocusReason);
        Sync();
    }
}

void FreqBox::mouseMoveEvent(QMouseEvent*) {
    // No dragged selection: the caret alone says where a digit goes.
}

void FreqBox::mouseReleaseEvent(QMouseEvent*) {
    // Nor the middle button's paste of the selection, which would bypass the model.
}

void FreqBox::mouseDoubleClickEvent(QMouseEvent*) {
    entry_.SelectAll();
    Sync();
}

void FreqBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    Sync();  // the line edit's own select-all on Tab is not the model's
}

ToneBox::ToneBox(Prompter& prompter, QWidget* parent) : QComboBox(parent), prompter_(prompter) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setFont(ColumnFont());
    setMaxVisibleItems(16);
    setMinimumContentsLength(static_cast<int>(ToneItemText(1).size()));
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    for (int code = 0; code <= kLastToneCode; ++code) {
        addItem(QString::fromStdString(ToneItemText(code)));
    }
    setToolTip(QString::fromStdString(ToneEntryHint()));
    connect(this, &QComboBox::activated, this, [this](int index) { emit CodeChosen(index); });
}

void ToneBox::SetCode(int code) {
    if (code >= 0 && code < count()) {
        setCurrentIndex(code);
    } else {
        setCurrentIndex(-1);
        setEditText(QString::number(code));
    }
}

std::optional<int> ToneBox::Check() {
    checkPending_ = false;
    const auto code = ToneCodeOf(currentText().toStdString());
    if (!code) {
        prompter_.Tell(ToneInputError());
        setFocus(Qt::OtherFocusReason);
        lineEdit()->selectAll();
        return std::nullopt;
    }
    setCurrentIndex(*code);
    emit CodeChosen(*code);
    return code;
}

void ToneBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    lineEdit()->selectAll();  // a typed number replaces the item's text
}

void ToneBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (LeftForAnotherField(this)) {
        // After the focus change is through: the message box must not interrupt it. A check
        // made meanwhile (the control the focus went to read the code) makes it needless.
        checkPending_ = true;
        QTimer::singleShot(0, this, [this] {
            if (checkPending_) {
                Check();
            }
        });
    }
}

}  // namespace petrel
