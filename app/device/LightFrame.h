#pragma once

// One light frame of the music and screen modes (family A): a 600-byte block with the red, green
// and blue of every key at 3 × key index, of which bytes 0-329 (key indexes 0-109) are sent as 6
// parts of StreamKeyColours (00 F1 len offset(2) and 60 bytes; len 60, last part 30) on the
// streaming interface. BeginStreaming (00 F0 F4 01) goes before the first frame of a run.

#include "app/device/HidDeviceManager.h"
#include "app/device/KeyColourView.h"

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace kw {

using LightFrameBlock = std::array<uint8_t, 600>;

class LightFrame {
public:
    // Keys in view order; `colourIndex` is the layout's colour map (empty: every key on index 0).
    // Codes the map lacks and indexes of 200 or more are skipped.
    static LightFrameBlock Build(const std::vector<KeyColour>& keys, const std::map<int, int>& colourIndex);
    static std::array<OutputReport, 6> Parts(const LightFrameBlock& block);
    static OutputReport BeginStreaming();
};

} // namespace kw
