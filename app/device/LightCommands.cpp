#include "app/device/LightCommands.h"

#include "app/device/CommandFrames.h"
#include "app/device/ProductTypes.h"

namespace kw {

namespace {

uint8_t Byte(int value) {
    return static_cast<uint8_t>(value & 0xFF);
}

// x − 1 when x is not 0, on one byte.
uint8_t Less1(int value) {
    const uint8_t byte = Byte(value);
    return byte == 0 ? 0 : static_cast<uint8_t>(byte - 1);
}

uint8_t Cs(const LightRecord& row) {
    return Byte(row.colorindex * 16 + row.speed);
}

uint8_t Selector(const LightRecord& row, int selector) {
    return (row.config_func & kLightPerKey) ? Byte(selector) : 0;
}

} // namespace

FeatureReport LightCommands::SetLightModeWired(const LightRecord& row, int selector) {
    return MakeFeatureCommand(0xFF, {0xFF, Less1(row.mode), Less1(row.brightness), Less1(Cs(row)),
                                     Selector(row, selector), Byte(row.direction)});
}

OutputPayload LightCommands::SetLightModeWireless(const LightRecord& row, int selector) {
    return MakeWirelessCommand(0xAA, {Less1(row.mode), Less1(row.brightness), Less1(Cs(row)), 0x00,
                                      Selector(row, selector), Byte(row.direction)});
}

FeatureReport LightCommands::SelectCustomLightFrame(const LightRecord& row, int selector) {
    return MakeFeatureCommand(
        0xFF, {0xFF, Less1(row.mode), Byte(row.brightness), Byte(row.speed), 0x00, Selector(row, selector)});
}

OutputReport LightCommands::SetLightModeA(const LightRecord& row) {
    return MakeOutputCommand(0x88, {0x00, Byte(row.mode)});
}

OutputReport LightCommands::SetLightParams(const LightRecord& row) {
    const int flags = (row.direction & 3) * 16 + (row.colorful != 0 ? 0x40 : 0) + (row.speed & 0x0F);
    const uint32_t colour = static_cast<uint32_t>(row.color_value);
    return MakeOutputCommand(
        0x89, {0x00, Byte(flags), Byte(colour), Byte(colour >> 8), Byte(colour >> 16), Byte(row.brightness)});
}

bool LightCommands::SendLightMode(int deviceType, const LightRecord& row, int selector, bool& modeSent) {
    switch (FamilyOf(deviceType)) {
    case ProtocolFamily::B:
        if (hid_.ConnectionKind() == 0) {
            return hid_.SendFeatureDelayed(SetLightModeWired(row, selector));
        }
        return hid_.WriteReport64(SetLightModeWireless(row, selector));
    case ProtocolFamily::A: {
        const bool sent = hid_.WriteReport(modeSent ? SetLightParams(row) : SetLightModeA(row));
        modeSent = true;
        return sent;
    }
    case ProtocolFamily::None:
        break;
    }
    return false;
}

bool LightCommands::SelectCustomLight(int deviceType, const LightRecord& row, int selector) {
    if (deviceType >= 200) {
        return false;
    }
    return hid_.SendFeatureDelayedEx(SelectCustomLightFrame(row, selector));
}

} // namespace kw
