#include "app/keys/ShortcutPresets.h"

namespace kw {

namespace {

constexpr int kCtrl = 224;
constexpr int kAlt = 226;
constexpr int kWin = 227;
constexpr int kSpace = 44;

// A modifier held around one key.
struct Chord {
    KeyStep steps[4];
};

constexpr Chord MakeChord(int modifier, int key) {
    return {{{modifier, true}, {key, true}, {key, false}, {modifier, false}}};
}

constexpr Chord kChords[] = {
    MakeChord(kCtrl, 4),  // 1 Ctrl+A
    MakeChord(kCtrl, 6),  // 2 Ctrl+C
    MakeChord(kCtrl, 27), // 3 Ctrl+X
    MakeChord(kCtrl, 25), // 4 Ctrl+V
    MakeChord(kCtrl, 29), // 5 Ctrl+Z
    MakeChord(kCtrl, 22), // 6 Ctrl+S
    MakeChord(kWin, 8),   // 7 Win+E
    MakeChord(kWin, 15),  // 8 Win+L
    MakeChord(kWin, 7),   // 9 Win+D
    MakeChord(kAlt, 43),  // 10 Alt+Tab
    MakeChord(kWin, 16),  // 11 Win+M
    MakeChord(kCtrl, 26), // 12 Ctrl+W
};

// Alt+Space and a letter of the window menu.
constexpr KeyStep kWindowMenuX[] = {{kAlt, true}, {kSpace, true},  {27, true},
                                    {27, false},  {kSpace, false}, {kAlt, false}};
constexpr KeyStep kWindowMenuN[] = {{kAlt, true}, {kSpace, true},  {17, true},
                                    {17, false},  {kSpace, false}, {kAlt, false}};
constexpr Chord kAltF4 = MakeChord(kAlt, 61);

} // namespace

std::span<const KeyStep> ShortcutPreset(int value) {
    if (value >= 1 && value <= 12)
        return kChords[value - 1].steps;
    if (value == 13)
        return kWindowMenuX;
    if (value == 14)
        return kWindowMenuN;
    if (value == 15)
        return kAltF4.steps;
    return {};
}

} // namespace kw
