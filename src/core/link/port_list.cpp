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

std::string PortInUse(const std::vector<PortEntry>& entries,
                      const std::optional<SeenRadio>& lastRadio) {
    const auto listed = [&](const PortEntry& entry) {
        return lastRadio && entry.device == lastRadio->device;
    };
    if (const auto found = std::find_if(entries.begin(), entries.end(), listed);
        found != entries.end()) {
        return found->device;
    }
    const auto opens = std::find_if(entries.begin(), entries.end(),
                                    [](const PortEntry& entry) { return entry.problem.empty(); });
    return opens != entries.end() ? opens->device : std::string();
}

std::vector<PortRow> PortRows(const std::vector<PortEntry>& entries, const std::string& inUse) {
    std::vector<PortRow> rows;
    for (const PortEntry& entry : entries) {
        PortRow row{"COM" + std::to_string(entry.number) + " " + entry.description, entry.device,
                    entry.number, !inUse.empty() && entry.device == inUse, entry.problem.empty()};
        if (!row.opens) {
            row.text += ": " + entry.problem;
        } else if (row.inUse) {
            row.text += ", in use";
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string PortTestText(const PortTest& test) {
    const std::string port = "COM" + std::to_string(test.number) + " " + test.device;
    switch (test.outcome) {
        case PortTest::Outcome::Identified:
            return RadioName(test.band.value_or(0)) + " answered on " + port + ".";
        case PortTest::Outcome::NotOpened:
            return port +
                   " cannot be opened: " + OpenProblemText(test.problem.code, test.problem.reason) +
                   ".";
        case PortTest::Outcome::NotIdentified:
            return "A radio answered on " + port +
                   " but did not say which it is: test again, or check the cable.";
        case PortTest::Outcome::NoAnswer:
            break;
    }
    return "No radio answered on " + port +
           ": check that the radio is switched on and its cable is plugged in.";
}

std::string RadioFieldText(const std::optional<SeenRadio>& radio) {
    if (!radio) {
        return "no radio";
    }
    return "COM" + std::to_string(radio->number) + " " + radio->device + " - " +
           RadioName(radio->band);
}

}  // namespace petrel
