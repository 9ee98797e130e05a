#include "app/device/Kbvirt.h"

#include "app/device/HidUsageTable.h"
#include "app/device/VirtualBackendChain.h"

#include <cstring>

namespace kw {

Kbvirt& Kbvirt::Instance() {
    static Kbvirt instance(VirtualBackendChain::SystemBackends());
    return instance;
}

Kbvirt::Kbvirt(std::unique_ptr<VirtualHidBackend> backend) : backend_(std::move(backend)) {}

Kbvirt::~Kbvirt() {
    // Nothing stays pressed when the program ends: release what is down, then remove the device.
    if (IsOpen())
        ReleaseAll();
    CloseDevice();
}

bool Kbvirt::Send(const uint8_t* data, size_t length, int reportId) {
    std::lock_guard lock(mutex_);
    return SendLocked(data, length, reportId);
}

bool Kbvirt::SendLocked(const uint8_t* data, size_t length, int reportId) {
    std::array<uint8_t, kControlFrameLength> frame{};
    frame[0] = kControlReportId;
    size_t start = 1;
    if (reportId != 0) {
        frame[1] = static_cast<uint8_t>(reportId);
        start = 2;
    }
    const size_t room = frame.size() - start;
    if (length > room)
        length = room;
    if (data != nullptr && length > 0)
        std::memcpy(frame.data() + start, data, length);

    if (!backend_)
        return false;
    // The device stays open between events; a failed write closes it so that the next event
    // opens it afresh.
    if (!backend_->IsOpen() && !backend_->Open())
        return false;
    if (backend_->WriteFrame(frame))
        return true;
    backend_->Close();
    return false;
}

bool Kbvirt::FindVirtualDevice() {
    std::lock_guard lock(mutex_);
    return backend_ && (backend_->IsOpen() || backend_->Open());
}

void Kbvirt::CloseDevice() {
    std::lock_guard lock(mutex_);
    if (backend_)
        backend_->Close();
}

bool Kbvirt::IsOpen() const {
    std::lock_guard lock(mutex_);
    return backend_ && backend_->IsOpen();
}

void Kbvirt::SetKey(int usage, bool pressed) {
    if (usage < 0 || usage > 255)
        return;
    std::lock_guard lock(mutex_);
    uint8_t& byte = keyboard_.bytes[1 + static_cast<size_t>(usage) / 8];
    const auto bit = static_cast<uint8_t>(1u << (usage % 8));
    byte = pressed ? static_cast<uint8_t>(byte | bit) : static_cast<uint8_t>(byte & ~bit);
    SendLocked(keyboard_.bytes.data(), keyboard_.bytes.size(), keyboard_.id);
}

int Kbvirt::MouseButtonBit(int value) {
    switch (value) {
    case 1:
        return 0;
    case 2:
        return 2;
    case 3:
        return 1;
    case 7:
        return 4;
    case 8:
        return 3;
    default:
        return -1;
    }
}

void Kbvirt::SetMouseButton(int value, bool pressed) {
    const int bit = MouseButtonBit(value);
    if (bit < 0)
        return;
    std::lock_guard lock(mutex_);
    uint8_t& byte = mouse_.bytes[0];
    const auto mask = static_cast<uint8_t>(1u << bit);
    byte = pressed ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
    SendLocked(mouse_.bytes.data(), mouse_.bytes.size(), mouse_.id);
}

void Kbvirt::SetConsumer(int value, bool pressed) {
    const int usage = ConsumerUsageFromValue(value);
    if (usage == 0)
        return;
    std::lock_guard lock(mutex_);
    const int sent = pressed ? usage : 0;
    consumer_.bytes[0] = static_cast<uint8_t>(sent & 0xFF);
    consumer_.bytes[1] = static_cast<uint8_t>((sent >> 8) & 0xFF);
    SendLocked(consumer_.bytes.data(), consumer_.bytes.size(), consumer_.id);
}

void Kbvirt::ReleaseAll() {
    std::lock_guard lock(mutex_);
    keyboard_.bytes.fill(0);
    mouse_.bytes.fill(0);
    consumer_.bytes.fill(0);
    spare_.bytes.fill(0);
    SendLocked(keyboard_.bytes.data(), keyboard_.bytes.size(), keyboard_.id);
    SendLocked(mouse_.bytes.data(), mouse_.bytes.size(), mouse_.id);
    SendLocked(consumer_.bytes.data(), consumer_.bytes.size(), consumer_.id);
    SendLocked(spare_.bytes.data(), spare_.bytes.size(), spare_.id);
}

std::array<uint8_t, kKeyboardReportLength> Kbvirt::KeyboardReport() const {
    std::lock_guard lock(mutex_);
    return keyboard_.bytes;
}

std::array<uint8_t, kMouseReportLength> Kbvirt::MouseReport() const {
    std::lock_guard lock(mutex_);
    return mouse_.bytes;
}

std::array<uint8_t, kConsumerReportLength> Kbvirt::ConsumerReport() const {
    std::lock_guard lock(mutex_);
    return consumer_.bytes;
}

} // namespace kw
