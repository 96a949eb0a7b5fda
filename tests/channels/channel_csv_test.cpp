#include "core/channels/channel_csv.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

#include "core/channels/channel_options.h"
#include "core/document/document_lifecycle.h"
#include "core/document/new_config.h"
#include "core/model/band_table.h"
#include "core/model/channel_line.h"
#include "core/model/freq_codec.h"
#include "core/model/tone_table.h"
#include "core/model/workspace.h"
#include "support/golden.h"

namespace petrel {
namespace {

const std::string kHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment\r\n";

ChannelImportOptions Options(std::optional<int> firstChannel, bool skipUnstorable,
                             bool fixedChannelsOnly = false) {
    ChannelImportOptions options;
    options.firstChannel = firstChannel;
    options.skipUnstorable = skipUnstorable;
    options.fixedChannelsOnly = fixedChannelsOnly;
    return options;
}

class ChannelCsvTest : public ::testing::Test {
  protected:
    Document& NewDoc(int band, int channels) {
        return workspace.At(BuildNewConfiguration(workspace, band, channels));
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
    Workspace workspace;
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
        EXPECT_TRUE(ImportChannelsCsv(doc, csv, {}).errors.empty()) << tones;
        EXPECT_EQ(doc.lines[1], line) << tones;
        const auto rows = Rows(csv);
        return rows.size() == 1 ? rows[0] : "rows: " + std::to_string(rows.size());
    };
    EXPECT_TRUE(test::MatchesTranscript("channels/data/csv_tones.txt", exported));
}

TEST_F(ChannelCsvTest, FrequenciesRastersAndOptionBitsOfTheRows) {
    // Rx, Tx, option bits, the row from Frequency on ("%": the columns of no tones).
    const std::tuple<const char*, const char*, std::uint8_t, const char*> cases[] = {
        {"446.006250", "446.006250", 0x00, "446.006250,,0.000000,%,FM,6.25,S,1.0W,"},
        {"446.005000", "451.005000", kOptNarrow, "446.005000,+,5.000000,%,NFM,5.00,S,1.0W,"},
        {"451.012500", "446.012500", kOptHighPower, "451.012500,-,5.000000,%,FM,6.25,S,5.0W,"},
        {"446.025000", "NONE", kOptScan, "446.025000,off,0.000000,%,FM,6.25,,1.0W,"},
        {"469.995000", "469.995000", kOptScanAuto, "469.995000,,0.000000,%,FM,5.00,,1.0W,"},
        // Busy-channel lock-out and beat shift have no column.
        {"440.000000", "440.000000", kOptBclo | kOptBeatShift,
         "440.000000,,0.000000,%,FM,6.25,S,1.0W,"}};
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
        const auto imported = ImportChannelsCsv(doc, csv, {});
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
    const auto imported = ImportChannelsCsv(doc, csv, {});
    ASSERT_TRUE(imported.errors.empty()) << imported.errors.front();
    EXPECT_EQ(imported.channels, 2);
    EXPECT_EQ(doc.lines[0], ChannelLine(1, "450.000000", 0, "450.000000", 0));
    EXPECT_EQ(doc.lines[1], ChannelLine(2, "446.500000", 0, "451.500000", 0));
    EXPECT_EQ(doc.lines[3], before);
    EXPECT_TRUE(doc.state.Dirty);

    // A row after a quoted line break is counted from the line it starts on.
    const auto refused = ImportChannelsCsv(doc, "Location,Comment,Frequency\n1,\"a\nb\",x\n", {});
    EXPECT_EQ(refused.errors,
              std::vector<std::string>{"line 2, Frequency: \"x\" is not a frequency in MHz"});
}

TEST_F(ChannelCsvTest, EveryBadRowIsReportedAndNothingIsWritten) {
    Document& doc = NewDoc(9, 8);
    const std::vector<std::string> lines = doc.lines;
    doc.state.Dirty = false;
    // A refusal of every kind, each row after a good first one, which does not make up for them.
    std::string errors;
    for (const std::string& error :
         ImportChannelsCsv(doc, test::DataText("channels/data/refused_rows.csv"), {}).errors) {
        errors += error + "\n";
    }
    EXPECT_TRUE(test::MatchesGolden(errors, "channels/data/refused_rows.txt"));
    EXPECT_EQ(doc.lines, lines);
    EXPECT_FALSE(doc.state.Dirty);

    // While the fixed-channel lock holds, only the band's channel table is offered.
    EXPECT_EQ(ImportChannelsCsv(doc, "Location,Frequency\n1,446.0125\n",
                                Options(std::nullopt, false, true))
                  .errors,
              std::vector<std::string>{
                  "line 2, Frequency: 446.0125 MHz is not one of the band's channels"});
    EXPECT_TRUE(ImportChannelsCsv(doc, "Location,Frequency\n1,446.01875\n",
                                  Options(std::nullopt, false, true))
                    .errors.empty());
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
        {"Frequency,Name\n", {"line 1, Location: the header has no such column"}},
        {"",
         {"line 1, Location: the header has no such column",
          "line 1, Frequency: the header has no such column"}},
    };
    for (const auto& [csv, errors] : cases) {
        Document& doc = NewDoc(9, 8);
        const std::vector<std::string> lines = doc.lines;
        const auto imported = ImportChannelsCsv(doc, csv, {});
        EXPECT_EQ(imported.errors, errors) << csv;
        EXPECT_EQ(imported.imported, errors.empty()) << csv;
        if (!errors.empty()) {
            EXPECT_EQ(doc.lines, lines) << csv;
        }
    }
}

// A receive frequency is checked with the configuration's own synthesiser settings: with an IF
// of -45.1 MHz a low band channel would need a negative synthesiser frequency.
TEST_F(ChannelCsvTest, FrequenciesTheConfigurationCannotStoreAreRefused) {
    const std::string csv = "Location,Frequency\n1,30.0\n2,38.0\n";
    EXPECT_TRUE(ImportChannelsCsv(NewDoc(1, 16), csv, {}).errors.empty());  // the band's +45.1
    Document& doc = NewDoc(1, 16);
    doc.state.SysBlock[kPllByte] =
        static_cast<std::uint8_t>((doc.state.SysBlock[kPllByte] & 0xF0) | IfIndexOf("-45.1"));
    const std::vector<std::string> lines = doc.lines;
    EXPECT_EQ(ImportChannelsCsv(doc, csv, {}).errors,
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

// Power as words or watts: with watts a row is High when its figure is at least half the
// largest in the file, so a file of one figure is all High. An empty cell keeps the bit.
TEST_F(ChannelCsvTest, PowerAsWordsOrWatts) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"High", "low", "HIGH", "Low"}, "HLHL"},
        {{"5.0W", "1.0W"}, "HL"},
        {{"0.5W", "0.1W"}, "HL"},
        {{"50W", "1.0W", "25W", "24.999W"}, "HLHL"},
        {{"5", "1", "2.5"}, "HLH"},
        {{"0.5W", "0.5W", "0.5w"}, "HHH"},
        {{"1.0W"}, "H"},
        {{"Low", "1.0W", "5 W", "High"}, "LLHH"},
        {{"", "5.0W", "1.0W"}, "LHL"},
    };
    for (const auto& [cells, expected] : cases) {
        Document& doc = NewDoc(6, static_cast<int>(cells.size()));
        std::fill(doc.state.ChOption.begin(), doc.state.ChOption.end(), 0);
        std::string csv = "Location,Frequency,Power\n";
        for (std::size_t i = 0; i < cells.size(); ++i) {
            csv += std::to_string(i + 1) + ",446.0125," + cells[i] + "\n";
        }
        const auto imported = ImportChannelsCsv(doc, csv, {});
        ASSERT_TRUE(imported.errors.empty()) << imported.errors.front();
        std::string levels;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            levels += (doc.state.ChOption[i] & kOptHighPower) ? 'H' : 'L';
        }
        EXPECT_EQ(levels, expected) << csv;
    }
}

// Files as the other tool writes them: its older layout without RxDtcsCode, CrossMode and Power,
// and TStep values that decide nothing. Its full column list, a scratch memory and watt figures
// are ExportThenImportGivesTheSameImageForEveryBand's.
TEST_F(ChannelCsvTest, TheOtherToolsOwnFilesImportAsItWroteThem) {
    struct Case {
        std::string csv;
        std::vector<std::string> lines;  // channels 1, 2, 3 afterwards
        std::string options;             // their Mode/Power/Skip: N narrow, H high, S scan
        std::vector<std::string> notes;
        std::vector<std::string> errors;
    };
    const Case cases[] = {
        {"Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
         "Mode,TStep,Skip,Comment\n"
         "1,,446.006250,,0.000000,Tone,71.9,88.5,023,NN,FM,10.00,,\n"
         "3,,446.025000,off,0.000000,DTCS,88.5,88.5,606,NN,NFM,5.00,S,\n",
         {ChannelLine(1, "446.006250", 0, "446.006250", 2), "",
          ChannelLine(3, "446.025000", 138, "NONE", 0)},
         "S,,N",
         {},
         {}},
        {"Location,Frequency,TStep\n1,446.0025,2.50\n",
         {},
         "",
         {},
         {"line 2, Frequency: 446.0025 MHz is not on the 6.25 kHz or 5 kHz raster"}},
    };
    for (const Case& c : cases) {
        Document& doc = NewDoc(6, 3);
        std::fill(doc.state.ChOption.begin(), doc.state.ChOption.end(), 0);
        const std::vector<std::string> before = doc.lines;
        const auto imported = ImportChannelsCsv(doc, c.csv, {});
        EXPECT_EQ(imported.errors, c.errors) << c.csv;
        EXPECT_EQ(imported.notes, c.notes) << c.csv;
        std::string options;
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(doc.lines[i], c.lines[i].empty() ? before[i] : c.lines[i]) << c.csv;
            const std::uint8_t bits = doc.state.ChOption[i];
            options += std::string(i == 0 ? "" : ",") + ((bits & kOptNarrow) ? "N" : "") +
                       ((bits & kOptHighPower) ? "H" : "") + ((bits & kOptScan) ? "S" : "");
        }
        EXPECT_EQ(options, c.options) << c.csv;
    }
}

// Where rows go and which are left out, with the lines that say so: a scratch memory, rows out
// of the band (the other tool's LPD channels), placement by Location or from a first channel,
// rows past the last channel, a channel named twice.
TEST_F(ChannelCsvTest, RowsArePlacedAndSkippedAsTheOptionsSay) {
    const std::string lpdAndPmr =
        "Location,Frequency\n0,146.01\n1,433.075\n2,433.1\n71,446.00625\n72,446.01875\n"
        "73,446.03125\n";
    const std::string scratch = "line 2, Location: 0 is a scratch memory, not a channel";
    const std::string lpd1 = "line 3, Frequency: 433.075 MHz is outside 446.00625 ~ 446.09375";
    const std::string lpd2 = "line 4, Frequency: 433.1 MHz is outside 446.00625 ~ 446.09375";
    const std::string pastEnd = "line 7, Location: the configuration has no channel 100";
    struct Case {
        ChannelImportOptions options;
        std::string csv;
        std::vector<std::string> errors;
        std::vector<std::string> notes;
        std::vector<int> channels;  // of each row; 0 for none
        std::string summary;        // when imported
    };
    const Case cases[] = {
        {{}, lpdAndPmr, {lpd1, lpd2}, {scratch}, {0, 0, 0, 71, 72, 73}, ""},
        {Options(std::nullopt, true),
         lpdAndPmr,
         {},
         {scratch, lpd1, lpd2},
         {0, 0, 0, 71, 72, 73},
         "3 channels imported, 3 rows skipped"},
        {Options(1, true),
         lpdAndPmr,
         {},
         {scratch, lpd1, lpd2},
         {0, 0, 0, 1, 2, 3},
         "3 channels imported, 3 rows skipped"},
        {Options(1, false), lpdAndPmr, {lpd1, lpd2}, {scratch}, {0, 0, 0, 1, 2, 3}, ""},
        {Options(98, true),
         lpdAndPmr,
         {},
         {scratch, lpd1, lpd2, pastEnd},
         {0, 0, 0, 98, 99, 0},
         "2 channels imported, 4 rows skipped"},
        {Options(98, false), lpdAndPmr, {lpd1, lpd2, pastEnd}, {scratch}, {0, 0, 0, 98, 99, 0}, ""},
        {Options(100, false),
         lpdAndPmr,
         {"the first channel 100 is not a channel from 1 to 99"},
         {},
         {},
         ""},
        {Options(std::nullopt, true),
         "Location,Frequency\n5,446.00625\n5,446.01875\n",
         {},
         {"line 3, Location: channel 5 is also on line 2"},
         {5, 0},
         "1 channel imported, 1 row skipped"},
        // Placed rows need no Location column.
        {Options(4, false), "Frequency\n446.00625\n", {}, {}, {4}, "1 channel imported"},
        {Options(std::nullopt, true),
         "Location,Frequency\n0,446.00625\n1,440\n",
         {},
         {"line 2, Location: 0 is a scratch memory, not a channel",
          "line 3, Frequency: 440 MHz is outside 446.00625 ~ 446.09375"},
         {0, 0},
         ""},
    };
    for (const Case& c : cases) {
        Document& doc = NewDoc(9, 99);
        doc.state.Dirty = false;
        const std::vector<std::string> before = doc.lines;
        const auto imported = ImportChannelsCsv(doc, c.csv, c.options);
        EXPECT_EQ(imported.errors, c.errors) << c.csv;
        EXPECT_EQ(imported.notes, c.notes) << c.csv;
        std::vector<int> channels;
        std::vector<std::string> expected = before;
        for (const ChannelImportRow& row : imported.rows) {
            channels.push_back(row.channel);
            if (row.channel > 0) {
                const auto hz = FreqToHz(row.frequency);
                ASSERT_TRUE(hz);
                expected[row.channel - 1] = ChannelLine(row.channel, FrequencyTextFromHz(*hz, 10),
                                                        0, FrequencyTextFromHz(*hz, 10), 0);
            }
        }
        EXPECT_EQ(channels, c.channels) << c.csv;
        EXPECT_EQ(imported.imported, !c.summary.empty()) << c.csv;
        EXPECT_EQ(doc.state.Dirty, imported.imported) << c.csv;
        EXPECT_EQ(doc.lines, imported.imported ? expected : before) << c.csv;
        if (imported.imported) {
            EXPECT_EQ(imported.Summary(), c.summary) << c.csv;
        }
    }

    // Skipping leaves out every refused row but one whose quote stays open: the rows after it
    // are inside the quote.
    Document& doc = NewDoc(9, 8);
    const auto skipped = ImportChannelsCsv(doc, test::DataText("channels/data/refused_rows.csv"),
                                           Options(std::nullopt, true));
    std::string notes;
    for (const std::string& note : skipped.notes) {
        notes += note + "\n";
    }
    EXPECT_EQ(skipped.errors.size(), 1u);
    EXPECT_EQ(notes + skipped.errors.back() + "\n",
              test::DataText("channels/data/refused_rows.txt"));
    EXPECT_FALSE(skipped.imported);
}

TEST_F(ChannelCsvTest, ChannelSelectionsAndTheirExport) {
    const std::pair<std::string, std::vector<int>> cases[] = {
        {"1-8,12", {1, 2, 3, 4, 5, 6, 7, 8, 12}},
        {" 12, 3-4,3 ", {3, 4, 12}},
        {"16", {16}},
        {"8-1", {}},
        {"0", {}},
        {"17", {}},
        {"", {}},
        {"1,,2", {}},
        {"1-", {}},
        {"a", {}},
    };
    for (const auto& [text, expected] : cases) {
        std::string why;
        const auto channels = ParseChannelSelection(text, 16, why);
        EXPECT_EQ(channels.value_or(std::vector<int>{}), expected) << text;
        EXPECT_EQ(why.empty(), channels.has_value()) << text;
    }
    std::string why;
    EXPECT_FALSE(ParseChannelSelection("1-8,20", 16, why));
    EXPECT_EQ(why, "\"20\" is not a channel or a range of channels from 1 to 16 (such as 1-8,12)");

    // Only the channels chosen, and only those with a receive frequency.
    Document& doc = NewDoc(9, 8);
    doc.lines[2] = EmptyChannelLine(3);
    std::vector<std::string> locations;
    for (const std::string& row : Rows(ExportChannelsCsv(doc, {2, 3, 5, 9}).text)) {
        locations.push_back(row.substr(0, row.find(',')));
    }
    EXPECT_EQ(locations, (std::vector<std::string>{"2", "5"}));
}

// Our file as the other tool saves it again after reading it: its full column list, a scratch
// memory at Location 0, power in its own watt figures, split duplex, TStep values of its own,
// names and quoted comments, LF line ends.
std::string AsTheOtherToolSavesIt(const std::string& ours, int band, std::mt19937& random) {
    const std::vector<std::string> columns = {
        "Location",  "Name",     "Frequency",    "Duplex",     "Offset",    "Tone",     "rToneFreq",
        "cToneFreq", "DtcsCode", "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode",     "TStep",
        "Skip",      "Power",    "Comment",      "URCALL",     "RPT1CALL",  "RPT2CALL", "DVCODE"};
    const auto cells = [](std::string line) {
        std::vector<std::string> fields;
        std::istringstream in(line.substr(0, line.find('\r')));
        for (std::string field; std::getline(in, field, ',');) {
            fields.push_back(field);
        }
        if (!line.empty() && line.substr(0, line.find('\r')).back() == ',') {
            fields.emplace_back();
        }
        return fields;
    };
    const std::pair<const char*, const char*> levels[] = {
        {"50W", "1.0W"}, {"5.0W", "0.5W"}, {"0.5W", "0.1W"}, {"5W", "1W"}};
    const auto& [high, low] = levels[band % 4];
    const char* steps[] = {"5.00", "6.25", "10.00", "12.50", "25.00"};
    std::istringstream in(ours);
    std::string line;
    std::getline(in, line);
    const std::vector<std::string> ourColumns = cells(line);
    std::string text;
    for (const std::string& column : columns) {
        text += (text.empty() ? "" : ",") + column;
    }
    text += "\n0,,146.010000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,50W,,,,,\n";
    while (std::getline(in, line)) {
        std::map<std::string, std::string> row;
        const std::vector<std::string> fields = cells(line);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            row[ourColumns.at(i)] = fields[i];
        }
        std::string& duplex = row["Duplex"];
        if ((duplex == "+" || duplex == "-") && random() % 2) {
            const std::int64_t rx = *FreqToHz(row["Frequency"]);
            const std::int64_t offset = *FreqToHz(row["Offset"]);
            const std::int64_t tx = duplex == "+" ? rx + offset : rx - offset;
            row["Offset"] = FrequencyTextFromHz(tx, ValueWidth(FormatMhz(tx)));
            duplex = "split";
        }
        row["Name"] = random() % 2 ? "" : "CH" + row["Location"];
        row["Comment"] = random() % 2 ? "" : "\"Depot, north\"";
        row["TStep"] = steps[random() % 5];
        row["Power"] = row["Power"] == NominalPower(band).high ? high : low;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            text += (i == 0 ? "" : ",") + row[columns[i]];
        }
        text += "\n";
    }
    return text;
}

// Export, the other tool's reading and saving, then import into the same configuration with its
// channels emptied and the option bits the rows carry turned over: the radio image comes back
// byte for byte.
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
        const ImageBuf image = PackImage(doc);
        const ChannelCsvExport exported = ExportChannelsCsv(doc);
        EXPECT_TRUE(exported.warnings.empty()) << band;
        const std::string saved = AsTheOtherToolSavesIt(exported.text, band, random);

        for (int i = 0; i < channels; ++i) {
            doc.lines[i] = EmptyChannelLine(i + 1);
            std::uint8_t& options = doc.state.ChOption[i];
            options ^= kOptNarrow | kOptHighPower;
            options |= (options & (kOptScan | kOptScanAuto)) ? 0 : kOptScan;
        }
        const auto imported = ImportChannelsCsv(doc, saved, {});
        ASSERT_TRUE(imported.errors.empty()) << band << ": " << imported.errors.front();
        EXPECT_EQ(imported.notes.size(), 1u) << band;  // the scratch memory
        // Channels without Rx keep the turned bits, which the packer clears anyway.
        EXPECT_EQ(PackImage(doc), image) << "band " << band << "\n" << saved;
    }
}

}  // namespace
}  // namespace petrel
