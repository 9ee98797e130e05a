#include "app/device/VirtualBackendChain.h"

#include "app/device/UhidBackend.h"
#include "app/device/UinputBackend.h"

namespace kw {

VirtualBackendChain::VirtualBackendChain(std::vector<std::unique_ptr<VirtualHidBackend>> backends)
    : backends_(std::move(backends)) {}

std::unique_ptr<VirtualHidBackend> VirtualBackendChain::SystemBackends() {
    std::vector<std::unique_ptr<VirtualHidBackend>> backends;
    backends.push_back(std::make_unique<UhidBackend>());
    backends.push_back(std::make_unique<UinputBackend>());
    return std::make_unique<VirtualBackendChain>(std::move(backends));
}

bool VirtualBackendChain::Open() {
    if (IsOpen())
        return true;
    active_ = nullptr;
    for (const auto& backend : backends_) {
        if (backend->Open()) {
            active_ = backend.get();
            return true;
        }
    }
    return false;
}

void VirtualBackendChain::Close() {
    if (active_)
        active_->Close();
    active_ = nullptr;
}

bool VirtualBackendChain::IsOpen() const {
    return active_ != nullptr && active_->IsOpen();
}

bool VirtualBackendChain::WriteFrame(std::span<const uint8_t> frame) {
    return active_ != nullptr && active_->WriteFrame(frame);
}

} // namespace kw
