#pragma once

// A HID device served from this process through /dev/uhid: it is created with a report descriptor,
// answers the kernel's feature report requests and receives output reports on a thread of its own,
// and is destroyed with the object (or by Destroy).

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace kw::vmtest {

struct UhidDescription {
    std::string name;
    std::string phys;    // "usb-…/inputN" names USB interface N
    uint16_t bus = 0x03; // BUS_USB
    uint16_t vid = 0;
    uint16_t pid = 0;
    std::vector<uint8_t> descriptor;
};

class UhidDevice {
public:
    // Answer to a feature read: fills `answer` (report id first) and returns its length, or -1 to
    // report an I/O error to the reader.
    using GetReport = std::function<int(uint8_t reportId, std::vector<uint8_t>& answer)>;
    // A feature report written by a program (report id first); false reports an I/O error.
    using SetReport = std::function<bool(std::span<const uint8_t> report)>;
    // An output report written by a program (report id or 0 first).
    using Output = std::function<void(std::span<const uint8_t> report)>;

    UhidDevice() = default;
    ~UhidDevice();
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    void OnGetReport(GetReport handler) { getReport_ = std::move(handler); }
    void OnSetReport(SetReport handler) { setReport_ = std::move(handler); }
    void OnOutput(Output handler) { output_ = std::move(handler); }

    // Creates the device and waits (up to 5 s) until a driver has started it; false on failure.
    bool Create(const UhidDescription& description);
    void Destroy();
    // Sends an input report (report id first when the descriptor has ids).
    bool Input(std::span<const uint8_t> report);

    int OutputCount() const { return outputs_.load(); }

private:
    void Serve();
    bool WriteEvent(const void* event, size_t size);

    GetReport getReport_;
    SetReport setReport_;
    Output output_;
    int fd_ = -1;
    int stopFd_ = -1;
    std::mutex writeMutex_;
    std::atomic<bool> started_{false};
    std::atomic<int> outputs_{0};
    std::thread thread_;
};

// Report descriptors used by the checks.
// The keyboard's vendor collection (usage page 0xFF01, usage 1): feature report 7 of 7 bytes and a
// 64-byte output report without an id byte of its own in the collection.
std::vector<uint8_t> VendorDescriptor();
// A boot keyboard: modifiers, reserved byte, six key slots; no report id.
std::vector<uint8_t> BootKeyboardDescriptor();

} // namespace kw::vmtest
