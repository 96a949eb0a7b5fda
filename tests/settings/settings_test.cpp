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
#include "support/golden.h"

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

// Every list's texts and codes, one list a line under its control's name.
TEST(SystemOptions, ListsOfferTheirTextsWithTheirCodes) {
    std::string shown;
    for (int list = 0; list < kSysListCount; ++list) {
        shown += std::string(kSysListControls[list].name) + ": " +
                 Joined(SystemList(static_cast<SysList>(list))) + "\n";
    }
    EXPECT_TRUE(test::MatchesGolden(shown, "settings/data/system_lists.txt"));
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
    std::string shown;
    for (int list = 0; list < kButtonListCount; ++list) {
        const auto button = static_cast<ButtonList>(list);
        shown += std::string(kButtonControls[list].name) + ": " +
                 Joined(ButtonEntries(button, true, true)) + "\n";
        // Without call tone and authorization only the side lists lose entries.
        EXPECT_EQ(ButtonEntries(button, false, false).size(),
                  ButtonEntries(button, true, true).size() - (IsSideList(button) ? 2 : 0))
            << kButtonControls[list].name;
    }
    EXPECT_TRUE(test::MatchesGolden(shown, "settings/data/button_lists.txt"));
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
