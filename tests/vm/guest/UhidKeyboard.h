#pragma once

// The simulator's firmware model served as a real HID device through /dev/uhid: one connection
// mode of a keyboard model as config.xml describes it. A USB mode ("&MI_xx" in its pattern) shows
// the boot keyboard (interface 0), the vendor interface of the pattern and the streaming interface
// 3; a mode without an interface number shows the vendor collection alone. Feature reports reach
// the firmware through UHID_SET_REPORT and are answered through UHID_GET_REPORT; output reports
// arrive through UHID_OUTPUT.

#include "app/device/ProductTypes.h"
#include "sim/SimFirmware.h"
#include "tests/vm/guest/UhidDevice.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kw::vmtest {

class UhidKeyboard {
public:
    // `tag` makes the physical paths of this keyboard unique.
    UhidKeyboard(const ModeEntry& entry, std::string tag);

    // Creates the devices; false when one could not be created.
    bool Plug();
    void Unplug();

    // The physical path of interface `number` (-1: the device of a mode without numbers).
    std::string Phys(int number) const;
    int VendorInterface() const { return vendor_; }

    SimFirmwareState State() const;
    void SetVersion(uint16_t version);
    void SetSlotTable(const std::array<uint8_t, 28>& table);
    // Reports received on the vendor and streaming interfaces, in order.
    struct Received {
        bool feature = false;
        bool secondary = false;
        std::vector<uint8_t> bytes;
    };
    std::vector<Received> Reports() const;
    void ClearReports();
    // Output reports reach the device after the writer has returned: waits up to `bound` until
    // `count` reports were received; false when they were not.
    bool WaitReports(size_t count, std::chrono::milliseconds bound = std::chrono::milliseconds(2000));

private:
    bool Add(int number, std::vector<uint8_t> descriptor, bool secondary);

    const ModeEntry entry_;
    const std::string tag_;
    int vendor_ = -1;
    mutable std::mutex mutex_;
    std::condition_variable received_;
    SimFirmware firmware_;
    std::vector<Received> reports_;
    std::vector<std::unique_ptr<UhidDevice>> devices_;
};

} // namespace kw::vmtest
