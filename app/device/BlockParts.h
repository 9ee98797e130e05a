#pragma once

// A block sent as a multi-part output command, 60 bytes a part: part i carries bytes 60 × i on at
// offset 60 × i; every part has length 60 except the last, which has `lastLength`.

#include "app/device/CommandFrames.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kw {

constexpr size_t kBlockPartBytes = 60;

template <size_t Count, size_t Size>
std::array<OutputReport, Count> BlockParts(uint8_t code, const std::array<uint8_t, Size>& block,
                                           uint8_t lastLength) {
    static_assert(Size >= Count * kBlockPartBytes, "the block holds every part");
    std::array<OutputReport, Count> parts{};
    for (size_t i = 0; i < Count; ++i) {
        const size_t offset = kBlockPartBytes * i;
        parts[i] = MakeOutputPart(code, i + 1 < Count ? static_cast<uint8_t>(kBlockPartBytes) : lastLength,
                                  static_cast<uint16_t>(offset),
                                  std::span<const uint8_t>(block).subspan(offset, kBlockPartBytes));
    }
    return parts;
}

} // namespace kw
