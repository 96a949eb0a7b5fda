#include "simulated_ports.h"

#include <algorithm>
#include <cerrno>

namespace petrel::sim {

void SimulatedPorts::AttachRadio(int number, RadioSimEngine& engine) {
    ports_[number] = Port{Kind::Radio, &engine};
}

void SimulatedPorts::AddEmptyPort(int number) {
    ports_[number] = Port{Kind::Empty, nullptr};
}

void SimulatedPorts::AddBusyPort(int number) {
    ports_[number] = Port{Kind::Busy, nullptr};
}

void SimulatedPorts::ClearRecords() {
    events_.clear();
    writes_.clear();
}

std::string SimulatedPorts::DeviceName(int number) const {
    return ports_.contains(number) ? "sim:COM" + std::to_string(number) : std::string();
}

void SimulatedPorts::Open() {
    if (IsOpen()) {
        return;
    }
    const auto port = ports_.find(number_);
    if (port == ports_.end()) {
        throw SerialPortError("COM" + std::to_string(number_), ENOENT);
    }
    if (port->second.kind == Kind::Busy) {
        throw SerialPortError(DeviceName(number_), EBUSY);
    }
    open_ = number_;
    received_.clear();
    events_.push_back("open " + std::to_string(open_));
}

void SimulatedPorts::Close() {
    if (IsOpen()) {
        events_.push_back("close " + std::to_string(open_));
        open_ = 0;
        received_.clear();
    }
}

void SimulatedPorts::RaiseDtr() {
    if (IsOpen()) {
        events_.push_back("dtr " + std::to_string(open_));
    }
}

RadioSimEngine* SimulatedPorts::OpenEngine() {
    if (!IsOpen()) {
        return nullptr;
    }
    return ports_.at(open_).engine;
}

int SimulatedPorts::InBufferCount() {
    if (RadioSimEngine* engine = OpenEngine()) {
        const auto bytes = engine->TakeOutput(clock_.NowUs());
        received_.insert(received_.end(), bytes.begin(), bytes.end());
    }
    return static_cast<int>(received_.size());
}

void SimulatedPorts::ClearInBuffer() {
    if (RadioSimEngine* engine = OpenEngine()) {
        engine->TakeOutput(clock_.NowUs());
    }
    received_.clear();
}

void SimulatedPorts::Write(std::span<const std::uint8_t> bytes) {
    if (!IsOpen()) {
        return;
    }
    writes_.push_back({clock_.NowUs(), open_, {bytes.begin(), bytes.end()}});
    if (RadioSimEngine* engine = OpenEngine()) {
        engine->Receive(bytes, clock_.NowUs());
    }
}

std::vector<std::uint8_t> SimulatedPorts::ReadAll() {
    InBufferCount();
    std::vector<std::uint8_t> bytes;
    bytes.swap(received_);
    return bytes;
}

bool SimulatedPorts::WaitForInput(std::int64_t timeoutUs) {
    if (timeoutUs <= 0) {
        return false;
    }
    const std::int64_t now = clock_.NowUs();
    if (RadioSimEngine* engine = OpenEngine()) {
        const auto next = engine->NextOutputUs();
        if (next && *next <= now + timeoutUs) {
            clock_.AdvanceUs(std::max<std::int64_t>(0, *next - now));
            return true;
        }
    }
    clock_.AdvanceUs(timeoutUs);
    return false;
}

}  // namespace petrel::sim
