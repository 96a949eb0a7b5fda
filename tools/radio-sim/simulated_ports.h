#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/link/serial_port.h"
#include "core/ports/clock.h"
#include "sim_engine.h"

namespace petrel::sim {

// COM ports inside the process on a virtual clock: each number may carry a simulated radio on
// its cable, an empty port, or nothing (it does not open). Waiting moves the clock to the next
// byte the radio puts on the line, so time-outs are exact to the microsecond and cost nothing.
class SimulatedPorts : public SerialPort {
  public:
    explicit SimulatedPorts(VirtualClock& clock) : clock_(clock) {}

    // A radio on COM number (the engine must outlive the ports).
    void AttachRadio(int number, RadioSimEngine& engine);
    // A port that opens but has no cable: nothing comes back.
    void AddEmptyPort(int number);
    // A port another program holds: opening it fails.
    void AddBusyPort(int number);

    // Everything the program did, for tests: "open 2", "dtr 2", "close 2".
    const std::vector<std::string>& Events() const { return events_; }
    struct Sent {
        std::int64_t timeUs;
        int port;
        std::vector<std::uint8_t> bytes;
    };
    // Every write, with the time it was handed to the port.
    const std::vector<Sent>& Writes() const { return writes_; }
    void ClearRecords();

    void SetPortNumber(int number) override { number_ = number; }
    void Open() override;
    void Close() override;
    bool IsOpen() const override { return open_ != 0; }
    void RaiseDtr() override;
    void SetBinaryMode() override {}
    int InBufferCount() override;
    void ClearInBuffer() override;
    void Write(std::span<const std::uint8_t> bytes) override;
    std::vector<std::uint8_t> ReadAll() override;
    bool WaitForInput(std::int64_t timeoutUs) override;
    std::string DeviceName(int number) const override;

  private:
    enum class Kind { Radio, Empty, Busy };
    struct Port {
        Kind kind = Kind::Empty;
        RadioSimEngine* engine = nullptr;
    };
    RadioSimEngine* OpenEngine();

    VirtualClock& clock_;
    std::map<int, Port> ports_;
    int number_ = kFirstPortNumber;
    int open_ = 0;  // the open port's number, 0 when none
    std::vector<std::uint8_t> received_;
    std::vector<std::string> events_;
    std::vector<Sent> writes_;
};

}  // namespace petrel::sim
