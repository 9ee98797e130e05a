#pragma once

// One report a simulated keyboard received, with the time it arrived.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace kw {

struct SimReport {
    enum class Kind { Feature, FeatureRead, Output };
    Kind kind = Kind::Feature;
    std::chrono::microseconds time{0};
    std::string path;           // interface that received it
    bool secondary = false;     // received on the streaming interface
    std::vector<uint8_t> bytes; // for a feature read: the request (report id)
};

} // namespace kw
