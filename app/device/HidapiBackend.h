#pragma once

// The host's HID stack through hidapi (hidraw backend). Paths are given out in the synthesised
// Windows form of HidPath.h and translated back to hidraw device nodes when opened.

#include "app/device/HidBackend.h"

struct hid_device_info;

namespace kw {

class HidapiBackend : public HidBackend {
public:
    HidapiBackend();
    ~HidapiBackend() override;
    HidapiBackend(const HidapiBackend&) = delete;
    HidapiBackend& operator=(const HidapiBackend&) = delete;

    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<HidHandle> Open(const std::string& path) override;

    // One enumeration entry in the link's terms.
    static HidInterfaceInfo ToInterfaceInfo(const hid_device_info& device);

private:
    bool initialised_ = false;
};

} // namespace kw
