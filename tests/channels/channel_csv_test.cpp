#include "core/channels/channel_csv.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "core/channels/channel_options.h"
#include "core/document/document_lifecycle.h"
#include "core/document/new_config.h"
#include "core/model/band_table.h"
#include "core/model/channel_line.h"
#include "core/model/freq_codec.h"
#include "core/model/program_state.h"
#include "core/model/tone_table.h"
#include "support/golden.h"

namespace petrel {
namespace {

const std::string kHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment\r\n";

class ChannelCsvTest : public ::testing::Test {
  protected:
    Document& NewDoc(int band, int channels) {
        return state.workspace.At(BuildNewConfiguration(state, band, channels));
    }
    // The rows after the header, without their line ends.
    static std::vector<std::string> Rows(const std::string& csv) {
        EXPECT_TRUE(csv.starts_with(kHeader)) << csv;
        std::vector<std::string> rows;
        for (std::size_t at = kHeader.size(); at < csv.size();) {
            const std::size_t end = csv.find("\r\n", at);
            rows.push_back(csv.substr(at, end - at));
            at = end + 2;
        }
        return rows;
    }
    ProgramState state;
};

// Every Tone/CrossMode case, from what a channel holds to the row and back into an empty channel.
TEST_F(ChannelCsvTest, TonesTakeTheSimplestModeThatSaysThemExactly) {
    const auto exported = [this](const std::string& tones) {
        std::istringstream in(tones);
        int rx = 0;
        int tx = 0;
        std::string off;
        in >> rx >> tx >> off;
        Document& doc = NewDoc(6, 2);
        const std::string line =
            ChannelLine(2, "446.006250", rx, off.empty() ? "446.006250" : "NONE", tx);
        doc.lines[1] = line;
        doc.state.ChOption[1] = 0;
        const std::string csv = ExportChannelsCsv(doc).text;
        doc.lines[1] = EmptyChannelLine(2);
        EXPECT_TRUE(ImportChannelsCsv(doc, csv, false).errors.empty()) << tones;
        EXPECT_EQ(doc.lines[1], line) << tones;
        const auto rows = Rows(csv);
        return rows.size() == 1 ? rows[0] : "rows: " + std::to_string(rows.size());
    };
    EXPECT_TRUE(test::MatchesTranscript("channels/data/csv_tones.txt", exported));
}

TEST_F(ChannelCsvTest, FrequenciesRastersAndOptionBitsOfTheRows) {
    // Rx, Tx, option bits, the row from Frequency on ("%": the columns of no tones).
    const std::tuple<const char*, const char*, std::uint8_t, const char*> cases[] = {
        {"446.006250", "446.006250", 0x00, "446.006250,,0.000000,%,FM,6.25,S,Low,"},
        {"446.005000", "451.005000", kOptNarrow, "446.005000,+,5.000000,%,NFM,5.00,S,Low,"},
        {"451.012500", "446.012500", kOptHighPower, "451.012500,-,5.000000,%,FM,6.25,S,High,"},
        {"446.025000", "NONE", kOptScan, "446.025000,off,0.000000,%,FM,6.25,,Low,"},
        {"469.995000", "469.995000", kOptScanAuto, "469.995000,,0.000000,%,FM,5.00,,Low,"},
        // Busy-channel lock-out and beat shift have no column.
        {"440.000000", "440.000000", kOptBclo | kOptBeatShift,
         "440.000000,,0.000000,%,FM,6.25,S,Low,"}};
    const std::string noTones = ",88.5,88.5,023,NN,023,Tone->Tone";
    for (const auto& [rx, tx, options, expected] : cases) {
        Document& doc = NewDoc(6, 1);
        doc.lines[0] = ChannelLine(1, rx, 0, tx, 0);
        doc.state.ChOption[0] = options;
        std::string row = expected;
        row.replace(row.find('%'), 1, noTones);
        EXPECT_EQ(Rows(ExportChannelsCsv(doc).text), std::vector<std::string>{"1,," + row});
    }
}

TEST_F(ChannelCsvTest, ImportSetsTheOptionsItHasColumnsForAndKeepsTheRest) {
    // Option bits before, the option columns and their values, the bits after.
    const std::tuple<std::uint8_t, const char*, const char*, std::uint8_t> cases[] = {
        {0x00, "Mode,Power,Skip", "NFM,High,", kOptNarrow | kOptHighPower | kOptScan},
        {0xC6, "Mode,Power,Skip", "FM,Low,S", 0xC0},  // presence bits are the packer's
        {kOptScanAuto, "Skip", "", kOptScanAuto},     // AUTO stays AUTO while scanning
        {kOptScan | kOptScanAuto, "Skip", "S", 0x00},
        {kOptBclo | kOptBeatShift | kOptNarrow, "Mode,Power", ",",
         kOptBclo | kOptBeatShift | kOptNarrow},
        {kOptHighPower, "Comment", "x", kOptHighPower}};  // no option columns: all kept
    for (const auto& [before, header, values, after] : cases) {
        Document& doc = NewDoc(6, 1);
        doc.state.ChOption[0] = before;
        const std::string csv = std::string("Location,Frequency,") + header + "\n1,446," + values;
        const auto imported = ImportChannelsCsv(doc, csv, false);
        ASSERT_TRUE(imported.errors.empty()) << imported.errors.front();
        EXPECT_EQ(doc.state.ChOption[0], after) << header << " " << values;
    }
}

TEST_F(ChannelCsvTest, AnyOrderQuotesAndMissingOrUnknownColumns) {
    Document& doc = NewDoc(6, 4);
    const std::string before = doc.lines[3];
    const std::string csv =
        "\xEF\xBB\xBF"
        "Comment,Frequency,Vendor Data,Location,Duplex,Offset\r\n"
        "\"Depot, \"\"north\"\"\nsecond line\",446.5,,2,+,\"5\"\r\n"
        "\r\n"
        "plain,\"450\",x,1\n";
    const auto imported = ImportChannelsCsv(doc, csv, false);
    ASSERT_TRUE(imported.errors.empty()) << imported.errors.front();
    EXPECT_EQ(imported.channels, 2);
    EXPECT_EQ(doc.lines[0], ChannelLine(1, "450.000000", 0, "450.000000", 0));
    EXPECT_EQ(doc.lines[1], ChannelLine(2, "446.500000", 0, "451.500000", 0));
    EXPECT_EQ(doc.lines[3], before);
    EXPECT_TRUE(doc.state.Dirty);

    // A row after a quoted line break is counted from the line it starts on.
    const auto refused =
        ImportChannelsCsv(doc, "Location,Comment,Frequency\n1,\"a\nb\",x\n", false);
    EXPECT_EQ(refused.errors,
              std::vector<std::string>{"line 2, Frequency: \"x\" is not a frequency in MHz"});
}

TEST_F(ChannelCsvTest, EveryBadRowIsReportedAndNothingIsWritten) {
    state.FreqLock = false;
    Document& doc = NewDoc(9, 8);
    const std::vector<std::string> lines = doc.lines;
    doc.state.Dirty = false;
    // A refusal of every kind, each row after a good first one, which does not make up for them.
    std::string errors;
    for (const std::string& error :
         ImportChannelsCsv(doc, test::DataText("channels/data/refused_rows.csv"), false).errors) {
        errors += error + "\n";
    }
    EXPECT_TRUE(test::MatchesGolden(errors, "channels/data/refused_rows.txt"));
    EXPECT_EQ(doc.lines, lines);
    EXPECT_FALSE(doc.state.Dirty);

    // While the fixed-channel lock holds, only the band's channel table is offered.
    EXPECT_EQ(ImportChannelsCsv(doc, "Location,Frequency\n1,446.0125\n", true).errors,
              std::vector<std::string>{
                  "line 2, Frequency: 446.0125 MHz is not one of the band's channels"});
    EXPECT_TRUE(ImportChannelsCsv(doc, "Location,Frequency\n1,446.01875\n", true).errors.empty());
    EXPECT_EQ(ImportChannelsCsv(doc, "Frequency,Name\n", false).errors,
              std::vector<std::string>{"line 1, Location: the header has no such column"});
    EXPECT_EQ(ImportChannelsCsv(doc, "", false).errors,
              (std::vector<std::string>{"line 1, Location: the header has no such column",
                                        "line 1, Frequency: the header has no such column"}));
}

// Texts whose meaning cannot be told are refused whole, each with its line and column.
TEST_F(ChannelCsvTest, AmbiguousOrBrokenTextIsRefusedWithItsLineAndColumn) {
    using Errors = std::vector<std::string>;
    const std::pair<std::string, Errors> cases[] = {
        // An open quote in the header would swallow every row.
        {"Location,Frequency,\"Comment\n1,446.00625\n2,446.0125\n",
         {"line 1, column 3: the quoted text is not closed"}},
        // Two columns of one name: which one is meant cannot be told. Unread ones may repeat.
        {"Location,Frequency,Frequency\n1,446.00625,446.0125\n",
         {"line 1, Frequency: the header has this column twice (columns 2 and 3)"}},
        {"\nLocation,Frequency, location ,Comment,Comment\n1,446.00625,2,a,b\n",
         {"line 2, Location: the header has this column twice (columns 1 and 3)"}},
        // A shift without its offset would silently become simplex.
        {"Location,Frequency,Duplex,Offset\n1,446.00625,+,\n2,446.0125,-, \n3,446.0125,split,\n",
         {"line 2, Offset: Duplex \"+\" needs an offset in MHz, and there is none",
          "line 3, Offset: Duplex \"-\" needs an offset in MHz, and there is none",
          "line 4, Offset: Duplex \"split\" needs the transmit frequency in MHz, and there is "
          "none"}},
        {"Location,Frequency,Duplex\n1,446.0125,-\n",
         {"line 2, Offset: Duplex \"-\" needs an offset in MHz, and there is none"}},
        // A quote left open at the end, even around nothing, is not a blank line.
        {"Location,Frequency\n1,446.00625\n\"",
         {"line 3, Location: the quoted text is not closed"}},
        {"Location,Frequency,Vendor Data\n1,446.00625,\"  ",
         {"line 2, column 3: the quoted text is not closed"}},
        {"Location,Frequency,Comment,Comment\n1,446.00625,a,b\n", {}},
    };
    for (const auto& [csv, errors] : cases) {
        Document& doc = NewDoc(9, 8);
        const std::vector<std::string> lines = doc.lines;
        const auto imported = ImportChannelsCsv(doc, csv, false);
        EXPECT_EQ(imported.errors, errors) << csv;
        EXPECT_EQ(imported.channels, errors.empty() ? 1 : 0) << csv;
        if (!errors.empty()) {
            EXPECT_EQ(doc.lines, lines) << csv;
        }
    }
}

// A receive frequency is checked with the configuration's own synthesiser settings: with an IF
// of -45.1 MHz a low band channel would need a negative synthesiser frequency.
TEST_F(ChannelCsvTest, FrequenciesTheConfigurationCannotStoreAreRefused) {
    const std::string csv = "Location,Frequency\n1,30.0\n2,38.0\n";
    EXPECT_TRUE(ImportChannelsCsv(NewDoc(1, 16), csv, false).errors.empty());  // the band's +45.1
    Document& doc = NewDoc(1, 16);
    doc.state.SysBlock[kPllByte] =
        static_cast<std::uint8_t>((doc.state.SysBlock[kPllByte] & 0xF0) | IfIndexOf("-45.1"));
    const std::vector<std::string> lines = doc.lines;
    EXPECT_EQ(ImportChannelsCsv(doc, csv, false).errors,
              (std::vector<std::string>{
                  "line 2, Frequency: 30 MHz cannot be stored with the configuration's IF of "
                  "-45.1 MHz (its synthesiser would have to make -15.1 MHz)",
                  "line 3, Frequency: 38 MHz cannot be stored with the configuration's IF of "
                  "-45.1 MHz (its synthesiser would have to make -7.1 MHz)"}));
    EXPECT_EQ(doc.lines, lines);
}

TEST_F(ChannelCsvTest, ChannelsTheRadioWouldNotHoldAreNamedOnExport) {
    Document& doc = NewDoc(6, 3);
    doc.lines = {ChannelLine(1, "446.002500", 0, "446.002500", 0),
                 ChannelLine(2, "446.006250", 0, "446.002500", 12),
                 "3   446.006250  200=         446.006250  012=  100.0  "};
    const ChannelCsvExport exported = ExportChannelsCsv(doc);
    EXPECT_EQ(exported.warnings,
              (std::vector<std::string>{
                  "channel 1: the receive frequency 446.002500 cannot be stored; not exported",
                  "channel 2: the transmit frequency 446.002500 cannot be stored; exported as "
                  "receive only",
                  "channel 3: tone code 200 is not in the tone table; exported without it"}));
    const auto rows = Rows(exported.text);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0].starts_with("2,,446.006250,off,0.000000,,")) << rows[0];
    EXPECT_TRUE(rows[1].starts_with("3,,446.006250,,0.000000,Tone,100.0,")) << rows[1];
}

// Export, then import into the same configuration with its channels emptied and the option
// bits the rows carry turned over: the radio image comes back byte for byte.
TEST_F(ChannelCsvTest, ExportThenImportGivesTheSameImageForEveryBand) {
    std::mt19937 random(12);
    for (int band = 1; band <= kBandCount; ++band) {
        const int channels = band % 2 == 0 ? 99 : 16;
        Document& doc = NewDoc(band, channels);
        doc.state.Dirty = true;
        const BandEdges edges = DocumentBandEdges(doc);
        const std::int64_t low = *FreqToHz(edges.low);
        const std::int64_t high = *FreqToHz(edges.high);
        const int width = ValueWidth(edges.low);
        const auto frequency = [&] {
            const std::int64_t step = random() % 2 ? 6250 : 5000;
            const std::int64_t first = (low + step - 1) / step;
            return (first + static_cast<std::int64_t>(random()) % ((high / step) - first + 1)) *
                   step;
        };
        for (int i = 0; i < channels; ++i) {
            if (random() % 8 == 0) {
                doc.lines[i] = EmptyChannelLine(i + 1);
                continue;
            }
            const std::int64_t rx = frequency();
            const int txKind = static_cast<int>(random() % 3);
            const std::string tx = txKind == 0   ? "NONE"
                                   : txKind == 1 ? FrequencyTextFromHz(rx, width)
                                                 : FrequencyTextFromHz(frequency(), width);
            doc.lines[i] = ChannelLine(i + 1, FrequencyTextFromHz(rx, width),
                                       static_cast<int>(random() % kToneCount), tx,
                                       static_cast<int>(random() % kToneCount));
            doc.state.ChOption[i] = static_cast<std::uint8_t>(random() % 64);
        }
        const ImageBuf image = PackImage(state, doc);
        const ChannelCsvExport exported = ExportChannelsCsv(doc);
        EXPECT_TRUE(exported.warnings.empty()) << band;

        for (int i = 0; i < channels; ++i) {
            doc.lines[i] = EmptyChannelLine(i + 1);
            std::uint8_t& options = doc.state.ChOption[i];
            options ^= kOptNarrow | kOptHighPower;
            options |= (options & (kOptScan | kOptScanAuto)) ? 0 : kOptScan;
        }
        const auto imported = ImportChannelsCsv(doc, exported.text, false);
        ASSERT_TRUE(imported.errors.empty()) << band << ": " << imported.errors.front();
        // Channels without Rx keep the turned bits, which the packer clears anyway.
        EXPECT_EQ(PackImage(state, doc), image) << "band " << band;
    }
}

}  // namespace
}  // namespace petrel
