#pragma once

// Something that sends an input report of the virtual device.

#include <cstddef>
#include <cstdint>

namespace kw {

class IKbvirtProxy {
public:
    virtual ~IKbvirtProxy() = default;
    // Sends `length` bytes of report `reportId` (0: the data carry their own id); false on failure.
    virtual bool Send(const uint8_t* data, size_t length, int reportId) = 0;
};

} // namespace kw
