// A configuration file of any bytes, opened as File > Open does once the file is read, then
// activated, checked and saved: nothing may read past a buffer, and what was saved must open to
// the same channel lines (a side that cannot be stored, such as a 0 Hz one, comes back as
// "NONE"), which a second save and open keep.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/channels/channel_check.h"
#include "core/document/config_file.h"
#include "core/document/document_lifecycle.h"
#include "fuzz_support.h"

using namespace petrel;

namespace {
int Absent(const std::string& line) {
    int sides = 0;
    for (auto at = line.find("NONE"); at != std::string::npos; at = line.find("NONE", at + 1)) {
        ++sides;
    }
    return sides;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Workspace workspace;
    fuzz::PolicyPrompter prompter;
    test::RecordingStatusLine status;
    const auto slot =
        OpenConfigBytes(workspace, {data, data + size}, std::nullopt, "FUZZ.CFG", prompter);
    if (!slot) {
        return 0;
    }
    CheckChannels(workspace.At(*slot), status);
    const auto again = OpenConfigBytes(workspace, EncodeConfigFile(PackImage(workspace.At(*slot))),
                                       std::nullopt, "AGAIN.CFG", prompter);
    fuzz::Require(again.has_value(), "a saved configuration opens");
    const auto& opened = workspace.At(*slot).lines;
    const auto& reopened = workspace.At(*again).lines;
    fuzz::Require(std::equal(opened.begin(), opened.end(), reopened.begin(), reopened.end(),
                             [](const std::string& was, const std::string& is) {
                                 return is == was || Absent(is) > Absent(was);
                             }),
                  "a saved configuration opens to the same channel lines");

    const auto third = OpenConfigBytes(workspace, EncodeConfigFile(PackImage(workspace.At(*again))),
                                       std::nullopt, "THIRD.CFG", prompter);
    fuzz::Require(third && workspace.At(*third).lines == reopened, "a second save keeps the lines");
    return 0;
}
