#pragma once

// The music level of the keyboards that animate by themselves: one feature report per audio poll,
// 07 23 45 67 89 C level 00, C the device music mode (1 or 2).

#include "app/device/HidDeviceManager.h"

#include <cstdint>
#include <optional>

namespace kw {

class MusicLevel {
public:
    // |sample| div 256 (0 to 128) times the sensitivity, truncated and limited to 255; no sample,
    // or a sensitivity that is not a positive number, gives 0.
    static uint8_t Level(std::optional<int16_t> sample, float sensitivity);
    static FeatureReport Frame(int musicMode, uint8_t level);
    // Sent at once, without pause or retry.
    static bool Send(HidDeviceManager& hid, int musicMode, uint8_t level) {
        return hid.SendFeature(Frame(musicMode, level));
    }
};

} // namespace kw
