#pragma once

// The three key-name tables: virtual key to key code, key code to the text drawn on a key, and
// virtual key to its name. Virtual keys are the Windows virtual-key numbers the program keeps in
// its macros; key codes are HID keyboard usages, 232-249 consumer functions and 175 Fn.

#include <string>

namespace kw {

class KeyLayoutNames;

// 0 for virtual keys without a key code (the generic Shift, Ctrl and Alt among them).
int KeyCodeFromVirtualKey(int vk);

// The text drawn for a key code; empty for codes without one.
std::wstring KeyCodeName(int code);

struct NamedVirtualKey {
    int vk = 0; // the generic modifiers become the left ones
    std::wstring name;
};

// The virtual key's name: fixed names for the modifiers, Pause, Print Screen, the Windows and
// Application keys and Num Lock; the keyboard mapping's name for every other key (`names`, or
// the X server's mapping when null).
NamedVirtualKey VirtualKeyName(int vk, const KeyLayoutNames* names = nullptr);

} // namespace kw
