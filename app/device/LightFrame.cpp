#include "app/device/LightFrame.h"

#include "app/device/CommandFrames.h"

#include <span>

namespace kw {

namespace {

constexpr int kBlockKeys = 200;

} // namespace

LightFrameBlock LightFrame::Build(const std::vector<KeyColour>& keys, const std::map<int, int>& colourIndex) {
    LightFrameBlock block{};
    for (const KeyColour& key : keys) {
        int index = 0;
        if (!colourIndex.empty()) {
            const auto found = colourIndex.find(key.code);
            if (found == colourIndex.end()) {
                continue;
            }
            index = found->second;
        }
        if (index < 0 || index >= kBlockKeys) {
            continue;
        }
        block[3 * index] = static_cast<uint8_t>(key.colour & 0xFF);
        block[3 * index + 1] = static_cast<uint8_t>((key.colour >> 8) & 0xFF);
        block[3 * index + 2] = static_cast<uint8_t>((key.colour >> 16) & 0xFF);
    }
    return block;
}

std::array<OutputReport, 6> LightFrame::Parts(const LightFrameBlock& block) {
    std::array<OutputReport, 6> parts{};
    for (size_t i = 0; i < parts.size(); ++i) {
        const size_t offset = 60 * i;
        parts[i] = MakeOutputPart(0xF1, i + 1 < parts.size() ? 60 : 30, static_cast<uint16_t>(offset),
                                  std::span<const uint8_t>(block).subspan(offset, 60));
    }
    return parts;
}

OutputReport LightFrame::BeginStreaming() {
    return MakeOutputCommand(0xF0, {0xF4, 0x01});
}

} // namespace kw
