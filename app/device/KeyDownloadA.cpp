#include "app/device/KeyDownloadA.h"

#include "app/device/BlockParts.h"
#include "app/device/CommandFrames.h"
#include "app/device/MacroSlotPayload.h"

#include <algorithm>

namespace kw {

namespace {

using namespace std::chrono_literals;

constexpr auto kSlotPause = 10ms;
constexpr auto kMacroPartPause = 100ms;
constexpr auto kMatrixPause = 20ms;
constexpr auto kMatrixPartPause = 10ms;
constexpr uint8_t kSlotCode = 0x8E;
constexpr uint8_t kMatrixCode = 0x8D;
constexpr int kMatrixKeys = 180;

} // namespace

std::vector<OutputReport> KeyDownloadA::MacroSlotParts(int slot, std::span<const uint8_t> payload) {
    std::vector<OutputReport> parts;
    const size_t count = payload.size() / kMacroPartBytes + 1;
    for (size_t i = 0; i < count; ++i) {
        const size_t offset = i * kMacroPartBytes;
        const size_t length = i + 1 < count ? kMacroPartBytes : payload.size() % kMacroPartBytes;
        std::array<uint8_t, 1 + kMacroPartBytes> body{};
        body[0] = static_cast<uint8_t>(slot & 0xFF);
        const size_t available = std::min(kMacroPartBytes, payload.size() - offset);
        std::copy_n(payload.begin() + offset, available, body.begin() + 1);
        parts.push_back(
            MakeOutputPart(kSlotCode, static_cast<uint8_t>(length), static_cast<uint16_t>(offset), body));
    }
    return parts;
}

OutputReport KeyDownloadA::ShortcutSlotFrame(int slot, std::span<const uint8_t> payload) {
    std::vector<uint8_t> body{static_cast<uint8_t>(slot & 0xFF)};
    body.insert(body.end(), payload.begin(), payload.end());
    const int events = payload.size() > 1 ? payload[1] : 0;
    return MakeOutputPart(kSlotCode, static_cast<uint8_t>(3 * events), 0, body);
}

KeyMatrix KeyDownloadA::BuildKeyMatrix(const std::vector<KeyFunction>& functions,
                                       const std::map<int, int>& slotOfKey,
                                       const std::map<int, int>& matrixIndex) {
    KeyMatrix matrix{};
    for (const KeyFunction& function : functions) {
        const auto index = matrixIndex.find(function.key_code);
        if (index == matrixIndex.end() || index->second < 0 || index->second >= kMatrixKeys) {
            continue;
        }
        uint8_t first = 0;
        uint8_t second = 0;
        if (function.macro_type == kFunctionKey) {
            first = static_cast<uint8_t>(function.macro_value & 0xFF);
            second = 0x20;
        } else if (function.macro_type == kFunctionDisabled) {
            second = 0x20;
        } else if (function.macro_type == kFunctionMacro || function.macro_type == kFunctionPreset) {
            if (const auto slot = slotOfKey.find(function.key_code); slot != slotOfKey.end()) {
                first = static_cast<uint8_t>(slot->second & 0xFF);
                second = 0x40;
            }
        }
        matrix[2 * index->second] = first;
        matrix[2 * index->second + 1] = second;
    }
    return matrix;
}

std::array<OutputReport, 4> KeyDownloadA::KeyMatrixParts(const KeyMatrix& matrix) {
    return BlockParts<4>(kMatrixCode, matrix, 40);
}

bool KeyDownloadA::WriteMacroSlot(int slot, std::span<const uint8_t> payload) {
    for (const OutputReport& part : MacroSlotParts(slot, payload)) {
        clock_.Sleep(kMacroPartPause);
        if (!hid_.WriteReport(part)) {
            return false;
        }
    }
    return true;
}

bool KeyDownloadA::SetKeyMatrix(const KeyMatrix& matrix) {
    for (const OutputReport& part : KeyMatrixParts(matrix)) {
        clock_.Sleep(kMatrixPartPause);
        if (!hid_.WriteReport(part)) {
            return false;
        }
    }
    return true;
}

bool KeyDownloadA::Run(const std::map<int, int>& matrixIndex) {
    const std::vector<KeyFunction> functions = source_.KeyFunctions();
    std::map<int, int> slotOfKey;
    int slot = 0;
    for (const KeyFunction& function : functions) {
        if (function.macro_type != kFunctionMacro) {
            continue;
        }
        MacroRecord macro; // a missing macro is played once
        source_.Macro(function.macro_value, macro);
        const std::vector<uint8_t> payload =
            MacroSlotPayload(macro, source_.MacroItems(function.macro_value), source_);
        clock_.Sleep(kSlotPause);
        if (!WriteMacroSlot(slot, payload)) {
            return false; // the keyboard keeps the parts that arrived
        }
        slotOfKey[function.key_code] = slot++;
    }
    for (const KeyFunction& function : functions) {
        if (function.macro_type != kFunctionPreset) {
            continue;
        }
        clock_.Sleep(kSlotPause);
        if (!hid_.WriteReport(ShortcutSlotFrame(slot, ShortcutSlotPayload(function.macro_value)))) {
            return false;
        }
        slotOfKey[function.key_code] = slot++;
    }
    clock_.Sleep(kMatrixPause);
    return SetKeyMatrix(BuildKeyMatrix(functions, slotOfKey, matrixIndex));
}

} // namespace kw
