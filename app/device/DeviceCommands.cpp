#include "app/device/DeviceCommands.h"

namespace kw {

using namespace std::chrono_literals;

bool DeviceCommands::QuerySlots(SlotTable& table) {
    table.fill(0);
    const FeatureReport request = QuerySlotsRequest();
    std::copy(request.begin(), request.end(), table.begin());
    if (!hid_.QuerySlots(table)) {
        table.fill(0);
        return false;
    }
    return true;
}

bool DeviceCommands::FactoryReset(int deviceType) {
    switch (FamilyOf(deviceType)) {
    case ProtocolFamily::B:
        if (hid_.ConnectionKind() == 0) {
            const bool sent = hid_.SendFeatureDelayed(FactoryResetWired());
            clock_.Sleep(100ms);
            return sent;
        } else {
            const bool first = hid_.WriteReport64(FactoryResetWirelessFirst());
            clock_.Sleep(1600ms);
            const bool second = hid_.WriteReport64(FactoryResetWirelessSecond());
            return first && second;
        }
    case ProtocolFamily::A: {
        const bool sent = hid_.WriteReport(FactoryResetA());
        clock_.Sleep(100ms);
        return sent;
    }
    case ProtocolFamily::None:
        break;
    }
    return false;
}

} // namespace kw
