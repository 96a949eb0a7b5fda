#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace petrel {

struct Document;

// Channels as comma-separated text in the column layout radio programming tools exchange:
//   Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,
//   RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment
// Frequencies and offsets in MHz with six decimals; the channel's tones as Tone/CrossMode with
// their CTCSS or DCS columns; spacing, power and scan from the option bits. The radio stores no
// names: Name stays empty and, like Comment and TStep, is not read back.

struct ChannelCsvExport {
    std::string text;  // the header and one row per channel, each ending in CR LF
    // Channels the rows cannot say exactly: not exported, or exported without a tone.
    std::vector<std::string> warnings;
};

// Every channel of the document the radio would hold with a receive frequency, in channel order.
ChannelCsvExport ExportChannelsCsv(const Document& doc);

struct ChannelCsvImport {
    // One message per refused row ("line 7, Frequency: 467.5 MHz is outside 446.00625 ~
    // 446.09375"); when there is any, the document was not touched.
    std::vector<std::string> errors;
    int channels = 0;  // channels replaced
};

// Replaces the channels the rows name, as one change of the document, after checking every row:
// channel number, band range of both frequencies and whether the document's own synthesiser
// settings can store them (and, with fixedChannelsOnly, the band's channel table), known tones,
// modes and values. Columns may come in any order; unknown ones are ignored. Text whose meaning
// cannot be told is refused: a quote left open, a read column named twice, a shifted Duplex
// without its Offset. A missing Duplex or tone column means simplex without tones; a missing
// Mode, Power or Skip column (or an empty cell) keeps what the channel had, as do the options
// the layout has no column for (busy-channel lock-out, beat shift, and AUTO scan while Skip
// stays empty).
ChannelCsvImport ImportChannelsCsv(Document& doc, std::string_view text, bool fixedChannelsOnly);

// No list of 99 channels comes near this; a bigger file is not read.
inline constexpr std::size_t kMaxChannelCsvBytes = 1 << 20;
// The text of a channel file, or nothing with the reason in why.
std::optional<std::string> ReadChannelsCsvFile(const std::string& path, std::string& why);

}  // namespace petrel
