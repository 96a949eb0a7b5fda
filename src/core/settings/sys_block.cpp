#include "core/settings/sys_block.h"

#include "core/model/document_edit.h"
#include "core/model/workspace.h"

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

}  // namespace petrel
