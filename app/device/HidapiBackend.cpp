#include "app/device/HidapiBackend.h"

#include "app/device/HidPath.h"

#include <hidapi/hidapi.h>

namespace kw {

namespace {

class HidapiHandle : public HidHandle {
public:
    explicit HidapiHandle(hid_device* device) : device_(device) {}
    ~HidapiHandle() override { hid_close(device_); }
    HidapiHandle(const HidapiHandle&) = delete;
    HidapiHandle& operator=(const HidapiHandle&) = delete;

    int SendFeatureReport(std::span<const uint8_t> report) override {
        return hid_send_feature_report(device_, report.data(), report.size());
    }
    int GetFeatureReport(std::span<uint8_t> report) override {
        return hid_get_feature_report(device_, report.data(), report.size());
    }
    int WriteOutputReport(std::span<const uint8_t> report) override {
        // hidraw completes or fails an output report within the kernel's own transfer time-out
        // (5 s for USB); callers that must not wait that long hand the write to the link's
        // transfer thread, which gives up after its bound.
        return hid_write(device_, report.data(), report.size());
    }

private:
    hid_device* device_;
};

} // namespace

HidapiBackend::HidapiBackend() : initialised_(hid_init() == 0) {}

HidapiBackend::~HidapiBackend() {
    if (initialised_) {
        hid_exit();
    }
}

HidInterfaceInfo HidapiBackend::ToInterfaceInfo(const hid_device_info& device) {
    HidInterfaceInfo info;
    info.vid = device.vendor_id;
    info.pid = device.product_id;
    info.release = device.release_number;
    info.usagePage = device.usage_page;
    info.usage = device.usage;
    info.interfaceNumber = device.interface_number;
    info.path = SynthesiseInterfacePath(device.vendor_id, device.product_id, device.interface_number,
                                        device.path ? device.path : "");
    if (device.product_string) {
        info.productString = device.product_string;
    }
    return info;
}

std::vector<HidInterfaceInfo> HidapiBackend::Enumerate() {
    std::vector<HidInterfaceInfo> found;
    if (!initialised_) {
        return found;
    }
    hid_device_info* list = hid_enumerate(0, 0);
    for (const hid_device_info* device = list; device; device = device->next) {
        found.push_back(ToInterfaceInfo(*device));
    }
    hid_free_enumeration(list);
    return found;
}

std::unique_ptr<HidHandle> HidapiBackend::Open(const std::string& path) {
    const std::string native = NativePathOf(path);
    if (!initialised_ || native.empty()) {
        return nullptr;
    }
    hid_device* device = hid_open_path(native.c_str());
    if (!device) {
        return nullptr;
    }
    return std::make_unique<HidapiHandle>(device);
}

} // namespace kw
