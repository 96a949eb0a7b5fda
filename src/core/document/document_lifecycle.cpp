#include "core/document/document_lifecycle.h"

#include <utility>

#include "core/document/config_file.h"
#include "core/model/band_table.h"
#include "core/model/workspace.h"
#include "core/util/text.h"

namespace petrel {

namespace {
constexpr std::string_view kUntitledPrefix = "TEMP";
}  // namespace

bool IsUntitled(const std::string& title) {
    return StartsWith(title, kUntitledPrefix);
}

bool RenumberTemp(Workspace& workspace) {
    bool anyOpen = false;
    int counter = workspace.TempCount();
    for (const int slot : workspace.OpenSlots()) {
        anyOpen = true;
        Document& doc = workspace.At(slot);
        if (StartsWith(ToUpperAscii(FileBase(doc.title)), kUntitledPrefix)) {
            doc.title = std::string(kUntitledPrefix) + std::to_string(counter);
            --counter;
        }
    }
    return anyOpen;
}

int OpenRadioRead(Workspace& workspace, RadioRead read) {
    const int number = workspace.AddTemp();
    return NewDocFromImage(workspace, std::move(read.image), std::move(read.page),
                           "Temp" + std::to_string(number) + ".cfg", read.band);
}

bool UnloadDocument(Workspace& workspace, int slot) {
    Document& doc = workspace.At(slot);
    doc.state.Deleted = true;
    if (workspace.ActiveSlot() == slot) {
        workspace.SetActiveSlot(0);
    }
    if (StartsWith(ToUpperAscii(FileBase(doc.title)), kUntitledPrefix)) {
        workspace.RemoveTemp();
    }
    return RenumberTemp(workspace);
}

}  // namespace petrel
