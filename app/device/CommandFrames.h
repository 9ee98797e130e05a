#pragma once

// The keyboard's frames. Byte 0 is always the HID report id.
//   feature command:  8 bytes, report id 7, byte 1 the command code, bytes 2-7 parameters;
//   output command:   65 bytes, report id 0, byte 1 the command code, then parameters;
//   wireless command: an output command whose bytes 1-4 are BB AA 99 88 and byte 5 the code.
// Multi-part output commands carry byte 1 code, byte 2 the part's length, bytes 3-4 its offset
// (low byte first), then the payload. Bytes a command does not set are 0.

#include "app/device/HidDeviceManager.h"

#include <cstdint>
#include <initializer_list>
#include <span>

namespace kw {

// Protocol family of a device type: A up to 200, B from 201 to 299, none from 300 on.
enum class ProtocolFamily { A, B, None };
ProtocolFamily FamilyOf(int deviceType);

constexpr uint8_t kFeatureReportId = 7;
constexpr uint8_t kOutputReportId = 0;
constexpr uint8_t kWirelessHeader[4] = {0xBB, 0xAA, 0x99, 0x88};

FeatureReport MakeFeatureCommand(uint8_t code, std::initializer_list<uint8_t> parameters = {});
OutputReport MakeOutputCommand(uint8_t code, std::initializer_list<uint8_t> parameters = {});
// The 64 bytes after the report id of a wireless command, as WriteReport64 takes them.
OutputPayload MakeWirelessCommand(uint8_t code, std::initializer_list<uint8_t> parameters = {});
// One part of a multi-part output command; `payload` holds at most 61 bytes (more are cut).
OutputReport MakeOutputPart(uint8_t code, uint8_t length, uint16_t offset, std::span<const uint8_t> payload);

// Commands of the device queries and the factory reset.
FeatureReport QuerySlotsRequest();          // 07 FB 01
FeatureReport ReadVersionRequest();         // 07 FD
FeatureReport FactoryResetWired();          // 07 F0 AA             (family B, cable)
OutputPayload FactoryResetWirelessFirst();  // BB AA 99 88 AA AA AA AA AA AA (family B, wireless)
OutputPayload FactoryResetWirelessSecond(); // BB AA 99 88 00 ...
OutputReport FactoryResetA();               // 00 FF FE AA FF       (family A)

} // namespace kw
