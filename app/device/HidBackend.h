#pragma once

// The host's HID stack as the link needs it: list the interfaces present, open one by path.

#include "app/device/HidHandle.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kw {

// One HID interface (one top-level collection) found by an enumeration.
struct HidInterfaceInfo {
    // Windows-style path, e.g. "HID\VID_1209&PID_0001&MI_02\/dev/hidraw3" (see HidPath.h).
    std::string path;
    uint16_t vid = 0;
    uint16_t pid = 0;
    uint16_t release = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    int interfaceNumber = -1; // -1 when the device has no USB interface number
    std::wstring productString;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Every HID interface present, in the order the host lists them.
    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;

    // Null when the interface cannot be opened (gone, no permission).
    virtual std::unique_ptr<HidHandle> Open(const std::string& path) = 0;
};

} // namespace kw
