#pragma once

#include <cstdint>
#include <functional>

namespace petrel {

// A steady clock. Delay waits while the user interface keeps being serviced through the pump;
// the pump alone serves it once (transfers call it once per block).
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t NowMs() const = 0;
    // The same clock in microseconds: the link's time-outs are measured on it.
    virtual std::int64_t NowUs() const { return NowMs() * 1000; }
    virtual void Delay(double seconds) = 0;
    virtual void Pump() = 0;
};

// The real clock: CLOCK_MONOTONIC, so a wait across midnight or a clock change lasts as
// long as any other. Delay sleeps in short slices between pumps instead of spinning.
class SteadyClock : public Clock {
  public:
    explicit SteadyClock(std::function<void()> pump = {}) : pump_(std::move(pump)) {}
    std::int64_t NowMs() const override;
    std::int64_t NowUs() const override;
    void Delay(double seconds) override;
    void Pump() override;
    void SetPump(std::function<void()> pump) { pump_ = std::move(pump); }

  private:
    std::function<void()> pump_;
};

// A clock for tests: time moves only when someone waits, so time-outs are exact and fast.
// It counts in microseconds so that a simulated line can pace bytes at their real speed.
class VirtualClock : public Clock {
  public:
    std::int64_t NowMs() const override { return nowUs_ / 1000; }
    std::int64_t NowUs() const override { return nowUs_; }
    void Delay(double seconds) override;
    void Pump() override {
        ++pumps_;
        if (pump_) {
            pump_();
        }
    }
    // What the user interface does when it is serviced.
    void SetPump(std::function<void()> pump) { pump_ = std::move(pump); }
    void Advance(std::int64_t ms) { nowUs_ += ms * 1000; }
    void AdvanceUs(std::int64_t us) { nowUs_ += us; }
    int Pumps() const { return pumps_; }

  private:
    std::int64_t nowUs_ = 0;
    int pumps_ = 0;
    std::function<void()> pump_;
};

}  // namespace petrel
