#include "core/link/port_list.h"

#include <algorithm>
#include <cerrno>
#include <fstream>

namespace petrel {

namespace {

namespace fs = std::filesystem;

// The USB device folder sits a few levels above a tty's device link (the port, the interface).
constexpr int kUsbLevels = 4;

std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

}  // namespace

std::string DescribeSerialDevice(const std::string& device, const fs::path& sysRoot) {
    const std::string bracketed = "(" + device + ")";
    std::error_code error;
    fs::path folder =
        fs::canonical(sysRoot / "class" / "tty" / fs::path(device).filename() / "device", error);
    for (int level = 0; !error && level < kUsbLevels && !folder.empty(); ++level) {
        if (fs::exists(folder / "product", error)) {
            const std::string maker = FirstLine(folder / "manufacturer");
            const std::string product = FirstLine(folder / "product");
            std::string name = product;
            if (!maker.empty() && !product.starts_with(maker)) {
                name = maker + " " + product;
            }
            return name.empty() ? bracketed : name + " " + bracketed;
        }
        folder = folder.parent_path();
    }
    return bracketed;
}

std::string OpenProblemText(int code, const std::string& reason) {
    if (code == EACCES || code == EPERM) {
        return "permission denied: add yourself to the group dialout";
    }
    if (code == EBUSY) {
        return "busy: another program is using it";
    }
    std::string text = reason;
    if (!text.empty()) {
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    }
    return text;
}

std::vector<PortEntry> ListSerialPorts(SerialPort& port, const fs::path& sysRoot) {
    std::vector<PortEntry> entries;
    for (int number = kFirstPortNumber; number <= kLastPortNumber; ++number) {
        const std::string device = port.DeviceName(number);
        if (device.empty()) {
            continue;
        }
        PortEntry entry{number, device, DescribeSerialDevice(device, sysRoot), {}};
        port.SetPortNumber(number);
        try {
            port.Open();
        } catch (const SerialPortError& failure) {
            entry.problem = OpenProblemText(failure.Code(), failure.Reason());
        }
        port.Close();
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<std::string> PreferDevice(std::vector<std::string> devices,
                                      const std::string& preferred) {
    const auto found = std::find(devices.begin(), devices.end(), preferred);
    if (found != devices.end()) {
        std::rotate(devices.begin(), found, found + 1);
    }
    return devices;
}

}  // namespace petrel
