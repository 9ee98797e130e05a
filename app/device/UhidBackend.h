#pragma once

// The virtual device as a HID device created through /dev/uhid (vendor 0xDEED, product 0xFEED)
// with the report descriptor of VirtualReports.h: the kernel turns our report bytes into input
// events. Closing the descriptor removes the device, and the kernel releases its keys with it.

#include "app/device/VirtualHidBackend.h"

#include <chrono>
#include <string>

namespace kw {

class UhidBackend : public VirtualHidBackend {
public:
    explicit UhidBackend(std::string node = "/dev/uhid");
    ~UhidBackend() override;
    UhidBackend(const UhidBackend&) = delete;
    UhidBackend& operator=(const UhidBackend&) = delete;

    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    bool WriteFrame(std::span<const uint8_t> frame) override;

    static constexpr unsigned kVendor = 0xDEED;
    static constexpr unsigned kProduct = 0xFEED;
    // How long Open waits for the kernel to start the new device.
    static constexpr std::chrono::milliseconds kStartBound{2000};

private:
    // Answers the kernel's requests (report queries) so that nobody waits on us.
    void DrainRequests();

    std::string node_;
    int fd_ = -1;
};

} // namespace kw
