#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <optional>

namespace petrel {

class FreqEntry;
class Prompter;

// Whether a box that just lost the focus is to check its text: only when the focus went to
// another control of the same dialog that is not a button. OK checks every box itself, CANCEL
// needs no check, and a click into another window or the box's own list is no leaving.
bool LeftForAnotherField(const QWidget* box);

// Rx_freq: a frequency box over a FreqEntry. It only ever shows the model's text: every key,
// click, paste and drop goes through the model.
class FreqBox : public QLineEdit {
    Q_OBJECT
  public:
    FreqBox(FreqEntry& entry, QWidget* parent = nullptr);
    // Shows the model's text, caret and selection.
    void Sync();

  signals:
    // The frequency changed in a way that JudgeFreq looks at.
    void Judge();
    void EnterPressed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    FreqEntry& entry_;
};

// Rx_tone / cboRxCTCSS: the 155 tone items; an item may be picked, or its number or its tone
// (88.5, D023) typed. Leaving the box checks what was typed: the item it names is selected,
// anything else is refused with "Input Err! Maximun Number is 154" and the focus comes back.
class ToneBox : public QComboBox {
    Q_OBJECT
  public:
    ToneBox(Prompter& prompter, QWidget* parent = nullptr);
    // Selects code's item; a code without an item shows its number (and is refused on leaving).
    void SetCode(int code);
    // Checks the text as leaving the box does; returns the code, or nothing after the message.
    // Whatever reads the box's code calls it first: a typed number reaches CodeChosen only here.
    std::optional<int> Check();

  signals:
    void CodeChosen(int code);

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    Prompter& prompter_;
    bool checkPending_ = false;  // the box was left; its check follows the focus change
};

// The fixed-pitch font of lists whose columns must line up.
QFont ColumnFont();

}  // namespace petrel
