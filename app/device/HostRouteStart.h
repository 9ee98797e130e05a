#pragma once

// Start-up of the host route, run during the main window's initialisation before the worker:
// the virtual device must be usable, installing what it needs when it is not; when it still is
// not, the "Install Driver" message is shown and the program ends with exit code 0.

#include "app/device/Kbvirt.h"
#include "app/device/VirtualDeviceInstaller.h"

namespace kw {

// True when the virtual device is open and its keys are released. On failure the message has
// been shown and `failure.Exit(0)` called (which, outside tests, does not return).
bool StartHostRoute(Kbvirt& kbvirt, VirtualDeviceInstaller& installer, InstallFailure& failure);

} // namespace kw
