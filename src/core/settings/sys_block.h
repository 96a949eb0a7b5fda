#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/model/radio_image.h"

namespace petrel {

using SysBlockBytes = std::array<std::uint8_t, kSysBlockSize>;

// One entry of a settings list: the text it shows and the code it stores.
struct ListEntry {
    std::string text;
    int code = 0;
};
using EntryList = std::vector<ListEntry>;

// Position of the first entry that stores code.
std::optional<int> FindCode(const EntryList& list, int code);

// Every change a settings dialog makes to a document's system block goes through here: the
// new bytes replace the old ones, and a document whose bytes changed is marked dirty.
// Returns whether any byte changed.
bool WriteSysBlock(Document& doc, const SysBlockBytes& block);

}  // namespace petrel
