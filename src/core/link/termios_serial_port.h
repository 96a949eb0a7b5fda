#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/link/serial_port.h"

namespace petrel {

// A serial port on a Linux terminal device. COMn is devices[n - 1].
//
// The device is opened non-blocking, raw, 2400 baud 8N1 without flow control, and claimed
// exclusively (TIOCEXCL, and an advisory lock that holds even against the superuser); DTR and
// RTS are dropped at once, DTR is raised only by RaiseDtr. Bytes the kernel has received are
// moved into a buffer of our own while waiting, so that poll() sleeps until really new bytes
// come instead of waking for the ones already counted.
class TermiosSerialPort : public SerialPort {
  public:
    using DeviceSource = std::function<std::vector<std::string>()>;

    // With a source, RefreshDevices asks it again for the devices behind COM1..COM8.
    explicit TermiosSerialPort(std::vector<std::string> devices, DeviceSource source = {});
    ~TermiosSerialPort() override;
    TermiosSerialPort(const TermiosSerialPort&) = delete;
    TermiosSerialPort& operator=(const TermiosSerialPort&) = delete;

    void SetPortNumber(int number) override;
    void Open() override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    void RaiseDtr() override;
    void SetBinaryMode() override;
    int InBufferCount() override;
    void ClearInBuffer() override;
    void Write(std::span<const std::uint8_t> bytes) override;
    std::vector<std::uint8_t> ReadAll() override;
    bool WaitForInput(std::int64_t timeoutUs) override;
    std::string DeviceName(int number) const override;
    void RefreshDevices() override;

  protected:
    // Sets (TIOCMBIS) or clears (TIOCMBIC) modem lines of the open device.
    virtual void ModemLines(unsigned long request, int bits);

  private:
    // Moves what the kernel holds into pending_; returns how many bytes came.
    std::size_t Drain();

    std::vector<std::string> devices_;
    DeviceSource source_;
    int number_ = kFirstPortNumber;
    int fd_ = -1;
    std::vector<std::uint8_t> pending_;
};

}  // namespace petrel
