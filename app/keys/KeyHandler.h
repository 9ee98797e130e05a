#pragma once

// The main window's side of the host route: loads the current profile's keys into the filter
// (ApplyProfile, user-interface thread) and carries out the function of each watched key event
// (OnKey, listener thread).

#include "app/device/FilterMonitor.h"
#include "app/device/Kbvirt.h"
#include "app/keys/HostFunctions.h"
#include "app/keys/HostKeyStore.h"
#include "app/keys/HostWindow.h"
#include "app/keys/MacroPlayer.h"
#include "app/keys/MacroQueue.h"

#include <chrono>
#include <map>
#include <mutex>
#include <optional>

namespace kw {

class KeyHandler {
public:
    static constexpr std::chrono::milliseconds kShortcutStep{10};

    KeyHandler(Kbvirt& kbvirt, HidUsbFilter::FilterMonitor& filter, HostKeyStore& store, MacroQueue& macros,
               MacroPlayer& player, HostWindow& window);

    // Registers OnKey as a listener of the filter.
    void Listen();
    // Sets who carries out types 8 to 11 (on the user-interface thread).
    void SetHostFunctions(HostFunctions* functions) { functions_ = functions; }

    // Releases everything, reloads the key map and the filter's list from the current profile and
    // layer, and restarts the listener.
    void ApplyProfile();
    // Key event from the filter: non-zero when the key has a function here.
    int OnKey(int type, int code, bool pressed);
    // At the end of the program: nothing stays pressed, nothing stays watched.
    void Shutdown();

    std::optional<KeyFunction> MappedFunction(int code) const;

private:
    void PlayShortcut(int preset);

    Kbvirt& kbvirt_;
    HidUsbFilter::FilterMonitor& filter_;
    HostKeyStore& store_;
    MacroQueue& macros_;
    MacroPlayer& player_;
    HostWindow& window_;
    HostFunctions* functions_ = nullptr;

    mutable std::mutex mapMutex_;
    std::map<int, KeyFunction> keyMap_;
};

} // namespace kw
