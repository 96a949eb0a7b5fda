#pragma once

#include <array>
#include <string_view>

#include "core/model/button_functions.h"
#include "core/settings/sys_block.h"

namespace petrel {

// frmButtons, "Conventional Buttons": short- and long-press functions of the two side and two
// front buttons, one nibble each in system bytes 0x00-0x03.

// The eight lists, in the order of their buttons and presses.
enum ButtonList : int {
    kKeyAShort,
    kKeyALong,
    kKeyBShort,
    kKeyBLong,
    kKey1Short,
    kKey1Long,
    kKey2Short,
    kKey2Long,
    kButtonListCount
};

// A list's object name and where it is stored: the button's byte, low nibble for the short
// press, high nibble for the long press.
struct ButtonControl {
    const char* name;
    std::size_t byte;
    int shift;
};
inline constexpr std::array<ButtonControl, kButtonListCount> kButtonControls = {{
    {"Key_A_Short", 0x00, 0},
    {"Key_A_Long", 0x00, 4},
    {"Key_B_Short", 0x01, 0},
    {"Key_B_Long", 0x01, 4},
    {"Key_1_Short", 0x02, 0},
    {"Key_1_Long", 0x02, 4},
    {"Key_2_Short", 0x03, 0},
    {"Key_2_Long", 0x03, 4},
}};

// The four frames, each holding the short and the long list of one button.
struct ButtonFrame {
    const char* name;
    const char* caption;
};
inline constexpr std::array<ButtonFrame, 4> kButtonFrames = {{
    {"Side_Button_A", "Side Button A"},
    {"Side_Button_B", "Side Button B"},
    {"Front_Button_1", "Front Button 1"},
    {"Front_Button_2", "Front Button 2"},
}};

inline constexpr const char* kButtonsCaption = "Conventional Buttons";
inline constexpr const char* kSideTab = "Side Buttons";
inline constexpr const char* kFrontTab = "Front Buttons";
inline constexpr const char* kShortPressLabel = "Short Press:";
inline constexpr const char* kLongPressLabel = "Long Press:";

inline bool IsSideList(int list) {
    return list <= kKeyBLong;
}

// What the dialog shows: the entries of every list and the selected one.
struct ButtonOptions {
    std::array<EntryList, kButtonListCount> lists;
    std::array<int, kButtonListCount> selected{};

    const std::string& Text(ButtonList list) const { return lists[list][selected[list]].text; }
};

// The entries a list offers. The side lists offer "Call" only when a call tone is set and
// "Toggle High/Low Power" only when it is allowed; the front lists are fixed.
EntryList ButtonEntries(ButtonList list, bool callAllowed, bool powerAllowed);

// Opening the dialog: "Call" needs a call tone (low nibble of 0x17); the power function needs
// a side button that held it when the configuration was loaded, or the authorization. Each
// list selects its stored code, or "Unassigned" when it does not offer it.
ButtonOptions OpenButtons(const DocState& doc, bool powerKeyAuth);

// OK: bytes 0x00-0x03 from the eight selections.
SysBlockBytes PackButtons(const ButtonOptions& options, SysBlockBytes block);

}  // namespace petrel
