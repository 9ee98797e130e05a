#pragma once

// The settings of one lighting mode of a profile (a row of t_light_data). Exactly one row of the
// whole table has status 1: the active mode.

#include <string>

namespace kw {

struct LightRecord {
    int light_id = 0; // row id
    int profile = 0;
    std::wstring name;
    int mode = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorful = 0;
    int colorindex = 0;
    int color_value = 0; // red in bits 0 to 7, green 8 to 15, blue 16 to 23
    int config_func = 0;
    int reserved = 0;
    int status = 0; // 1 for the active mode
};

} // namespace kw
