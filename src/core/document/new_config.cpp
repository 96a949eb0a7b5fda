#include "core/document/new_config.h"

#include <algorithm>

#include "core/model/band_table.h"
#include "core/model/channel_line.h"
#include "core/model/freq_codec.h"
#include "core/model/info_page.h"
#include "core/model/workspace.h"
#include "core/util/text.h"

namespace petrel {

namespace {

// System block of a new configuration; every byte not listed is 0.
struct DefaultByte {
    std::size_t offset;
    std::uint8_t value;
};
constexpr DefaultByte kDefaultSysBytes[] = {
    {kSysButtonSideA, 0x01},        {kSysButtonSideB, 0xD6}, {kSysResumeTimes, 0x04},
    {kSysLongPressPowerSave, 0x30}, {kSysOptions0E, 0x80},   {kSysVoxTimes, 0x5E},
    {kSysCallOptions, 0x02},
};
constexpr std::uint8_t kNegativeIfOption = 0x01;  // byte 0x0A of a band with a negative IF

constexpr std::uint8_t kNewChannelOptions = 0x02;  // 12.5 kHz channel spacing

constexpr std::uint8_t kDefaultLevelTable[] = {0x41, 0x55, 0x41, 0x55, 0x00, 0x00,
                                               0x52, 0x49, 0x28, 0x5F, 0x88, 0xEE};
constexpr std::uint8_t kDefaultPowerTable[] = {0x64, 0x78, 0x8C, 0xA0, 0x50, 0x50,
                                               0x50, 0x50, 0x50, 0x50, 0x50, 0x50};

// Tuning block: records 0..3 hold Rx/Tx softpot pairs, records 4..7 modulation (Rx only).
constexpr int kTunePairs = 4;
constexpr std::uint8_t kTuneRxBit = 0x80;
constexpr std::uint8_t kTuneTxBit = 0x40;

void WriteTuneRecord(std::uint8_t* record, PllEncoder& encoder, const std::string& rxFreq,
                     const std::string* txFreq) {
    const std::string rx = encoder.EncodeFreq(rxFreq, true);
    record[kRecRxPllHigh] = encoder.PllHigh();
    record[kRecRxPllLow] = encoder.PllLow();
    std::string tx = "0000";
    if (txFreq) {
        tx = encoder.EncodeFreq(*txFreq, false);
        record[kRecTxPllHigh] = encoder.PllHigh();
        record[kRecTxPllLow] = encoder.PllLow();
        record[kRecFlags] |= kTuneTxBit;
    }
    record[kRecNibbles] = NibbleByte(tx, rx);
    record[kRecFlags] |= kTuneRxBit;
}

}  // namespace

bool ParseChannelCount(const std::string& text, int& count) {
    const std::string t = Trim(text);
    if (t.empty() || t.size() > 9 ||
        !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    const int value = std::stoi(t);
    if (value < kMinNewChannels || value > kMaxNewChannels) {
        return false;
    }
    count = value;
    return true;
}

int BuildNewConfiguration(Workspace& workspace, int band, int channels) {
    const int slot = workspace.FindFreeIndex();
    const std::string_view row = BandRow(band);

    Document& doc = workspace.At(slot);
    doc.title = "Temp" + std::to_string(workspace.AddTemp()) + ".cfg";

    // Channel lines: the band's presets on both sides, the rest empty.
    const int presets = std::min(PresetCount(band), channels);
    for (int i = 1; i <= channels; ++i) {
        doc.lines.push_back(i <= presets ? PresetChannelLine(i, PresetFreq(band, i))
                                         : EmptyChannelLine(i));
    }
    FillBandLabels(doc, row);

    DocState& docState = doc.state;
    docState.Dirty = false;
    docState.Band = static_cast<std::uint8_t>(band);
    docState.SysBlock.fill(0);
    for (const auto& [offset, value] : kDefaultSysBytes) {
        docState.SysBlock[offset] = value;
    }
    if (IfSign(row) == "-") {
        docState.SysBlock[kSysOptions0A] = kNegativeIfOption;
    }
    // More channels than a 16-channel radio holds: the file says it is a 99-channel radio's.
    if (channels > kSmallRadioChannels) {
        docState.SysBlock[kSysOptions0A] |= kNinetyNineChannelBit;
    }
    docState.SysBlock[kSysBand] = static_cast<std::uint8_t>(band);
    docState.SysBlock[kSysMaxChannel] = static_cast<std::uint8_t>(channels);
    docState.ChOption.assign(channels, kNewChannelOptions);

    // Its information page: the default tables, no texts.
    InfoTables tables;
    std::copy(std::begin(kDefaultLevelTable), std::end(kDefaultLevelTable), tables.level.begin());
    std::copy(std::begin(kDefaultPowerTable), std::end(kDefaultPowerTable), tables.power.begin());
    doc.info = RadioInfoPage{};
    doc.info.SetTables(tables);
    doc.info.InfoValid = true;
    docState.Key4Assigned = false;

    // PLL parameters of the band: oscillator and IF indexes, prescaler, reference dividers.
    const int prescaler = PrescalerText(row) == "64" ? 64 : 128;
    const int oscIndex = OscIndexOf(OscText(row));
    const int ifIndex = IfIndexOf(IfText(row));
    const auto refData = MakeRefData(kOscList[oscIndex], prescaler);
    docState.SysBlock[kPllByte] = static_cast<std::uint8_t>((oscIndex << 4) | ifIndex);
    docState.SysBlock[kRefDividerByte0] = static_cast<std::uint8_t>(refData[0] >> 8);
    docState.SysBlock[kRefDividerByte1] = static_cast<std::uint8_t>(refData[1] >> 8);

    // Tuning block from the band's softpot reference frequencies.
    PllEncoder encoder(
        PllFromImage(docState.SysBlock[kPllByte], docState.SysBlock[kRefDividerByte0]));
    for (int k = 0; k < kTunePairs; ++k) {
        const std::string tx = TxFreqOf(band, k);
        WriteTuneRecord(&docState.TuneBlock[kChannelRecordSize * k], encoder, RxFreqOf(band, k),
                        &tx);
    }
    for (int k = 0; k < kTunePairs; ++k) {
        WriteTuneRecord(&docState.TuneBlock[kChannelRecordSize * (kTunePairs + k)], encoder,
                        ModFreqOf(band, k), nullptr);
    }
    return slot;
}

}  // namespace petrel
