#include "app/device/KeyColourDownload.h"

#include "app/device/BlockParts.h"

namespace kw {

namespace {

using namespace std::chrono_literals;

constexpr int kSentKeys = 110;

} // namespace

KeyColourBlock KeyColourDownload::BuildBlock(const std::vector<KeyLightRecord>& rows,
                                             const std::map<int, int>& colourIndex) {
    KeyColourBlock block{};
    for (const KeyLightRecord& row : rows) {
        int index = 0;
        if (!colourIndex.empty()) {
            const auto found = colourIndex.find(row.key_code);
            if (found == colourIndex.end()) {
                continue;
            }
            index = found->second;
        }
        if (index < 0 || index >= kSentKeys) {
            continue;
        }
        const auto colour = static_cast<uint32_t>(row.key_rgb);
        block[4 * index] = static_cast<uint8_t>(colour & 0xFF);
        block[4 * index + 1] = static_cast<uint8_t>((colour >> 8) & 0xFF);
        block[4 * index + 2] = static_cast<uint8_t>((colour >> 16) & 0xFF);
        block[4 * index + 3] = 0xFF;
    }
    return block;
}

std::array<OutputReport, 8> KeyColourDownload::Parts(const KeyColourBlock& block) {
    return BlockParts<8>(0x8B, block, 20);
}

bool KeyColourDownload::Send(const KeyColourBlock& block) {
    for (const OutputReport& part : Parts(block)) {
        clock_.Sleep(1ms);
        if (!hid_.WriteReport(part)) {
            return false;
        }
    }
    return true;
}

} // namespace kw
