#pragma once

#include <memory>
#include <vector>

#include "core/model/radio_image.h"

namespace petrel {

// The document slots. Slot 0 is never used; a closed document's slot is reused by the next.
class Workspace {
  public:
    Workspace() { Reset(); }

    // A free slot, marked in use and holding a fresh document; the array grows when none is free.
    int FindFreeIndex();
    // Back to slot 0 only.
    void Reset();

    Document& At(int slot) { return *slots_.at(slot); }
    const Document& At(int slot) const { return *slots_.at(slot); }
    int UpperSlot() const { return static_cast<int>(slots_.size()) - 1; }
    // Slots in use, ascending.
    std::vector<int> OpenSlots() const;

  private:
    // Pointers keep every document at one address while the array grows.
    std::vector<std::unique_ptr<Document>> slots_;
};

}  // namespace petrel
