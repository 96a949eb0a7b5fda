#pragma once

#include <optional>
#include <string>

#include "core/link/radio_backup.h"

namespace petrel {

class Clock;
class Prompter;
class RadioLink;
class StatusLine;
struct ProgramState;

// What the desktop program asks of the radio link: the port scan at start-up, the two image
// transfers and, for the customer editor, the link itself.
class RadioSeam {
  public:
    virtual ~RadioSeam() = default;

    // Builds PortList and PortCount; asks to detect again while no port opens.
    virtual void DetectPorts(ProgramState& state, Prompter& prompter) = 0;

    // Upload (op 0) or Download (op 1) of the document in activeSlot (0: none). Returns the
    // slot of the document an Upload opened.
    virtual std::optional<int> Transfer(ProgramState& state, int op, int activeSlot,
                                        Prompter& prompter, StatusLine& status, Clock& clock) = 0;
    // Where the transfers keep the radios they read, and whether a Download reads first.
    virtual void SetBackupPolicy(const BackupPolicy& /*policy*/) {}
    // The marker file that says while the radio may be in a test state (test_marker.h).
    virtual void SetTestMarker(const std::string& /*path*/) {}

    // The link itself, for the windows that talk to the radio on their own (the customer
    // editor); its questions carry the caption of the document in activeSlot. nullptr when
    // there is no real link.
    virtual RadioLink* Link(ProgramState& /*state*/, int /*activeSlot*/, Prompter& /*prompter*/,
                            StatusLine& /*status*/, Clock& /*clock*/) {
        return nullptr;
    }
};

}  // namespace petrel
