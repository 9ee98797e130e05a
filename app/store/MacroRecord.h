#pragma once

// A macro and how it is played (a row of t_macro_data); its events are MacroItem rows.

#include <string>

namespace kw {

struct MacroRecord {
    int macro_id = 0; // row id
    std::wstring name;
    int link_count = 0;
    int play_times = 0;
    int delay_type = 0;
    int delay_time = 0;
    int loop_type = 0;
};

} // namespace kw
