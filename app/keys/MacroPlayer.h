#pragma once

// Plays a macro through the virtual device on the worker thread, with its repeat mode: loop type
// 0 plays play_times passes, 16 repeats while the macro's key is held, 32 repeats until any
// watched key is pressed. The key handler sets the stop flag from the listener thread.

#include "app/device/Kbvirt.h"
#include "app/keys/HostKeyStore.h"

#include <atomic>
#include <chrono>

namespace kw {

class MacroPlayer {
public:
    static constexpr int kLoopHeld = 16;
    static constexpr int kLoopToggle = 32;
    static constexpr std::chrono::milliseconds kMinimumDelay{5};
    // Lateness beyond which the remaining events are planned from now.
    static constexpr std::chrono::milliseconds kStallLimit{50};

    MacroPlayer(Kbvirt& kbvirt, HostKeyStore& store) : kbvirt_(kbvirt), store_(store) {}

    // Worker thread.
    void PlayMacro(int macroId);

    // The loop type of the macro being played; 0 when none.
    int PlayingLoopType() const { return playingLoopType_.load(); }
    bool StopRequested() const { return stopRequested_.load(); }

    // A press of any watched key: ends a toggled (32) macro.
    void OnWatchedPress();
    // The press of a macro key (listener thread, before the macro is queued).
    void OnMacroKeyPress();
    // The release of a macro key: ends a held (16) macro, or lets one that has not started yet
    // play a single pass.
    void OnMacroKeyRelease();

private:
    // One pass; false when the playback is to end.
    bool PlayPass(int macroId, std::chrono::steady_clock::time_point& deadline);

    Kbvirt& kbvirt_;
    HostKeyStore& store_;
    std::atomic<int> playingLoopType_{0};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> macroKeyDown_{false};
};

} // namespace kw
