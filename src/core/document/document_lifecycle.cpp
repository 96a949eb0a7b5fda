#include "core/document/document_lifecycle.h"

#include <utility>

#include "core/document/config_file.h"
#include "core/model/band_table.h"
#include "core/model/program_state.h"
#include "core/util/text.h"

namespace petrel {

namespace {
constexpr std::string_view kUntitledPrefix = "TEMP";
}  // namespace

bool IsUntitled(const std::string& title) {
    return StartsWith(title, kUntitledPrefix);
}

bool RenumberTemp(ProgramState& state) {
    bool anyOpen = false;
    int counter = state.TempCount;
    for (const int slot : state.workspace.OpenSlots()) {
        anyOpen = true;
        Document& doc = state.workspace.At(slot);
        if (StartsWith(ToUpperAscii(FileBase(doc.title)), kUntitledPrefix)) {
            doc.title = std::string(kUntitledPrefix) + std::to_string(counter);
            --counter;
        }
    }
    return anyOpen;
}

int OpenRadioRead(ProgramState& state, RadioRead read) {
    ++state.TempCount;
    state.BandNo = read.band;
    BandInfo(state, read.band);
    return NewDocFromImage(state, std::move(read.image), std::move(read.page),
                           "Temp" + std::to_string(state.TempCount) + ".cfg");
}

void ResetDocuments(ProgramState& state) {
    state.workspace.Reset();
    state.ClipLines.clear();
}

bool UnloadDocument(ProgramState& state, int slot) {
    Document& doc = state.workspace.At(slot);
    doc.state.Deleted = true;
    if (StartsWith(ToUpperAscii(FileBase(doc.title)), kUntitledPrefix)) {
        --state.TempCount;
    }
    return RenumberTemp(state);
}

void ActivateDocument(ProgramState& state, int slot) {
    const Document& doc = state.workspace.At(slot);
    state.MaxChannel = static_cast<int>(doc.lines.size());
    BandEdges edges = DocumentBandEdges(doc);
    state.BandLow = std::move(edges.low);
    state.BandHigh = std::move(edges.high);
}

ChannelCheckResult CheckDocumentChannels(const Document& doc) {
    const BandEdges edges = DocumentBandEdges(doc);
    return CheckChannelLines(doc.lines, edges.low, edges.high);
}

}  // namespace petrel
