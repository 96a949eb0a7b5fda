#include "core/settings/button_options.h"

#include <algorithm>
#include <span>

namespace petrel {

namespace {

constexpr std::size_t kCallToneByte = 0x17;
constexpr std::uint8_t kCallToneMask = 0x0F;

// The side lists name their functions; codes come from the function table.
constexpr std::string_view kSideShort[] = {"Unassigned",
                                           "Monitor",
                                           "Nuisance Delete",
                                           "Toggle Scan ON/OFF",
                                           "Toggle High/Low Power",
                                           "Toggle Repeater/Talkaround",
                                           "Toggle Tight/Normal Squelch",
                                           "Call"};
constexpr std::string_view kSideLong[] = {"Unassigned",
                                          "Nuisance Delete",
                                          "Toggle High/Low Power",
                                          "Toggle Repeater/Talkaround",
                                          "Toggle Tight/Normal Squelch",
                                          "Call"};
// The front lists carry fixed codes; front button 1 spells code 1 its own way.
constexpr int kFrontCodes = 7;
constexpr std::string_view kFront1Monitor = "Minitor";
constexpr int kFrontLongCodes[] = {0, 2, 4, 5, 6};

int FunctionCode(std::string_view text) {
    const auto at = std::find(kButtonFunctions.begin(), kButtonFunctions.end(), text);
    return static_cast<int>(at - kButtonFunctions.begin());
}

EntryList FrontEntries(bool longPress, bool frontOne) {
    EntryList list;
    for (int code = 0; code < kFrontCodes; ++code) {
        const bool offered =
            !longPress || std::find(std::begin(kFrontLongCodes), std::end(kFrontLongCodes), code) !=
                              std::end(kFrontLongCodes);
        if (offered) {
            const std::string_view text =
                frontOne && code == 1 ? kFront1Monitor : kButtonFunctions[code];
            list.push_back({std::string(text), code});
        }
    }
    return list;
}

}  // namespace

EntryList ButtonEntries(ButtonList list, bool callAllowed, bool powerAllowed) {
    switch (list) {
        case kKeyAShort:
        case kKeyBShort:
        case kKeyALong:
        case kKeyBLong: {
            const bool shortPress = list == kKeyAShort || list == kKeyBShort;
            EntryList entries;
            for (const std::string_view text : shortPress
                                                   ? std::span<const std::string_view>(kSideShort)
                                                   : std::span<const std::string_view>(kSideLong)) {
                const int code = FunctionCode(text);
                if ((code == kCallFunction && !callAllowed) ||
                    (code == kPowerFunction && !powerAllowed)) {
                    continue;
                }
                entries.push_back({std::string(text), code});
            }
            return entries;
        }
        case kKey1Short:
            return FrontEntries(false, true);
        case kKey1Long:
            return FrontEntries(true, true);
        case kKey2Short:
            return FrontEntries(false, false);
        case kKey2Long:
            // Front button 2's long press offers all seven, "Monitor" included.
            return FrontEntries(false, false);
        case kButtonListCount:
            break;
    }
    return {};
}

ButtonOptions OpenButtons(const DocState& doc, bool powerKeyAuth) {
    const bool callAllowed = (doc.SysBlock[kCallToneByte] & kCallToneMask) != 0;
    const bool powerAllowed = doc.Key4Assigned || powerKeyAuth;
    ButtonOptions options;
    for (int list = 0; list < kButtonListCount; ++list) {
        const ButtonControl& control = kButtonControls[list];
        options.lists[list] =
            ButtonEntries(static_cast<ButtonList>(list), callAllowed, powerAllowed);
        const int code = (doc.SysBlock[control.byte] >> control.shift) & 0x0F;
        options.selected[list] = FindCode(options.lists[list], code).value_or(0);
    }
    return options;
}

SysBlockBytes PackButtons(const ButtonOptions& options, SysBlockBytes block) {
    for (std::size_t byte = 0; byte < kButtonFrames.size(); ++byte) {
        block[byte] = 0;
    }
    for (int list = 0; list < kButtonListCount; ++list) {
        const ButtonControl& control = kButtonControls[list];
        const EntryList& entries = options.lists[list];
        const auto at = static_cast<std::size_t>(options.selected[list]);
        const int code = at < entries.size() ? entries[at].code : 0;
        block[control.byte] =
            static_cast<std::uint8_t>(block[control.byte] | code << control.shift);
    }
    return block;
}

}  // namespace petrel
