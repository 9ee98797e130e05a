#pragma once

// X keysyms as virtual-key codes.

#include "ui/framework/WinTypes.h"

namespace vellum {

// 0 for keys without a virtual-key code.
UINT KeysymToVirtualKey(unsigned long keysym);

} // namespace vellum
