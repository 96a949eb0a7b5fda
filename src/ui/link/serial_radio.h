#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/link/radio_seam.h"

namespace petrel {

class LinkTrace;
class SerialPort;

// The radio seam over the real link: one serial port on the devices behind COM1..COM8 and one
// RadioLink for the whole run.
class SerialRadio : public RadioSeam {
  public:
    // With rediscover, an operation that finds no port or no radio looks for devices again.
    // The device preferred, when among them, is COM1 (the port searched first).
    explicit SerialRadio(std::vector<std::string> devices,
                         std::function<std::vector<std::string>()> rediscover = {},
                         std::string preferred = {});
    ~SerialRadio() override;

    // Every radio operation from now on writes this serial trace.
    void SetTrace(std::unique_ptr<LinkTrace> trace);

    void DetectSerialPorts(Prompter& prompter) override;
    TransferResult Transfer(TransferOp op, const Document* doc, const std::string& caption,
                            Prompter& prompter, StatusLine& status, Clock& clock) override;
    RadioLink* Link(const std::string& caption, Prompter& prompter, StatusLine& status,
                    Clock& clock) override;
    void CancelTransfer() override;
    void SetBackupPolicy(const BackupPolicy& policy) override;
    void SetTestMarker(const std::string& path) override;
    void SetHistory(ServiceHistory* history) override;
    std::unique_ptr<RadioLink> NewLink(Prompter& prompter, StatusLine& status,
                                       Clock& clock) override;
    std::vector<PortEntry> ListPorts() override;
    void UsePortFirst(const std::string& device) override;
    std::optional<SeenRadio> LastRadio() const override { return lastRadio_; }
    void SetRadioSeenHandler(std::function<void()> handler) override {
        seenHandler_ = std::move(handler);
    }

  private:
    // What every link tells after a detection.
    void RadioSeen(const std::optional<SeenRadio>& radio);
    // The ports to search now that the devices were looked for again.
    void FollowPorts(std::vector<int> numbers);

    std::unique_ptr<LinkTrace> trace_;
    std::vector<std::string> devices_;  // as given, for a link without rediscovery
    std::function<std::vector<std::string>()> rediscover_;
    std::string preferred_;
    std::optional<SeenRadio> lastRadio_;
    std::function<void()> seenHandler_;
    std::unique_ptr<SerialPort> port_;
    std::unique_ptr<RadioLink> link_;
    std::vector<int> ports_;
    BackupPolicy backup_;
    std::string testMarker_;
    ServiceHistory* history_ = nullptr;
};

}  // namespace petrel
