#pragma once

// The function assigned to one key in one profile and layer (a row of t_key_macro_data).
// macro_type says how macro_value, macro_value2, macro_value3 and macro_desc encode the function.

#include <string>

namespace kw {

struct KeyFunction {
    int key_id = 0; // row id
    int profile = 0;
    int fn_layer = 0;
    int key_code = 0;
    int layout_value = 0;
    std::wstring layout_desc;
    int macro_type = 0;
    int macro_value = 0;
    int macro_value2 = 0;
    int macro_value3 = 0;
    std::wstring macro_desc;
};

} // namespace kw
