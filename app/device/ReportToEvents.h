#pragma once

// Turns the virtual device's input reports into input events for a device that has no HID
// layer (uinput): each changed usage bit, button bit or consumer usage becomes a key event,
// followed by one synchronisation event.

#include "app/device/VirtualReports.h"

#include <array>
#include <span>
#include <vector>

namespace kw {

struct InputEventSpec {
    int type = 0;
    int code = 0;
    int value = 0;
    bool operator==(const InputEventSpec&) const = default;
};

class ReportToEvents {
public:
    // The events for the change from the previous report of the same id to `data`.
    std::vector<InputEventSpec> Translate(int reportId, std::span<const uint8_t> data);
    // Forgets the previous reports (a new device starts with nothing pressed).
    void Reset();

    // Every key and button code a device fed by this translation may report.
    static std::vector<int> KeyCodes();

private:
    std::array<uint8_t, kKeyboardReportLength> keyboard_{};
    uint8_t buttons_ = 0;
    int consumer_ = 0;
};

} // namespace kw
