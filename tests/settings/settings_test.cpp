// The settings dialogs' rules: system options, buttons, radio and customer information.
#include <gtest/gtest.h>

#include <functional>

#include "channels/channel_line.h"
#include "document/band_table.h"
#include "document/program_state.h"
#include "settings/button_options.h"
#include "settings/radio_info.h"
#include "settings/system_options.h"

namespace petrel {
namespace {

using Bytes = std::vector<std::pair<std::size_t, std::uint8_t>>;

// "text=code|text=code|..." of a list.
std::string Joined(const EntryList& list) {
    std::string text;
    for (const auto& entry : list) {
        text += (text.empty() ? "" : "|") + entry.text + "=" + std::to_string(entry.code);
    }
    return text;
}

// Texts of a list whose codes are the positions.
std::string Positional(std::initializer_list<const char*> texts) {
    EntryList list;
    for (const char* text : texts) {
        list.push_back({text, static_cast<int>(list.size())});
    }
    return Joined(list);
}

TEST(SystemOptions, ListsOfferTheirTextsWithTheirCodes) {
    const std::pair<SysList, std::string> expected[] = {
        {kTimeOutList,
         Positional({"Infinite", "15 s", "30 s", "45 s", "60 s", "75 s", "90 s", "105 s", "120 s",
                     "135 s", "150 s", "165 s", "180 s", "195 s", "210 s", "225 s"})},
        {kPowerSaveList, "OFF=0|100 mS=1|300 mS=3|600 mS=6|900 mS=9|1200mS=12"},
        {kSquelchList, "Normal=0|Tight=1"},
        {kVoxReleaseList, Positional({"100 ms", "200 ms", "300 ms", "400 ms", "500 ms", "600 ms",
                                      "700 ms", "800 ms", "900 ms", "1000 ms", "1100 ms", "1200 ms",
                                      "1300 ms", "1400 ms", "1500 ms", "1600 ms"})},
        {kVoxAttackList,
         "80 mS     =4|100mS     =5|150mS     =6|200mS     =7|250mS     =8|300mS     =9|"
         "350mS     =10|400mS     =11|450mS     =12|500mS     =13|550mS     =14|600mS     =15"},
        {kLongPressList,
         "1.0 s=1|1.5 s=2|2.0 s=3|2.5 s=4|3.0 s=5|3.5 s=6|4.0 s=7|4.5 s=8|5.0 s=9|5.5 s=10|"
         "6.0 s=11|6.5 s=12|7.0 s=13|7.5 s=14"},
        {kPttResumeList, Positional({"OFF", "2s", "4s", "6s", "8s", "10s ", "12s", "14s", "16s",
                                     "18s", "20s", "22s", "24s", "26s", "28s", "30s"})},
        {kScanResumeList,
         Positional({"0 S", "0.5S", "1.0S", "1.5S", "2.0S", "2.5S", "3.0S", "3.5S", "4.0S", "4.5S",
                     "5.0S", "5.5S", "6.0S", "6.5S", "7.0S", "7.5S"})},
        {kSampleTimeList,
         "OFF=0|1.0S=2|1.5S=3|2.0S=4|2.5S=5|3.0S=6|3.5S=7|4.0S=8|4.5S=9|5.0S=10|5.5S=11|"
         "6.0S=12|6.5S=13|7.0S=14|7.5S=15"},
        {kCallList, Positional({"None", "Call-1", "Call-2", "Call-3", "Call-4", "Call-5"})},
        {kBcloList, Positional({"Carrier", "correct CTCSS", "wrong CTCSS"})},
    };
    for (const auto& [list, texts] : expected) {
        EXPECT_EQ(Joined(SystemList(list)), texts) << kSysListControls[list].name;
    }
}

// A 16-channel document: channels 1-4 with both frequencies, 5 receive only, the rest empty.
Document SixteenChannels() {
    Document doc;
    doc.state.Deleted = false;
    for (int channel = 1; channel <= 16; ++channel) {
        std::string line =
            channel <= 5 ? PresetChannelLine(channel, "446.006250") : EmptyChannelLine(channel);
        if (channel == 5) {
            line.replace(29, 10, "NONE      ");
        }
        doc.lines.push_back(line);
    }
    doc.state.ChOption.assign(16, 0);
    return doc;
}

TEST(SystemOptions, TransmitChannelsAreThoseWithBothFrequencies) {
    EXPECT_EQ(Joined(TxChannelList(SixteenChannels().lines)), "Selected=0|1=1|2=2|3=3|4=4");
}

// A valid value in every field, with the bits no control names set.
const Bytes kFullBlock = {{0x05, 1},    {0x06, 3},    {0x07, 0xA5}, {0x08, 0x4C}, {0x09, 0xE6},
                          {0x0A, 0xDF}, {0x0E, 0x6D}, {0x0F, 0xBF}, {0x17, 0xF4}, {0x18, 2}};

TEST(SystemOptions, FillThenPackKeepsEveryByte) {
    Document doc = SixteenChannels();
    for (const auto& [at, value] : kFullBlock) {
        doc.state.SysBlock[at] = value;
    }
    const SystemOptions options = OpenSystemOptions(doc);
    EXPECT_FALSE(doc.state.Dirty);
    const std::string shown[kSysListCount] = {"180 s",      "600 mS", "Normal", "1600 ms",
                                              "400mS     ", "7.5 s",  "20s",    "2.5S",
                                              "2.0S",       "3",      "Call-4", "wrong CTCSS"};
    for (int list = 0; list < kSysListCount; ++list) {
        EXPECT_EQ(options.Text(static_cast<SysList>(list)), shown[list])
            << kSysListControls[list].name;
    }
    EXPECT_EQ(options.checked,
              (std::array<bool, kSysCheckCount>{true, true, false, false, true, true}));
    EXPECT_EQ(PackSystemOptions(options, doc.state.SysBlock), doc.state.SysBlock);
}

struct SysCase {
    const char* what;
    Bytes before;
    std::vector<std::pair<SysList, std::string>> shown;  // "" for no selection
    std::function<void(SystemOptions&)> change;
    Bytes opened;  // the document right after opening
    Bytes stored;  // the block after OK
    bool dirtyOnOpen = false;
};

void Select(SystemOptions& options, SysList list, const std::string& text) {
    for (std::size_t i = 0; i < options.lists[list].size(); ++i) {
        if (options.lists[list][i].text == text) {
            options.selected[list] = static_cast<int>(i);
        }
    }
}

TEST(SystemOptions, EdgeCasesOpenAndStoreAsTheRadioExpects) {
    const SysCase cases[] = {
        {"priority byte 7 is channel 1", {{0x05, 7}}, {}, nullptr, {{0x05, 7}}, {{0x05, 1}}},
        {"priority byte 20 is reset on opening",
         {{0x05, 20}},
         {},
         nullptr,
         {{0x05, 0}},
         {{0x05, 0}},
         true},
        {"transmit channel above the count is reset",
         {{0x06, 17}},
         {{kTxChannelList, "Selected"}},
         nullptr,
         {{0x06, 0}},
         {{0x06, 0}},
         true},
        {"transmit channel without Tx shows nothing and stores 0",
         {{0x06, 5}},
         {{kTxChannelList, ""}},
         nullptr,
         {{0x06, 5}},
         {{0x06, 0}}},
        {"sample time OFF clears bit 6, another sets it",
         {{0x08, 0x00}, {0x0A, 0x40}},
         {{kSampleTimeList, "OFF"}},
         [](SystemOptions& o) { Select(o, kTimeOutList, "30 s"); },
         {},
         {{0x08, 0x02}, {0x0A, 0x00}}},
        {"a sample time sets bit 6",
         {{0x0A, 0x00}},
         {},
         [](SystemOptions& o) { Select(o, kSampleTimeList, "7.5S"); },
         {},
         {{0x08, 0xF0}, {0x0A, 0x40}}},
        {"long press 0 opens as 2.0 s",
         {{0x09, 0x00}},
         {{kLongPressList, "2.0 s"}},
         nullptr,
         {},
         {{0x09, 0x30}}},
        {"long press 15 opens as 2.0 s",
         {{0x09, 0xF0}},
         {{kLongPressList, "2.0 s"}},
         nullptr,
         {},
         {{0x09, 0x30}}},
        {"VOX attack 3 opens as 100mS",
         {{0x0F, 0x3E}},
         {{kVoxAttackList, "100mS     "}},
         nullptr,
         {},
         {{0x0F, 0x5E}}},
        {"VOX attack 0 opens as 100mS",
         {{0x0F, 0x00}},
         {{kVoxAttackList, "100mS     "}},
         nullptr,
         {},
         {{0x0F, 0x50}}},
        {"power save 2 and sample time 1 are not offered and store 0",
         {{0x09, 0x52}, {0x08, 0x13}},
         {{kPowerSaveList, ""}, {kSampleTimeList, ""}, {kTimeOutList, "45 s"}},
         nullptr,
         {},
         {{0x09, 0x50}, {0x08, 0x03}}},
        {"ticking BEEP ON clears bit 5",
         {{0x0A, 0x20}},
         {},
         [](SystemOptions& o) { o.checked[kBeepCheck] = true; },
         {},
         {{0x0A, 0x00}}},
        {"clearing BEEP ON sets bit 5",
         {{0x0A, 0x00}},
         {},
         [](SystemOptions& o) { o.checked[kBeepCheck] = false; },
         {},
         {{0x0A, 0x20}}},
        {"tone check on and squelch Normal stay apart",
         {{0x0E, 0x10}},
         {{kSquelchList, "Normal"}},
         nullptr,
         {},
         {{0x0E, 0x10}}},
        {"squelch Tight is bit 1",
         {{0x0E, 0x00}},
         {},
         [](SystemOptions& o) { Select(o, kSquelchList, "Tight"); },
         {},
         {{0x0E, 0x02}}},
        {"unnamed bits survive",
         {{0x0A, 0x97}, {0x0E, 0x6D}, {0x17, 0x70}},
         {{kCallList, "None"}},
         [](SystemOptions& o) {
             o.checked[kTalkBackCheck] = true;
             o.checked[kCallMuteCheck] = true;
             Select(o, kCallList, "Call-5");
         },
         {},
         {{0x0A, 0x97}, {0x0E, 0xED}, {0x17, 0xF5}}},
        {"call code 9 opens as None",
         {{0x17, 0x39}},
         {{kCallList, "None"}},
         nullptr,
         {},
         {{0x17, 0x30}}},
        {"a lock-out byte above 2 opens empty and is kept",
         {{0x18, 7}},
         {{kBcloList, ""}},
         nullptr,
         {},
         {{0x18, 7}}},
        {"choosing a lock-out mode stores it",
         {{0x18, 7}},
         {},
         [](SystemOptions& o) { Select(o, kBcloList, "correct CTCSS"); },
         {},
         {{0x18, 1}}},
        {"greyed sample time and tone check are still stored",
         {{0x05, 1}},
         {},
         [](SystemOptions& o) {
             o.checked[kPriorCheck] = false;
             o.checked[kPriorToneCheck] = true;
             Select(o, kSampleTimeList, "3.0S");
         },
         {},
         {{0x05, 0}, {0x08, 0x60}, {0x0E, 0x10}}},
    };
    for (const SysCase& c : cases) {
        Document doc = SixteenChannels();
        for (const auto& [at, value] : c.before) {
            doc.state.SysBlock[at] = value;
        }
        SystemOptions options = OpenSystemOptions(doc);
        EXPECT_EQ(doc.state.Dirty, c.dirtyOnOpen) << c.what;
        for (const auto& [at, value] : c.opened) {
            EXPECT_EQ(doc.state.SysBlock[at], value) << c.what;
        }
        for (const auto& [list, text] : c.shown) {
            EXPECT_EQ(options.Text(list), text) << c.what;
        }
        if (c.change) {
            c.change(options);
        }
        const SysBlockBytes packed = PackSystemOptions(options, doc.state.SysBlock);
        for (const auto& [at, value] : c.stored) {
            EXPECT_EQ(packed[at], value) << c.what << " byte " << at;
        }
    }
}

TEST(SystemOptions, WritingMarksDirtyOnlyWhenAByteChanged) {
    Document doc = SixteenChannels();
    SysBlockBytes block = doc.state.SysBlock;
    EXPECT_FALSE(WriteSysBlock(doc, block));
    EXPECT_FALSE(doc.state.Dirty);
    block[0x17] = 1;
    EXPECT_TRUE(WriteSysBlock(doc, block));
    EXPECT_TRUE(doc.state.Dirty);
    EXPECT_EQ(doc.state.SysBlock[0x17], 1);
}

TEST(Buttons, ListsOfferTheirFunctionsWithTheTablesCodes) {
    const std::string sideShort =
        "Unassigned=0|Monitor=1|Nuisance Delete=2|Toggle Scan ON/OFF=3|Toggle High/Low Power=4|"
        "Toggle Repeater/Talkaround=5|Toggle Tight/Normal Squelch=6|Call=13";
    const std::string sideLong =
        "Unassigned=0|Nuisance Delete=2|Toggle High/Low Power=4|Toggle Repeater/Talkaround=5|"
        "Toggle Tight/Normal Squelch=6|Call=13";
    const std::string front =
        "Unassigned=0|Monitor=1|Nuisance Delete=2|Toggle Scan ON/OFF=3|Toggle High/Low Power=4|"
        "Toggle Repeater/Talkaround=5|Toggle Tight/Normal Squelch=6";
    const std::pair<ButtonList, std::string> expected[] = {
        {kKeyAShort, sideShort},
        {kKeyBShort, sideShort},
        {kKeyALong, sideLong},
        {kKeyBLong, sideLong},
        {kKey1Short,
         "Unassigned=0|Minitor=1|Nuisance Delete=2|Toggle Scan ON/OFF=3|Toggle High/Low Power=4|"
         "Toggle Repeater/Talkaround=5|Toggle Tight/Normal Squelch=6"},
        {kKey1Long,
         "Unassigned=0|Nuisance Delete=2|Toggle High/Low Power=4|Toggle Repeater/Talkaround=5|"
         "Toggle Tight/Normal Squelch=6"},
        {kKey2Short, front},
        {kKey2Long, front},
    };
    for (const auto& [list, texts] : expected) {
        EXPECT_EQ(Joined(ButtonEntries(list, true, true)), texts) << kButtonControls[list].name;
        // Without call tone and authorization only the side lists lose entries.
        const bool side = IsSideList(list);
        EXPECT_EQ(ButtonEntries(list, false, false).size(),
                  ButtonEntries(list, true, true).size() - (side ? 2 : 0))
            << kButtonControls[list].name;
    }
    EXPECT_EQ(kButtonFunctions[kCallFunction], "Call");
    EXPECT_EQ(kButtonFunctions[12], "Prioritity Channal");
}

struct ButtonCase {
    const char* what;
    Bytes bytes;
    bool key4Assigned;
    bool powerKeyAuth;
    std::vector<std::pair<ButtonList, std::string>> shown;
    Bytes stored;
};

TEST(Buttons, EdgeCasesOpenAndStoreAsTheRadioExpects) {
    const ButtonCase cases[] = {
        {"call on side A without a call tone",
         {{0x00, 0xDD}, {0x17, 0x00}},
         false,
         false,
         {{kKeyAShort, "Unassigned"}, {kKeyALong, "Unassigned"}},
         {{0x00, 0x00}}},
        {"call on side A with a call tone",
         {{0x00, 0xD1}, {0x17, 0x02}},
         false,
         false,
         {{kKeyAShort, "Monitor"}, {kKeyALong, "Call"}},
         {{0x00, 0xD1}}},
        {"0x24 with the power function allowed",
         {{0x00, 0x24}},
         true,
         false,
         {{kKeyAShort, "Toggle High/Low Power"}, {kKeyALong, "Nuisance Delete"}},
         {{0x00, 0x24}}},
        {"power function by authorization",
         {{0x01, 0x40}},
         false,
         true,
         {{kKeyBLong, "Toggle High/Low Power"}},
         {{0x01, 0x40}}},
        {"power function neither loaded nor authorized",
         {{0x00, 0x24}},
         false,
         false,
         {{kKeyAShort, "Unassigned"}, {kKeyALong, "Nuisance Delete"}},
         {{0x00, 0x20}}},
        {"long press 1 and 3 on the side are not offered",
         {{0x00, 0x15}, {0x01, 0x36}},
         false,
         false,
         {{kKeyALong, "Unassigned"},
          {kKeyBLong, "Unassigned"},
          {kKeyBShort, "Toggle Tight/Normal Squelch"}},
         {{0x00, 0x05}, {0x01, 0x06}}},
        {"front buttons spell Monitor their own way",
         {{0x02, 0x01}, {0x03, 0x01}},
         false,
         false,
         {{kKey1Short, "Minitor"}, {kKey2Short, "Monitor"}},
         {{0x02, 0x01}, {0x03, 0x01}}},
        {"long 3 is offered on front button 2 only",
         {{0x02, 0x30}, {0x03, 0x30}},
         false,
         false,
         {{kKey1Long, "Unassigned"}, {kKey2Long, "Toggle Scan ON/OFF"}},
         {{0x02, 0x00}, {0x03, 0x30}}},
    };
    for (const ButtonCase& c : cases) {
        DocState doc;
        doc.SysBlock.fill(0);
        for (const auto& [at, value] : c.bytes) {
            doc.SysBlock[at] = value;
        }
        doc.Key4Assigned = c.key4Assigned;
        const ButtonOptions options = OpenButtons(doc, c.powerKeyAuth);
        for (const auto& [list, text] : c.shown) {
            EXPECT_EQ(options.Text(list), text) << c.what;
        }
        for (int side = kKeyAShort; side <= kKeyBLong; ++side) {
            EXPECT_EQ(FindCode(options.lists[side], kPowerFunction).has_value(),
                      c.key4Assigned || c.powerKeyAuth)
                << c.what;
        }
        const SysBlockBytes packed = PackButtons(options, doc.SysBlock);
        for (const auto& [at, value] : c.stored) {
            EXPECT_EQ(packed[at], value) << c.what << " byte " << at;
        }
        EXPECT_EQ(packed[0x17], doc.SysBlock[0x17]) << "only bytes 0x00-0x03 are written";
    }
}

TEST(CustomerInfo, BlocksTakeTheTrimmedTextsAndTodaysDate) {
    struct Case {
        const char* name;
        const char* serial;
        std::string nameSent;    // elements 1-15
        std::string serialSent;  // elements 1-12
        std::string customerName;
    };
    const Case cases[] = {
        {"  Harbour Taxi  ", "A1", "Harbour Taxi   ", "A1          ", "Harbour Taxi   "},
        {"Petrel Radio Shop Ltd", "PT-2024-00017", "Petrel Radio Sh", "PT-2024-0001",
         "Petrel Radio Sh"},
        {"M\xC3\xBCller \xE2\x82\xAC", "", "M\xFCller ?       ", "            ",
         "M\xC3\xBCller ?       "},
    };
    for (const Case& c : cases) {
        ProgramState state;
        TextBlock name{};
        TextBlock serial{};
        name[0] = 0xA5;
        serial[0] = 0x5A;
        FillCustomerBlocks(state, c.name, c.serial, {2004, 1, 5}, name, serial);
        EXPECT_EQ(std::string(name.begin() + 1, name.end()), c.nameSent) << c.name;
        EXPECT_EQ(std::string(serial.begin() + 1, serial.begin() + 13), c.serialSent) << c.serial;
        EXPECT_EQ((std::vector<int>{serial[13], serial[14], serial[15]}),
                  (std::vector<int>{4, 1, 5}));
        EXPECT_EQ(name[0], 0xA5) << "element 0 goes out as it was";
        EXPECT_EQ(serial[0], 0x5A);
        EXPECT_EQ(state.CustomerName, c.customerName);
        EXPECT_EQ(state.SerialNo.size(), 15u);
    }
}

TEST(RadioInfo, BoxesShowTheTextsAndTheRangeAroundTheTilde) {
    ProgramState state;
    state.CustomerName = "Shop";
    state.SerialNo = "SN1";
    state.ProgDate = "Jan-05-2004";
    state.FirmwareVersion = "V1.20";
    state.MaskDate = "May-20-2003";
    state.BandDesc = std::string(BandRow(10));
    EXPECT_EQ(RadioInfoTexts(state),
              (std::array<std::string, 6>{"Shop", "SN1", "448.7500 ~ 449.2625", "Jan-05-2004",
                                          "V1.20", "May-20-2003"}));
}

}  // namespace
}  // namespace petrel
