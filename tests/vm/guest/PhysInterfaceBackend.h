#pragma once

// Interface numbers for HID devices without a USB parent. hidapi and the device monitor take the
// interface number from the USB interface above a hidraw node; a uhid device has none, so both
// give -1 and the path has no "&MI_xx" part. A USB HID device's physical path ends in "/inputN"
// with N its interface number, and the served keyboard sets its paths that way: this decorator
// reads the number from there (HID_PHYS in sysfs) for the entries that have none.

#include "app/device/HidBackend.h"

#include <memory>
#include <string>

namespace kw::vmtest {

// The interface number the physical path of the HID device behind `hidrawNode` names; -1 when none.
int InterfaceNumberFromPhys(const std::string& hidrawNode);

// `path` (HidPath.h form) with the interface number of its hidraw node filled in where it has none.
std::string WithPhysInterfaceNumber(const std::string& path);

class PhysInterfaceBackend : public HidBackend {
public:
    explicit PhysInterfaceBackend(std::shared_ptr<HidBackend> inner) : inner_(std::move(inner)) {}

    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<HidHandle> Open(const std::string& path) override { return inner_->Open(path); }

private:
    std::shared_ptr<HidBackend> inner_;
};

} // namespace kw::vmtest
