#include "ui/link/serial_radio.h"

#include "core/link/link_trace.h"
#include "core/link/port_scan.h"
#include "core/link/radio_link.h"
#include "core/link/termios_serial_port.h"

namespace petrel {

SerialRadio::SerialRadio(std::vector<std::string> devices,
                         std::function<std::vector<std::string>()> rediscover)
    : port_(std::make_unique<TermiosSerialPort>(std::move(devices), std::move(rediscover))) {}

SerialRadio::~SerialRadio() = default;

void SerialRadio::SetTrace(std::unique_ptr<LinkTrace> trace) {
    trace_ = std::move(trace);
    if (link_) {
        link_->Frames().SetTrace(trace_.get());
    }
}

void SerialRadio::DetectSerialPorts(Prompter& prompter) {
    ports_ = DetectRS(*port_, prompter).numbers;
    if (link_) {
        link_->Frames().SetPorts(ports_);
    }
}

RadioLink* SerialRadio::Link(const std::string& caption, Prompter& prompter, StatusLine& status,
                             Clock& clock) {
    if (!link_) {
        link_ = std::make_unique<RadioLink>(*port_, clock, prompter, status);
        link_->Frames().SetPorts(ports_);
        if (trace_) {
            link_->Frames().SetTrace(trace_.get());
        }
        if (!testMarker_.empty()) {
            link_->Params().SetTestMarker(testMarker_);
        }
    }
    link_->Frames().SetCaption(caption);
    link_->Images().SetBackupPolicy(backup_);
    link_->Images().SetHistory(history_);
    return link_.get();
}

void SerialRadio::CancelTransfer() {
    if (link_) {
        link_->Frames().RequestCancel();
    }
}

void SerialRadio::SetBackupPolicy(const BackupPolicy& policy) {
    backup_ = policy;
}

std::unique_ptr<RadioLink> SerialRadio::NewLink(Prompter& prompter, StatusLine& status,
                                                Clock& clock) {
    auto link = std::make_unique<RadioLink>(*port_, clock, prompter, status);
    link->Frames().SetPorts(ports_);
    if (trace_) {
        link->Frames().SetTrace(trace_.get());
    }
    return link;
}

void SerialRadio::SetHistory(ServiceHistory* history) {
    history_ = history;
    if (link_) {
        link_->Images().SetHistory(history);
    }
}

void SerialRadio::SetTestMarker(const std::string& path) {
    testMarker_ = path;
    if (link_) {
        link_->Params().SetTestMarker(path);
    }
}

TransferResult SerialRadio::Transfer(TransferOp op, const Document* doc, const std::string& caption,
                                     Prompter& prompter, StatusLine& status, Clock& clock) {
    RadioLink* link = Link(caption, prompter, status, clock);
    if (op == TransferOp::Upload) {
        return link->Images().Upload();
    }
    return doc != nullptr ? link->Images().Download(*doc) : TransferResult{};
}

}  // namespace petrel
