#include "core/model/radio_image.h"

#include <algorithm>
#include <utility>

#include "core/model/band_table.h"
#include "core/model/channel_line.h"
#include "core/model/freq_codec.h"
#include "core/model/program_state.h"
#include "core/util/text.h"

namespace petrel {

namespace {
constexpr std::size_t kUnitSuffixLength = 3;  // "MHz" at the end of the range label

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

namespace {
constexpr int kKey4FunctionCode = 4;
}  // namespace

bool Key4Assigned(const std::array<std::uint8_t, kSysBlockSize>& sysBlock) {
    for (const std::size_t at : {kSysButtonSideA, kSysButtonSideB}) {
        if ((sysBlock[at] & 0x0F) == kKey4FunctionCode ||
            (sysBlock[at] >> 4) == kKey4FunctionCode) {
            return true;
        }
    }
    return false;
}

ImageBuf PackImage(const Document& doc) {
    ImageBuf image(kImageHeaderSize);
    std::copy(doc.state.SysBlock.begin(), doc.state.SysBlock.end(), image.begin());
    std::copy(doc.state.TuneBlock.begin(), doc.state.TuneBlock.end(),
              image.begin() + kTuneBlockStart);
    PackChannels(image, doc.lines, doc.state.ChOption,
                 PllFromImage(doc.state.SysBlock[kPllByte], doc.state.SysBlock[kRefDividerByte0]));
    image.push_back(doc.state.Band);
    return image;
}

void FillBandLabels(ProgramState& state, Document& doc) {
    const std::string range = RangeText(state.BandDesc);
    doc.modelLabel = "Model:" + BandName(state.BandDesc);
    doc.rangeLabel = "Range:" + range + "MHz";
    state.FreqTextLen = ValueWidth(LowerEdge(range));
}

int NewDocFromImage(ProgramState& state, ImageBuf image, RadioInfoPage info,
                    const std::string& title) {
    image.resize(std::max(image.size(), kImageHeaderSize), 0);
    const int slot = state.workspace.FindFreeIndex();
    Document& doc = state.workspace.At(slot);
    std::copy_n(image.begin(), kSysBlockSize, doc.state.SysBlock.begin());
    std::copy_n(image.begin() + kTuneBlockStart, kTuneBlockSize, doc.state.TuneBlock.begin());
    doc.state.Dirty = false;
    doc.state.Band = static_cast<std::uint8_t>(state.BandNo);

    doc.title = ToUpperAscii(title);
    FillBandLabels(state, doc);
    doc.info = std::move(info);
    doc.serialLabel = "Serial No:" + doc.info.SerialNo;
    doc.customerLabel = "Customer:" + doc.info.CustomerName;

    auto channels = UnpackChannels(
        image, PllFromImage(doc.state.SysBlock[kPllByte], doc.state.SysBlock[kRefDividerByte0]),
        state.FreqTextLen);
    doc.lines = std::move(channels.lines);
    doc.state.ChOption = std::move(channels.options);
    state.MaxChannel = static_cast<int>(doc.lines.size());
    doc.state.Key4Assigned = Key4Assigned(doc.state.SysBlock);
    return slot;
}

}  // namespace petrel
