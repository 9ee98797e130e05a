#pragma once

// Several virtual-device backends tried in order: the first that opens takes the frames.

#include "app/device/VirtualHidBackend.h"

#include <memory>
#include <vector>

namespace kw {

class VirtualBackendChain : public VirtualHidBackend {
public:
    explicit VirtualBackendChain(std::vector<std::unique_ptr<VirtualHidBackend>> backends);

    // uhid first, uinput as fallback.
    static std::unique_ptr<VirtualHidBackend> SystemBackends();

    bool Open() override;
    void Close() override;
    bool IsOpen() const override;
    bool WriteFrame(std::span<const uint8_t> frame) override;

private:
    std::vector<std::unique_ptr<VirtualHidBackend>> backends_;
    VirtualHidBackend* active_ = nullptr;
};

} // namespace kw
