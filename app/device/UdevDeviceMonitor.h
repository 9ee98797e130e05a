#pragma once

// Arrivals and removals of hidraw devices, from a libudev monitor on a thread of its own. Each
// event carries the synthesised path (HidPath.h) that hidapi's enumeration gives the same device;
// a removal uses the path remembered at arrival, since the removed device's parents are gone.

#include "app/device/DeviceEventSource.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <thread>

struct udev;
struct udev_monitor;

namespace kw {

class UdevDeviceMonitor : public DeviceEventSource {
public:
    UdevDeviceMonitor() = default;
    ~UdevDeviceMonitor() override;
    UdevDeviceMonitor(const UdevDeviceMonitor&) = delete;
    UdevDeviceMonitor& operator=(const UdevDeviceMonitor&) = delete;

    bool Start(Listener listener) override;
    void Stop() override;

    // "0003:00001209:00000001" (bus:vendor:product of a HID device) → vendor and product ids.
    struct HidId {
        uint16_t vid = 0;
        uint16_t pid = 0;
    };
    static std::optional<HidId> ParseHidId(std::string_view text);

private:
    void Loop();

    Listener listener_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    int stopFd_ = -1;
    std::map<std::string, std::string> paths_; // device node → synthesised path
    std::thread thread_;
};

} // namespace kw
