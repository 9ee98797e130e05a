#pragma once

// What the host playback needs of the main window.

#include <functional>

namespace kw {

class HostWindow {
public:
    virtual ~HostWindow() = default;
    virtual int CurrentProfile() const = 0;
    virtual int CurrentLayer() const = 0;
    // Makes `profile` current for the key page and shows its keys (the stored active profile
    // and the profile list stay as they are).
    virtual void SwitchProfile(int profile) = 0;
    // Runs `task` on the user-interface thread. Any thread.
    virtual void PostToUiThread(std::function<void()> task) = 0;
};

} // namespace kw
