#include "app/device/DeviceChangeRule.h"

#include "app/device/HidPath.h"
#include "ui/framework/TextConvert.h"

namespace kw {

int MatchDeviceChange(std::vector<ModeEntry>& modes, DeviceEvent event, std::string_view path) {
    const std::string upper = UpperCaseAscii(path);
    if (upper.find(kGattHidServiceMarker) != std::string::npos) {
        return 0;
    }
    for (ModeEntry& entry : modes) {
        if (entry.hid_interface.empty()) {
            continue;
        }
        if (event == DeviceEvent::Removal && !entry.connected) {
            continue;
        }
        if (upper.find(vellum::ToUtf8(entry.hid_interface)) == std::string::npos) {
            continue;
        }
        if (event == DeviceEvent::Arrival) {
            return kJobArrival;
        }
        entry.connected = 0;
        return kJobRemoval;
    }
    return 0;
}

} // namespace kw
