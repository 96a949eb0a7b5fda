#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/freq_codec.h"

namespace petrel {

// The header above every channel list.
inline constexpr std::string_view kColumnHeader =
    " CH   Rx Freq.  Rx_CTCSS/DCS   Tx Freq.  Tx_CTCSS/DCS ";
// What follows the channel number of an empty channel (new, cut or deleted lines).
inline constexpr std::string_view kEmptyChannelBody =
    "  NONE        000=  None   NONE        000=  None ";

// Channel record: 8 bytes per channel from image offset 0x60.
inline constexpr std::size_t kChannelRecordSize = 8;
enum ChannelRecordByte : std::size_t {
    kRecFlags = 0,
    kRecRxTone = 1,
    kRecTxTone = 2,
    kRecRxPllHigh = 3,
    kRecRxPllLow = 4,
    kRecTxPllHigh = 5,
    kRecTxPllLow = 6,
    kRecNibbles = 7,
};

// ChannelFlags: presence bits recomputed by the packer, options kept from the document.
inline constexpr std::uint8_t kFlagRxPresent = 0x80;
inline constexpr std::uint8_t kFlagTxPresent = 0x40;
// Erased memory, and every channel byte of a never-edited new configuration's file.
inline constexpr std::uint8_t kErasedByte = 0xFF;

// The working fields of one list line. Each field is read from one column left of where the
// line format puts it: the column before every field is a blank.
struct ParsedLine {
    std::string LineCh;      // columns 1-4
    std::string LineRxFreq;  // 12 characters from column 4
    std::string LineRxTone;  // 4 characters from column 16
    std::string LineTxFreq;  // 12 characters from column 29
    std::string LineTxTone;  // 4 characters from column 41
};
ParsedLine ParseLine(std::string_view line);

// A channel line in the list's column layout: number, then each side's frequency, tone code and
// tone description. An absent side ("NONE") carries no tone.
std::string ChannelLine(int channel, std::string_view rxFreq, int rxTone, std::string_view txFreq,
                        int txTone);

// The channel number as it starts an edited line: one blank after a single digit ("1 ", "16").
std::string ChannelNumberText(int channel);
// An empty channel line: new, cut or deleted.
std::string EmptyChannelLine(int channel);
// A new configuration's preset line: both sides on freq, no tones.
std::string PresetChannelLine(int channel, std::string_view freq);
// The line renumbered for paste and tone fill: the first two characters replaced.
std::string RenumberLine(int channel, std::string_view line);
// The 11-character tone field the tone fill writes ("001 =  67.0", "000 = None ").
std::string ToneFillField(int code);

// Channel lines and option bytes decoded from the records of an image.
struct UnpackedChannels {
    std::vector<std::string> lines;
    std::vector<std::uint8_t> options;  // ChOption: each record's flags byte; 0 when erased
};

// The channel count of an image: (upper index - 96) / 8 rounded, which gives the same count
// for a radio image and for a file image that ends with the band byte.
int ChannelCountOf(std::size_t imageSize);

// Decodes the records of image (96 header bytes, then the records). Bytes missing at the end
// of a short image read as 0.
UnpackedChannels UnpackChannels(const std::vector<std::uint8_t>& image, const PllParams& params,
                                int freqTextLen);

// Appends one record per line to image, which holds exactly the 96 header bytes. The options
// give bits 5..0 of each flags byte; the presence bits come from the line.
void PackChannels(std::vector<std::uint8_t>& image, const std::vector<std::string>& lines,
                  const std::vector<std::uint8_t>& options, const PllParams& params);

}  // namespace petrel
