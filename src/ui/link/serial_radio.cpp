#include "ui/link/serial_radio.h"

#include "core/link/link_trace.h"
#include "core/link/port_list.h"
#include "core/link/port_scan.h"
#include "core/link/radio_link.h"
#include "core/link/termios_serial_port.h"

namespace petrel {

SerialRadio::SerialRadio(std::vector<std::string> devices,
                         std::function<std::vector<std::string>()> rediscover,
                         std::string preferred)
    : devices_(std::move(devices)),
      rediscover_(std::move(rediscover)),
      preferred_(std::move(preferred)),
      // Every look for devices, the first included, puts the preferred one first.
      port_(std::make_unique<TermiosSerialPort>(PreferDevice(devices_, preferred_), [this] {
          return PreferDevice(rediscover_ ? rediscover_() : devices_, preferred_);
      })) {}

SerialRadio::~SerialRadio() = default;

void SerialRadio::SetTrace(std::unique_ptr<LinkTrace> trace) {
    trace_ = std::move(trace);
    if (link_) {
        link_->Frames().SetTrace(trace_.get());
    }
}

void SerialRadio::RadioSeen(const std::optional<SeenRadio>& radio) {
    lastRadio_ = radio;
    if (seenHandler_) {
        seenHandler_();
    }
}

std::vector<PortEntry> SerialRadio::ListPorts() {
    port_->RefreshDevices();  // a cable plugged in since is listed too
    std::vector<PortEntry> entries = ListSerialPorts(*port_);
    std::vector<int> numbers;
    for (const PortEntry& entry : entries) {
        if (entry.problem.empty()) {
            numbers.push_back(entry.number);
        }
    }
    FollowPorts(std::move(numbers));
    return entries;
}

void SerialRadio::UsePortFirst(const std::string& device) {
    preferred_ = device;
    port_->RefreshDevices();
    FollowPorts(ScanPorts(*port_).numbers);
}

void SerialRadio::FollowPorts(std::vector<int> numbers) {
    ports_ = std::move(numbers);
    if (link_) {
        link_->Frames().SetPorts(ports_);
    }
    // The radio identified last keeps its device; its number may have changed.
    if (lastRadio_) {
        int number = 0;
        for (int n = kFirstPortNumber; n <= kLastPortNumber; ++n) {
            if (port_->DeviceName(n) == lastRadio_->device) {
                number = n;
            }
        }
        if (number != lastRadio_->number) {
            SeenRadio moved = *lastRadio_;
            moved.number = number;
            RadioSeen(number != 0 ? std::optional(moved) : std::nullopt);
        }
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
        link_->Frames().SetIdentifyHook([this](const auto& radio) { RadioSeen(radio); });
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
    link->Frames().SetIdentifyHook([this](const auto& radio) { RadioSeen(radio); });
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
