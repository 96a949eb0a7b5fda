#include "core/model/workspace.h"

namespace petrel {

int Workspace::FindFreeIndex() {
    for (int slot = 1; slot <= UpperSlot(); ++slot) {
        if (slots_[slot]->state.Deleted) {
            // A reused slot starts clean: nothing of the closed document may leak into the new one.
            *slots_[slot] = Document{};
            slots_[slot]->state.Deleted = false;
            return slot;
        }
    }
    slots_.push_back(std::make_unique<Document>());
    slots_.back()->state.Deleted = false;
    return UpperSlot();
}

void Workspace::Reset() {
    slots_.clear();
    slots_.push_back(std::make_unique<Document>());
}

std::vector<int> Workspace::OpenSlots() const {
    std::vector<int> open;
    for (int slot = 1; slot <= UpperSlot(); ++slot) {
        if (!slots_[slot]->state.Deleted) {
            open.push_back(slot);
        }
    }
    return open;
}

}  // namespace petrel
