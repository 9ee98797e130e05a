#pragma once

// Keys held on the virtual device must not stay pressed when the program is ended by SIGTERM or
// SIGINT: a watcher thread releases them, then the signal takes its default course.

#include "app/device/Kbvirt.h"

namespace kw {

// Installs the handlers once per process; later calls change nothing. False when they could not
// be installed.
bool ReleaseKeysOnSignal(Kbvirt& kbvirt);

} // namespace kw
