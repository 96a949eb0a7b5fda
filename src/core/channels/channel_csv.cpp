#include "core/channels/channel_csv.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <optional>
#include <tuple>
#include <variant>

#include "core/channels/channel_options.h"
#include "core/model/band_table.h"
#include "core/model/channel_line.h"
#include "core/model/document_edit.h"
#include "core/model/freq_codec.h"
#include "core/model/radio_image.h"
#include "core/model/tone_table.h"
#include "core/util/text.h"

namespace petrel {

namespace {

enum Column {
    kLocation,
    kName,
    kFrequency,
    kDuplex,
    kOffset,
    kTone,
    kRToneFreq,
    kCToneFreq,
    kDtcsCode,
    kDtcsPolarity,
    kRxDtcsCode,
    kCrossMode,
    kMode,
    kTStep,
    kSkip,
    kPower,
    kComment,
    kColumnCount
};
constexpr std::array<std::string_view, kColumnCount> kColumnNames = {
    "Location",  "Name",      "Frequency", "Duplex",       "Offset",     "Tone",
    "rToneFreq", "cToneFreq", "DtcsCode",  "DtcsPolarity", "RxDtcsCode", "CrossMode",
    "Mode",      "TStep",     "Skip",      "Power",        "Comment"};

constexpr std::string_view kRowEnd = "\r\n";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::int64_t kHzPerMhz = 1000000;
constexpr std::string_view kNoFrequency = "NONE";
constexpr std::string_view kUnclosed = "the quoted text is not closed";

// What the layout writes where a value is not used, and the one DCS polarity the radio has.
constexpr std::string_view kDefaultCtcss = "88.5";
constexpr std::string_view kDefaultDcs = "023";
constexpr std::string_view kDefaultCrossMode = "Tone->Tone";
constexpr std::string_view kNormalPolarity = "NN";
constexpr std::uint8_t kScanBits = kOptScan | kOptScanAuto;

// The tone modes, simplest first: export takes the first that says exactly what a channel
// holds. In the modes marked same, both sides carry one code, written once.
enum class ToneKind { None, Ctcss, Dcs };
struct ToneMode {
    std::string_view tone;
    std::string_view cross;
    ToneKind tx;
    ToneKind rx;
    bool same = false;
};
constexpr std::array<ToneMode, 11> kToneModes = {{
    {"", "", ToneKind::None, ToneKind::None},
    {"Tone", "", ToneKind::Ctcss, ToneKind::None},
    {"TSQL", "", ToneKind::Ctcss, ToneKind::Ctcss, true},
    {"DTCS", "", ToneKind::Dcs, ToneKind::Dcs, true},
    {"Cross", "Tone->Tone", ToneKind::Ctcss, ToneKind::Ctcss},
    {"Cross", "Tone->DTCS", ToneKind::Ctcss, ToneKind::Dcs},
    {"Cross", "DTCS->Tone", ToneKind::Dcs, ToneKind::Ctcss},
    {"Cross", "->Tone", ToneKind::None, ToneKind::Ctcss},
    {"Cross", "->DTCS", ToneKind::None, ToneKind::Dcs},
    {"Cross", "DTCS->", ToneKind::Dcs, ToneKind::None},
    {"Cross", "DTCS->DTCS", ToneKind::Dcs, ToneKind::Dcs},
}};

ToneKind KindOf(int code) {
    if (code <= 0 || code > kLastToneCode) {
        return ToneKind::None;
    }
    return code < kFirstDcsCode ? ToneKind::Ctcss : ToneKind::Dcs;
}

// The column that holds a side's tone in a mode; kColumnCount when the side has none.
Column TxToneColumn(const ToneMode& mode) {
    switch (mode.tx) {
        case ToneKind::Ctcss:
            return mode.same ? kCToneFreq : kRToneFreq;
        case ToneKind::Dcs:
            return kDtcsCode;
        case ToneKind::None:
            break;
    }
    return kColumnCount;
}
Column RxToneColumn(const ToneMode& mode) {
    switch (mode.rx) {
        case ToneKind::Ctcss:
            return kCToneFreq;
        case ToneKind::Dcs:
            return mode.same ? kDtcsCode : kRxDtcsCode;
        case ToneKind::None:
            break;
    }
    return kColumnCount;
}

// Hz as MHz with six decimals ("446.006250").
std::string Mhz6(std::int64_t hz) {
    const std::string fraction = std::to_string(hz % kHzPerMhz);
    return std::to_string(hz / kHzPerMhz) + '.' + std::string(6 - fraction.size(), '0') + fraction;
}

bool SameText(std::string_view a, std::string_view b) {
    return ToUpperAscii(a) == ToUpperAscii(b);
}

// A cell's text for a message: in quotes, control bytes shown as "?", long texts cut.
std::string Shown(std::string_view text) {
    constexpr std::size_t kLongest = 24;
    std::string shown;
    for (const char c : text.substr(0, kLongest)) {
        const auto byte = static_cast<unsigned char>(c);
        shown += byte < 0x20 || byte == 0x7F ? '?' : c;
    }
    return '"' + shown + (text.size() > kLongest ? "...\"" : "\"");
}

// One record of the text: the line it starts on and its fields as written (quotes removed).
struct CsvRow {
    int line = 0;
    std::vector<std::string> fields;
    int unclosedField = -1;  // a quoted field that runs to the end of the text
};

std::vector<CsvRow> ReadCsv(std::string_view text) {
    if (text.starts_with(kUtf8Mark)) {
        text.remove_prefix(kUtf8Mark.size());
    }
    std::vector<CsvRow> rows;
    int line = 1;
    std::size_t at = 0;
    while (at < text.size()) {
        CsvRow row{line, {}, -1};
        std::string field;
        bool inQuotes = false;
        bool fieldStart = true;
        for (;;) {
            if (at >= text.size()) {
                if (inQuotes) {
                    row.unclosedField = static_cast<int>(row.fields.size());
                }
                row.fields.push_back(std::move(field));
                break;
            }
            const char c = text[at++];
            if (inQuotes) {
                if (c != '"') {
                    line += c == '\n';
                    field += c;
                } else if (at < text.size() && text[at] == '"') {
                    field += '"';
                    ++at;
                } else {
                    inQuotes = false;
                }
            } else if (c == '"' && fieldStart) {
                inQuotes = true;
            } else if (c == ',') {
                row.fields.push_back(std::move(field));
                field.clear();
                fieldStart = true;
                continue;
            } else if (c == '\r' || c == '\n') {
                if (c == '\r' && at < text.size() && text[at] == '\n') {
                    ++at;
                }
                ++line;
                row.fields.push_back(std::move(field));
                break;
            } else {
                field += c;
            }
            fieldStart = false;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// A row with nothing in it; one that opens a quote and leaves it open is not blank, it is broken.
bool BlankRow(const CsvRow& row) {
    return row.unclosedField < 0 &&
           std::all_of(row.fields.begin(), row.fields.end(),
                       [](const std::string& field) { return Trim(field).empty(); });
}

// A channel of an import row, ready to become a line and an option byte.
struct ImportedChannel {
    int channel = 0;  // 1-based
    std::int64_t rxHz = 0;
    std::optional<std::int64_t> txHz;
    int rxTone = 0;
    int txTone = 0;
    std::optional<bool> narrow;
    std::optional<bool> highPower;
    std::optional<bool> scan;
};

// The rules every imported channel must keep: the document's band and channel count, and the
// synthesiser settings its channels are stored with.
struct ImportRules {
    int channels = 0;
    int band = 0;
    BandEdges edges;
    PllParams pll;
    bool fixedChannelsOnly = false;
    bool readLocation = true;  // false: the rows are placed in file order
    // The largest power in watts the file gives, in milliwatts: half of it or more is High.
    std::int64_t mostMilliwatts = 0;
};

// A power in watts as written ("5.0W", "0.5W", "50W", or plain digits), in milliwatts.
std::optional<std::int64_t> Milliwatts(std::string_view text) {
    if (!text.empty() && (text.back() == 'W' || text.back() == 'w')) {
        text.remove_suffix(1);
        while (!text.empty() && text.back() == ' ') {
            text.remove_suffix(1);
        }
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    constexpr std::size_t kWholeDigits = 6;
    constexpr std::size_t kFractionDigits = 3;
    const auto digits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || whole.size() > kWholeDigits || fraction.size() > kFractionDigits ||
        !digits(whole) || !digits(fraction)) {
        return std::nullopt;
    }
    std::int64_t milliwatts = 0;
    for (const char c : std::string(whole) + std::string(fraction) +
                            std::string(kFractionDigits - fraction.size(), '0')) {
        milliwatts = milliwatts * 10 + (c - '0');
    }
    return milliwatts;
}

// The columns whose cells are read; Name, TStep and Comment are not.
bool IsReadColumn(int column) {
    return column != kName && column != kTStep && column != kComment;
}

struct CellError {
    Column column;
    std::string text;
};

class RowReader {
  public:
    RowReader(const CsvRow& row, const std::array<int, kColumnCount>& at, const ImportRules& rules)
        : row_(row), at_(at), rules_(rules) {}

    std::variant<ImportedChannel, CellError> Read() const;

  private:
    // The trimmed cell of a column; nothing when the header lacks it or the cell is empty.
    std::optional<std::string> Cell(Column column) const {
        const int field = at_[column];
        if (field < 0 || static_cast<std::size_t>(field) >= row_.fields.size()) {
            return std::nullopt;
        }
        std::string text = Trim(row_.fields[static_cast<std::size_t>(field)]);
        return text.empty() ? std::nullopt : std::optional(std::move(text));
    }
    std::optional<std::string> CheckFrequency(std::int64_t hz, bool isRx,
                                              const std::string& side) const;
    std::variant<int, CellError> ReadTone(Column column, ToneKind kind) const;

    const CsvRow& row_;
    const std::array<int, kColumnCount>& at_;
    const ImportRules& rules_;
};

std::optional<std::string> RowReader::CheckFrequency(std::int64_t hz, bool isRx,
                                                     const std::string& side) const {
    const auto low = FreqToHz(rules_.edges.low);
    const auto high = FreqToHz(rules_.edges.high);
    if (!low || !high || hz < *low || hz > *high) {
        return side + FormatMhz(hz) + " MHz is outside " + rules_.edges.low + " ~ " +
               rules_.edges.high;
    }
    if (StepIndex(hz) > 1) {
        return side + FormatMhz(hz) + " MHz is not on the 6.25 kHz or 5 kHz raster";
    }
    // What the packer would store: a receive frequency the synthesiser cannot reach with the
    // configuration's IF (or any word beyond 16 bits) would become an empty channel.
    PllEncoder encoder(rules_.pll);
    if (encoder.EncodeFreq(FormatMhz(hz), isRx) == kUnstorableCode) {
        if (isRx) {
            const std::int64_t ifHz = FreqToHz(rules_.pll.ifText).value_or(0);
            return side + FormatMhz(hz) + " MHz cannot be stored with the configuration's IF of " +
                   rules_.pll.ifText + " MHz (its synthesiser would have to make " +
                   FormatMhz(hz + ifHz) + " MHz)";
        }
        return side + FormatMhz(hz) + " MHz cannot be stored by the radio's synthesiser";
    }
    if (rules_.fixedChannelsOnly) {
        bool inTable = false;
        for (int i = 1; i <= PresetCount(rules_.band) && !inTable; ++i) {
            inTable = FreqToHz(PresetFreq(rules_.band, i)) == hz;
        }
        if (!inTable) {
            return side + FormatMhz(hz) + " MHz is not one of the band's channels";
        }
    }
    return std::nullopt;
}

std::variant<int, CellError> RowReader::ReadTone(Column column, ToneKind kind) const {
    const std::string text =
        Cell(column).value_or(std::string(kind == ToneKind::Ctcss ? kDefaultCtcss : kDefaultDcs));
    std::string wanted;
    if (kind == ToneKind::Ctcss) {
        // Hertz with up to six decimals, read in millionths; the table's tones are in tenths.
        const auto millionths = FreqToHz(text);
        if (millionths && *millionths > 0 && *millionths % 100000 == 0) {
            const std::int64_t tenths = *millionths / 100000;
            wanted = std::to_string(tenths / 10) + '.' + std::to_string(tenths % 10);
        }
    } else if (text.size() <= 3 &&
               std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '7'; })) {
        wanted = std::string(3 - text.size(), '0') + text;
    }
    const int first = kind == ToneKind::Ctcss ? 1 : kFirstDcsCode;
    const int last = kind == ToneKind::Ctcss ? kFirstDcsCode - 1 : kLastToneCode;
    for (int code = first; code <= last && !wanted.empty(); ++code) {
        if (ToneDescription(code) == wanted) {
            return code;
        }
    }
    return CellError{column, Shown(text) + (kind == ToneKind::Ctcss
                                                ? " is not a CTCSS tone of the radio's table"
                                                : " is not a DCS code of the radio's table")};
}

std::variant<ImportedChannel, CellError> RowReader::Read() const {
    ImportedChannel channel;

    if (rules_.readLocation) {
        const std::string location = Cell(kLocation).value_or("");
        const auto number = LeadingNumber(location);
        if (!std::all_of(location.begin(), location.end(),
                         [](char c) { return c >= '0' && c <= '9'; }) ||
            number < 1 || number > rules_.channels) {
            return CellError{kLocation, Shown(location) + " is not a channel number from 1 to " +
                                            std::to_string(rules_.channels)};
        }
        channel.channel = static_cast<int>(number);
    }

    const std::string frequency = Cell(kFrequency).value_or("");
    const auto rx = FreqToHz(frequency);
    if (!rx) {
        return CellError{kFrequency, Shown(frequency) + " is not a frequency in MHz"};
    }
    if (auto problem = CheckFrequency(*rx, true, "")) {
        return CellError{kFrequency, *problem};
    }
    channel.rxHz = *rx;

    const std::string duplex = Cell(kDuplex).value_or("");
    if (!duplex.empty() && !SameText(duplex, "off")) {
        const bool split = SameText(duplex, "split");
        if (!split && duplex != "+" && duplex != "-") {
            return CellError{kDuplex,
                             Shown(duplex) + " is not \"\", \"+\", \"-\", \"split\" or \"off\""};
        }
        // An offset left out would silently make the channel simplex.
        const auto offsetCell = Cell(kOffset);
        if (!offsetCell) {
            return CellError{kOffset, "Duplex " + Shown(duplex) + " needs " +
                                          (split ? "the transmit frequency" : "an offset") +
                                          " in MHz, and there is none"};
        }
        const std::string& offsetText = *offsetCell;
        const auto offset = FreqToHz(offsetText);
        if (!offset || *offset < 0) {
            return CellError{kOffset, Shown(offsetText) + " is not a frequency in MHz"};
        }
        channel.txHz = split ? *offset : duplex == "+" ? *rx + *offset : *rx - *offset;
        if (auto problem = CheckFrequency(*channel.txHz, false, "the transmit frequency ")) {
            return CellError{kOffset, *problem};
        }
    } else if (duplex.empty()) {
        channel.txHz = *rx;
    }

    const std::string tone = Cell(kTone).value_or("");
    const std::string cross = Cell(kCrossMode).value_or(std::string(kDefaultCrossMode));
    const bool crossed = SameText(tone, "Cross");
    const auto mode = std::find_if(kToneModes.begin(), kToneModes.end(), [&](const ToneMode& m) {
        return SameText(m.tone, tone) && (!crossed || SameText(m.cross, cross));
    });
    if (mode == kToneModes.end()) {
        if (crossed) {
            return CellError{kCrossMode, Shown(cross) +
                                             " is not Tone->Tone, Tone->DTCS, DTCS->Tone, "
                                             "->Tone, ->DTCS, DTCS-> or DTCS->DTCS"};
        }
        return CellError{kTone,
                         Shown(tone) + " is not \"\", \"Tone\", \"TSQL\", \"DTCS\" or \"Cross\""};
    }
    for (const auto& [side, column, kind] :
         {std::tuple{&channel.txTone, TxToneColumn(*mode), mode->tx},
          std::tuple{&channel.rxTone, RxToneColumn(*mode), mode->rx}}) {
        if (kind != ToneKind::None) {
            const auto code = ReadTone(column, kind);
            if (const auto* error = std::get_if<CellError>(&code)) {
                return *error;
            }
            *side = std::get<int>(code);
        }
    }
    if (!channel.txHz) {
        channel.txTone = 0;  // a receive-only channel has no transmit tone to store
    }
    if (const auto polarity = Cell(kDtcsPolarity); polarity && *polarity != kNormalPolarity) {
        return CellError{kDtcsPolarity,
                         Shown(*polarity) + " is refused: the radio has normal polarity only (NN)"};
    }

    struct Choice {
        Column column;
        std::string_view set;
        std::string_view clear;
        std::optional<bool> ImportedChannel::*bit;
    };
    for (const Choice& choice : {Choice{kMode, "NFM", "FM", &ImportedChannel::narrow},
                                 Choice{kPower, "High", "Low", &ImportedChannel::highPower}}) {
        const auto value = Cell(choice.column);
        if (!value) {
            continue;
        }
        if (SameText(*value, choice.set) || SameText(*value, choice.clear)) {
            channel.*choice.bit = SameText(*value, choice.set);
        } else if (const auto milliwatts = Milliwatts(*value);
                   milliwatts && choice.column == kPower) {
            channel.highPower = 2 * *milliwatts >= rules_.mostMilliwatts;
        } else {
            return CellError{
                choice.column,
                Shown(*value) + " is not \"" + std::string(choice.clear) +
                    (choice.column == kPower ? "\", \"High\" or watts such as \"5.0W\""
                                             : "\" or \"" + std::string(choice.set) + '"')};
        }
    }
    if (at_[kSkip] >= 0) {
        const std::string skip = Cell(kSkip).value_or("");
        if (!skip.empty() && !SameText(skip, "S")) {
            return CellError{kSkip, Shown(skip) + " is not \"\" or \"S\""};
        }
        channel.scan = skip.empty();
    }
    return channel;
}

// The option byte an imported channel gets: what the row says over what the channel had.
std::uint8_t ImportedOptions(const ImportedChannel& channel, std::uint8_t old) {
    std::uint8_t options = old;
    const auto set = [&options](std::uint8_t bits, bool on) {
        options = static_cast<std::uint8_t>(on ? options | bits : options & ~bits);
    };
    if (channel.narrow) {
        set(kOptNarrow, *channel.narrow);
    }
    if (channel.highPower) {
        set(kOptHighPower, *channel.highPower);
    }
    // Scanning stays ON or AUTO as it was; a channel that did not scan is switched ON.
    if (channel.scan && *channel.scan != ((old & kScanBits) != 0)) {
        set(*channel.scan ? kOptScan : kScanBits, *channel.scan);
    }
    return options;
}

}  // namespace

PowerFigures NominalPower(int band) {
    if (band == kBandPmr) {
        return {"0.5W", "0.1W"};
    }
    return {"5.0W", "1.0W"};
}

ChannelCsvExport ExportChannelsCsv(const Document& doc) {
    std::vector<int> channels(doc.lines.size());
    std::iota(channels.begin(), channels.end(), 1);
    return ExportChannelsCsv(doc, channels);
}

ChannelCsvExport ExportChannelsCsv(const Document& doc, const std::vector<int>& channels) {
    ChannelCsvExport result;
    for (const std::string_view name : kColumnNames) {
        result.text += (result.text.empty() ? "" : ",") + std::string(name);
    }
    result.text += kRowEnd;
    PllEncoder encoder(
        PllFromImage(doc.state.SysBlock[kPllByte], doc.state.SysBlock[kRefDividerByte0]));
    const PowerFigures power = NominalPower(doc.state.Band);
    for (const int channel : channels) {
        if (channel < 1 || static_cast<std::size_t>(channel) > doc.lines.size()) {
            continue;
        }
        const auto i = static_cast<std::size_t>(channel - 1);
        const std::string prefix = "channel " + std::to_string(channel) + ": ";
        const ParsedLine fields = ParseLine(doc.lines[i]);
        const std::string rxText = Trim(fields.LineRxFreq);
        const std::string txText = Trim(fields.LineTxFreq);
        // What the radio would hold: the packer stores a side it cannot encode as absent.
        if (encoder.EncodeFreq(rxText, true) == kUnstorableCode) {
            if (rxText != kNoFrequency) {
                result.warnings.push_back(prefix + "the receive frequency " + rxText +
                                          " cannot be stored; not exported");
            }
            continue;
        }
        const bool txStored = encoder.EncodeFreq(txText, false) != kUnstorableCode;
        if (!txStored && txText != kNoFrequency) {
            result.warnings.push_back(prefix + "the transmit frequency " + txText +
                                      " cannot be stored; exported as receive only");
        }
        const std::int64_t rx = *FreqToHz(rxText);
        const std::int64_t tx = txStored ? *FreqToHz(txText) : 0;
        int codes[] = {static_cast<int>(LeadingNumber(fields.LineTxTone)),
                       static_cast<int>(LeadingNumber(fields.LineRxTone))};
        if (!txStored) {
            codes[0] = 0;
        }
        for (int& code : codes) {
            if (code != 0 && KindOf(code) == ToneKind::None) {
                result.warnings.push_back(prefix + "tone code " + std::to_string(code) +
                                          " is not in the tone table; exported without it");
                code = 0;
            }
        }
        const auto mode =
            std::find_if(kToneModes.begin(), kToneModes.end(), [&](const ToneMode& m) {
                return m.tx == KindOf(codes[0]) && m.rx == KindOf(codes[1]) &&
                       (!m.same || codes[0] == codes[1]);
            });

        std::array<std::string, kColumnCount> row;
        row[kLocation] = std::to_string(channel);
        row[kFrequency] = Mhz6(rx);
        row[kDuplex] = !txStored ? "off" : tx == rx ? "" : tx > rx ? "+" : "-";
        row[kOffset] = Mhz6(txStored ? (tx > rx ? tx - rx : rx - tx) : 0);
        row[kTone] = mode->tone;
        row[kCrossMode] = mode->cross.empty() ? kDefaultCrossMode : mode->cross;
        row[kRToneFreq] = row[kCToneFreq] = kDefaultCtcss;
        row[kDtcsCode] = row[kRxDtcsCode] = kDefaultDcs;
        for (const auto& [column, code] :
             {std::pair{TxToneColumn(*mode), codes[0]}, std::pair{RxToneColumn(*mode), codes[1]}}) {
            if (column != kColumnCount) {
                row[column] = ToneDescription(code);
            }
        }
        row[kDtcsPolarity] = kNormalPolarity;
        const std::uint8_t options = i < doc.state.ChOption.size() ? doc.state.ChOption[i] : 0;
        row[kMode] = (options & kOptNarrow) ? "NFM" : "FM";
        row[kTStep] = StepIndex(rx) == 1 ? "5.00" : "6.25";
        row[kSkip] = (options & kScanBits) ? "" : "S";
        row[kPower] = (options & kOptHighPower) ? power.high : power.low;
        for (std::size_t c = 0; c < row.size(); ++c) {
            result.text += (c == 0 ? "" : ",") + row[c];
        }
        result.text += kRowEnd;
    }
    return result;
}

namespace {

std::string Count(int n, std::string_view one, std::string_view many) {
    return std::to_string(n) + ' ' + std::string(n == 1 ? one : many);
}

}  // namespace

std::string ChannelCsvImport::Summary() const {
    std::string text = Count(channels, "channel imported", "channels imported");
    if (skipped > 0) {
        text += ", " + Count(skipped, "row skipped", "rows skipped");
    }
    return text;
}

std::string ChannelCsvImport::RowResult(const ChannelImportRow& row) const {
    switch (row.outcome) {
        case ImportRowOutcome::Skip:
            return "Skip: " + row.why;
        case ImportRowOutcome::Refuse:
            return "Refused: " + row.why;
        case ImportRowOutcome::Import:
            break;
    }
    return errors.empty() ? "Import" : "Not imported: other rows are refused";
}

std::string ChannelCsvImport::PreviewSummary() const {
    const auto refused =
        static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const ChannelImportRow& row) {
            return row.outcome == ImportRowOutcome::Refuse;
        }));
    if (!errors.empty() && refused == 0) {
        return "Nothing can be imported: " + errors.front() + ".";
    }
    if (refused > 0) {
        const bool unclosedOnly =
            std::all_of(rows.begin(), rows.end(), [](const ChannelImportRow& row) {
                return row.outcome != ImportRowOutcome::Refuse || row.why.ends_with(kUnclosed);
            });
        return "Nothing can be imported: " + Count(refused, "row is", "rows are") + " refused. " +
               (unclosedOnly ? "Close the quote in the file and import it again."
                             : "Tick \"Skip rows that cannot be stored\" to import the others, "
                               "or mend the file.");
    }
    if (rows.empty()) {
        return "The file holds no rows to import.";
    }
    if (channels == 0) {
        return "No row can be imported.";
    }
    std::string text = Count(channels, "channel", "channels") + " will be imported";
    if (skipped > 0) {
        text += ", " + Count(skipped, "row", "rows") + " skipped";
    }
    return text + ".";
}

ChannelCsvImport PlanChannelsImport(const Document& doc, std::string_view text,
                                    const ChannelImportOptions& options) {
    ChannelCsvImport result;
    ImportRules rules{
        static_cast<int>(doc.lines.size()),
        doc.state.Band,
        DocumentBandEdges(doc),
        PllFromImage(doc.state.SysBlock[kPllByte], doc.state.SysBlock[kRefDividerByte0]),
        options.fixedChannelsOnly,
        !options.firstChannel.has_value()};
    std::array<int, kColumnCount> at;
    at.fill(-1);
    // A field by its column's name, or by its position when the header gives it no known name.
    const auto fieldName = [&at](int field) {
        const auto column = std::find(at.begin(), at.end(), field);
        return column == at.end() ? "column " + std::to_string(field + 1)
                                  : std::string(kColumnNames[column - at.begin()]);
    };
    const auto error = [&result](int line, const std::string& field, const std::string& message) {
        result.errors.push_back("line " + std::to_string(line) + ", " + field + ": " + message);
    };
    const auto columnError = [&error](int line, Column column, const std::string& message) {
        error(line, std::string(kColumnNames[column]), message);
    };

    std::vector<CsvRow> rows = ReadCsv(text);
    std::erase_if(rows, BlankRow);
    const int headerLine = rows.empty() ? 1 : rows.front().line;
    if (!rows.empty() && rows.front().unclosedField >= 0) {
        // The open quote has swallowed every row after it; what the header names is unknown.
        error(headerLine, fieldName(rows.front().unclosedField), std::string(kUnclosed));
        return result;
    }
    for (std::size_t field = 0; !rows.empty() && field < rows.front().fields.size(); ++field) {
        for (int column = 0; column < kColumnCount; ++column) {
            if (!SameText(Trim(rows.front().fields[field]), kColumnNames[column])) {
                continue;
            }
            if (at[column] < 0) {
                at[column] = static_cast<int>(field);
            } else if (IsReadColumn(column)) {
                // Which of the two the file means cannot be told.
                columnError(headerLine, static_cast<Column>(column),
                            "the header has this column twice (columns " +
                                std::to_string(at[column] + 1) + " and " +
                                std::to_string(field + 1) + ")");
            }
        }
    }
    for (const Column required : {kLocation, kFrequency}) {
        if (at[required] < 0 && (required != kLocation || rules.readLocation)) {
            columnError(headerLine, required, "the header has no such column");
        }
    }
    if (options.firstChannel &&
        (*options.firstChannel < 1 || *options.firstChannel > rules.channels)) {
        result.errors.push_back("the first channel " + std::to_string(*options.firstChannel) +
                                " is not a channel from 1 to " + std::to_string(rules.channels));
    }
    if (!result.errors.empty()) {
        return result;
    }

    const auto cell = [&at](const CsvRow& row, Column column) {
        const int field = at[column];
        return field < 0 || static_cast<std::size_t>(field) >= row.fields.size()
                   ? std::string()
                   : Trim(row.fields[static_cast<std::size_t>(field)]);
    };
    // Location 0 is where the other tools keep a scratch memory, not a channel of the list.
    const auto scratch = [&cell](const CsvRow& row) {
        const std::string location = cell(row, kLocation);
        return !location.empty() &&
               std::all_of(location.begin(), location.end(), [](char c) { return c == '0'; });
    };
    for (std::size_t r = 1; r < rows.size(); ++r) {
        if (rows[r].unclosedField < 0 && !scratch(rows[r])) {
            rules.mostMilliwatts =
                std::max(rules.mostMilliwatts, Milliwatts(cell(rows[r], kPower)).value_or(0));
        }
    }

    std::vector<ImportedChannel> channels;
    std::map<int, int> lineOf;  // channel -> the line that names it
    int next = options.firstChannel.value_or(0);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const CsvRow& row = rows[r];
        ChannelImportRow entry;
        entry.line = row.line;
        entry.location = cell(row, kLocation);
        entry.frequency = cell(row, kFrequency);
        std::string why;
        bool skippable = options.skipUnstorable;
        if (row.unclosedField >= 0) {
            // Never skipped: the rows after it are inside the quote.
            why = fieldName(row.unclosedField) + ": " + std::string(kUnclosed);
            skippable = false;
        } else if (scratch(row)) {
            why = "Location: " + entry.location + " is a scratch memory, not a channel";
            skippable = true;
        } else if (auto read = RowReader(row, at, rules).Read();
                   const auto* problem = std::get_if<CellError>(&read)) {
            why = std::string(kColumnNames[problem->column]) + ": " + problem->text;
        } else {
            auto& channel = std::get<ImportedChannel>(read);
            if (!rules.readLocation) {
                if (next > rules.channels) {
                    why = "Location: the configuration has no channel " + std::to_string(next);
                } else {
                    channel.channel = next++;
                }
            } else if (const auto [earlier, added] = lineOf.emplace(channel.channel, row.line);
                       !added) {
                why = "Location: channel " + std::to_string(channel.channel) + " is also on line " +
                      std::to_string(earlier->second);
            }
            if (why.empty()) {
                entry.channel = channel.channel;
                channels.push_back(channel);
            }
        }
        if (!why.empty()) {
            entry.outcome = skippable ? ImportRowOutcome::Skip : ImportRowOutcome::Refuse;
            (skippable ? result.notes : result.errors)
                .push_back("line " + std::to_string(row.line) + ", " + why);
            result.skipped += skippable ? 1 : 0;
            entry.why = std::move(why);
        }
        result.rows.push_back(std::move(entry));
    }

    const int width = ValueWidth(rules.edges.low);
    for (const ImportedChannel& channel : channels) {
        const int i = channel.channel - 1;
        const std::string tx =
            channel.txHz ? FrequencyTextFromHz(*channel.txHz, width) : std::string(kNoFrequency);
        result.change.lines.push_back(
            {i, ChannelLine(channel.channel, FrequencyTextFromHz(channel.rxHz, width),
                            channel.rxTone, tx, channel.txTone)});
        if (static_cast<std::size_t>(i) < doc.state.ChOption.size()) {
            result.change.options.push_back({i, ImportedOptions(channel, doc.state.ChOption[i])});
        }
    }
    result.channels = static_cast<int>(channels.size());
    return result;
}

void ApplyChannelsImport(Document& doc, ChannelCsvImport& plan) {
    if (plan.CanImport() && !plan.imported) {
        ChangeDocument(doc, plan.change);
        plan.imported = true;
    }
}

ChannelCsvImport ImportChannelsCsv(Document& doc, std::string_view text,
                                   const ChannelImportOptions& options) {
    ChannelCsvImport plan = PlanChannelsImport(doc, text, options);
    ApplyChannelsImport(doc, plan);
    return plan;
}

std::optional<std::string> ReadChannelsCsvFile(const std::string& path, std::string& why) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    std::ifstream in(path, std::ios::binary);
    if (error || !in) {
        why = "Can't open file: " + path;
        return std::nullopt;
    }
    if (size > kMaxChannelCsvBytes) {
        why = path + " is too big for a channel list";
        return std::nullopt;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        why = "Can't read file: " + path;
        return std::nullopt;
    }
    return text;
}

std::optional<std::vector<int>> ParseChannelSelection(std::string_view text, int last,
                                                      std::string& why) {
    std::vector<int> channels;
    const auto number = [last](std::string_view part) -> std::optional<int> {
        const std::string trimmed = Trim(part);
        if (trimmed.empty() || trimmed.size() > 3 ||
            !std::all_of(trimmed.begin(), trimmed.end(),
                         [](char c) { return c >= '0' && c <= '9'; })) {
            return std::nullopt;
        }
        const int value = static_cast<int>(LeadingNumber(trimmed));
        return value >= 1 && value <= last ? std::optional(value) : std::nullopt;
    };
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const std::string_view item = text.substr(at, comma - at);
        const std::size_t dash = item.find('-');
        const auto first = number(item.substr(0, dash));
        const auto end = dash == std::string_view::npos ? first : number(item.substr(dash + 1));
        if (!first || !end || *end < *first) {
            why = Shown(item) + " is not a channel or a range of channels from 1 to " +
                  std::to_string(last) + " (such as 1-8,12)";
            return std::nullopt;
        }
        for (int channel = *first; channel <= *end; ++channel) {
            channels.push_back(channel);
        }
        at = comma + 1;
    }
    std::sort(channels.begin(), channels.end());
    channels.erase(std::unique(channels.begin(), channels.end()), channels.end());
    return channels;
}

}  // namespace petrel
