#include "settings/sys_block.h"

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
    doc.state.SysBlock = block;
    doc.state.Dirty = true;
    return true;
}

}  // namespace petrel
