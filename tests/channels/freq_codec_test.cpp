#include "core/model/freq_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

#include "core/document/new_config.h"
#include "core/model/band_table.h"
#include "core/model/bit_text.h"
#include "core/model/tone_table.h"
#include "core/model/workspace.h"
#include "support/golden.h"

namespace petrel {
namespace {

// PLL parameters of a band as a new configuration of it holds them.
PllParams ParamsOfBand(int band) {
    Workspace workspace;
    const auto& block = workspace.At(BuildNewConfiguration(workspace, band, 1)).state.SysBlock;
    return PllFromImage(block[kPllByte], block[kRefDividerByte0]);
}

TEST(ToneTable, ItemTextsFollowTheComboLayoutOneDistinctItemPerCode) {
    for (const auto& [code, texts] :
         {std::pair{0, "000 No Tone|None"}, std::pair{1, "001 CTCSS  67.0|67.0"},
          std::pair{12, "012 CTCSS 100.0|100.0"}, std::pair{38, "038 CTCSS 250.3|250.3"},
          std::pair{39, "039 CTCSS  69.4|69.4"}, std::pair{50, "050 CTCSS 254.1|254.1"},
          std::pair{51, "051 CDCSS   023|023"}, std::pair{154, "154 CDCSS   754|754"},
          std::pair{155, "|"}, std::pair{-1, "|"}}) {
        EXPECT_EQ(ToneItemText(code) + '|' + ToneDescription(code), texts);
    }
    std::set<std::string> descriptions;
    for (int code = 1; code < kToneCount; ++code) {
        EXPECT_EQ(ToneItemText(code).size(), 15u) << code;
        descriptions.insert(ToneDescription(code));
    }
    EXPECT_EQ(descriptions.size(), static_cast<std::size_t>(kToneCount - 1));
}

TEST(FreqToHz, ReadsAtMostSixDecimalsAndNothingElse) {
    const auto hz = [](const std::string& text) {
        const auto read = FreqToHz(test::Unquoted(text));
        return read ? std::to_string(*read) : "none";
    };
    EXPECT_TRUE(test::MatchesTranscript("channels/data/freq_to_hz.txt", hz));
}

TEST(PllFromImage, EveryNibbleSelectsItsListEntryOrTheFirst) {
    const char* const ifs[] = {"-21.4", "+21.4", "-34.3", "+34.3", "-45.0", "+45.0",
                               "-45.1", "+45.1", "-21.7", "+21.7", "-21.4"};
    // The oscillator and its reference words for 6250, 5000 and 2500 Hz.
    const char* const oscs[] = {"6.4 2048 2560 5120", "12.8 4096 5120 10240",
                                "14.4 4608 5760 11520", "21.25 6800 8500 17000",
                                "6.4 2048 2560 5120"};
    for (int n = 0; n < 16; ++n) {
        const auto p = PllFromImage(static_cast<std::uint8_t>(n << 4 | n), 0x00);
        EXPECT_EQ(p.ifText + ' ' + p.oscText + ' ' + std::to_string(p.refData[0]) + ' ' +
                      std::to_string(p.refData[1]) + ' ' + std::to_string(p.refData[2]),
                  std::string(ifs[std::min(n, 10)]) + ' ' + oscs[std::min(n, 4)]);
    }
}

TEST(EncodeFreq, StoresOnlyTheFineRastersAndKeepsTheLastWordOtherwise) {
    PllEncoder encoder(ParamsOfBand(9));
    EXPECT_EQ(encoder.PllHigh(), 0);  // every pass starts at 0, 0
    EXPECT_EQ(encoder.EncodeFreq("446.005", false).substr(2), "01");
    const int word = encoder.PllHigh() << 8 | encoder.PllLow();
    for (const char* unstorable : {"446.0025", "NONE", " NONE ", "garbage", "0", "2000.000000"}) {
        EXPECT_EQ(encoder.EncodeFreq(unstorable, false), "0303") << unstorable;
        EXPECT_EQ(encoder.PllHigh() << 8 | encoder.PllLow(), word) << unstorable;
    }
    // Rx below the IF would need a synthesiser frequency below zero.
    EXPECT_EQ(encoder.EncodeFreq("10.000000", true), "0303");
    EXPECT_EQ(encoder.EncodeFreq("446.025000", false).substr(2), "00");
}

TEST(EncodeFreq, With64PrescalerTheLowWordBitsStayBelow16) {
    PllEncoder encoder(ParamsOfBand(1));
    ASSERT_EQ(encoder.Params().prescaler, 64);
    for (std::int64_t hz = 29700000; hz <= 39000000; hz += 6250 * 7) {
        const std::string text = FrequencyTextFromHz(hz, 9);
        if (encoder.EncodeFreq(text, false) != "0303") {
            EXPECT_LE(encoder.PllLow() & 31, 15) << text;
        }
    }
}

// Every reference frequency of every band comes back unchanged from its PLL bytes.
TEST(DecodeFreq, ReversesEncodeForEveryBandAndDirection) {
    for (int band = 1; band <= kBandCount; ++band) {
        const auto params = ParamsOfBand(band);
        const int width = ValueWidth(LowerEdge(RangeText(BandRow(band))));
        PllEncoder encoder(params);
        for (int i = 0; i < 4; ++i) {
            for (const bool isRx : {true, false}) {
                const std::string freq = isRx ? RxFreqOf(band, i) : TxFreqOf(band, i);
                const std::string code = encoder.EncodeFreq(freq, isRx);
                ASSERT_NE(code, "0303") << band << ' ' << freq;
                const std::uint8_t nibbles =
                    isRx ? NibbleByte("0000", code) : NibbleByte(code, "0000");
                const auto decoded =
                    DecodeFreq(params, encoder.PllHigh(), encoder.PllLow(), nibbles, isRx, width);
                ASSERT_TRUE(decoded);
                EXPECT_EQ(*decoded, freq) << "band " << band;
            }
        }
    }
    // Step code 3 is the zero step, which erased memory carries: no frequency on either side.
    EXPECT_EQ(DecodeFreq(ParamsOfBand(9), 0x45, 0xB0, 0x33, false, 10), std::nullopt);
    EXPECT_EQ(DecodeFreq(ParamsOfBand(9), 0x45, 0xB0, 0x33, true, 10), std::nullopt);
    EXPECT_EQ(DecodeFreq(ParamsOfBand(9), 0xFF, 0xFF, 0xFF, true, 10), std::nullopt);
}

TEST(BitText, ConvertsBetweenNumbersAndBitTexts) {
    EXPECT_EQ(ToBin(0) + " " + ToBin(5) + " " + ToBin(8) + " " + Bin8(0x44),
              "000 101 001000 01000100");
    EXPECT_EQ(PadCode3(7) + " " + PadCode3(42), "007 042");
    for (unsigned value = 0; value < 512; ++value) {
        EXPECT_EQ(BinToVal(ToBin(value)), value);
        EXPECT_EQ(BinToVal(Bin8(static_cast<std::uint8_t>(value))), value % 256);
    }
}

}  // namespace
}  // namespace petrel
