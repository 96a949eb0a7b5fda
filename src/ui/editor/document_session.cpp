#include "ui/editor/document_session.h"

#include <QUndoStack>
#include <functional>
#include <utility>

#include "core/model/workspace.h"

namespace petrel {

namespace {

// One edit on a session's undo stack. The edit is made when it is pushed; undo and redo swap
// the core change out of the document and back in.
class ChangeCommand : public QUndoCommand {
  public:
    ChangeCommand(std::function<void(DocumentChange&)> swap, DocumentChange change)
        : swap_(std::move(swap)), change_(std::move(change)) {}
    void undo() override { swap_(change_); }
    void redo() override {
        if (pushed_) {
            pushed_ = false;
        } else {
            swap_(change_);
        }
    }

  private:
    std::function<void(DocumentChange&)> swap_;
    DocumentChange change_;
    bool pushed_ = true;
};

}  // namespace

DocumentSession::DocumentSession(Workspace& workspace, int slot, QObject* parent)
    : QObject(parent), workspace_(workspace), slot_(slot), undo_(new QUndoStack(this)) {
    Doc().changes.record = [this](DocumentChange change) { Recorded(std::move(change)); };
    connect(undo_, &QUndoStack::indexChanged, this, [this] {
        if (!closed_) {
            Doc().state.Dirty = !undo_->isClean();
        }
    });
}

DocumentSession::~DocumentSession() {
    if (!closed_ && slot_ <= workspace_.UpperSlot()) {
        Doc().changes.record = nullptr;  // the stack goes with the session
    }
}

Document& DocumentSession::Doc() const {
    return workspace_.At(slot_);
}

void DocumentSession::ApplyEdits(const LineEdits& edits, int selectRow) {
    if (closed_) {
        return;
    }
    EditChannelLines(Doc(), edits);
    if (selectRow >= 0) {
        emit LineChosen(selectRow);
    }
}

void DocumentSession::ApplyChange(const DocumentChange& change) {
    if (!closed_) {
        ChangeDocument(Doc(), change);
    }
}

void DocumentSession::Close() {
    if (closed_) {
        return;
    }
    Doc().changes.record = nullptr;
    closed_ = true;
    emit Closed();
}

void DocumentSession::Recorded(DocumentChange change) {
    // The edit is in the document already; the change holds what it replaced.
    const LineEdits lines = change.lines;
    const bool options = !change.options.empty();
    undo_->push(new ChangeCommand([this](DocumentChange& c) { Swap(c); }, std::move(change)));
    if (!lines.empty()) {
        emit LinesChanged(lines, false);
    }
    if (options) {
        emit OptionsChanged();
    }
}

void DocumentSession::Swap(DocumentChange& change) {
    if (closed_) {
        return;
    }
    SwapChange(Doc(), change);
    if (!change.lines.empty()) {
        emit LinesChanged(change.lines, true);
    }
    if (!change.options.empty()) {
        emit OptionsChanged();
    }
}

}  // namespace petrel
