#pragma once

// Which device job a device arrival or removal calls for. The path is compared upper-cased; a mode
// entry's `hid_interface` is looked for as it stands, so it must be written in upper case.
// Bluetooth LE keyboards announce their GATT HID service as well: that announcement is ignored.

#include "app/device/ProductTypes.h"

#include <string_view>
#include <vector>

namespace kw {

enum class DeviceEvent { Arrival, Removal };

constexpr std::string_view kGattHidServiceMarker = "00001812-0000-1000-8000-00805F9B34FB";

constexpr int kJobArrival = 2;
constexpr int kJobRemoval = 3;

// The job to post (kJobArrival, kJobRemoval) or 0. On arrival the first entry whose pattern occurs
// in the path counts; on removal the first such entry marked connected, whose mark is cleared.
int MatchDeviceChange(std::vector<ModeEntry>& modes, DeviceEvent event, std::string_view path);

} // namespace kw
