#pragma once

// The names the system's keyboard mapping gives to keys.

#include <string>

namespace kw {

class KeyLayoutNames {
public:
    virtual ~KeyLayoutNames() = default;
    // The name of the key with this evdev code under the current mapping; empty when unknown.
    virtual std::wstring KeyName(int evdevCode) const = 0;
};

// The X server's keyboard mapping (keysym names, single letters in upper case). Without a
// display every name is empty. Any thread.
class X11KeyLayoutNames : public KeyLayoutNames {
public:
    static const X11KeyLayoutNames& Instance();
    std::wstring KeyName(int evdevCode) const override;
};

} // namespace kw
