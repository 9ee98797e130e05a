#pragma once

// The framework's time source in milliseconds. Windows, timers and the frame cap read it; the off-screen
// backend's tests install a ManualClock and move time on themselves.

#include <atomic>
#include <cstdint>
#include <memory>

namespace vellum {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint64_t NowMs() const = 0;
    // A manual clock never moves by itself: loops wait for posted messages instead of deadlines.
    virtual bool IsManual() const { return false; }

    static const Clock& Get();
    // Null goes back to the steady system clock.
    static void Install(std::shared_ptr<Clock> clock);
};

class SteadyClock : public Clock {
public:
    std::uint64_t NowMs() const override;
};

class ManualClock : public Clock {
public:
    explicit ManualClock(std::uint64_t start = 1000) : now_(start) {}
    std::uint64_t NowMs() const override { return now_.load(); }
    bool IsManual() const override { return true; }
    // Moves time on and wakes every message loop so that due timers fire.
    void Advance(std::uint64_t ms);

private:
    std::atomic<std::uint64_t> now_;
};

} // namespace vellum
