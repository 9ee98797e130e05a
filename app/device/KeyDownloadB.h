#pragma once

// Key download of family-B keyboards (device types 201 to 299): the keyboard's 10 key slots and 13
// shortcut slots are freed as its slot table shows them in use, then filled from the profile's key
// functions. Every feature command waits 16 ms before it is sent, and each slot command is
// preceded by a further 16 ms pause.

#include "app/device/DownloadSource.h"
#include "app/device/HidDeviceManager.h"
#include "app/device/LinkClock.h"

#include <array>
#include <cstdint>

namespace kw {

using ShortcutBlock = std::array<uint8_t, 168>;

class KeyDownloadB {
public:
    static constexpr int kMaxEventPairs = 82;

    KeyDownloadB(HidDeviceManager& hid, LinkClock& clock, DownloadSource& source)
        : hid_(hid), clock_(clock), source_(source) {}

    // Job 6: query the slot table, free the slots in use, then write the key functions in store
    // order (type 0 skipped; types 3 and 7 into shortcut slots; every other type into key slots).
    // Failed commands are not repeated; the download goes on with the next slot.
    void Run();

    // 07 FA 01 slot key 01 value 01 for `function` (null: the slot is freed with key and value 0).
    static FeatureReport KeySlotFrame(int slot, const KeyFunction* function);
    // The 168-byte block of a shortcut slot: type 7 a preset, type 3 a macro, any other type only
    // the header (a free slot).
    ShortcutBlock BuildShortcutBlock(int key, int slot, int type, int value);
    // The 28 reports that carry a shortcut block: 07 F1 + bytes 0-5, then 07 00 + 6 bytes each.
    static std::array<FeatureReport, 28> ShortcutFrames(const ShortcutBlock& block);

    // One slot command each, with its 16 ms pauses; false when a report was not accepted.
    bool SetKeySlot(int slot, const KeyFunction* function);
    bool WriteShortcutSlot(int key, int slot, int type, int value);

private:
    HidDeviceManager& hid_;
    LinkClock& clock_;
    DownloadSource& source_;
};

} // namespace kw
