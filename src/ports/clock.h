#pragma once

#include <cstdint>
#include <functional>

namespace petrel {

// A steady millisecond clock. Delay waits while the user interface keeps being serviced
// through the pump; the pump alone serves it once (transfers call it once per block).
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t NowMs() const = 0;
    virtual void Delay(double seconds) = 0;
    virtual void Pump() = 0;
};

// The real clock: CLOCK_MONOTONIC, so a wait across midnight or a clock change lasts as
// long as any other. Delay sleeps in short slices between pumps instead of spinning.
class SteadyClock : public Clock {
  public:
    explicit SteadyClock(std::function<void()> pump = {}) : pump_(std::move(pump)) {}
    std::int64_t NowMs() const override;
    void Delay(double seconds) override;
    void Pump() override;
    void SetPump(std::function<void()> pump) { pump_ = std::move(pump); }

  private:
    std::function<void()> pump_;
};

// A clock for tests: time moves only when someone waits, so time-outs are exact and fast.
class VirtualClock : public Clock {
  public:
    std::int64_t NowMs() const override { return now_; }
    void Delay(double seconds) override;
    void Pump() override { ++pumps_; }
    void Advance(std::int64_t ms) { now_ += ms; }
    int Pumps() const { return pumps_; }

  private:
    std::int64_t now_ = 0;
    int pumps_ = 0;
};

}  // namespace petrel
