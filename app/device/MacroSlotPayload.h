#pragma once

// What a family-A keyboard keeps in one numbered slot of its macro memory.
//   macro:    play_times (1-255), item count (all item types), then 3 bytes per press or release:
//             press (usage, delay low, delay high | 0x80), release (usage, delay low | 0x80,
//             delay high & 0x7F). The length sent is 3 + 3 × item count; bytes not filled are 0.
//   shortcut: 1 (played once), event count (4 or 6), then (usage, 0x64, 0x80) per press and
//             (usage, 0x64, 0x00) per release: 100 ms each.

#include "app/device/DownloadSource.h"

#include <cstdint>
#include <vector>

namespace kw {

std::vector<uint8_t> MacroSlotPayload(const MacroRecord& macro, const std::vector<MacroItem>& items,
                                      DownloadSource& source);

// The payload of preset shortcut `value`; a value outside 1-15 gives a count of 4 and 12 zero bytes.
std::vector<uint8_t> ShortcutSlotPayload(int value);

} // namespace kw
