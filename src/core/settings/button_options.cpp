#include "core/settings/button_options.h"

#include <span>

namespace petrel {

namespace {

constexpr std::size_t kCallToneByte = 0x17;
constexpr std::uint8_t kCallToneMask = 0x0F;

// The functions each list offers, in its order; the names come from the function table.
constexpr ButtonFunction kSideShort[] = {
    kUnassignedFunction, kMonitorFunction,  kNuisanceDeleteFunction, kScanFunction,
    kPowerFunction,      kRepeaterFunction, kSquelchFunction,        kCallFunction};
constexpr ButtonFunction kSideLong[] = {kUnassignedFunction, kNuisanceDeleteFunction,
                                        kPowerFunction,      kRepeaterFunction,
                                        kSquelchFunction,    kCallFunction};
constexpr ButtonFunction kFrontAll[] = {
    kUnassignedFunction, kMonitorFunction,  kNuisanceDeleteFunction, kScanFunction,
    kPowerFunction,      kRepeaterFunction, kSquelchFunction};
constexpr ButtonFunction kFrontLong[] = {kUnassignedFunction, kNuisanceDeleteFunction,
                                         kPowerFunction, kRepeaterFunction, kSquelchFunction};
// Front button 1 spells the monitor function its own way.
constexpr std::string_view kFront1Monitor = "Minitor";

EntryList Entries(std::span<const ButtonFunction> functions, bool frontOne = false) {
    EntryList list;
    for (const ButtonFunction code : functions) {
        const std::string_view text =
            frontOne && code == kMonitorFunction ? kFront1Monitor : kButtonFunctions[code];
        list.push_back({std::string(text), code});
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
            EntryList entries = Entries(shortPress ? std::span<const ButtonFunction>(kSideShort)
                                                   : std::span<const ButtonFunction>(kSideLong));
            std::erase_if(entries, [&](const ListEntry& entry) {
                return (entry.code == kCallFunction && !callAllowed) ||
                       (entry.code == kPowerFunction && !powerAllowed);
            });
            return entries;
        }
        case kKey1Short:
            return Entries(kFrontAll, true);
        case kKey1Long:
            return Entries(kFrontLong, true);
        case kKey2Short:
            return Entries(kFrontAll);
        case kKey2Long:
            // Front button 2's long press offers all seven, "Monitor" included.
            return Entries(kFrontAll);
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
