#include "app/device/PresetShortcutKeys.h"

namespace kw {

namespace {

constexpr uint8_t kLeftCtrl = 0xE0;
constexpr uint8_t kLeftAlt = 0xE2;
constexpr uint8_t kLeftGui = 0xE3;
constexpr uint8_t kSpace = 0x2C;

// The keys held together, in the order they are pressed.
struct Chord {
    uint8_t keys[3];
    int count;
};

constexpr Chord kPresets[15] = {
    {{kLeftCtrl, 0x04}, 2},        // 1 Ctrl+A
    {{kLeftCtrl, 0x06}, 2},        // 2 Ctrl+C
    {{kLeftCtrl, 0x1B}, 2},        // 3 Ctrl+X
    {{kLeftCtrl, 0x19}, 2},        // 4 Ctrl+V
    {{kLeftCtrl, 0x1D}, 2},        // 5 Ctrl+Z
    {{kLeftCtrl, 0x16}, 2},        // 6 Ctrl+S
    {{kLeftGui, 0x08}, 2},         // 7 Win+E
    {{kLeftGui, 0x0F}, 2},         // 8 Win+L
    {{kLeftGui, 0x07}, 2},         // 9 Win+D
    {{kLeftAlt, 0x2B}, 2},         // 10 Alt+Tab
    {{kLeftGui, 0x10}, 2},         // 11 Win+M
    {{kLeftCtrl, 0x1A}, 2},        // 12 Ctrl+W
    {{kLeftAlt, kSpace, 0x1B}, 3}, // 13 Alt+Space, X
    {{kLeftAlt, kSpace, 0x11}, 3}, // 14 Alt+Space, N
    {{kLeftAlt, 0x3D}, 2},         // 15 Alt+F4
};

} // namespace

std::vector<PresetKeyEvent> PresetShortcutEvents(int value) {
    std::vector<PresetKeyEvent> events;
    if (value < 1 || value > 15) {
        return events;
    }
    const Chord& chord = kPresets[value - 1];
    for (int i = 0; i < chord.count; ++i) {
        events.push_back({chord.keys[i], true});
    }
    for (int i = chord.count - 1; i >= 0; --i) {
        events.push_back({chord.keys[i], false});
    }
    return events;
}

} // namespace kw
