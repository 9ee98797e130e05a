#pragma once

// The commands of the device queries and the factory reset, sent through the transport with the
// pacing of their protocol family.

#include "app/device/CommandFrames.h"
#include "app/device/HidDeviceManager.h"
#include "app/device/LinkClock.h"

#include <array>

namespace kw {

// The keyboard's slot table: [1..13] key codes holding shortcut slots 1-13, [14..23] key codes
// holding key slots 1-10 (0 = free); other bytes are not interpreted.
using SlotTable = std::array<uint8_t, 28>;

class DeviceCommands {
public:
    DeviceCommands(HidDeviceManager& hid, LinkClock& clock) : hid_(hid), clock_(clock) {}

    // False when no answer came.
    bool QuerySlots(SlotTable& table);
    bool ReadVersion(int& version) { return hid_.ReadVersion(version); }

    // Restores the factory settings with the frames of `deviceType`'s family; on a family-B keyboard
    // reached without a cable, with the two wireless frames 1.6 s apart. False when a frame could
    // not be sent or the family has no reset.
    bool FactoryReset(int deviceType);

private:
    HidDeviceManager& hid_;
    LinkClock& clock_;
};

} // namespace kw
