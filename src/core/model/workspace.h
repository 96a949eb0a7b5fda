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
    // The document in slot while it is open; nullptr once its window has given it up.
    Document* Live(int slot);
    const Document* Live(int slot) const;
    // Slots in use, ascending.
    std::vector<int> OpenSlots() const;

    // The document of the active editor, "the current configuration": its channel count, band
    // edges and frequency-text length are read from it, never kept elsewhere. Slot 0: none.
    void SetActiveSlot(int slot) { active_ = slot; }
    int ActiveSlot() const { return active_; }
    const Document* Active() const;

    // The counter of untitled documents: one more for every configuration built or read, one
    // less when an untitled one closes. Untitled documents are numbered by it.
    int TempCount() const { return tempCount_; }
    int AddTemp() { return ++tempCount_; }
    void RemoveTemp() { --tempCount_; }
    void SetTempCount(int count) { tempCount_ = count; }

  private:
    bool IsLive(int slot) const;

    // Pointers keep every document at one address while the array grows.
    std::vector<std::unique_ptr<Document>> slots_;
    int active_ = 0;
    int tempCount_ = 0;
};

}  // namespace petrel
