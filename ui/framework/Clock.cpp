#include "ui/framework/Clock.h"

#include "ui/framework/MessageQueue.h"

#include <chrono>
#include <mutex>

namespace vellum {

namespace {

std::mutex& ClockLock() {
    static std::mutex lock;
    return lock;
}

std::shared_ptr<Clock>& InstalledClock() {
    static std::shared_ptr<Clock> clock = std::make_shared<SteadyClock>();
    return clock;
}

} // namespace

const Clock& Clock::Get() {
    std::lock_guard guard(ClockLock());
    return *InstalledClock();
}

void Clock::Install(std::shared_ptr<Clock> clock) {
    std::lock_guard guard(ClockLock());
    InstalledClock() = clock ? std::move(clock) : std::make_shared<SteadyClock>();
}

std::uint64_t SteadyClock::NowMs() const {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void ManualClock::Advance(std::uint64_t ms) {
    now_ += ms;
    MessageQueue::WakeAll();
}

} // namespace vellum
