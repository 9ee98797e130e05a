#pragma once

// The fifteen preset shortcuts (key functions of type 7) as the keyboard's macro memory takes them:
// HID keyboard usages pressed in order and released in reverse order.

#include <cstdint>
#include <vector>

namespace kw {

struct PresetKeyEvent {
    uint8_t usage = 0;
    bool press = false;
    bool operator==(const PresetKeyEvent&) const = default;
};

// The events of preset 1 to 15 (4 or 6); empty for any other value.
std::vector<PresetKeyEvent> PresetShortcutEvents(int value);

} // namespace kw
