#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/link/radio_seam.h"

namespace petrel {

class LinkTrace;
class RadioLink;
class SerialPort;

// The radio seam over the real link: one serial port on the devices behind COM1..COM8 and one
// RadioLink for the whole run. The main window itself shows the hourglass, disables the
// commands and refreshes its menus around a transfer, so the link's host only names the
// document to write.
class LinkRadio : public RadioSeam {
  public:
    // With rediscover, an operation that finds no port or no radio looks for devices again.
    explicit LinkRadio(std::vector<std::string> devices,
                       std::function<std::vector<std::string>()> rediscover = {});
    ~LinkRadio() override;

    // Every radio operation from now on writes this serial trace.
    void SetTrace(std::unique_ptr<LinkTrace> trace);

    void DetectPorts(ProgramState& state, Prompter& prompter) override;
    std::optional<int> Transfer(ProgramState& state, int op, int activeSlot, Prompter& prompter,
                                StatusLine& status, Clock& clock) override;
    RadioLink* Link(ProgramState& state, int activeSlot, Prompter& prompter, StatusLine& status,
                    Clock& clock) override;
    void SetBackupPolicy(const BackupPolicy& policy) override;
    void SetTestMarker(const std::string& path) override;

  private:
    class Host;

    std::unique_ptr<LinkTrace> trace_;
    std::unique_ptr<SerialPort> port_;
    std::unique_ptr<Host> host_;
    std::unique_ptr<RadioLink> link_;
    BackupPolicy backup_;
    std::string testMarker_;
};

}  // namespace petrel
