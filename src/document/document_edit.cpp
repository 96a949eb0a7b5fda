#include "document/document_edit.h"

#include "document/radio_image.h"

namespace petrel {

LineEdits EditChannelLines(Document& doc, const LineEdits& edits) {
    LineEdits previous;
    for (const LineEdit& edit : edits) {
        if (edit.index < 0 || edit.index >= static_cast<int>(doc.lines.size())) {
            continue;
        }
        std::string& line = doc.lines[static_cast<std::size_t>(edit.index)];
        previous.push_back({edit.index, line});
        line = edit.line;
    }
    if (!previous.empty()) {
        doc.state.Dirty = true;
    }
    return previous;
}

}  // namespace petrel
