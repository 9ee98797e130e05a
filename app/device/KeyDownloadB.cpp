#include "app/device/KeyDownloadB.h"

#include "app/device/CommandFrames.h"
#include "app/device/DelayEncoding.h"
#include "app/device/DeviceCommands.h"
#include "app/device/PresetShortcutKeys.h"

#include <algorithm>

namespace kw {

namespace {

using namespace std::chrono_literals;

constexpr auto kSlotPause = 16ms;
constexpr int kShortcutSlots = 13;
constexpr int kKeySlots = 10;

uint8_t Low(int value) {
    return static_cast<uint8_t>(value & 0xFF);
}

} // namespace

FeatureReport KeyDownloadB::KeySlotFrame(int slot, const KeyFunction* function) {
    uint8_t key = 0;
    uint8_t value = 0;
    if (function && function->macro_value > 0 && function->macro_type != 0 &&
        function->macro_type != kFunctionMacro && function->macro_type != kFunctionPreset) {
        key = Low(function->key_code);
        value = Low(function->macro_value);
    }
    return MakeFeatureCommand(0xFA, {0x01, Low(slot), key, 0x01, value, 0x01});
}

ShortcutBlock KeyDownloadB::BuildShortcutBlock(int key, int slot, int type, int value) {
    ShortcutBlock block{};
    block[0] = 1;
    block[1] = Low(slot);
    size_t at = 4;
    auto add = [&](uint8_t usage, uint8_t timing) {
        if (at + 1 < block.size()) { // at most 82 pairs
            block[at++] = usage;
            block[at++] = timing;
        }
    };
    if (type == kFunctionPreset) {
        block[2] = Low(key);
        block[3] = 1;
        for (const PresetKeyEvent& event : PresetShortcutEvents(value)) {
            add(event.usage, event.press ? 0x01 : 0x81);
        }
    } else if (type == kFunctionMacro) {
        MacroRecord macro;
        if (source_.Macro(value, macro)) {
            block[2] = Low(key);
            block[3] = Low(macro.play_times);
        }
        for (const MacroItem& item : source_.MacroItems(value)) {
            if (item.type != kMacroItemPress && item.type != kMacroItemRelease) {
                continue; // delays, mouse events and the like stay on the host
            }
            add(Low(source_.UsageOfVirtualKey(item.value)),
                EncodeDelay(item.type == kMacroItemRelease, item.delay_time));
        }
    }
    return block;
}

std::array<FeatureReport, 28> KeyDownloadB::ShortcutFrames(const ShortcutBlock& block) {
    std::array<FeatureReport, 28> frames{};
    for (size_t n = 0; n < frames.size(); ++n) {
        frames[n] = MakeFeatureCommand(n == 0 ? 0xF1 : 0x00);
        std::copy_n(block.begin() + 6 * n, 6, frames[n].begin() + 2);
    }
    return frames;
}

bool KeyDownloadB::SetKeySlot(int slot, const KeyFunction* function) {
    clock_.Sleep(kSlotPause);
    return hid_.SendFeatureDelayed(KeySlotFrame(slot, function));
}

bool KeyDownloadB::WriteShortcutSlot(int key, int slot, int type, int value) {
    clock_.Sleep(kSlotPause);
    bool all = true;
    for (const FeatureReport& frame : ShortcutFrames(BuildShortcutBlock(key, slot, type, value))) {
        all = hid_.SendFeatureDelayed(frame) && all;
    }
    return all;
}

void KeyDownloadB::Run() {
    SlotTable table{};
    DeviceCommands(hid_, clock_).QuerySlots(table); // no answer: nothing to free
    for (int slot = 1; slot <= kShortcutSlots; ++slot) {
        if (table[slot] != 0) {
            WriteShortcutSlot(table[slot], slot, 0, 0);
        }
    }
    for (int slot = 1; slot <= kKeySlots; ++slot) {
        if (table[kShortcutSlots + slot] != 0) {
            SetKeySlot(slot, nullptr);
        }
    }
    int shortcutSlot = 1;
    int keySlot = 1;
    for (const KeyFunction& function : source_.KeyFunctions()) {
        if (function.macro_type == 0) {
            continue;
        }
        if (function.macro_type == kFunctionMacro || function.macro_type == kFunctionPreset) {
            WriteShortcutSlot(function.key_code, shortcutSlot++, function.macro_type, function.macro_value);
        } else {
            SetKeySlot(keySlot++, &function);
        }
    }
}

} // namespace kw
