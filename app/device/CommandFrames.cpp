#include "app/device/CommandFrames.h"

#include <algorithm>

namespace kw {

ProtocolFamily FamilyOf(int deviceType) {
    if (deviceType <= 200) {
        return ProtocolFamily::A;
    }
    if (deviceType <= 299) {
        return ProtocolFamily::B;
    }
    return ProtocolFamily::None;
}

FeatureReport MakeFeatureCommand(uint8_t code, std::initializer_list<uint8_t> parameters) {
    FeatureReport frame{kFeatureReportId, code};
    std::copy_n(parameters.begin(), std::min<size_t>(parameters.size(), frame.size() - 2), frame.begin() + 2);
    return frame;
}

OutputReport MakeOutputCommand(uint8_t code, std::initializer_list<uint8_t> parameters) {
    OutputReport frame{kOutputReportId, code};
    std::copy_n(parameters.begin(), std::min<size_t>(parameters.size(), frame.size() - 2), frame.begin() + 2);
    return frame;
}

OutputPayload MakeWirelessCommand(uint8_t code, std::initializer_list<uint8_t> parameters) {
    OutputPayload frame{kWirelessHeader[0], kWirelessHeader[1], kWirelessHeader[2], kWirelessHeader[3], code};
    std::copy_n(parameters.begin(), std::min<size_t>(parameters.size(), frame.size() - 5), frame.begin() + 5);
    return frame;
}

OutputReport MakeOutputPart(uint8_t code, uint8_t length, uint16_t offset, std::span<const uint8_t> payload) {
    OutputReport frame{kOutputReportId, code, length, static_cast<uint8_t>(offset & 0xFF),
                       static_cast<uint8_t>(offset >> 8)};
    std::copy_n(payload.begin(), std::min<size_t>(payload.size(), frame.size() - 5), frame.begin() + 5);
    return frame;
}

FeatureReport QuerySlotsRequest() {
    return MakeFeatureCommand(0xFB, {0x01});
}
FeatureReport ReadVersionRequest() {
    return MakeFeatureCommand(0xFD);
}
FeatureReport FactoryResetWired() {
    return MakeFeatureCommand(0xF0, {0xAA});
}
OutputPayload FactoryResetWirelessFirst() {
    return MakeWirelessCommand(0xAA, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA});
}
OutputPayload FactoryResetWirelessSecond() {
    return MakeWirelessCommand(0x00);
}
OutputReport FactoryResetA() {
    return MakeOutputCommand(0xFF, {0xFE, 0xAA, 0xFF});
}

} // namespace kw
