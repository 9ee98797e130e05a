#pragma once

// Stands in for the udev service in the guest: passes the kernel's device events on to libudev
// monitors ("udev" source) in the message format libudev reads, as the service does once it has
// handled an event.

#include <atomic>
#include <thread>

namespace kw::vmtest {

class UeventRelay {
public:
    UeventRelay() = default;
    ~UeventRelay();
    UeventRelay(const UeventRelay&) = delete;
    UeventRelay& operator=(const UeventRelay&) = delete;

    bool Start();
    void Stop();
    int Relayed() const { return relayed_.load(); }

private:
    void Loop();

    int kernelFd_ = -1;
    int sendFd_ = -1;
    int stopFd_ = -1;
    std::atomic<int> relayed_{0};
    std::thread thread_;
};

// libudev's hash of a property value (MurmurHash2, seed 0), used by its in-kernel socket filters.
uint32_t UdevStringHash(const char* text, size_t length);

} // namespace kw::vmtest
