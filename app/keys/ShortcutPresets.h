#pragma once

// The fifteen shortcut presets of key functions of type 7: fixed sequences of key presses and
// releases with the keyboard's key codes.

#include <span>

namespace kw {

struct KeyStep {
    int code = 0;
    bool pressed = false;
};

// The steps of preset 1 to 15; empty for other values.
std::span<const KeyStep> ShortcutPreset(int value);

} // namespace kw
