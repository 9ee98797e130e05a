#include "app/device/VirtualClock.h"

namespace kw {

std::chrono::microseconds VirtualClock::Now() const {
    return std::chrono::microseconds(now_.load());
}

void VirtualClock::Sleep(std::chrono::milliseconds duration) {
    if (duration.count() > 0) {
        Advance(duration);
    }
}

void VirtualClock::Advance(std::chrono::microseconds duration) {
    now_.fetch_add(duration.count());
}

} // namespace kw
