#pragma once

// Where Kbvirt's control frames go: a virtual HID device that turns our input reports into key,
// button and consumer events. Implementations: uhid, uinput, and an in-memory one for tests.

#include <cstddef>
#include <cstdint>
#include <span>

namespace kw {

class VirtualHidBackend {
public:
    virtual ~VirtualHidBackend() = default;

    // Creates or opens the device; true when it is ready for frames (also when already open).
    virtual bool Open() = 0;
    // Removes the device; its keys are released by the system with it.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // One 64-byte control frame as Kbvirt::Send builds it; false when the device did not take it.
    virtual bool WriteFrame(std::span<const uint8_t> frame) = 0;
};

} // namespace kw
