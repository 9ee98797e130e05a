#include "app/device/MusicLevel.h"

#include "app/device/CommandFrames.h"

#include <cmath>
#include <cstdlib>

namespace kw {

uint8_t MusicLevel::Level(std::optional<int16_t> sample, float sensitivity) {
    if (!sample || !(sensitivity > 0.0f)) {
        return 0; // also for NaN
    }
    const int magnitude = std::abs(static_cast<int>(*sample)) / 256;
    const float scaled = static_cast<float>(magnitude) * sensitivity;
    return scaled >= 255.0f ? 255 : static_cast<uint8_t>(scaled);
}

FeatureReport MusicLevel::Frame(int musicMode, uint8_t level) {
    return MakeFeatureCommand(0x23, {0x45, 0x67, 0x89, static_cast<uint8_t>(musicMode & 0xFF), level, 0x00});
}

} // namespace kw
