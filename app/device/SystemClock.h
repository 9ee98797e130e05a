#pragma once

// The host's steady clock; Sleep really waits.

#include "app/device/LinkClock.h"

namespace kw {

class SystemClock : public LinkClock {
public:
    std::chrono::microseconds Now() const override;
    void Sleep(std::chrono::milliseconds duration) override;
};

} // namespace kw
