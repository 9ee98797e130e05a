#pragma once

// The virtual HID device through which the host plays keyboard, mouse and consumer input.
// Keeps the four input reports, sends each change as a 64-byte control frame, and holds the
// device open between events: it is reopened only after a failure. Any thread.

#include "app/device/IKbvirtProxy.h"
#include "app/device/VirtualHidBackend.h"
#include "app/device/VirtualReports.h"

#include <array>
#include <memory>
#include <mutex>

namespace kw {

class Kbvirt : public IKbvirtProxy {
public:
    // The process's device on the system's backends (uhid, else uinput), created on first use;
    // at exit its keys are released and the device removed.
    static Kbvirt& Instance();

    explicit Kbvirt(std::unique_ptr<VirtualHidBackend> backend);
    ~Kbvirt() override;
    Kbvirt(const Kbvirt&) = delete;
    Kbvirt& operator=(const Kbvirt&) = delete;

    // Builds the control frame (byte 0 = 5; byte 1 the report id and the data from byte 2, or the
    // data from byte 1 when `reportId` is 0; the rest 0) and writes it under the mutex.
    bool Send(const uint8_t* data, size_t length, int reportId) override;

    // True when the device is open, or could be opened now.
    bool FindVirtualDevice();
    // Removes the device (the system releases its keys).
    void CloseDevice();
    bool IsOpen() const;

    // Sets or clears a keyboard usage (0-255) and sends report 1.
    void SetKey(int usage, bool pressed);
    // Mouse-button values 1 left, 2 middle, 3 right, 7 fifth, 8 fourth; other values send nothing.
    void SetMouseButton(int value, bool pressed);
    // Consumer function values 232-249: their usage on a press, 0 on a release; others nothing.
    void SetConsumer(int value, bool pressed);
    // Zeroes all four reports and sends them in the order 1, 2, 3, 4.
    void ReleaseAll();

    // The current report bytes, for checks.
    std::array<uint8_t, kKeyboardReportLength> KeyboardReport() const;
    std::array<uint8_t, kMouseReportLength> MouseReport() const;
    std::array<uint8_t, kConsumerReportLength> ConsumerReport() const;

    // The bit of a mouse-button value in report 2; -1 for values without a button.
    static int MouseButtonBit(int value);

private:
    bool SendLocked(const uint8_t* data, size_t length, int reportId);

    template <size_t N> struct Report {
        int id = 0;
        std::array<uint8_t, N> bytes{};
        IKbvirtProxy* proxy = nullptr;
    };

    mutable std::mutex mutex_;
    std::unique_ptr<VirtualHidBackend> backend_;
    Report<kKeyboardReportLength> keyboard_{kKeyboardReportId, {}, this};
    Report<kMouseReportLength> mouse_{kMouseReportId, {}, this};
    Report<kConsumerReportLength> consumer_{kConsumerReportId, {}, this};
    Report<kSpareReportLength> spare_{kSpareReportId, {}, this};
};

} // namespace kw
