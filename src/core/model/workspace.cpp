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
    active_ = 0;
}

bool Workspace::IsLive(int slot) const {
    return slot > 0 && slot <= UpperSlot() && !slots_[slot]->state.Deleted;
}

Document* Workspace::Live(int slot) {
    return IsLive(slot) ? slots_[slot].get() : nullptr;
}

const Document* Workspace::Live(int slot) const {
    return IsLive(slot) ? slots_[slot].get() : nullptr;
}

const Document* Workspace::Active() const {
    return Live(active_);
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
