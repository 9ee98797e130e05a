#pragma once

// Key download of family-A keyboards (device types up to 200): the profile's macros and preset
// shortcuts go into numbered slots of the keyboard's macro memory (macros first, in store order),
// then the 360-byte key matrix says for every key index what the key does.

#include "app/device/DownloadSource.h"
#include "app/device/HidDeviceManager.h"
#include "app/device/LinkClock.h"

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

namespace kw {

using KeyMatrix = std::array<uint8_t, 360>;

class KeyDownloadA {
public:
    static constexpr size_t kMacroPartBytes = 59;

    KeyDownloadA(HidDeviceManager& hid, LinkClock& clock, DownloadSource& source)
        : hid_(hid), clock_(clock), source_(source) {}

    // Job 6. `matrixIndex` maps key codes to key indexes (the layout's matrix map). False when a
    // slot write failed and the rest of the download (slots and matrix) was abandoned, or a part
    // of the matrix could not be written.
    bool Run(const std::map<int, int>& matrixIndex);

    // The parts of a macro slot: 00 8E len offset(2) slot and 59 payload bytes from the offset;
    // payload length / 59 + 1 parts, the last one carrying the remainder (0 for an exact multiple).
    static std::vector<OutputReport> MacroSlotParts(int slot, std::span<const uint8_t> payload);
    // The one command of a shortcut slot: 00 8E len 00 00 slot payload, len = 3 × event count.
    static OutputReport ShortcutSlotFrame(int slot, std::span<const uint8_t> payload);
    // Pairs by key index (skipping codes the map lacks and indexes of 180 on): type 2 (value, 0x20),
    // type 1 (0, 0x20), types 3 and 7 (slot, 0x40) when the key got a slot, others (0, 0).
    static KeyMatrix BuildKeyMatrix(const std::vector<KeyFunction>& functions,
                                    const std::map<int, int>& slotOfKey,
                                    const std::map<int, int>& matrixIndex);
    // 00 8D len offset(2) and 60 bytes for offsets 0, 60, 120 and 180; len 60, 60, 60 and 40.
    static std::array<OutputReport, 4> KeyMatrixParts(const KeyMatrix& matrix);

    // Each part 100 ms after the previous; stops at the first part that cannot be written.
    bool WriteMacroSlot(int slot, std::span<const uint8_t> payload);
    // Each part 10 ms after the previous; stops at the first part that cannot be written.
    bool SetKeyMatrix(const KeyMatrix& matrix);

private:
    HidDeviceManager& hid_;
    LinkClock& clock_;
    DownloadSource& source_;
};

} // namespace kw
