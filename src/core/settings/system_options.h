#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/sys_block.h"

namespace petrel {

// frmSysOP, "System Option Edit": the radio-wide options in bytes 0x05-0x18 of the system block.

// The drop-down lists of the dialog.
enum SysList : int {
    kTimeOutList,     // cboSysOp(0)
    kPowerSaveList,   // cboSysOp(1)
    kSquelchList,     // cboSquelch
    kVoxReleaseList,  // VOX_OFF
    kVoxAttackList,   // VOXtatk
    kLongPressList,   // Key_L
    kPttResumeList,   // cboSysOp(5)
    kScanResumeList,  // cboSysOp(4)
    kSampleTimeList,  // cboSysOp(3)
    kTxChannelList,   // cboTxCH
    kCallList,        // cboCall
    kBcloList,        // cboBCLO
    kSysListCount
};

// The check boxes of the dialog.
enum SysCheck : int {
    kBeepCheck,       // chkBeep
    kPriorCheck,      // chkPrior
    kPriorToneCheck,  // chkP_Tone
    kTalkBackCheck,   // chkTalkBack
    kCallMuteCheck,   // FG_Call_Mute
    kSubtoneCheck,    // chkSubtone, never shown
    kSysCheckCount
};

// A list's object name, its caption and the caption label's object name.
struct SysListControl {
    const char* name;
    const char* caption;
    const char* captionName;
};
inline constexpr std::array<SysListControl, kSysListCount> kSysListControls = {{
    {"cboSysOp0", "Timer Out Time", "Txt10"},
    {"cboSysOp1", "Power Save Cycle", "Txt11"},
    {"cboSquelch", "Squelch Setting", "Txt12"},
    {"VOX_OFF", "VOX Release Time", "Txt13"},
    {"VOXtatk", "VOX Attack Time", "Txt14"},
    {"Key_L", "Long Press Time", "Txt15"},
    {"cboSysOp5", "PTT Resume Time", "Txt16"},
    {"cboSysOp4", "Resume Time", "txt2"},
    {"cboSysOp3", "Sample Time", "lblSampleTime"},
    {"cboTxCH", "Tx Channel", "lblTxChannel"},
    {"cboCall", "Call Tone", "lblCallTone"},
    {"cboBCLO", "BCLO for", "txtBCLO"},
}};

struct SysCheckControl {
    const char* name;
    const char* caption;
};
inline constexpr std::array<SysCheckControl, kSysCheckCount> kSysCheckControls = {{
    {"chkBeep", "BEEP ON"},
    {"chkPrior", "Channel 1"},
    {"chkP_Tone", "CTCSS/DCS CHECK"},
    {"chkTalkBack", "Talkback"},
    {"FG_Call_Mute", "Mute Call Sound"},
    {"chkSubtone", "DCS/CTCSS"},
}};

inline constexpr const char* kSysOpCaption = "System Option Edit";
inline constexpr const char* kBasicTab = "BASIC";
inline constexpr const char* kScanTab = "SCAN";
inline constexpr const char* kSpecialTab = "Special";
inline constexpr const char* kPriorityFrame = "Priority";
inline constexpr const char* kTxFrame = "Tx Configuration";
inline constexpr const char* kCallFrame = " Call Function ";

// What the dialog shows: every list with its selection (none possible) and every check box.
struct SystemOptions {
    std::array<EntryList, kSysListCount> lists;
    std::array<std::optional<int>, kSysListCount> selected;
    std::array<bool, kSysCheckCount> checked{};

    // The selected entry's text, "" without a selection.
    std::string Text(SysList list) const;
};

// The entries of a fixed list (every list but the transmit channels).
EntryList SystemList(SysList list);
// The transmit channels: "Selected" (code 0), then every channel whose line has a receive and
// a transmit frequency, by number.
EntryList TxChannelList(const std::vector<std::string>& lines);

// What the dialog shows for doc. A priority or transmit channel byte above the document's
// channel count reads as 0, as it is stored once the dialog has opened.
SystemOptions ReadSystemOptions(const Document& doc);
// The step the dialog takes when it opens: those bytes are reset to 0 in the document, which
// marks it changed. Returns whether any byte changed.
bool ResetOutOfRangeChannelBytes(Document& doc);

// OK: the controls packed into block. Bits no control names stay as they are; a list without
// a selection stores code 0, except the busy-channel lock-out, whose byte is then kept.
SysBlockBytes PackSystemOptions(const SystemOptions& options, SysBlockBytes block);

}  // namespace petrel
