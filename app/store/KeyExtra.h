#pragma once

// The extra text of a key function that starts a program, opens an address, types a text or
// switches profile (a row of t_key_otherdata); the key row's macro_value holds its row id.

#include <string>

namespace kw {

struct KeyExtra {
    int macro_value = 0; // row id
    std::wstring macro_desc;
    std::wstring param;
    int type = 0;
};

} // namespace kw
