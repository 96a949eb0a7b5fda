#include "channels/freq_codec.h"

#include <gtest/gtest.h>

#include "document/band_table.h"

namespace petrel {
namespace {

// PLL parameters of a band as the new-radio dialog stores them in bytes 0x0B and 0x0C.
PllParams ParamsOfBand(int band) {
    const auto row = BandRow(band);
    const int prescaler = PrescalerText(row) == "64" ? 64 : 128;
    const int osc = OscIndexOf(OscText(row));
    const auto refData = MakeRefData(kOscList[osc], prescaler);
    return PllFromImage(static_cast<std::uint8_t>((osc << 4) | IfIndexOf(IfText(row))),
                        static_cast<std::uint8_t>(refData[0] >> 8));
}

TEST(FreqToHz, ReadsFrequencyTextsWhateverTheirPadding) {
    struct Case {
        const char* text;
        std::int64_t hz;
    };
    for (const Case& c :
         {Case{"446.00625", 446006250}, Case{"446.006250", 446006250},
          Case{" 446.006250 ", 446006250}, Case{"446", 446000000}, Case{"29.7", 29700000},
          Case{"-21.7", -21700000}, Case{"+45.1", 45100000}, Case{"NONE", 0}, Case{"", 0}}) {
        EXPECT_EQ(FreqToHz(c.text), c.hz) << '"' << c.text << '"';
    }
}

TEST(StepIndex, PrefersTheFinestStepThatDividesTheFrequency) {
    EXPECT_EQ(StepIndex(446025000), 0);  // a 25 kHz multiple is coded with 6.25 kHz
    EXPECT_EQ(StepIndex(446006250), 0);
    EXPECT_EQ(StepIndex(446005000), 1);
    EXPECT_EQ(StepIndex(446002500), 2);
    EXPECT_EQ(StepIndex(446001000), 3);
}

TEST(MakeRefData, DividesTwiceTheOscillatorByEachStep) {
    EXPECT_EQ(MakeRefData("14.4", 128), (std::array<int, 3>{4608, 5760, 11520}));
    EXPECT_EQ(MakeRefData("21.25", 128), (std::array<int, 3>{6800, 8500, 17000}));
    // The 64 prescaler is marked with 0x8000, which is what tells it apart when decoding.
    const auto marked = MakeRefData("6.4", 64);
    EXPECT_EQ(marked[0], 2048 + 0x8000);
    EXPECT_GT(marked[0], 16384);
}

TEST(PllFromImage, TakesIndexesFromByte0BAndPrescalerFromBit7Of0C) {
    const auto pmr = PllFromImage(0x38, 0x1A);
    EXPECT_EQ(pmr.ifText, "-21.7");
    EXPECT_EQ(pmr.oscText, "21.25");
    EXPECT_EQ(pmr.prescaler, 128);
    EXPECT_EQ(PllFromImage(0x27, 0x92).prescaler, 64);
    // Indexes outside the lists keep the defaults.
    const auto outside = PllFromImage(0xFF, 0x00);
    EXPECT_EQ(outside.ifText, "-21.4");
    EXPECT_EQ(outside.oscText, "6.4");
}

TEST(EncodeFreq, MatchesTheWorkedPmrExample) {
    PllEncoder encoder(ParamsOfBand(9));
    const std::string tx = encoder.EncodeFreq("446.006250", false);
    EXPECT_EQ(tx, "0100");
    EXPECT_EQ(encoder.PllHigh(), 0x45);
    EXPECT_EQ(encoder.PllLow(), 0xB0);
    const std::string rx = encoder.EncodeFreq("446.006250", true);
    EXPECT_EQ(rx, "0100");
    EXPECT_EQ(encoder.PllHigh(), 0x42);
    EXPECT_EQ(encoder.PllLow(), 0x4C);
    EXPECT_EQ(NibbleByte(tx, rx), 0x44);
}

TEST(EncodeFreq, StoresOnlyTheFineRastersAndKeepsTheLastWordOtherwise) {
    PllEncoder encoder(ParamsOfBand(9));
    EXPECT_EQ(encoder.PllHigh(), 0);  // every pass starts at 0, 0
    EXPECT_EQ(encoder.EncodeFreq("446.005", false).substr(2), "01");
    const auto high = encoder.PllHigh();
    const auto low = encoder.PllLow();
    for (const char* unstorable : {"446.0025", "NONE", " NONE ", "garbage", "0", "2000.000000"}) {
        EXPECT_EQ(encoder.EncodeFreq(unstorable, false), "0303") << unstorable;
        EXPECT_EQ(encoder.PllHigh(), high);
        EXPECT_EQ(encoder.PllLow(), low);
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

TEST(NibbleByte, AbsentSidesFollowThePackerRule) {
    EXPECT_EQ(NibbleByte("0303", "0100"), 0x04);
    EXPECT_EQ(NibbleByte("0100", "0303"), 0x00);
    EXPECT_EQ(NibbleByte("1101", "0010"), 0xD2);
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
}

TEST(DecodeFreq, StepCode3UsesTheZeroStep) {
    const auto params = ParamsOfBand(9);
    EXPECT_EQ(DecodeFreq(params, 0x45, 0xB0, 0x33, false, 10), "0.00000000");
    EXPECT_EQ(DecodeFreq(params, 0x45, 0xB0, 0x33, true, 10), "21.7000000");
}

TEST(FrequencyText, IsShortestDecimalThenPaddedToWidth) {
    EXPECT_EQ(FormatMhz(446006250), "446.00625");
    EXPECT_EQ(FormatMhz(446000000), "446");
    EXPECT_EQ(FormatMhz(-21700000), "-21.7");
    EXPECT_EQ(FrequencyTextFromHz(446000000, 10), "446.000000");
    EXPECT_EQ(FrequencyTextFromHz(29700000, 9), "29.700000");
}

}  // namespace
}  // namespace petrel
