#pragma once

// The virtual device as an input device created through /dev/uinput, for systems without uhid:
// report changes are translated into key and button events here.

#include "app/device/ReportToEvents.h"
#include "app/device/VirtualHidBackend.h"

#include <string>

namespace kw {

class UinputBackend : public VirtualHidBackend {
public:
    explicit UinputBackend(std::string node = "/dev/uinput");
    ~UinputBackend() override;
    UinputBackend(const UinputBackend&) = delete;
    UinputBackend& operator=(const UinputBackend&) = delete;

    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    bool WriteFrame(std::span<const uint8_t> frame) override;

private:
    std::string node_;
    int fd_ = -1;
    ReportToEvents translator_;
};

} // namespace kw
