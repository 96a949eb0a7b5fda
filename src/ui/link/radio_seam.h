#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/link/image_link.h"
#include "core/link/port_list.h"
#include "core/link/radio_backup.h"
#include "core/link/radio_link.h"

namespace petrel {

class Clock;
class Prompter;
class RadioLink;
class ServiceHistory;
class StatusLine;
struct Document;

// The radio as the main window sees it: the port scan at start-up, the two image transfers,
// and the link itself for the windows that talk to the radio on their own. The main window
// shows the hourglass, disables its commands and refreshes its menus around each operation;
// the link needs nothing else of it. Tests put a fake radio here.
class RadioSeam {
  public:
    virtual ~RadioSeam() = default;

    // The ports to search from now on; asks to detect again while no port opens.
    virtual void DetectSerialPorts(Prompter& prompter) = 0;

    // Upload, or Download of doc (nothing happens without one). The questions are titled
    // caption: the active editor's ("" for the main window's). An Upload's result holds what
    // was read; the main window opens it.
    virtual TransferResult Transfer(TransferOp op, const Document* doc, const std::string& caption,
                                    Prompter& prompter, StatusLine& status, Clock& clock) = 0;
    // Asks the running transfer to stop between two blocks (called while it serves the
    // windows); the next operation starts without the request.
    virtual void CancelTransfer() {}
    // Where the transfers keep the radios they read, and whether a Download reads first.
    virtual void SetBackupPolicy(const BackupPolicy& /*policy*/) {}
    // A link of its own on the same port, whose questions go to prompter (the fleet answers
    // them itself). Only one of the links may be in use at a time. nullptr without a port.
    virtual std::unique_ptr<RadioLink> NewLink(Prompter& /*prompter*/, StatusLine& /*status*/,
                                               Clock& /*clock*/) {
        return nullptr;
    }
    // The service history every radio operation is recorded in from now on (nullptr: none).
    virtual void SetHistory(ServiceHistory* /*history*/) {}
    // The marker file that says while the radio may be in a test state (test_marker.h).
    virtual void SetTestMarker(const std::string& /*path*/) {}

    // Every port behind COM1..COM8, each opened and closed again to say whether it can be used.
    // Only between radio operations.
    virtual std::vector<PortEntry> ListPorts() { return {}; }
    // Makes device COM1, the port searched first, from now on (the others keep their order).
    virtual void UsePortFirst(const std::string& /*device*/) {}
    // The radio identified last and its port, nothing when the last detection found none.
    virtual std::optional<SeenRadio> LastRadio() const { return std::nullopt; }
    // Called after every detection, identify and port test of any of the links.
    virtual void SetRadioSeenHandler(std::function<void()> /*handler*/) {}

    // The link itself, for the windows that talk to the radio on their own (the customer
    // editor, the alignment); its questions are titled caption. nullptr when there is no real
    // link.
    virtual RadioLink* Link(const std::string& /*caption*/, Prompter& /*prompter*/,
                            StatusLine& /*status*/, Clock& /*clock*/) {
        return nullptr;
    }
};

}  // namespace petrel
