#include "core/settings/system_options.h"

#include <span>
#include <string_view>

#include "core/model/band_table.h"
#include "core/util/text.h"

namespace petrel {

namespace {

struct FixedEntry {
    std::string_view text;
    int code;
};

// Lists whose code is the entry's position.
constexpr std::string_view kTimeOutTexts[] = {
    "Infinite", "15 s",  "30 s",  "45 s",  "60 s",  "75 s",  "90 s",  "105 s",
    "120 s",    "135 s", "150 s", "165 s", "180 s", "195 s", "210 s", "225 s"};
constexpr std::string_view kSquelchTexts[] = {"Normal", "Tight"};
constexpr std::string_view kVoxReleaseTexts[] = {
    "100 ms", "200 ms",  "300 ms",  "400 ms",  "500 ms",  "600 ms",  "700 ms",  "800 ms",
    "900 ms", "1000 ms", "1100 ms", "1200 ms", "1300 ms", "1400 ms", "1500 ms", "1600 ms"};
constexpr std::string_view kPttResumeTexts[] = {"OFF", "2s",  "4s",  "6s",  "8s",  "10s ",
                                                "12s", "14s", "16s", "18s", "20s", "22s",
                                                "24s", "26s", "28s", "30s"};
constexpr std::string_view kScanResumeTexts[] = {"0 S",  "0.5S", "1.0S", "1.5S", "2.0S", "2.5S",
                                                 "3.0S", "3.5S", "4.0S", "4.5S", "5.0S", "5.5S",
                                                 "6.0S", "6.5S", "7.0S", "7.5S"};
constexpr std::string_view kCallTexts[] = {"None",   "Call-1", "Call-2",
                                           "Call-3", "Call-4", "Call-5"};
constexpr std::string_view kBcloTexts[] = {"Carrier", "correct CTCSS", "wrong CTCSS"};

// Lists with codes of their own.
constexpr FixedEntry kPowerSaveEntries[] = {{"OFF", 0},    {"100 mS", 1}, {"300 mS", 3},
                                            {"600 mS", 6}, {"900 mS", 9}, {"1200mS", 12}};
constexpr FixedEntry kLongPressEntries[] = {
    {"1.0 s", 1},  {"1.5 s", 2},  {"2.0 s", 3},  {"2.5 s", 4}, {"3.0 s", 5},
    {"3.5 s", 6},  {"4.0 s", 7},  {"4.5 s", 8},  {"5.0 s", 9}, {"5.5 s", 10},
    {"6.0 s", 11}, {"6.5 s", 12}, {"7.0 s", 13}, {"7.5 s", 14}};
// Code n is n x 0.5 s; 0.5 s itself (code 1) is not offered.
constexpr FixedEntry kSampleTimeEntries[] = {{"OFF", 0},   {"1.0S", 2},  {"1.5S", 3},  {"2.0S", 4},
                                             {"2.5S", 5},  {"3.0S", 6},  {"3.5S", 7},  {"4.0S", 8},
                                             {"4.5S", 9},  {"5.0S", 10}, {"5.5S", 11}, {"6.0S", 12},
                                             {"6.5S", 13}, {"7.0S", 14}, {"7.5S", 15}};
constexpr int kVoxAttackCount = 12;  // the delay table of the band table

// System block bytes of the options.
constexpr std::size_t kPriorityByte = 0x05;
constexpr std::size_t kTxChannelByte = 0x06;
constexpr std::size_t kTimerByte = 0x08;  // priority sample time, time-out timer
constexpr std::size_t kBcloByte = 0x18;
constexpr std::uint8_t kPriorityScanBit = 0x40;  // 0x0A: set while a sample time is chosen

// A list stored in bits of one byte: (byte >> shift) & mask is the entry's code. A code no
// entry has selects the fallback code's entry, or nothing.
struct ListField {
    SysList list;
    std::size_t byte;
    int shift;
    std::uint8_t mask;
    std::optional<int> fallback;
    bool keepWhenNone;  // without a selection OK leaves the bits as they are
};
// In the order OK packs them; each writes only its own bits.
constexpr ListField kListFields[] = {
    {kPowerSaveList, kSysLongPressPowerSave, 0, 0x0F, std::nullopt, false},
    {kLongPressList, kSysLongPressPowerSave, 4, 0x0F, 3, false},  // "2.0 s"
    {kTimeOutList, kTimerByte, 0, 0x0F, std::nullopt, false},
    {kSampleTimeList, kTimerByte, 4, 0x0F, std::nullopt, false},
    {kScanResumeList, kSysResumeTimes, 0, 0x0F, std::nullopt, false},
    {kPttResumeList, kSysResumeTimes, 4, 0x0F, std::nullopt, false},
    {kVoxReleaseList, kSysVoxTimes, 0, 0x0F, std::nullopt, false},
    {kVoxAttackList, kSysVoxTimes, 4, 0x0F, 5, false},  // "100mS     "
    {kSquelchList, kSysOptions0E, 1, 0x01, std::nullopt, false},
    {kTxChannelList, kTxChannelByte, 0, 0xFF, std::nullopt, false},
    {kCallList, kSysCallOptions, 0, 0x0F, 0, false},  // "None"
    // A lock-out byte above 2 is something this program does not know: keep it.
    {kBcloList, kBcloByte, 0, 0xFF, std::nullopt, true},
};

// A check box stored in the bits mask of one byte: ticked when any of them is set (clear, when
// inverted); OK stores value for ticked.
struct CheckField {
    SysCheck check;
    std::size_t byte;
    std::uint8_t mask;
    std::uint8_t value;
    bool inverted;
};
constexpr CheckField kCheckFields[] = {
    {kSubtoneCheck, kSysOptions0A, 0x08, 0x08, false},
    {kBeepCheck, kSysOptions0A, 0x20, 0x20, true},  // the bit means "beep off"
    {kTalkBackCheck, kSysOptions0E, 0x80, 0x80, false},
    {kPriorToneCheck, kSysOptions0E, 0x10, 0x10, false},
    {kPriorCheck, kPriorityByte, 0xFF, 0x01, false},  // the priority channel is channel 1
    {kCallMuteCheck, kSysCallOptions, 0x80, 0x80, false},
};

EntryList ByPosition(std::span<const std::string_view> texts) {
    EntryList list;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        list.push_back({std::string(texts[i]), static_cast<int>(i)});
    }
    return list;
}

EntryList WithCodes(std::span<const FixedEntry> entries) {
    EntryList list;
    for (const auto& entry : entries) {
        list.push_back({std::string(entry.text), entry.code});
    }
    return list;
}

bool HasFrequency(std::string_view line, std::size_t column) {
    const std::string field = Mid(line, column, 4);
    return !field.empty() && field != "NONE";
}

}  // namespace

std::string SystemOptions::Text(SysList list) const {
    const auto& at = selected[list];
    return at ? lists[list][static_cast<std::size_t>(*at)].text : std::string();
}

EntryList SystemList(SysList list) {
    switch (list) {
        case kTimeOutList:
            return ByPosition(kTimeOutTexts);
        case kPowerSaveList:
            return WithCodes(kPowerSaveEntries);
        case kSquelchList:
            return ByPosition(kSquelchTexts);
        case kVoxReleaseList:
            return ByPosition(kVoxReleaseTexts);
        case kVoxAttackList: {
            EntryList entries;
            for (int i = 0; i < kVoxAttackCount; ++i) {
                entries.push_back({DelayText(i), DelayCode(i)});
            }
            return entries;
        }
        case kLongPressList:
            return WithCodes(kLongPressEntries);
        case kPttResumeList:
            return ByPosition(kPttResumeTexts);
        case kScanResumeList:
            return ByPosition(kScanResumeTexts);
        case kSampleTimeList:
            return WithCodes(kSampleTimeEntries);
        case kCallList:
            return ByPosition(kCallTexts);
        case kBcloList:
            return ByPosition(kBcloTexts);
        case kTxChannelList:
        case kSysListCount:
            break;
    }
    return {};
}

EntryList TxChannelList(const std::vector<std::string>& lines) {
    // Receive frequency in columns 5-16, transmit frequency in columns 30-41.
    constexpr std::size_t kRxColumn = 4;
    constexpr std::size_t kTxColumn = 29;
    EntryList list{{"Selected", 0}};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (HasFrequency(lines[i], kRxColumn) && HasFrequency(lines[i], kTxColumn)) {
            const int channel = static_cast<int>(i) + 1;
            list.push_back({std::to_string(channel), channel});
        }
    }
    return list;
}

namespace {

SysBlockBytes WithChannelBytesInRange(const Document& doc) {
    SysBlockBytes block = doc.state.SysBlock;
    for (const std::size_t byte : {kPriorityByte, kTxChannelByte}) {
        if (block[byte] > doc.lines.size()) {
            block[byte] = 0;
        }
    }
    return block;
}

}  // namespace

SystemOptions ReadSystemOptions(const Document& doc) {
    const SysBlockBytes block = WithChannelBytesInRange(doc);
    SystemOptions options;
    for (int list = 0; list < kSysListCount; ++list) {
        options.lists[list] = list == kTxChannelList ? TxChannelList(doc.lines)
                                                     : SystemList(static_cast<SysList>(list));
    }
    for (const ListField& field : kListFields) {
        const EntryList& entries = options.lists[field.list];
        const int code = (block[field.byte] >> field.shift) & field.mask;
        auto at = FindCode(entries, code);
        if (!at && field.fallback) {
            at = FindCode(entries, *field.fallback);
        }
        options.selected[field.list] = at;
    }
    for (const CheckField& field : kCheckFields) {
        options.checked[field.check] = ((block[field.byte] & field.mask) != 0) != field.inverted;
    }
    return options;
}

bool ResetOutOfRangeChannelBytes(Document& doc) {
    return WriteSysBlock(doc, WithChannelBytesInRange(doc));
}

SysBlockBytes PackSystemOptions(const SystemOptions& options, SysBlockBytes block) {
    const auto code = [&options](SysList list) -> std::optional<int> {
        const auto& at = options.selected[list];
        if (!at || *at < 0 || static_cast<std::size_t>(*at) >= options.lists[list].size()) {
            return std::nullopt;
        }
        return options.lists[list][static_cast<std::size_t>(*at)].code;
    };
    for (const ListField& field : kListFields) {
        const auto stored = code(field.list);
        if (!stored && field.keepWhenNone) {
            continue;
        }
        const auto bits = static_cast<std::uint8_t>(field.mask << field.shift);
        const auto value =
            static_cast<std::uint8_t>((stored.value_or(0) & field.mask) << field.shift);
        block[field.byte] = static_cast<std::uint8_t>((block[field.byte] & ~bits) | value);
    }
    for (const CheckField& field : kCheckFields) {
        const bool set = options.checked[field.check] != field.inverted;
        block[field.byte] =
            static_cast<std::uint8_t>((block[field.byte] & ~field.mask) | (set ? field.value : 0));
    }
    const bool sampling = code(kSampleTimeList).value_or(0) != 0;
    block[kSysOptions0A] = static_cast<std::uint8_t>((block[kSysOptions0A] & ~kPriorityScanBit) |
                                                     (sampling ? kPriorityScanBit : 0));
    return block;
}

}  // namespace petrel
