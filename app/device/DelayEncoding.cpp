#include "app/device/DelayEncoding.h"

#include <algorithm>

namespace kw {

uint8_t EncodeDelay(bool release, int ms) {
    ms = std::min(ms, 31000);
    int scale = 0x00;
    int count = 0;
    if (ms < 0) {
        count = 0;
    } else if (ms <= 10) {
        count = 1;
    } else if (ms <= 310) {
        count = ms / 10;
    } else if (ms <= 1550) {
        scale = 0x20;
        count = ms / 50;
    } else if (ms <= 3100) {
        scale = 0x20;
        count = ms / 100;
    } else {
        scale = 0x60;
        count = ms / 1000;
    }
    const int byte = (release ? 0x80 : 0x00) | scale | (count & 0x1F);
    return static_cast<uint8_t>(byte == 0 ? 1 : byte);
}

} // namespace kw
