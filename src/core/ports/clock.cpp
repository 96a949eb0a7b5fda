#include "core/ports/clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <thread>

namespace petrel {

namespace {
constexpr std::int64_t kPumpSliceMs = 10;  // how often a long wait services the UI
}

std::string StampText(const LocalTime& time, char timeSeparator) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d%c%02d%c%02d", time.year, time.month,
                  time.day, time.hour, timeSeparator, time.minute, timeSeparator, time.second);
    return text;
}

LocalTime SteadyClock::WallTime() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::int64_t SteadyClock::NowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t SteadyClock::NowUs() const {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::Delay(double seconds) {
    using namespace std::chrono;
    const auto deadline =
        steady_clock::now() + microseconds(static_cast<std::int64_t>(std::llround(seconds * 1e6)));
    for (;;) {
        Pump();
        const auto now = steady_clock::now();
        if (now >= deadline) {
            return;
        }
        std::this_thread::sleep_for(
            std::min<steady_clock::duration>(deadline - now, milliseconds(kPumpSliceMs)));
    }
}

void SteadyClock::Pump() {
    if (pump_) {
        pump_();
    }
}

void VirtualClock::Delay(double seconds) {
    Pump();
    nowUs_ += static_cast<std::int64_t>(std::llround(seconds * 1e6));
}

}  // namespace petrel
