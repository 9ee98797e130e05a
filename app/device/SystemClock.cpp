#include "app/device/SystemClock.h"

#include <thread>

namespace kw {

std::chrono::microseconds SystemClock::Now() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void SystemClock::Sleep(std::chrono::milliseconds duration) {
    if (duration.count() > 0) {
        std::this_thread::sleep_until(std::chrono::steady_clock::now() + duration);
    }
}

} // namespace kw
