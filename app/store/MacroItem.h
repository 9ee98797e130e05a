#pragma once

// One event of a macro (a row of t_macrorecord). Type 1 is a pure delay; the events of a macro
// are played in record_index order.

#include <string>

namespace kw {

struct MacroItem {
    int record_id = 0; // row id
    int macro_id = 0;
    int type = 0;
    int record_index = 0;
    int value = 0;
    int delay_time = 0;
    std::wstring desc;
};

} // namespace kw
