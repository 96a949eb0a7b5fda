#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/serial_port.h"

namespace petrel {

class Prompter;

// The environment variable whose device paths (separated by ":") replace the discovered ports.
inline constexpr const char* kPortsVariable = "PETREL_PORTS";

// Serial devices in COM order: USB adapters first (ttyUSB*, then ttyACM*), then ttyS*, each
// group sorted by name with the trailing numbers compared as numbers (ttyS2 before ttyS10).
// At most eight: they are COM1..COM8.
std::vector<std::string> DiscoverSerialDevices(const std::filesystem::path& devDir = "/dev");

// A PETREL_PORTS value: the paths between the ":" (empty ones skipped), at most eight.
std::vector<std::string> ParsePortList(std::string_view text);

// The devices behind COM1..COM8: the PETREL_PORTS value when there is one, else what
// DiscoverSerialDevices finds in devDir.
std::vector<std::string> SerialDevices(const std::optional<std::string>& portsVariable,
                                       const std::filesystem::path& devDir = "/dev");

// SerialDevices with the variable read from this process's environment. Called once by main().
std::vector<std::string> SerialDevicesFromEnvironment();
// Whether this process's environment sets PETREL_PORTS: its order then stands, before any port
// the user chose to use first.
bool PortsFromEnvironment();

// What a pass over COM1..COM8 found: the numbers that open, ascending, and the ports that have a
// device but would not open.
struct PortScan {
    std::vector<int> numbers;
    std::vector<PortProblem> problems;
};
PortScan ScanPorts(SerialPort& port);

// The start-up port scan: ScanPorts, and while no port opens the question whether to look
// again, with the reasons in its detail. Returns the last scan.
PortScan DetectRS(SerialPort& port, Prompter& prompter);

// What to do when the system refuses a serial device to this user.
inline constexpr const char* kDialoutFix =
    "Serial ports belong to the group dialout: sudo usermod -aG dialout \"$USER\", then log out "
    "and in again.";

// Why no port could be used, for a message's detail: one line per port ("COM1 /dev/ttyUSB0:
// Permission denied"), and the dialout fix when the system refused access.
std::string PortProblemsText(const std::vector<PortProblem>& problems);

}  // namespace petrel
