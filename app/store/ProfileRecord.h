#pragma once

// One profile (a row of t_profile_data). Exactly one profile has status 1: the active one.

#include <string>

namespace kw {

struct ProfileRecord {
    int profile = 0; // row id
    std::wstring name;
    std::wstring app; // always empty
    int type = 0;     // always 0
    int status = 0;   // 1 for the active profile
};

} // namespace kw
