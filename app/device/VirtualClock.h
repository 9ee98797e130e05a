#pragma once

// A clock that only moves when someone sleeps on it: Sleep advances the time at once and returns.
// Pauses are therefore visible in time stamps without costing any real time.

#include "app/device/LinkClock.h"

#include <atomic>

namespace kw {

class VirtualClock : public LinkClock {
public:
    std::chrono::microseconds Now() const override;
    void Sleep(std::chrono::milliseconds duration) override;

    // Moves the time on without a sleeper.
    void Advance(std::chrono::microseconds duration);

private:
    std::atomic<long long> now_{0}; // microseconds
};

} // namespace kw
