#include "core/model/document_edit.h"

#include <algorithm>
#include <utility>

namespace petrel {

namespace {
// Swaps each edit's value with the store's at its place. Edits outside the store are dropped,
// and of two edits of one place only the later stays: only then is the swap its own inverse.
template <typename Edit, typename Store, typename Value>
void SwapEach(std::vector<Edit>& edits, Store& store, Value Edit::*value, int Edit::*at) {
    std::vector<Edit> kept;
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
        const int place = (*edit).*at;
        const bool inside = place >= 0 && static_cast<std::size_t>(place) < store.size();
        if (inside && std::none_of(kept.begin(), kept.end(),
                                   [&](const Edit& later) { return later.*at == place; })) {
            kept.push_back(std::move(*edit));
        }
    }
    edits.assign(std::make_move_iterator(kept.rbegin()), std::make_move_iterator(kept.rend()));
    for (Edit& edit : edits) {
        std::swap(store[static_cast<std::size_t>(edit.*at)], edit.*value);
    }
}
}  // namespace

void SwapChange(Document& doc, DocumentChange& change) {
    SwapEach(change.lines, doc.lines, &LineEdit::line, &LineEdit::index);
    SwapEach(change.options, doc.state.ChOption, &OptionEdit::options, &OptionEdit::channel);
    if (change.sysBlock) {
        std::swap(doc.state.SysBlock, *change.sysBlock);
    }
    if (change.tables) {
        const InfoTables before = doc.info.Tables();
        doc.info.SetTables(*change.tables);  // the page's words with them
        *change.tables = before;
    }
}

DocumentChange ChangeDocument(Document& doc, DocumentChange change) {
    SwapChange(doc, change);
    if (change.Empty()) {
        return change;
    }
    doc.state.Dirty = true;
    if (doc.changes.record) {
        doc.changes.record(change);
    }
    return change;
}

void SetInfoTables(Document& doc, const InfoTables& tables) {
    if (doc.info.Tables() != tables) {
        DocumentChange change;
        change.tables = tables;
        ChangeDocument(doc, std::move(change));
    }
}

LineEdits EditChannelLines(Document& doc, const LineEdits& edits) {
    return ChangeDocument(doc, DocumentChange{edits, {}, {}}).lines;
}

}  // namespace petrel
