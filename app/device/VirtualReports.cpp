#include "app/device/VirtualReports.h"

#include <array>

namespace kw {

namespace {

// clang-format off
constexpr std::array<uint8_t, 135> kDescriptor = {
    // Report 1: keyboard, one constant byte and a bitmap of usages 0 to 255.
    0x05, 0x01,       // Usage Page (Generic Desktop)
    0x09, 0x06,       // Usage (Keyboard)
    0xA1, 0x01,       // Collection (Application)
    0x85, 0x01,       //   Report ID (1)
    0x75, 0x08,       //   Report Size (8)
    0x95, 0x01,       //   Report Count (1)
    0x81, 0x01,       //   Input (Constant)
    0x05, 0x07,       //   Usage Page (Keyboard)
    0x19, 0x00,       //   Usage Minimum (0)
    0x2A, 0xFF, 0x00, //   Usage Maximum (255)
    0x15, 0x00,       //   Logical Minimum (0)
    0x25, 0x01,       //   Logical Maximum (1)
    0x75, 0x01,       //   Report Size (1)
    0x96, 0x00, 0x01, //   Report Count (256)
    0x81, 0x02,       //   Input (Data, Variable, Absolute)
    0xC0,             // End Collection
    // Report 2: mouse, five buttons and three relative axes that stay 0.
    0x05, 0x01,       // Usage Page (Generic Desktop)
    0x09, 0x02,       // Usage (Mouse)
    0xA1, 0x01,       // Collection (Application)
    0x85, 0x02,       //   Report ID (2)
    0x09, 0x01,       //   Usage (Pointer)
    0xA1, 0x00,       //   Collection (Physical)
    0x05, 0x09,       //     Usage Page (Button)
    0x19, 0x01,       //     Usage Minimum (1)
    0x29, 0x05,       //     Usage Maximum (5)
    0x15, 0x00,       //     Logical Minimum (0)
    0x25, 0x01,       //     Logical Maximum (1)
    0x75, 0x01,       //     Report Size (1)
    0x95, 0x05,       //     Report Count (5)
    0x81, 0x02,       //     Input (Data, Variable, Absolute)
    0x75, 0x03,       //     Report Size (3)
    0x95, 0x01,       //     Report Count (1)
    0x81, 0x01,       //     Input (Constant)
    0x05, 0x01,       //     Usage Page (Generic Desktop)
    0x09, 0x30,       //     Usage (X)
    0x09, 0x31,       //     Usage (Y)
    0x09, 0x38,       //     Usage (Wheel)
    0x15, 0x81,       //     Logical Minimum (-127)
    0x25, 0x7F,       //     Logical Maximum (127)
    0x75, 0x08,       //     Report Size (8)
    0x95, 0x03,       //     Report Count (3)
    0x81, 0x06,       //     Input (Data, Variable, Relative)
    0xC0,             //   End Collection
    0xC0,             // End Collection
    // Report 3: consumer control, one usage of 16 bits.
    0x05, 0x0C,       // Usage Page (Consumer)
    0x09, 0x01,       // Usage (Consumer Control)
    0xA1, 0x01,       // Collection (Application)
    0x85, 0x03,       //   Report ID (3)
    0x19, 0x00,       //   Usage Minimum (0)
    0x2A, 0xFF, 0x03, //   Usage Maximum (0x3FF)
    0x15, 0x00,       //   Logical Minimum (0)
    0x26, 0xFF, 0x03, //   Logical Maximum (0x3FF)
    0x75, 0x10,       //   Report Size (16)
    0x95, 0x01,       //   Report Count (1)
    0x81, 0x00,       //   Input (Data, Array, Absolute)
    0xC0,             // End Collection
    // Report 4: two vendor bytes that stay 0.
    0x06, 0x00, 0xFF, // Usage Page (Vendor 0xFF00)
    0x09, 0x01,       // Usage (1)
    0xA1, 0x01,       // Collection (Application)
    0x85, 0x04,       //   Report ID (4)
    0x09, 0x01,       //   Usage (1)
    0x15, 0x00,       //   Logical Minimum (0)
    0x26, 0xFF, 0x00, //   Logical Maximum (255)
    0x75, 0x08,       //   Report Size (8)
    0x95, 0x02,       //   Report Count (2)
    0x81, 0x02,       //   Input (Data, Variable, Absolute)
    0xC0,             // End Collection
};
// clang-format on

} // namespace

size_t InputReportLength(int reportId) {
    switch (reportId) {
    case kKeyboardReportId:
        return kKeyboardReportLength;
    case kMouseReportId:
        return kMouseReportLength;
    case kConsumerReportId:
        return kConsumerReportLength;
    case kSpareReportId:
        return kSpareReportLength;
    default:
        return 0;
    }
}

std::optional<InputReport> InputReportFromFrame(std::span<const uint8_t> frame) {
    if (frame.size() < 2 || frame[0] != kControlReportId)
        return std::nullopt;
    const int id = frame[1];
    const size_t length = InputReportLength(id);
    if (length == 0 || frame.size() < 2 + length)
        return std::nullopt;
    InputReport report;
    report.id = id;
    report.data.assign(frame.begin() + 2, frame.begin() + 2 + static_cast<std::ptrdiff_t>(length));
    return report;
}

std::span<const uint8_t> VirtualReportDescriptor() {
    return kDescriptor;
}

} // namespace kw
