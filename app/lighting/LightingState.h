#pragma once

// The lighting page's run-time state, owned by the main window and read by the worker and the
// audio thread: the selected mode and its feature bits, the custom slot selector, the mode-sent
// flag, and the device music settings.

#include <atomic>

namespace kw {

struct LightingState {
    // The lighting rows all belong to profile 1.
    static constexpr int kProfile = 1;

    std::atomic<int> selectedMode{0};
    std::atomic<int> featureBits{0}; // config_func of the selected mode
    std::atomic<int> selector{0};    // custom slot 0 to 2
    // 0 right after a mode was selected, 1 once job 7 has sent the mode itself (family A then
    // sends the parameters).
    std::atomic<bool> modeSent{true};
    std::atomic<bool> musicRunning{false};
    std::atomic<bool> screenRunning{false};
    std::atomic<int> musicMode{1};        // device music mode, 1 or 2
    std::atomic<float> sensitivity{1.0f}; // slider position / 50
};

} // namespace kw
