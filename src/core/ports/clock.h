#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace petrel {

// A day on the computer's calendar.
struct CalendarDate {
    int year = 0;  // four digits
    int month = 0;
    int day = 0;
    bool operator==(const CalendarDate&) const = default;
};

// A moment on the computer's calendar and clock, in local time.
struct LocalTime {
    int year = 0;  // four digits
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    CalendarDate Date() const { return {year, month, day}; }
    bool operator==(const LocalTime&) const = default;
};

// "yyyy-mm-dd hh:mm:ss" with the time's parts joined by timeSeparator ('-' in file names).
std::string StampText(const LocalTime& time, char timeSeparator = ':');

// A steady clock for waits and time-outs, and the wall time for what the user reads (dates
// written into a radio, printed, stamped on files and records). Delay waits while the user
// interface keeps being serviced through the pump; the pump alone serves it once (transfers
// call it once per block).
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t NowMs() const = 0;
    // The same clock in microseconds: the link's time-outs are measured on it.
    virtual std::int64_t NowUs() const { return NowMs() * 1000; }
    // The local date and time now. Unlike NowMs it may jump when the computer's clock is set.
    virtual LocalTime WallTime() const = 0;
    virtual void Delay(double seconds) = 0;
    virtual void Pump() = 0;
};

// The real clock: CLOCK_MONOTONIC, so a wait across midnight or a clock change lasts as
// long as any other. Delay sleeps in short slices between pumps instead of spinning. The wall
// time is the system's, in its time zone.
class SteadyClock : public Clock {
  public:
    explicit SteadyClock(std::function<void()> pump = {}) : pump_(std::move(pump)) {}
    std::int64_t NowMs() const override;
    std::int64_t NowUs() const override;
    LocalTime WallTime() const override;
    void Delay(double seconds) override;
    void Pump() override;
    void SetPump(std::function<void()> pump) { pump_ = std::move(pump); }

  private:
    std::function<void()> pump_;
};

// A clock for tests: time moves only when someone waits, so time-outs are exact and fast.
// It counts in microseconds so that a simulated line can pace bytes at their real speed. Its
// wall time stands still where the test set it, so that dates and stamps can be compared.
class VirtualClock : public Clock {
  public:
    std::int64_t NowMs() const override { return nowUs_ / 1000; }
    std::int64_t NowUs() const override { return nowUs_; }
    LocalTime WallTime() const override { return wallTime_; }
    void SetWallTime(const LocalTime& time) { wallTime_ = time; }
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
    LocalTime wallTime_{2004, 1, 5, 9, 7, 3};
    std::function<void()> pump_;
};

}  // namespace petrel
