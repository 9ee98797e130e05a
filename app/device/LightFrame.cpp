#include "app/device/LightFrame.h"

#include "app/device/BlockParts.h"
#include "app/device/CommandFrames.h"

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
    return BlockParts<6>(0xF1, block, 30);
}

OutputReport LightFrame::BeginStreaming() {
    return MakeOutputCommand(0xF0, {0xF4, 0x01});
}

} // namespace kw
