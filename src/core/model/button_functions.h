#pragma once

#include <array>
#include <string_view>

namespace petrel {

// The functions a button can hold, by the code stored in its nibble.
enum ButtonFunction : int {
    kUnassignedFunction,
    kMonitorFunction,
    kNuisanceDeleteFunction,
    kScanFunction,
    kPowerFunction,
    kRepeaterFunction,
    kSquelchFunction,
    kBeepFunction,
    kKeyLockFunction,
    kVoxFunction,
    kScanListFunction,
    kRogerFunction,
    kPriorityFunction,
    kCallFunction,
    kButtonFunctionCount
};
// Their names, by code.
inline constexpr std::array<std::string_view, kButtonFunctionCount> kButtonFunctions = {
    "Unassigned",
    "Monitor",
    "Nuisance Delete",
    "Toggle Scan ON/OFF",
    "Toggle High/Low Power",
    "Toggle Repeater/Talkaround",
    "Toggle Tight/Normal Squelch",
    "Toggle Beep ON/OFF",
    "Toggle KeyPad Lock/Unlock",
    "Toggle VOX ON/OFF",
    "Scan List Control",
    "Toggle Roger ON/OFF",
    "Prioritity Channal",
    "Call",
};

}  // namespace petrel
