#include "app/device/MacroSlotPayload.h"

#include "app/device/PresetShortcutKeys.h"

#include <algorithm>

namespace kw {

std::vector<uint8_t> MacroSlotPayload(const MacroRecord& macro, const std::vector<MacroItem>& items,
                                      DownloadSource& source) {
    std::vector<uint8_t> payload(3 + 3 * items.size(), 0);
    payload[0] = static_cast<uint8_t>(std::clamp(macro.play_times, 1, 255));
    payload[1] = static_cast<uint8_t>(items.size() & 0xFF);
    size_t at = 2;
    for (const MacroItem& item : items) {
        if (item.type != kMacroItemPress && item.type != kMacroItemRelease) {
            continue; // counted above, not encoded
        }
        // Bit 7 of a delay byte carries the press or release mark, so delays stay within 15 bits.
        const int delay = std::clamp(item.delay_time, 0, 0x7FFF);
        const auto low = static_cast<uint8_t>(delay & 0xFF);
        const auto high = static_cast<uint8_t>(delay >> 8);
        payload[at++] = static_cast<uint8_t>(source.UsageOfVirtualKey(item.value) & 0xFF);
        if (item.type == kMacroItemPress) {
            payload[at++] = low;
            payload[at++] = high | 0x80;
        } else {
            payload[at++] = low | 0x80;
            payload[at++] = high & 0x7F;
        }
    }
    return payload;
}

std::vector<uint8_t> ShortcutSlotPayload(int value) {
    const std::vector<PresetKeyEvent> events = PresetShortcutEvents(value);
    if (events.empty()) {
        std::vector<uint8_t> payload(2 + 12, 0);
        payload[0] = 1;
        payload[1] = 4;
        return payload;
    }
    std::vector<uint8_t> payload{1, static_cast<uint8_t>(events.size())};
    for (const PresetKeyEvent& event : events) {
        payload.insert(payload.end(), {event.usage, 0x64, static_cast<uint8_t>(event.press ? 0x80 : 0x00)});
    }
    return payload;
}

} // namespace kw
