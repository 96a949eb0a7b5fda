#include "ui/link/link_radio.h"

#include "core/link/link_trace.h"
#include "core/link/port_scan.h"
#include "core/link/radio_link.h"
#include "core/link/termios_serial_port.h"
#include "core/shell/shell_model.h"

namespace petrel {

class LinkRadio::Host : public LinkHost {
  public:
    int ActiveSlot() const override { return activeSlot; }
    int activeSlot = 0;
};

LinkRadio::LinkRadio(std::vector<std::string> devices,
                     std::function<std::vector<std::string>()> rediscover)
    : port_(std::make_unique<TermiosSerialPort>(std::move(devices), std::move(rediscover))),
      host_(std::make_unique<Host>()) {}

LinkRadio::~LinkRadio() = default;

void LinkRadio::SetTrace(std::unique_ptr<LinkTrace> trace) {
    trace_ = std::move(trace);
    if (link_) {
        link_->SetTrace(trace_.get());
    }
}

void LinkRadio::DetectPorts(ProgramState& state, Prompter& prompter) {
    DetectRS(state, *port_, prompter);
}

RadioLink* LinkRadio::Link(ProgramState& state, int activeSlot, Prompter& prompter,
                           StatusLine& status, Clock& clock) {
    if (!link_) {
        link_ = std::make_unique<RadioLink>(state, *port_, clock, prompter, status, *host_);
        if (trace_) {
            link_->SetTrace(trace_.get());
        }
        if (!testMarker_.empty()) {
            link_->SetTestMarker(testMarker_);
        }
    }
    host_->activeSlot = activeSlot;
    link_->SetBackupPolicy(backup_);
    return link_.get();
}

void LinkRadio::SetBackupPolicy(const BackupPolicy& policy) {
    backup_ = policy;
}

void LinkRadio::SetTestMarker(const std::string& path) {
    testMarker_ = path;
    if (link_) {
        link_->SetTestMarker(path);
    }
}

std::optional<int> LinkRadio::Transfer(ProgramState& state, int op, int activeSlot,
                                       Prompter& prompter, StatusLine& status, Clock& clock) {
    RadioLink* link = Link(state, activeSlot, prompter, status, clock);
    const TransferResult result =
        link->RadioTransfer(op == kOpDownload ? TransferOp::Download : TransferOp::Upload);
    return result.openedSlot;
}

}  // namespace petrel
