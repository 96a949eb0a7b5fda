#pragma once

// What the port chooser shows about the serial devices behind COM1..COM8: what each device is
// (for a USB adapter its maker and product, as the kernel reports them), and why one cannot be
// opened.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/link/frame_link.h"
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

// The port in use: the one the last radio was identified on when it is listed, else the first
// that opens (where a search for the radio starts). "" when none opens.
std::string PortInUse(const std::vector<PortEntry>& entries,
                      const std::optional<SeenRadio>& lastRadio);

// One line of the port chooser: "COM1 FT232R USB UART (/dev/ttyUSB0), in use", or for a port
// that does not open "COM2 (/dev/ttyS0): permission denied: add yourself to the group dialout".
struct PortRow {
    std::string text;
    std::string device;
    int number = 0;
    bool inUse = false;
    bool opens = false;
};
std::vector<PortRow> PortRows(const std::vector<PortEntry>& entries, const std::string& inUse);

// What a port test found, in words: the radio's name and port, or why there is no radio.
std::string PortTestText(const PortTest& test);

// The status bar's radio field: "COM1 /dev/ttyUSB0 - Petrel (PMR)", or "no radio".
std::string RadioFieldText(const std::optional<SeenRadio>& radio);

}  // namespace petrel
