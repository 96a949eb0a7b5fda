#pragma once

#include <string>
#include <vector>

namespace petrel {

struct Document;

// One channel line's new text: line index (channel - 1) and the whole line.
struct LineEdit {
    int index = 0;
    std::string line;

    bool operator==(const LineEdit&) const = default;
};
using LineEdits = std::vector<LineEdit>;

// Every change to a document's channel lines goes through here: the lines named are replaced
// (an index outside the list is skipped, so nothing is ever added) and the document is marked
// changed. Returns what the replaced lines held, in the same order: applied again, it undoes
// the change.
LineEdits EditChannelLines(Document& doc, const LineEdits& edits);

}  // namespace petrel
