#include "core/model/radio_image.h"

#include <algorithm>
#include <utility>

#include "core/model/band_table.h"
#include "core/model/button_functions.h"
#include "core/model/channel_line.h"
#include "core/model/freq_codec.h"
#include "core/model/workspace.h"
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

bool Key4Assigned(const std::array<std::uint8_t, kSysBlockSize>& sysBlock) {
    for (const std::size_t at : {kSysButtonSideA, kSysButtonSideB}) {
        if ((sysBlock[at] & 0x0F) == kPowerFunction || (sysBlock[at] >> 4) == kPowerFunction) {
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

int FillBandLabels(Document& doc, std::string_view bandRow) {
    const std::string range = RangeText(bandRow);
    doc.modelLabel = "Model:" + BandName(bandRow);
    doc.rangeLabel = "Range:" + range + "MHz";
    return ValueWidth(LowerEdge(range));
}

int NewDocFromImage(Workspace& workspace, ImageBuf image, RadioInfoPage info,
                    const std::string& title, int band) {
    image.resize(std::max(image.size(), kImageHeaderSize), 0);
    std::string_view row = BandRow(band);
    if (const Document* active = workspace.Active(); row.empty() && active != nullptr) {
        row = BandRow(active->state.Band);
    }
    const int slot = workspace.FindFreeIndex();
    Document& doc = workspace.At(slot);
    std::copy_n(image.begin(), kSysBlockSize, doc.state.SysBlock.begin());
    std::copy_n(image.begin() + kTuneBlockStart, kTuneBlockSize, doc.state.TuneBlock.begin());
    doc.state.Dirty = false;
    doc.state.Band = static_cast<std::uint8_t>(band);

    doc.title = ToUpperAscii(title);
    const int freqTextLen = FillBandLabels(doc, row);
    doc.info = std::move(info);
    doc.serialLabel = "Serial No:" + doc.info.SerialNo;
    doc.customerLabel = "Customer:" + doc.info.CustomerName;

    auto channels = UnpackChannels(
        image, PllFromImage(doc.state.SysBlock[kPllByte], doc.state.SysBlock[kRefDividerByte0]),
        freqTextLen);
    doc.lines = std::move(channels.lines);
    doc.state.ChOption = std::move(channels.options);
    doc.state.Key4Assigned = Key4Assigned(doc.state.SysBlock);
    return slot;
}

}  // namespace petrel
