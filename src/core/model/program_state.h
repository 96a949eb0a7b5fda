#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/model/workspace.h"

namespace petrel {

// Everything program-wide: created once by main() (and by each test) and passed by reference.
struct ProgramState {
    // The current configuration (opened, built or read last).
    int BandNo = 0;
    int MaxChannel = 0;
    std::string BandDesc;
    int FreqTextLen = 0;
    std::string BandLow;  // band edges of the active document
    std::string BandHigh;

    // The radio's information page is not here: each document holds its own (Document::info).

    // Authorization options, not saved; start values set by the splash (SetStartAuthorization).
    bool FreqLock = true;
    bool PowerKeyAuth = false;
    bool TxPowerAuth = false;
    // What was typed last into the password boxes: the authorization and hardware tuner
    // dialogs share PwdText, the option dialog has OptionPwdText.
    std::string PwdText;
    std::string OptionPwdText;

    // Copied channel lines without their channel numbers, shared by every editor.
    std::vector<std::string> ClipLines;

    // Documents.
    Workspace workspace;
    int TempCount = 0;

    // The status text and colour to come back to after an error display.
    std::string ErrMsgText;
    int ErrMsgColor = 0;

    // Whether the system writes decimals with "."; texts the user sees always do.
    bool DotDecimal = true;
};

}  // namespace petrel
