// The settings dialogs' rules: system options, buttons, radio and customer information.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>

#include "document/band_table.h"
#include "document/program_state.h"
#include "settings/button_options.h"
#include "settings/radio_info.h"
#include "settings/system_options.h"
#include "support/documents.h"

namespace petrel {
namespace {

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

// The bytes of block at the places bytes names, in the notation of test::Poke.
std::string Peek(const SysBlockBytes& block, const std::string& bytes) {
    std::istringstream in(bytes);
    std::string text;
    for (std::string item; in >> item;) {
        char value[8];
        std::snprintf(value, sizeof value, "=%02X",
                      block[std::stoul(item.substr(0, 2), nullptr, 16)]);
        text += (text.empty() ? "" : " ") + item.substr(0, 2) + value;
    }
    return text;
}

// Channels 1-4 with both frequencies, 5 receive only, the rest empty.
Document SixteenChannels() {
    return test::DocumentOf(test::ChannelLines("BBBBR-----------"), 0);
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
    // The transmit channels are those with both frequencies.
    EXPECT_EQ(Joined(TxChannelList(SixteenChannels().lines)), "Selected=0|1=1|2=2|3=3|4=4");
}

TEST(SystemOptions, FillThenPackKeepsEveryByte) {
    // A valid value in every field, with the bits no control names set.
    Document doc = SixteenChannels();
    test::Poke(doc.state.SysBlock, "05=01 06=03 07=A5 08=4C 09=EC 0A=DF 0E=6D 0F=BF 17=F4 18=02");
    const SystemOptions options = OpenSystemOptions(doc);
    EXPECT_FALSE(doc.state.Dirty);
    const std::string shown[kSysListCount] = {"180 s",      "1200mS", "Normal", "1600 ms",
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

void Select(SystemOptions& options, SysList list, const std::string& text) {
    for (std::size_t i = 0; i < options.lists[list].size(); ++i) {
        if (options.lists[list][i].text == text) {
            options.selected[list] = static_cast<int>(i);
        }
    }
}

TEST(SystemOptions, EdgeCasesOpenAndStoreAsTheRadioExpects) {
    struct Case {
        const char* what;
        const char* before;
        std::vector<std::pair<SysList, const char*>> shown;  // "" for no selection
        std::function<void(SystemOptions&)> change;
        const char* stored;           // the block after OK
        const char* reset = nullptr;  // what opening resets in the document, marking it dirty
    };
    using O = SystemOptions&;
    // clang-format off
    const Case cases[] = {
        {"priority byte 7 is channel 1", "05=07", {}, {}, "05=01"},
        {"priority byte 20 is reset on opening", "05=14", {}, {}, "05=00", "05=00"},
        {"transmit channel above the count", "06=11", {{kTxChannelList, "Selected"}}, {}, "06=00",
         "06=00"},
        {"transmit channel without Tx", "06=05", {{kTxChannelList, ""}}, {}, "06=00"},
        {"sample time OFF clears bit 6", "08=00 0A=40", {{kSampleTimeList, "OFF"}},
         [](O o) { Select(o, kTimeOutList, "30 s"); }, "08=02 0A=00"},
        {"a sample time sets bit 6", "0A=00", {}, [](O o) { Select(o, kSampleTimeList, "7.5S"); },
         "08=F0 0A=40"},
        {"long press 0 opens as 2.0 s", "09=00", {{kLongPressList, "2.0 s"}}, {}, "09=30"},
        {"long press 15 opens as 2.0 s", "09=F0", {{kLongPressList, "2.0 s"}}, {}, "09=30"},
        {"VOX attack 3 opens as 100mS", "0F=3E", {{kVoxAttackList, "100mS     "}}, {}, "0F=5E"},
        {"VOX attack 0 opens as 100mS", "0F=00", {{kVoxAttackList, "100mS     "}}, {}, "0F=50"},
        {"power save 2 and sample time 1 are not offered", "09=52 08=13",
         {{kPowerSaveList, ""}, {kSampleTimeList, ""}, {kTimeOutList, "45 s"}}, {}, "09=50 08=03"},
        {"ticking BEEP ON clears bit 5", "0A=20", {}, [](O o) { o.checked[kBeepCheck] = true; },
         "0A=00"},
        {"clearing BEEP ON sets bit 5", "0A=00", {}, [](O o) { o.checked[kBeepCheck] = false; },
         "0A=20"},
        {"tone check on is not squelch Tight", "0E=10", {{kSquelchList, "Normal"}}, {}, "0E=10"},
        {"squelch Tight is bit 1", "0E=00", {}, [](O o) { Select(o, kSquelchList, "Tight"); },
         "0E=02"},
        {"unnamed bits survive", "0A=97 0E=6D 17=70", {{kCallList, "None"}}, [](O o) {
             o.checked[kTalkBackCheck] = o.checked[kCallMuteCheck] = true;
             Select(o, kCallList, "Call-5"); }, "0A=97 0E=ED 17=F5"},
        {"call code 9 opens as None", "17=39", {{kCallList, "None"}}, {}, "17=30"},
        {"a lock-out byte above 2 opens empty and is kept", "18=07", {{kBcloList, ""}}, {},
         "18=07"},
        {"choosing a lock-out mode stores it", "18=07", {},
         [](O o) { Select(o, kBcloList, "correct CTCSS"); }, "18=01"},
        {"greyed sample time and tone check are still stored", "05=01", {}, [](O o) {
             o.checked[kPriorCheck] = false;
             o.checked[kPriorToneCheck] = true;
             Select(o, kSampleTimeList, "3.0S"); }, "05=00 08=60 0E=10"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Document doc = SixteenChannels();
        test::Poke(doc.state.SysBlock, c.before);
        SystemOptions options = OpenSystemOptions(doc);
        const std::string opened = c.reset ? c.reset : c.before;
        EXPECT_EQ(Peek(doc.state.SysBlock, opened), opened);
        EXPECT_EQ(doc.state.Dirty, c.reset != nullptr);
        for (const auto& [list, text] : c.shown) {
            EXPECT_EQ(options.Text(list), text);
        }
        if (c.change) {
            c.change(options);
        }
        EXPECT_EQ(Peek(PackSystemOptions(options, doc.state.SysBlock), c.stored), c.stored);
    }
}

TEST(Buttons, ListsOfferTheirFunctionsWithTheTablesCodes) {
    const std::string front =
        "Unassigned=0|Monitor=1|Nuisance Delete=2|Toggle Scan ON/OFF=3|Toggle High/Low Power=4|"
        "Toggle Repeater/Talkaround=5|Toggle Tight/Normal Squelch=6";
    const std::string sideShort = front + "|Call=13";
    const std::string sideLong =
        "Unassigned=0|Nuisance Delete=2|Toggle High/Low Power=4|Toggle Repeater/Talkaround=5|"
        "Toggle Tight/Normal Squelch=6|Call=13";
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
        EXPECT_EQ(ButtonEntries(list, false, false).size(),
                  ButtonEntries(list, true, true).size() - (IsSideList(list) ? 2 : 0))
            << kButtonControls[list].name;
    }
}

TEST(Buttons, EdgeCasesOpenAndStoreAsTheRadioExpects) {
    struct Case {
        const char* what;
        const char* bytes;
        bool key4Assigned;
        bool powerKeyAuth;
        std::vector<std::pair<ButtonList, const char*>> shown;
        const char* stored;
    };
    // clang-format off
    const Case cases[] = {
        {"call on side A without a call tone", "00=DD 17=00", false, false,
         {{kKeyAShort, "Unassigned"}, {kKeyALong, "Unassigned"}}, "00=00"},
        {"call on side A with a call tone", "00=D1 17=02", false, false,
         {{kKeyAShort, "Monitor"}, {kKeyALong, "Call"}}, "00=D1"},
        {"0x24 with the power function loaded", "00=24", true, false,
         {{kKeyAShort, "Toggle High/Low Power"}, {kKeyALong, "Nuisance Delete"}}, "00=24"},
        {"power function by authorization", "01=40", false, true,
         {{kKeyBLong, "Toggle High/Low Power"}}, "01=40"},
        {"power function neither loaded nor authorized", "00=24", false, false,
         {{kKeyAShort, "Unassigned"}, {kKeyALong, "Nuisance Delete"}}, "00=20"},
        {"long press 1 and 3 on the side are not offered", "00=15 01=36", false, false,
         {{kKeyALong, "Unassigned"}, {kKeyBLong, "Unassigned"},
          {kKeyBShort, "Toggle Tight/Normal Squelch"}}, "00=05 01=06"},
        {"front buttons spell Monitor their own way", "02=01 03=01", false, false,
         {{kKey1Short, "Minitor"}, {kKey2Short, "Monitor"}}, "02=01 03=01"},
        {"long 3 is offered on front button 2 only", "02=30 03=30", false, false,
         {{kKey1Long, "Unassigned"}, {kKey2Long, "Toggle Scan ON/OFF"}}, "02=00 03=30"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DocState doc;
        test::Poke(doc.SysBlock, c.bytes);
        doc.Key4Assigned = c.key4Assigned;
        const ButtonOptions options = OpenButtons(doc, c.powerKeyAuth);
        for (const auto& [list, text] : c.shown) {
            EXPECT_EQ(options.Text(list), text);
        }
        for (int side = kKeyAShort; side <= kKeyBLong; ++side) {
            EXPECT_EQ(FindCode(options.lists[side], kPowerFunction).has_value(),
                      c.key4Assigned || c.powerKeyAuth);
        }
        const SysBlockBytes packed = PackButtons(options, doc.SysBlock);
        EXPECT_EQ(Peek(packed, c.stored), c.stored);
        EXPECT_EQ(packed[0x17], doc.SysBlock[0x17]) << "only bytes 0x00-0x03 are written";
    }
}

TEST(CustomerInfo, BlocksTakeTheTrimmedTextsAndTodaysDate) {
    // Name and serial typed; name elements 1-15 and serial elements 1-12 sent; the program's
    // customer name.
    const std::tuple<const char*, const char*, std::string, std::string, std::string> cases[] = {
        {"  Harbour Taxi  ", "A1", "Harbour Taxi   ", "A1          ", "Harbour Taxi   "},
        {"Petrel Radio Shop Ltd", "PT-2024-00017", "Petrel Radio Sh", "PT-2024-0001",
         "Petrel Radio Sh"},
        {"M\xC3\xBCller \xE2\x82\xAC", "", "M\xFCller ?       ", "            ",
         "M\xC3\xBCller ?       "}};
    for (const auto& [typedName, typedSerial, nameSent, serialSent, customerName] : cases) {
        ProgramState state;
        TextBlock name{0xA5};
        TextBlock serial{0x5A};
        FillCustomerBlocks(state, typedName, typedSerial, {2004, 1, 5}, name, serial);
        EXPECT_EQ(std::string(name.begin() + 1, name.end()), nameSent) << typedName;
        EXPECT_EQ(std::string(serial.begin() + 1, serial.begin() + 13), serialSent);
        // Element 0 goes out as it was; the date is year, month, day.
        EXPECT_EQ((std::vector<int>{name[0], serial[0], serial[13], serial[14], serial[15]}),
                  (std::vector<int>{0xA5, 0x5A, 4, 1, 5}));
        EXPECT_EQ(state.CustomerName, customerName);
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
