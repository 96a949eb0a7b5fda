#include "core/model/channel_line.h"

#include <gtest/gtest.h>

#include <span>
#include <sstream>

#include "core/channels/channel_check.h"
#include "core/link/link_trace.h"
#include "core/model/radio_image.h"
#include "core/util/text.h"
#include "support/fakes.h"
#include "support/golden.h"

namespace petrel {
namespace {

const PllParams kPmr = PllFromImage(0x38, 0x1A);
constexpr int kPmrWidth = 10;

// The header and the records of lines packed in one pass.
ImageBuf Packed(const std::vector<std::string>& lines, const std::vector<std::uint8_t>& options) {
    ImageBuf image(0x60, 0);
    PackChannels(image, lines, options, kPmr);
    return image;
}

// The lines packed with one option byte: each record's eight bytes in hex, separated by "|".
std::string Records(const std::vector<std::string>& lines, std::uint8_t option) {
    const ImageBuf image = Packed(lines, std::vector<std::uint8_t>(lines.size(), option));
    std::string text;
    for (std::size_t at = 0x60; at < image.size(); at += kChannelRecordSize) {
        text += (text.empty() ? "" : " | ") + HexBytes(std::span(image).subspan(at, 8));
    }
    return text;
}

// A line packed and unpacked again, as a save then an open would show it.
std::string RoundTrip(const std::string& line) {
    return UnpackChannels(Packed({line}, {0x02}), kPmr, kPmrWidth).lines.at(0);
}

// Record bytes: flags (presence bits 0xC0 recomputed, options kept), Rx tone, Tx tone, Rx PLL
// word, Tx PLL word, step nibbles (Tx high, Rx low). 446.00625 MHz: Rx 0x424C, Tx 0x45B0.
TEST(PackChannels, EachKindOfLineGivesItsRecord) {
    const std::string both = PresetChannelLine(1, "446.006250");
    std::string filled = both;  // the tone fill's "001 =  67.0" fields
    filled.replace(16, 11, ToneFillField(1)).replace(41, 11, ToneFillField(51));
    const struct {
        std::vector<std::string> lines;
        std::uint8_t option;
        const char* records;
    } cases[] = {
        {{both}, 0x06, "C6 00 00 42 4C 45 B0 44"},
        {{both}, 0xFF, "FF 00 00 42 4C 45 B0 44"},
        {{filled}, 0x02, "C2 01 33 42 4C 45 B0 44"},
        // No Rx: an empty channel whatever its options, nibble byte 0.
        {{"1   NONE        000=  None   446.006250  000=  None"}, 0x06, "00 00 00 00 00 45 B0 00"},
        {{EmptyChannelLine(9)}, 0x06, "00 00 00 00 00 00 00 00"},
        // A Tx on the 2.5 kHz raster cannot be stored: Tx bit clear, Tx tone 0.
        {{"1   446.006250  001=  67.0   446.002500  005=  79.7"}, 0x02, "82 01 00 42 4C 42 4C 04"},
        // An absent side carries the last word of the pass: the channel's own Rx word, else
        // the previous channel's.
        {{EmptyChannelLine(1), "2   446.006250  000=  None   NONE        000=  None",
          EmptyChannelLine(3)},
         0,
         "00 00 00 00 00 00 00 00 | 80 00 00 42 4C 42 4C 04 | 00 00 00 42 4C 42 4C 00"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Records(c.lines, c.option), c.records) << c.lines[0];
    }
}

TEST(ChannelLine, WrittenLinesComeBackInTheUnpackedLayout) {
    // Unpacked lines: fixed columns, 54 characters.
    for (const std::string unpacked : {"1   446.006250  001=  67.0   446.018750  051=  023    ",
                                       "1   NONE        000=  None   NONE        000=  None   "}) {
        EXPECT_EQ(RoundTrip(unpacked), unpacked);
    }
    // A new configuration's preset and empty lines, and the tone fill's fields.
    EXPECT_EQ(RoundTrip(PresetChannelLine(1, "446.006250")),
              PresetChannelLine(1, "446.006250") + "   ");
    EXPECT_EQ(EmptyChannelLine(9), "9   NONE        000=  None   NONE        000=  None ");
    EXPECT_EQ(ToneFillField(0) + "|" + ToneFillField(51), "000 = None |051 =   023");
    // Renumbered lines keep the rest of the line; a short line parses without reading past it.
    EXPECT_EQ(RenumberLine(10, "3   446.006250  000=  None"), "10  446.006250  000=  None");
    EXPECT_EQ(RenumberLine(4, "16  NONE"), "4   NONE");
    EXPECT_EQ(ParseLine("7").LineCh + "|" + ParseLine("7").LineTxTone, "7|");
}

TEST(UnpackChannels, ErasedRecordsHoldNoOptionsAndAllOptionsOnSurvive) {
    // Channel 1 erased, channel 2 used with all six options on: both read as flags 0xFF.
    ImageBuf image(0x60 + 8, 0xFF);
    PackChannels(image, {"2   446.006250  001=  67.0   446.018750  002=  71.9"}, {0x3F}, kPmr);
    ASSERT_EQ(image[0x68 + kRecFlags], 0xFF);
    auto unpacked = UnpackChannels(image, kPmr, kPmrWidth);
    EXPECT_EQ(unpacked.options, (std::vector<std::uint8_t>{0x00, 0xFF}));
    // The erased channel is empty, not a frequency made of its 0xFF bytes.
    EXPECT_EQ(Trim(ParseLine(unpacked.lines[0]).LineRxFreq), "NONE");
    EXPECT_EQ(Trim(ParseLine(unpacked.lines[0]).LineTxFreq), "NONE");

    // A frequency typed into the erased channel gets no options; the other keeps its own.
    unpacked.lines[0] = PresetChannelLine(1, "446.006250");
    const ImageBuf again = Packed(unpacked.lines, unpacked.options);
    EXPECT_EQ(again[0x60 + kRecFlags], 0xC0);
    EXPECT_EQ(again[0x68 + kRecFlags], 0xFF);
}

TEST(UnpackChannels, CountsChannelsTheSameForRadioAndFileImages) {
    // With or without the band byte; halves round to even (101 and 109 bytes).
    for (const auto& [size, count] :
         {std::pair{224, 16}, std::pair{225, 16}, std::pair{889, 99}, std::pair{96, 0},
          std::pair{61, 0}, std::pair{101, 0}, std::pair{109, 2}}) {
        EXPECT_EQ(ChannelCountOf(size), count) << size;
    }
}

TEST(UnpackChannels, ShowsUnusableSidesAsNoneAndKeepsWhatItCannotShow) {
    // One channel with both sides, packed as a file holds it.
    const ImageBuf packed = Packed({"1   446.006250  001=  67.0   446.006250  002=  71.9"}, {6});
    ImageBuf image = packed;
    // Each side shows only with its presence bit, and Tx only beside an Rx.
    for (const auto& [flags, line] :
         {std::pair{0x40, "1   NONE        000=  None   NONE        000=  None   "},
          {0x86, "1   446.006250  001=  67.0   NONE        000=  None   "},
          {0xC6, "1   446.006250  001=  67.0   446.006250  002=  71.9   "}}) {
        image[0x60] = static_cast<std::uint8_t>(flags);
        const auto unpacked = UnpackChannels(image, kPmr, kPmrWidth);
        EXPECT_EQ(unpacked.lines[0], line);
        EXPECT_EQ(unpacked.options[0], flags);
    }
    // Flags 0xC6 come back as they were, through a repack too.
    auto unpacked = UnpackChannels(image, kPmr, kPmrWidth);
    EXPECT_EQ(Packed(unpacked.lines, unpacked.options), image);

    // A tone code without an item keeps its number.
    image[0x60 + kRecRxTone] = 200;
    const auto line = UnpackChannels(image, kPmr, kPmrWidth).lines[0];
    EXPECT_EQ(line.substr(16, 13), "200=         ");
    EXPECT_EQ(Packed({line}, {0xC0})[0x60 + kRecRxTone], 200);

    // A short channel area reads the missing bytes as zero.
    image = packed;
    image.resize(0x60 + 8 + 6, 0xFF);
    unpacked = UnpackChannels(image, kPmr, kPmrWidth);
    ASSERT_EQ(unpacked.lines.size(), 2u);
    EXPECT_EQ(unpacked.lines[0].substr(4, 10), "446.006250");
    EXPECT_EQ(unpacked.options[1], 0xFF);
}

TEST(RasterRule, LooksAtTheKilohertzDigitsOnly) {
    const std::pair<const char*, bool> cases[] = {
        {"446.000000", true},  {"446.005000", true},  {"446.006250", true},  {"446.012500", true},
        {"446.018750", true},  {"446.093750", true},  {"446", true},         {"446.0", true},
        {"446.001000", false}, {"446.002500", false}, {"446.007000", false}, {"446.022000", false}};
    for (const auto& [text, on] : cases) {
        EXPECT_EQ(OnRaster(text), on) << text;
    }
}

TEST(CheckChannels, ReportsTheFirstRangeErrorOrTheLowestOffRasterChannel) {
    const auto checked = [](const std::string& channels) {
        std::istringstream in(channels);
        std::vector<std::string> lines;
        for (std::string pair; in >> pair;) {
            const auto slash = pair.find('/');
            lines.push_back(ChannelLine(static_cast<int>(lines.size()) + 1, pair.substr(0, slash),
                                        0, pair.substr(slash + 1), 0));
        }
        Document doc;
        doc.lines = lines;
        doc.rangeLabel = "Range:446.00625 ~ 446.09375MHz";
        test::RecordingStatusLine status;
        status.SetStatus("before", kStatusBlack, kStatusFontNormal);
        CheckChannels(doc, status);
        return status.Text() + (status.Color() == kStatusRed ? ", red" : ", black") +
               (status.FontSize() == kStatusFontLarge ? ", large" : ", normal");
    };
    EXPECT_TRUE(test::MatchesTranscript("channels/data/channel_check.txt", checked));
}

}  // namespace
}  // namespace petrel
