#pragma once

// The lighting rows of a keyboard model in the store: one row per lighting mode of its layout,
// created with the layout's defaults the first time.

#include "app/device/ProductTypes.h"
#include "app/store/ConfigStore.h"

namespace kw {

// When `profile` has no lighting row yet: one row per mode of `layout`, in list order, with the
// default brightness and speed, direction 2 for device types 200 to 299 (else 0), colourful, colour
// index 0 and red; then the layout's default mode becomes the active one. Nothing when rows exist.
// True when the profile has its rows afterwards.
bool CreateLightRows(ConfigStore& store, int profile, const DeviceDefinition& layout, int deviceType);

// The direction values of a device type: 1 left, 2 right for 200 to 299; 0 left, 1 right otherwise.
int LeftDirection(int deviceType);
int RightDirection(int deviceType);

} // namespace kw
