#pragma once

// The colour of one key in a per-key lighting set (a row of t_key_light_data).

#include <string>

namespace kw {

struct KeyLightRecord {
    int keylight_id = 0; // row id
    int profile = 0;
    int light_id = 0;
    int key_code = 0;
    int key_rgb = 0; // red in bits 0 to 7, green 8 to 15, blue 16 to 23
};

} // namespace kw
