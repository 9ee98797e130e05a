#include "app/keys/MacroPlayer.h"

#include "app/keys/KeyNames.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace kw {

void MacroPlayer::OnWatchedPress() {
    int expected = kLoopToggle;
    if (playingLoopType_.compare_exchange_strong(expected, 0))
        stopRequested_ = true;
}

void MacroPlayer::OnMacroKeyPress() {
    macroKeyDown_ = true;
}

void MacroPlayer::OnMacroKeyRelease() {
    macroKeyDown_ = false;
    if (playingLoopType_.load() == kLoopHeld)
        stopRequested_ = true;
}

void MacroPlayer::PlayMacro(int macroId) {
    if (!kbvirt_.FindVirtualDevice())
        return;
    MacroRecord macro;
    if (!store_.GetMacro(macroId, macro))
        return;
    playingLoopType_ = macro.loop_type;
    // Every event is timed against a deadline planned from the start, so waits do not drift.
    auto deadline = std::chrono::steady_clock::now();
    if (macro.loop_type == kLoopHeld) {
        // The key may have come up before the play started (its release found nothing to stop):
        // the pass under way then is the last.
        while (!stopRequested_ && PlayPass(macroId, deadline) && macroKeyDown_) {
        }
    } else if (macro.loop_type == kLoopToggle) {
        while (!stopRequested_ && PlayPass(macroId, deadline)) {
        }
    } else {
        for (int pass = 0; pass < macro.play_times && PlayPass(macroId, deadline); ++pass) {
        }
    }
    stopRequested_ = false;
    playingLoopType_ = 0;
}

bool MacroPlayer::PlayPass(int macroId, std::chrono::steady_clock::time_point& deadline) {
    std::vector<MacroItem> items;
    store_.ListMacroItems(macroId, items);
    bool more = true;
    for (const MacroItem& item : items) {
        const int code = KeyCodeFromVirtualKey(item.value);
        // Only type 2 presses; every other type, pause items included, releases.
        if (code >= 232 && code <= 249)
            kbvirt_.SetConsumer(code, item.type == 2);
        else
            kbvirt_.SetKey(code, item.type == 2);
        const auto wait = std::max(std::chrono::milliseconds(item.delay_time), kMinimumDelay);
        deadline += wait;
        // After a real stall (the worker held up far beyond a step) plan anew from now rather than
        // play the following events in a burst; ordinary wake-up lateness is caught up.
        const auto now = std::chrono::steady_clock::now();
        if (now + wait - kStallLimit > deadline)
            deadline = now + wait;
        std::this_thread::sleep_until(deadline);
        if (stopRequested_) {
            more = false;
            break;
        }
    }
    kbvirt_.ReleaseAll();
    // A macro without events would repeat without pause: it ends after its first pass.
    return more && !items.empty();
}

} // namespace kw
