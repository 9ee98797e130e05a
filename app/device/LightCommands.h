#pragma once

// The lighting commands: a lighting mode with its parameters, the selection of a per-key
// lighting set, in the frames of the keyboard's protocol family.
//
// Notation: x' is x − 1 when x is not 0, else 0; cs is colorindex × 16 + speed as one byte; a
// colour value holds red in bits 0-7, green in 8-15 and blue in 16-23.

#include "app/device/HidDeviceManager.h"
#include "app/store/LightRecord.h"

#include <cstdint>

namespace kw {

class LightCommands {
public:
    explicit LightCommands(HidDeviceManager& hid) : hid_(hid) {}

    // Family B, cable: 07 FF FF mode' brightness' cs' S direction, S = selector when the mode is
    // the per-key mode (config_func bit 0x100), else 0.
    static FeatureReport SetLightModeWired(const LightRecord& row, int selector);
    // Family B, receiver or Bluetooth (the 64 bytes after report id 0):
    // BB AA 99 88 AA mode' brightness' cs' 00 S direction.
    static OutputPayload SetLightModeWireless(const LightRecord& row, int selector);
    // Device types below 200: 07 FF FF mode' brightness speed 00 S.
    static FeatureReport SelectCustomLightFrame(const LightRecord& row, int selector);
    // Family A: 00 88 00 mode.
    static OutputReport SetLightModeA(const LightRecord& row);
    // Family A: 00 89 00 F red green blue brightness, F = (direction & 3) × 16 + 0x40 when colourful
    // + (speed & 0x0F).
    static OutputReport SetLightParams(const LightRecord& row);

    // Job 7 for `row`: family B SetLightMode (wired with a 16 ms pause, wireless as one output
    // report); family A SetLightParams when `modeSent` is set, else SetLightModeA, after which
    // `modeSent` is set. Device types of 300 and above send nothing. False when nothing was sent.
    bool SendLightMode(int deviceType, const LightRecord& row, int selector, bool& modeSent);
    // Selects the per-key lighting set on a keyboard of a device type below 200 (16 ms pause);
    // false for other device types.
    bool SelectCustomLight(int deviceType, const LightRecord& row, int selector);

private:
    HidDeviceManager& hid_;
};

} // namespace kw
