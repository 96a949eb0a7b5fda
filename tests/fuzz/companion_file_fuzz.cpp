// A companion file of any bytes beside a sixteen-channel configuration: the information
// page's texts, dates and tables decode without reading past a buffer, and a page that was
// accepted saves to bytes that read back as the same page.

#include <cstddef>
#include <cstdint>

#include "core/document/config_file.h"
#include "core/document/new_config.h"
#include "fuzz_support.h"

using namespace petrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Workspace workspace;
    fuzz::PolicyPrompter prompter;
    const int built = BuildNewConfiguration(workspace, 9, 16);
    const auto config = EncodeConfigFile(PackImage(workspace.At(built)));

    const auto info = DecodeCompanionFile({data, data + size});
    const auto slot = OpenConfigBytes(workspace, config, info, "FUZZ.CFG", prompter);
    fuzz::Require(slot.has_value(), "a new configuration opens with any companion");
    const RadioInfoPage& page = workspace.At(*slot).info;
    fuzz::Require(page.InfoValid == info.has_value(), "a refused companion leaves no page");
    if (info) {
        fuzz::Require(DecodeCompanionFile(EncodeCompanionFile(page.InfoWords)) == page.InfoWords,
                      "a saved companion reads back the same");
    }
    return 0;
}
