#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace petrel::test {

// A pseudo-terminal whose master side the test holds: what a program writes to the device
// comes out of the master, and what the test writes to the master arrives at the device.
class PseudoTerminal {
  public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& Device() const { return device_; }
    void Send(const std::vector<std::uint8_t>& bytes);
    // What the device side wrote within timeoutMs, up to count bytes.
    std::vector<std::uint8_t> Receive(std::size_t count, int timeoutMs = 1000);
    // Closes the master: the device side hangs up.
    void HangUp();

  private:
    int master_ = -1;
    int keepOpen_ = -1;  // keeps the device alive (and raw) between the program's opens
    std::string device_;
};

}  // namespace petrel::test
