#pragma once

// The virtual device's input reports and the control frame that carries them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kw {

inline constexpr int kKeyboardReportId = 1; // byte 0 zero, bytes 1-32 a bitmap of usages 0-255
inline constexpr int kMouseReportId = 2;    // byte 0 button bits, bytes 1-3 zero
inline constexpr int kConsumerReportId = 3; // one consumer usage, low byte first
inline constexpr int kSpareReportId = 4;    // always zero
inline constexpr int kControlReportId = 5;  // byte 0 of every control frame

inline constexpr size_t kKeyboardReportLength = 33;
inline constexpr size_t kMouseReportLength = 4;
inline constexpr size_t kConsumerReportLength = 2;
inline constexpr size_t kSpareReportLength = 2;
inline constexpr size_t kControlFrameLength = 64;

// The data length of input report `reportId`; 0 for an id the device does not have.
size_t InputReportLength(int reportId);

// One input report taken out of a control frame: its id and its data bytes.
struct InputReport {
    int id = 0;
    std::vector<uint8_t> data;
};

// The input report a control frame carries (byte 1 the report id, the data after it);
// nothing when the frame is not a control frame or names no input report.
std::optional<InputReport> InputReportFromFrame(std::span<const uint8_t> frame);

// The HID report descriptor of the virtual device: exactly the four input reports above, in
// collections the system reads as a keyboard, a mouse and a consumer control.
std::span<const uint8_t> VirtualReportDescriptor();

} // namespace kw
