#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/model/radio_image.h"

namespace petrel {

// One channel line's new text: line index (channel - 1) and the whole line.
struct LineEdit {
    int index = 0;
    std::string line;

    bool operator==(const LineEdit&) const = default;
};
using LineEdits = std::vector<LineEdit>;

// One channel's whole option byte (0-based channel).
struct OptionEdit {
    int channel = 0;
    std::uint8_t options = 0;

    bool operator==(const OptionEdit&) const = default;
};

// The parts of a document one edit replaces. Swapped into the document, it takes what was
// there before: swapping it again undoes the edit, and again redoes it.
struct DocumentChange {
    LineEdits lines;
    std::vector<OptionEdit> options;
    std::optional<std::array<std::uint8_t, kSysBlockSize>> sysBlock;
    // The calibration tables of the document's information page (the Hardware Tuner's OK).
    std::optional<InfoTables> tables = std::nullopt;

    bool Empty() const { return lines.empty() && options.empty() && !sysBlock && !tables; }
    bool operator==(const DocumentChange&) const = default;
};

// Exchanges the change's contents with what the document holds in those places; an index
// outside the document is dropped from the change. Marks nothing: undo and redo set Dirty
// from where they arrive.
void SwapChange(Document& doc, DocumentChange& change);

// Every change to a document goes through here: the change is swapped in, the document is
// marked changed, and what it replaced goes to the document's recorder (the editor's undo
// stack) and is returned. A change that names nothing inside the document does nothing.
DocumentChange ChangeDocument(Document& doc, DocumentChange change);

// The calibration tables of the document's information page (and the words that hold them)
// become tables, as one change, when they differ.
void SetInfoTables(Document& doc, const InfoTables& tables);

// The channel lines named are replaced (an index outside the list is skipped, so nothing is
// ever added). Returns what the replaced lines held, in the same order.
LineEdits EditChannelLines(Document& doc, const LineEdits& edits);

}  // namespace petrel
