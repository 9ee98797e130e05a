#pragma once

// Time as the keyboard link sees it: the fixed pauses between reports and the time stamps of the
// simulated keyboard. The program uses SystemClock; tests use VirtualClock, whose pauses take no time.

#include <chrono>

namespace kw {

class LinkClock {
public:
    virtual ~LinkClock() = default;

    // Time since an arbitrary start, steadily increasing.
    virtual std::chrono::microseconds Now() const = 0;

    // Pauses the calling thread for `duration`.
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

} // namespace kw
