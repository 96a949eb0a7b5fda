#include "channels/channel_line.h"

#include <gtest/gtest.h>

#include "channels/channel_check.h"
#include "document/program_state.h"
#include "document/radio_image.h"
#include "support/fakes.h"
#include "util/text.h"

namespace petrel {
namespace {

const PllParams kPmr = PllFromImage(0x38, 0x1A);
constexpr int kPmrWidth = 10;

ImageBuf HeaderOnly() {
    return ImageBuf(0x60, 0);
}

std::vector<std::uint8_t> PackOne(const std::string& line, std::uint8_t option) {
    ImageBuf image = HeaderOnly();
    PackChannels(image, {line}, {option}, kPmr);
    return {image.begin() + 0x60, image.end()};
}

// A line packed and unpacked again, as a save then an open would show it.
std::string RoundTrip(const std::string& line, std::uint8_t option = 0x02) {
    ImageBuf image = HeaderOnly();
    PackChannels(image, {line}, {option}, kPmr);
    return UnpackChannels(image, kPmr, kPmrWidth).lines.at(0);
}

TEST(ChannelLine, EveryWrittenVariantPacksLikeTheUnpackedLine) {
    // Unpacked lines: fixed columns, 54 characters.
    const std::string withTones = "1   446.006250  001=  67.0   446.018750  051=  023    ";
    EXPECT_EQ(RoundTrip(withTones), withTones);
    const std::string none = "1   NONE        000=  None   NONE        000=  None   ";
    EXPECT_EQ(RoundTrip(none), none);
    // A new configuration's preset and empty lines.
    const std::string unpacked = "1   446.006250  000=  None   446.006250  000=  None   ";
    EXPECT_EQ(PresetChannelLine(1, "446.006250"), unpacked.substr(0, 51));
    EXPECT_EQ(RoundTrip(PresetChannelLine(1, "446.006250")), unpacked);
    EXPECT_EQ(EmptyChannelLine(9), "9   NONE        000=  None   NONE        000=  None ");
    EXPECT_EQ(PackOne(EmptyChannelLine(9), 0x06)[kRecFlags], 0);
    // The tone fill writes "001 =  67.0" in columns 17-27 and 42-52.
    EXPECT_EQ(ToneFillField(0), "000 = None ");
    EXPECT_EQ(ToneFillField(51), "051 =   023");
    std::string filled = unpacked;
    filled.replace(16, 11, ToneFillField(1));
    filled.replace(41, 11, ToneFillField(51));
    const auto record = PackOne(filled, 0x02);
    EXPECT_EQ(record[kRecRxTone], 1);
    EXPECT_EQ(record[kRecTxTone], 51);
    // Renumbered lines keep the rest of the line; a short line parses without reading past it.
    EXPECT_EQ(RenumberLine(10, "3   446.006250  000=  None"), "10  446.006250  000=  None");
    EXPECT_EQ(RenumberLine(4, "16  NONE"), "4   NONE");
    EXPECT_EQ(ParseLine("7").LineCh, "7");
    EXPECT_EQ(ParseLine("7").LineTxTone, "");
}

TEST(PackChannels, RecomputesPresenceBitsAndKeepsOptions) {
    // Both sides: 0xC0 plus the options.
    EXPECT_EQ(PackOne("1   446.006250  000=  None   446.006250  000=  None", 0x06)[kRecFlags],
              0xC6);
    // No Rx: an empty channel whatever its options, nibble byte 0.
    const auto noRx = PackOne("1   NONE        000=  None   446.006250  000=  None", 0x06);
    EXPECT_EQ(noRx[kRecFlags], 0);
    EXPECT_EQ(noRx[kRecNibbles], 0);
    // A Tx on the 2.5 kHz raster cannot be stored: Tx bit clear, Tx tone 0.
    const auto badTx = PackOne("1   446.006250  001=  67.0   446.002500  005=  79.7", 0x02);
    EXPECT_EQ(badTx[kRecFlags], 0x82);
    EXPECT_EQ(badTx[kRecTxTone], 0);
    EXPECT_EQ(badTx[kRecNibbles] >> 4, 0);
    // Every option on: stored as it is.
    EXPECT_EQ(PackOne("1   446.006250  000=  None   446.006250  000=  None", 0xFF)[kRecFlags],
              0xFF);
}

TEST(UnpackChannels, ErasedRecordsHoldNoOptionsAndAllOptionsOnSurvive) {
    // Channel 1 erased, channel 2 used with all six options on: both read as flags 0xFF.
    ImageBuf image = HeaderOnly();
    image.resize(0x60 + 8, 0xFF);
    PackChannels(image, {"2   446.006250  001=  67.0   446.018750  002=  71.9"}, {0x3F}, kPmr);
    ASSERT_EQ(image[0x68 + kRecFlags], 0xFF);
    auto unpacked = UnpackChannels(image, kPmr, kPmrWidth);
    EXPECT_EQ(unpacked.options, (std::vector<std::uint8_t>{0x00, 0xFF}));
    // The erased channel is empty, not a frequency made of its 0xFF bytes.
    EXPECT_EQ(Trim(ParseLine(unpacked.lines[0]).LineRxFreq), "NONE");
    EXPECT_EQ(Trim(ParseLine(unpacked.lines[0]).LineTxFreq), "NONE");

    // A frequency typed into the erased channel gets no options; the other keeps its own.
    unpacked.lines[0] = PresetChannelLine(1, "446.006250");
    ImageBuf again = HeaderOnly();
    PackChannels(again, unpacked.lines, unpacked.options, kPmr);
    EXPECT_EQ(again[0x60 + kRecFlags], 0xC0);
    EXPECT_EQ(again[0x68 + kRecFlags], 0xFF);
}

TEST(PackChannels, AbsentSidesCarryTheLastWordOfTheSamePass) {
    ImageBuf image = HeaderOnly();
    PackChannels(image,
                 {"1   NONE        000=  None   NONE        000=  None",
                  "2   446.006250  000=  None   NONE        000=  None",
                  "3   NONE        000=  None   NONE        000=  None"},
                 {0, 0, 0}, kPmr);
    const auto record = [&](int i, int byte) { return image[0x60 + 8 * i + byte]; };
    // The first channel of a pass has nothing before it.
    EXPECT_EQ(record(0, kRecRxPllHigh), 0);
    EXPECT_EQ(record(0, kRecTxPllLow), 0);
    // An absent Tx repeats the channel's own Rx word; an empty channel the previous word.
    EXPECT_EQ(record(1, kRecRxPllHigh), 0x42);
    EXPECT_EQ(record(1, kRecTxPllHigh), 0x42);
    EXPECT_EQ(record(1, kRecTxPllLow), 0x4C);
    EXPECT_EQ(record(2, kRecRxPllLow), 0x4C);
}

TEST(UnpackChannels, CountsChannelsTheSameForRadioAndFileImages) {
    // With or without the band byte; halves round to even (101 and 109 bytes).
    for (const auto& [size, count] :
         {std::pair{224, 16}, std::pair{225, 16}, std::pair{889, 99}, std::pair{96, 0},
          std::pair{61, 0}, std::pair{101, 0}, std::pair{109, 2}}) {
        EXPECT_EQ(ChannelCountOf(size), count) << size;
    }

    ImageBuf radio(96 + 8 * 16, 0);
    EXPECT_EQ(UnpackChannels(radio, kPmr, kPmrWidth).lines.size(), 16u);
    radio.push_back(9);
    EXPECT_EQ(UnpackChannels(radio, kPmr, kPmrWidth).lines.size(), 16u);
}

TEST(UnpackChannels, ShowsUnusableSidesAsNoneAndKeepsWhatItCannotShow) {
    // One channel with both sides, packed as a file holds it.
    const auto packed = [] {
        ImageBuf image = HeaderOnly();
        PackChannels(image, {"1   446.006250  001=  67.0   446.006250  002=  71.9"}, {0x06}, kPmr);
        return image;
    };
    ImageBuf image = packed();
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
    ImageBuf again = HeaderOnly();
    PackChannels(again, unpacked.lines, unpacked.options, kPmr);
    EXPECT_EQ(again, image);

    // A tone code without an item keeps its number.
    image[0x60 + kRecRxTone] = 200;
    const auto line = UnpackChannels(image, kPmr, kPmrWidth).lines[0];
    EXPECT_EQ(line.substr(16, 13), "200=         ");
    again = HeaderOnly();
    PackChannels(again, {line}, {0xC0}, kPmr);
    EXPECT_EQ(again[0x60 + kRecRxTone], 200);

    // A short channel area reads the missing bytes as zero.
    image = packed();
    image.resize(0x60 + 8 + 6, 0xFF);
    unpacked = UnpackChannels(image, kPmr, kPmrWidth);
    ASSERT_EQ(unpacked.lines.size(), 2u);
    EXPECT_EQ(unpacked.lines[0].substr(4, 10), "446.006250");
    EXPECT_EQ(unpacked.options[1], 0xFF);
}

std::string Line(int ch, const char* rx, const char* tx) {
    return RenumberLine(ch, std::string("1   ") + rx + "  000=  None   " + tx + "  000=  None   ");
}

TEST(RasterRule, LooksAtTheKilohertzDigitsOnly) {
    for (const char* good : {"446.000000", "446.005000", "446.006250", "446.012500", "446.018750",
                             "446.093750", "446", "446.0"}) {
        EXPECT_TRUE(OnRaster(good)) << good;
    }
    for (const char* bad : {"446.001000", "446.002500", "446.007000", "446.022000"}) {
        EXPECT_FALSE(OnRaster(bad)) << bad;
    }
}

TEST(CheckChannels, ReportsTheFirstRangeErrorOrTheLowestOffRasterChannel) {
    struct Case {
        std::string text;
        int color;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        // Without frequencies the status is left alone.
        {"before", kStatusBlack, {EmptyChannelLine(1), EmptyChannelLine(2)}},
        // Both band edges are in range.
        {"ALL Channels In Range", kStatusBlack, {Line(1, "446.006250", "446.093750")}},
        // A range error ends the check, even after an off-raster channel.
        {"Channel #2 Range Out !",
         kStatusRed,
         {Line(1, "446.007000", "446.006250"), Line(2, "446.006250", "447.000000"),
          Line(3, "440.000000", "446.006250")}},
        // Seven decimals are no frequency, not 446.00625 MHz.
        {"Channel #1 Range Out !", kStatusRed, {Line(1, "446.006250", "44.6006250")}},
        {"Channel #2 in Bad increament !",
         kStatusRed,
         {Line(1, "446.006250", "446.006250"), Line(2, "446.006250", "446.007000"),
          Line(3, "446.022000", "446.006250")}}};
    for (const Case& c : cases) {
        ProgramState state;
        state.BandLow = "446.00625";
        state.BandHigh = "446.09375";
        test::RecordingStatusLine status;
        status.SetStatus("before", kStatusBlack, kStatusFontNormal);
        CheckChannels(state, c.lines, status);
        EXPECT_EQ(status.Text(), c.text);
        EXPECT_EQ(status.Color(), c.color) << c.text;
        const bool checked = c.text != "before";
        EXPECT_EQ(status.FontSize(), checked ? kStatusFontLarge : kStatusFontNormal) << c.text;
        if (checked) {
            EXPECT_EQ(state.ErrMsgText, c.text);
            EXPECT_EQ(state.ErrMsgColor, c.color);
        }
    }
}

}  // namespace
}  // namespace petrel
