#include "document/document_lifecycle.h"

#include <utility>

#include "document/band_table.h"
#include "document/config_file.h"
#include "document/program_state.h"
#include "util/text.h"

namespace petrel {

namespace {
constexpr std::string_view kUntitledPrefix = "TEMP";
constexpr std::size_t kUnitSuffixLength = 3;  // "MHz" at the end of the range label
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

namespace {
// The range text of the window's range label, without "Range:" and "MHz".
std::string RangeOf(const Document& doc) {
    const std::string range = Trim(Mid(doc.rangeLabel, doc.rangeLabel.find(':') + 1));
    return range.size() >= kUnitSuffixLength ? range.substr(0, range.size() - kUnitSuffixLength)
                                             : std::string();
}
}  // namespace

BandEdges DocumentBandEdges(const Document& doc) {
    const std::string range = RangeOf(doc);
    return {LowerEdge(range), UpperEdge(range)};
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
