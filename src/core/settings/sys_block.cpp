#include "core/settings/sys_block.h"

#include "core/model/document_edit.h"
#include "core/model/program_state.h"

namespace petrel {

std::optional<int> FindCode(const EntryList& list, int code) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].code == code) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

bool WriteSysBlock(Document& doc, const SysBlockBytes& block) {
    if (doc.state.SysBlock == block) {
        return false;
    }
    ChangeDocument(doc, DocumentChange{{}, {}, block});
    return true;
}

Document* LiveDocument(ProgramState& state, int slot) {
    if (slot <= 0 || slot > state.workspace.UpperSlot()) {
        return nullptr;
    }
    Document& doc = state.workspace.At(slot);
    return doc.state.Deleted ? nullptr : &doc;
}

}  // namespace petrel
