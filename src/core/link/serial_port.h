#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace petrel {

// Port numbers COM1..COM8.
inline constexpr int kFirstPortNumber = 1;
inline constexpr int kLastPortNumber = 8;

// A port that cannot be opened: missing, busy, or not allowed. what() names the port and keeps
// the system's reason for the user; Code() is the errno value behind it.
class SerialPortError : public std::runtime_error {
  public:
    SerialPortError(const std::string& device, int code)
        : std::runtime_error(device + ": " + std::strerror(code)),
          device_(device),
          reason_(std::strerror(code)),
          code_(code) {}
    const std::string& Device() const { return device_; }
    const std::string& Reason() const { return reason_; }
    int Code() const { return code_; }

  private:
    std::string device_;
    std::string reason_;
    int code_;
};

// A port that would not open, with the system's reason and its errno value.
struct PortProblem {
    int number = 0;
    std::string device;
    std::string reason;
    int code = 0;
};

// The serial port as the link uses it: the port number, opening and closing, DTR, the receive
// buffer and its count, writing, and a wait for more bytes. Line settings are fixed at
// 2400 baud 8N1 without flow control. Only Open reports errors; a failing write or read shows
// up as an answer that does not arrive.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    virtual void SetPortNumber(int number) = 0;  // 1..8
    // Throws SerialPortError when the selected port is missing, busy or not allowed.
    virtual void Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual void RaiseDtr() = 0;
    // Bytes come in unchanged (no line editing, no character translation).
    virtual void SetBinaryMode() = 0;

    // Bytes waiting in the receive buffer.
    virtual int InBufferCount() = 0;
    // Throws away every byte received so far.
    virtual void ClearInBuffer() = 0;
    virtual void Write(std::span<const std::uint8_t> bytes) = 0;
    // Every waiting byte; the buffer is empty afterwards.
    virtual std::vector<std::uint8_t> ReadAll() = 0;
    // Sleeps until more bytes arrive than were waiting, or until timeoutUs has passed. True
    // when bytes arrived. Never spins: a silent line costs no processor time.
    virtual bool WaitForInput(std::int64_t timeoutUs) = 0;

    // The device behind a port number, for messages; "" when the number has none.
    virtual std::string DeviceName(int number) const = 0;
    // Looks again which devices stand behind the port numbers (a cable plugged in since).
    virtual void RefreshDevices() {}
};

}  // namespace petrel
