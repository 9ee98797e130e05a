#pragma once

// The key filter the program uses: evdev on the configured keyboards, or, in the demonstration
// mode (--simulate), an in-memory filter into which the simulated keyboard types.

#include "app/device/InMemoryFilterBackend.h"
#include "app/device/KeyFilterBackend.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace kw {

struct KeyFilterChoice {
    std::unique_ptr<KeyFilterBackend> backend;
    // The filter the simulated keyboard injects into; null outside the demonstration mode.
    InMemoryFilterBackend* simulated = nullptr;
};

KeyFilterChoice MakeKeyFilter(bool simulate, const std::vector<std::pair<uint16_t, uint16_t>>& keyboards);

} // namespace kw
