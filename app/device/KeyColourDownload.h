#pragma once

// The per-key colours of the custom lighting mode as one download (job 8, family A): a 600-byte
// block with red, green, blue and 255 at 4 × key index, of which bytes 0-439 (key indexes 0-109)
// are sent as 8 parts of SetKeyColours (00 8B len offset(2) and 60 bytes; len 60, last part 20),
// each 1 ms after the previous.

#include "app/device/HidDeviceManager.h"
#include "app/device/LinkClock.h"
#include "app/store/KeyLightRecord.h"

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace kw {

using KeyColourBlock = std::array<uint8_t, 600>;

class KeyColourDownload {
public:
    static constexpr int kLightSet = 128; // the stored colours of custom slot 0

    KeyColourDownload(HidDeviceManager& hid, LinkClock& clock) : hid_(hid), clock_(clock) {}

    // Rows in order (a later row of the same key index wins); `colourIndex` is the layout's colour
    // map. With an empty map every key lands on index 0; codes it lacks and indexes of 110 or more
    // are skipped.
    static KeyColourBlock BuildBlock(const std::vector<KeyLightRecord>& rows,
                                     const std::map<int, int>& colourIndex);
    static std::array<OutputReport, 8> Parts(const KeyColourBlock& block);

    // Stops at the first part that cannot be written; true when all 8 were.
    bool Send(const KeyColourBlock& block);

private:
    HidDeviceManager& hid_;
    LinkClock& clock_;
};

} // namespace kw
