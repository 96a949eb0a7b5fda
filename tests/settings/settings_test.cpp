// The settings dialogs' rules: system options, buttons, radio and customer information.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <sstream>

#include "core/model/band_table.h"
#include "core/model/workspace.h"
#include "core/settings/button_options.h"
#include "core/settings/radio_info.h"
#include "core/settings/system_options.h"
#include "core/util/text.h"
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

// The bytes of after at the places poked names (in the notation of test::Poke) and wherever it
// differs from before, in the same notation.
std::string Stored(const std::string& poked, const SysBlockBytes& before,
                   const SysBlockBytes& after) {
    std::set<std::size_t> places;
    std::istringstream in(poked);
    for (std::string item; in >> item;) {
        places.insert(std::stoul(item.substr(0, 2), nullptr, 16));
    }
    for (std::size_t at = 0; at < before.size(); ++at) {
        if (before[at] != after[at]) {
            places.insert(at);
        }
    }
    std::string text;
    for (const std::size_t at : places) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "%02zX=%02X", at, after[at]);
        text += (text.empty() ? "" : " ") + std::string(byte);
    }
    return text;
}

// A case's three fields, separated by "|", each split into items at the separator given.
std::array<std::vector<std::string>, 3> Fields(const std::string& case_, char separator) {
    std::array<std::vector<std::string>, 3> fields;
    std::istringstream in(case_);
    std::string field;
    for (auto& items : fields) {
        std::getline(in, field, '|');
        std::istringstream split(field);
        for (std::string item; std::getline(split, item, separator);) {
            if (!Trim(item).empty()) {
                items.push_back(Trim(item));
            }
        }
    }
    return fields;
}

// Channels 1-4 with both frequencies, 5 receive only, the rest empty.
Document SixteenChannels() {
    return test::DocumentOf(test::ChannelLines("BBBBR-----------"), 0);
}

// Every entry of every list is stored under its own code: chosen, stored and read again, it is
// the same entry. The transmit channels are those with both frequencies.
TEST(SystemOptions, EveryEntryChosenIsReadBackAsChosen) {
    const Document doc = SixteenChannels();
    EXPECT_EQ(Joined(TxChannelList(doc.lines)), "Selected=0|1=1|2=2|3=3|4=4");
    for (int list = 0; list < kSysListCount; ++list) {
        const auto which = static_cast<SysList>(list);
        SystemOptions options = ReadSystemOptions(doc);
        for (std::size_t i = 0; i < options.lists[list].size(); ++i) {
            options.selected[list] = static_cast<int>(i);
            Document stored = doc;
            stored.state.SysBlock = PackSystemOptions(options, doc.state.SysBlock);
            EXPECT_EQ(ReadSystemOptions(stored).Text(which), options.lists[list][i].text)
                << kSysListControls[list].name;
        }
    }
}

TEST(SystemOptions, FillThenPackKeepsEveryByte) {
    // A valid value in every field, with the bits no control names set.
    Document doc = SixteenChannels();
    test::Poke(doc.state.SysBlock, "05=01 06=03 07=A5 08=4C 09=EC 0A=DF 0E=6D 0F=BF 17=F4 18=02");
    const SystemOptions options = ReadSystemOptions(doc);
    EXPECT_FALSE(ResetOutOfRangeChannelBytes(doc) || doc.state.Dirty);
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

// The cases of data/system_option_cases.txt: a block poked, the dialog opened, looked at, changed
// and OK pressed.
TEST(SystemOptions, EdgeCasesOpenAndStoreAsTheRadioExpects) {
    const auto stored = [](const std::string& case_) {
        const auto [bytes, looked, changes] = Fields(case_, ',');
        Document doc = SixteenChannels();
        // Long press and VOX attack codes the lists offer, so that only the case's bytes change.
        test::Poke(doc.state.SysBlock, "09=30 0F=50 " + (bytes.empty() ? "" : bytes[0]));
        const SysBlockBytes poked = doc.state.SysBlock;
        // What the dialog shows is read before the reset it makes when it opens.
        SystemOptions options = ReadSystemOptions(doc);
        EXPECT_EQ(ResetOutOfRangeChannelBytes(doc), doc.state.Dirty);
        std::string result =
            doc.state.Dirty ? "resets " + Stored("", poked, doc.state.SysBlock) + "; " : "";
        std::istringstream names(looked.empty() ? "" : looked[0]);
        for (std::string name; names >> name;) {
            for (int list = 0; list < kSysListCount; ++list) {
                if (name == kSysListControls[list].name) {
                    result += name + " \"" + options.Text(static_cast<SysList>(list)) + "\"; ";
                }
            }
        }
        for (const std::string& change : changes) {
            const std::string name = change.substr(0, change.find('='));
            const std::string value = change.substr(change.find('=') + 1);
            for (int list = 0; list < kSysListCount; ++list) {
                if (name == kSysListControls[list].name) {
                    Select(options, static_cast<SysList>(list), value);
                }
            }
            for (int check = 0; check < kSysCheckCount; ++check) {
                if (name == kSysCheckControls[check].name) {
                    options.checked[check] = value == "YES";
                }
            }
        }
        return result + "stores " +
               Stored(bytes.empty() ? "" : bytes[0], doc.state.SysBlock,
                      PackSystemOptions(options, doc.state.SysBlock));
    };
    EXPECT_TRUE(test::MatchesTranscript("settings/data/system_option_cases.txt", stored));
}

// Every function a list offers is stored under its own code: chosen, stored and opened again,
// it is the same function. Without a call tone and the power authorization the side lists
// offer neither "Call" nor the power function; the front lists do not change. Front button 1
// spells the monitor function its own way.
TEST(Buttons, EachListOffersItsFunctionsAndStoresTheOneChosen) {
    DocState doc;
    doc.SysBlock[0x17] = 0x01;  // a call tone
    for (int list = 0; list < kButtonListCount; ++list) {
        const auto button = static_cast<ButtonList>(list);
        const char* name = kButtonControls[list].name;
        ButtonOptions options = OpenButtons(doc, true);
        ASSERT_EQ(Joined(options.lists[list]), Joined(ButtonEntries(button, true, true)));
        for (std::size_t i = 0; i < options.lists[list].size(); ++i) {
            options.selected[list] = static_cast<int>(i);
            DocState reopened;
            reopened.SysBlock = PackButtons(options, doc.SysBlock);
            reopened.SysBlock[0x17] = 0x01;
            EXPECT_EQ(OpenButtons(reopened, true).Text(button), options.lists[list][i].text)
                << name;
        }
        EntryList restricted = ButtonEntries(button, true, true);
        if (IsSideList(button)) {
            std::erase_if(restricted, [](const ListEntry& entry) {
                return entry.code == kCallFunction || entry.code == kPowerFunction;
            });
        }
        EXPECT_EQ(Joined(ButtonEntries(button, false, false)), Joined(restricted)) << name;
    }
    EXPECT_EQ(ButtonEntries(kKey1Short, true, true)[1].text, "Minitor");
    EXPECT_EQ(ButtonEntries(kKey2Short, true, true)[1].text, "Monitor");
}

// The cases of data/button_cases.txt: a block poked, the dialog opened, looked at and OK pressed.
TEST(Buttons, EdgeCasesOpenAndStoreAsTheRadioExpects) {
    const auto stored = [](const std::string& case_) {
        const auto [bytes, flags, looked] = Fields(case_, ' ');
        std::string poked;
        for (const std::string& byte : bytes) {
            poked += byte + " ";
        }
        const auto flagged = [&](const char* flag) { return std::ranges::count(flags, flag) > 0; };
        DocState doc;
        test::Poke(doc.SysBlock, poked);
        doc.Key4Assigned = flagged("loaded");
        const ButtonOptions options = OpenButtons(doc, flagged("authorized"));
        std::string result;
        for (const std::string& name : looked) {
            for (int list = 0; list < kButtonListCount; ++list) {
                if (name == kButtonControls[list].name) {
                    result += name + " \"" + options.Text(static_cast<ButtonList>(list)) + "\"; ";
                }
            }
        }
        int offering = 0;
        for (int side = kKeyAShort; side <= kKeyBLong; ++side) {
            offering += FindCode(options.lists[side], kPowerFunction).has_value();
        }
        return result + "power function on " + std::to_string(offering) + " side lists; stores " +
               Stored(poked, doc.SysBlock, PackButtons(options, doc.SysBlock));
    };
    EXPECT_TRUE(test::MatchesTranscript("settings/data/button_cases.txt", stored));
}

TEST(CustomerInfo, BlocksTakeTheTrimmedTextsAndTodaysDate) {
    // Name and serial typed; name elements 1-15 and serial elements 1-12 sent; the customer
    // name stored.
    const std::tuple<const char*, const char*, std::string, std::string, std::string> cases[] = {
        {"  Harbour Taxi  ", "A1", "Harbour Taxi   ", "A1          ", "Harbour Taxi   "},
        {"Petrel Radio Shop Ltd", "PT-2024-00017", "Petrel Radio Sh", "PT-2024-0001",
         "Petrel Radio Sh"},
        {"M\xC3\xBCller \xE2\x82\xAC", "", "M\xFCller ?       ", "            ",
         "M\xC3\xBCller ?       "}};
    for (const auto& [typedName, typedSerial, nameSent, serialSent, customerName] : cases) {
        TextBlock name{0xA5};
        TextBlock serial{0x5A};
        const CustomerTexts page =
            FillCustomerBlocks(typedName, typedSerial, {2004, 1, 5}, name, serial);
        EXPECT_EQ(std::string(name.begin() + 1, name.end()), nameSent) << typedName;
        EXPECT_EQ(std::string(serial.begin() + 1, serial.begin() + 13), serialSent);
        // Element 0 goes out as it was; the date is year, month, day.
        EXPECT_EQ((std::vector<int>{name[0], serial[0], serial[13], serial[14], serial[15]}),
                  (std::vector<int>{0xA5, 0x5A, 4, 1, 5}));
        EXPECT_EQ(page.name, customerName);
        EXPECT_EQ(page.serial.size(), 15u);
    }
}

TEST(RadioInfo, TheRangeIsTheDocumentsOwnBandAroundTheTilde) {
    // The document's own band, whatever the program opened last.
    Workspace workspace;
    const Document& doc = workspace.At(BuildNewConfiguration(workspace, 10, 3));
    BuildNewConfiguration(workspace, 9, 16);
    EXPECT_EQ(RadioInfoTexts(doc)[2], "448.7500 ~ 449.2625");
}

}  // namespace
}  // namespace petrel
