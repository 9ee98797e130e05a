#pragma once

// One opened HID interface. Every transfer blocks until done and returns the number of bytes
// transferred, or -1 when it failed.

#include <cstdint>
#include <span>

namespace kw {

class HidHandle {
public:
    virtual ~HidHandle() = default;

    // A feature report; report[0] is the report id.
    virtual int SendFeatureReport(std::span<const uint8_t> report) = 0;

    // Reads the feature report whose id is in report[0] into `report` (report id included).
    virtual int GetFeatureReport(std::span<uint8_t> report) = 0;

    // An output report; report[0] is the report id.
    virtual int WriteOutputReport(std::span<const uint8_t> report) = 0;

    // Asks a transfer that blocks another thread to give up. May be called from any thread.
    virtual void Cancel() {}
};

} // namespace kw
