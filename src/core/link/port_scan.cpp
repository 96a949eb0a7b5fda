#include "core/link/port_scan.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "core/link/serial_port.h"
#include "core/ports/prompter.h"

namespace petrel {

namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 3> kDeviceGroups = {"ttyUSB", "ttyACM", "ttyS"};
constexpr std::size_t kMaxPorts = kLastPortNumber;

// Orders "ttyS2" before "ttyS10": the number after the group's prefix counts as a number.
bool NumberedNameLess(const std::string& a, const std::string& b, std::size_t prefix) {
    const auto digits = [prefix](const std::string& name) {
        std::size_t end = prefix;
        while (end < name.size() && name[end] >= '0' && name[end] <= '9') {
            ++end;
        }
        return std::string_view(name).substr(prefix, end - prefix);
    };
    std::string_view da = digits(a);
    std::string_view db = digits(b);
    while (da.size() > 1 && da.front() == '0') {
        da.remove_prefix(1);
    }
    while (db.size() > 1 && db.front() == '0') {
        db.remove_prefix(1);
    }
    if (da.size() != db.size()) {
        return da.size() < db.size();
    }
    if (da != db) {
        return da < db;
    }
    return a < b;
}

}  // namespace

std::vector<std::string> DiscoverSerialDevices(const fs::path& devDir) {
    std::vector<std::string> devices;
    for (const std::string_view group : kDeviceGroups) {
        std::vector<std::string> names;
        std::error_code error;
        for (fs::directory_iterator it(devDir, error), end; !error && it != end;
             it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name.size() > group.size() && name.starts_with(group) &&
                std::isdigit(static_cast<unsigned char>(name[group.size()]))) {
                names.push_back(name);
            }
        }
        std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
            return NumberedNameLess(a, b, group.size());
        });
        for (const auto& name : names) {
            devices.push_back((devDir / name).string());
        }
    }
    if (devices.size() > kMaxPorts) {
        devices.resize(kMaxPorts);
    }
    return devices;
}

std::vector<std::string> ParsePortList(std::string_view text) {
    std::vector<std::string> devices;
    while (devices.size() < kMaxPorts) {
        const std::size_t colon = text.find(':');
        const std::string_view path = text.substr(0, colon);
        if (!path.empty()) {
            devices.emplace_back(path);
        }
        if (colon == std::string_view::npos) {
            break;
        }
        text.remove_prefix(colon + 1);
    }
    return devices;
}

std::vector<std::string> SerialDevices(const std::optional<std::string>& portsVariable,
                                       const fs::path& devDir) {
    if (portsVariable) {
        return ParsePortList(*portsVariable);
    }
    return DiscoverSerialDevices(devDir);
}

std::vector<std::string> SerialDevicesFromEnvironment() {
    const char* value = std::getenv(kPortsVariable);
    return SerialDevices(value != nullptr ? std::optional<std::string>(value) : std::nullopt);
}

bool PortsFromEnvironment() {
    return std::getenv(kPortsVariable) != nullptr;
}

PortScan ScanPorts(SerialPort& port) {
    PortScan scan;
    for (int number = kFirstPortNumber; number <= kLastPortNumber; ++number) {
        port.SetPortNumber(number);
        try {
            port.Open();
            scan.numbers.push_back(number);
        } catch (const SerialPortError& error) {
            // A port that does not open is not offered; its reason is kept for the user.
            if (!port.DeviceName(number).empty()) {
                scan.problems.push_back({number, error.Device(), error.Reason(), error.Code()});
            }
        }
        port.Close();
    }
    return scan;
}

PortScan DetectRS(SerialPort& port, Prompter& prompter) {
    for (;;) {
        PortScan scan = ScanPorts(port);
        if (!scan.numbers.empty()) {
            return scan;
        }
        const Answer again = prompter.Ask(
            Message{std::string(" No RS232 Port is available") + kLineBreak + "Detect Again ?",
                    {},
                    Buttons::YesNoCancel,
                    Icon::Exclamation,
                    std::nullopt,
                    PortProblemsText(scan.problems)});
        if (again != Answer::Yes) {
            return scan;
        }
    }
}

std::string PortProblemsText(const std::vector<PortProblem>& problems) {
    if (problems.empty()) {
        return "No serial device was found (/dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*).";
    }
    std::string text;
    bool refused = false;
    for (const auto& problem : problems) {
        text += (text.empty() ? "COM" : "\nCOM") + std::to_string(problem.number) + " " +
                problem.device + ": " + problem.reason;
        refused = refused || problem.code == EACCES || problem.code == EPERM;
    }
    if (refused) {
        text += std::string("\n") + kDialoutFix;
    }
    return text;
}

}  // namespace petrel
