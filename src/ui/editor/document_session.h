#pragma once

#include <QObject>

#include "core/model/document_edit.h"

class QUndoStack;

namespace petrel {

class Workspace;

// One open document as its views see it: the one place a view (the channel list, the grid,
// the channel forms) connects to. It owns the document's undo stack, takes every change the
// core records for the document, and says what changed, whether an edit, an undo or a redo
// made it. Views refresh from its signals instead of being told by whoever made the change.
class DocumentSession : public QObject {
    Q_OBJECT
  public:
    DocumentSession(Workspace& workspace, int slot, QObject* parent = nullptr);
    ~DocumentSession() override;

    int Slot() const { return slot_; }
    Document& Doc() const;
    // True once the editor has closed: the document is no longer this session's.
    bool IsClosed() const { return closed_; }
    // Every change of the document, one step each. Back at the step last saved the document
    // counts as unchanged.
    QUndoStack& UndoStack() const { return *undo_; }

    // Changes channel lines as one step; selectRow >= 0 becomes the one selected line.
    void ApplyEdits(const LineEdits& edits, int selectRow = -1);
    // Any change of the document as one step.
    void ApplyChange(const DocumentChange& change);
    // The editor has closed: the recorder is given up and the views told.
    void Close();

  signals:
    // These lines (by index) hold new text; undone is true for an undo or a redo.
    void LinesChanged(const petrel::LineEdits& lines, bool undone);
    // Channel option bytes changed.
    void OptionsChanged();
    // A change asks for this line to be the one selected.
    void LineChosen(int row);
    void Closed();

  private:
    void Recorded(DocumentChange change);
    void Swap(DocumentChange& change);

    Workspace& workspace_;
    const int slot_;
    QUndoStack* undo_;
    bool closed_ = false;
};

}  // namespace petrel
