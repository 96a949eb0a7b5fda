#pragma once

// What the port chooser shows about the serial devices behind COM1..COM8: what each device is
// (for a USB adapter its maker and product, as the kernel reports them), and why one cannot be
// opened.

#include <filesystem>
#include <string>
#include <vector>

#include "core/link/serial_port.h"

namespace petrel {

struct PortEntry {
    int number = 0;           // COM number
    std::string device;       // "/dev/ttyUSB0"
    std::string description;  // "FTDI FT232R USB UART (/dev/ttyUSB0)"
    std::string problem;      // why it does not open; "" when it does
};

// A device as the user knows it: the maker and product of a USB adapter from sysfs
// (<sysRoot>/class/tty/<name>/device and the folders above it), followed by the path in
// brackets; the path alone for any other device.
std::string DescribeSerialDevice(const std::string& device,
                                 const std::filesystem::path& sysRoot = "/sys");

// Why a device does not open, in words that say what to do: "permission denied: add yourself
// to the group dialout" for a device this user may not open, the system's reason otherwise.
std::string OpenProblemText(int code, const std::string& reason);

// Every port that has a device, each opened and closed again to see whether it can be used.
std::vector<PortEntry> ListSerialPorts(SerialPort& port,
                                       const std::filesystem::path& sysRoot = "/sys");

// The devices with preferred moved to the front when it is among them (the port used first).
std::vector<std::string> PreferDevice(std::vector<std::string> devices,
                                      const std::string& preferred);

}  // namespace petrel
