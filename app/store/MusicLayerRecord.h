#pragma once

// The settings of the music-reactive lighting layer (a row of t_musiclayer_data, without its
// selection flag).

#include <string>

namespace kw {

struct MusicLayerRecord {
    int layer_id = 0; // row id
    int profile = 0;
    std::wstring name;
    int deviceindex = 0;
    int foremode = 0;
    int fore_amplitude = 0;
    int backmode = 0;
    int backb_right = 0;
};

} // namespace kw
