// A configuration file of any bytes, opened as File > Open does once the file is read, then
// activated, checked and saved: nothing may read past a buffer, and what was saved must open
// to the same channel lines and save to the same bytes again.

#include <cstddef>
#include <cstdint>

#include "channels/channel_check.h"
#include "document/config_file.h"
#include "document/document_lifecycle.h"
#include "fuzz_support.h"

using namespace petrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ProgramState state;
    fuzz::PolicyPrompter prompter;
    fuzz::QuietStatus status;
    const auto slot = OpenConfigBytes(state, {data, data + size}, std::nullopt, "FUZZ.CFG", prompter);
    if (!slot) {
        return 0;
    }
    ActivateDocument(state, *slot);
    CheckChannels(state, state.workspace.At(*slot).lines, status);
    const ImageBuf saved = PackImage(state, state.workspace.At(*slot));

    const auto again =
        OpenConfigBytes(state, EncodeConfigFile(saved), std::nullopt, "AGAIN.CFG", prompter);
    fuzz::Require(again.has_value(), "a saved configuration opens");
    fuzz::Require(state.workspace.At(*again).lines == state.workspace.At(*slot).lines,
                  "a saved configuration opens to the same channel lines");
    fuzz::Require(PackImage(state, state.workspace.At(*again)) == saved,
                  "a reopened configuration saves to the same bytes");
    return 0;
}
