#pragma once

// One simulated keyboard model in one connection mode, as the HID interfaces of a mode entry of
// config.xml: a keyboard collection, the vendor collection 0xFF01/1 named by the entry's pattern
// and, for USB connections, the streaming interface "&MI_03". It records every report it receives
// with the time stamp of its clock, and injects faults on request.
//
// Thread-safe. Plugging happens through SimulatedHid.

#include "app/device/HidBackend.h"
#include "app/device/LinkClock.h"
#include "app/device/ProductTypes.h"
#include "sim/SimFirmware.h"
#include "sim/SimReport.h"

#include <atomic>
#include <climits>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace kw {

class SimulatedKeyboard : public std::enable_shared_from_this<SimulatedKeyboard> {
public:
    SimulatedKeyboard(const ModeEntry& entry, std::shared_ptr<LinkClock> clock, int serial,
                      bool lowerCasePaths = false);

    int DeviceType() const { return deviceType_; }
    int Mode() const { return mode_; }
    const ModeEntry& Entry() const { return entry_; }
    // The interfaces it shows while plugged in.
    const std::vector<HidInterfaceInfo>& Interfaces() const { return interfaces_; }
    // Extra paths announced on arrival only (a Bluetooth LE keyboard's GATT HID service).
    const std::vector<std::string>& AnnouncementPaths() const { return announcements_; }
    bool Plugged() const;

    // What it received and what its firmware holds.
    std::vector<SimReport> Reports() const;
    void ClearReports();
    SimFirmwareState State() const;
    // Transfers that began while another one on any of its interfaces was still running.
    int OverlappingTransfers() const;
    void SetVersion(uint16_t version);
    void SetSlotTable(const std::array<uint8_t, 28>& table);

    // Faults.
    void SetNoAnswer(bool on);                          // feature reads fail
    void SetEmptyAnswer(bool on);                       // feature reads return 0 bytes
    void SetShortAnswer(int bytes);                     // feature answers cut to `bytes` (0: whole answers)
    void SetAnswerOverride(std::vector<uint8_t> bytes); // every feature read returns these (empty: off)
    void StallWrites(bool on);                          // output writes block until lifted, unplug or cancel
    void
    FailWrites(int from,
               int count = INT_MAX); // output writes number from, from+1, … (counted from now, 1-based) fail
    void UnplugAfterReports(int count);    // unplugged once `count` more reports arrived (0: off)
    void SetKeyboardPresent(bool present); // false: a receiver without its keyboard
    void SetVanishOnOpen(bool on);         // listed by the enumeration, gone when opened

    // Used by the handles and SimulatedHid.
    std::unique_ptr<HidHandle> OpenInterface(size_t index);
    void SetPlugged(bool plugged);
    void SetUnplugRequest(std::function<void()> request);
    bool VanishOnOpen() const;
    int Feature(size_t index, uint64_t generation, std::span<const uint8_t> report);
    int GetFeature(size_t index, uint64_t generation, std::span<uint8_t> report);
    int Write(size_t index, uint64_t generation, std::span<const uint8_t> report);
    void Cancel();

private:
    // Counts the transfers running at once.
    class TransferWatch {
    public:
        explicit TransferWatch(SimulatedKeyboard& keyboard);
        ~TransferWatch();
        TransferWatch(const TransferWatch&) = delete;
        TransferWatch& operator=(const TransferWatch&) = delete;

    private:
        SimulatedKeyboard& keyboard_;
    };

    // Records a report; true when the unplug fault fires.
    bool Record(SimReport::Kind kind, size_t index, std::span<const uint8_t> bytes);
    void RequestUnplug();

    const ModeEntry entry_;
    const int deviceType_;
    const int mode_;
    std::shared_ptr<LinkClock> clock_;
    std::vector<HidInterfaceInfo> interfaces_;
    std::vector<bool> secondary_;
    std::vector<std::string> announcements_;

    mutable std::mutex mutex_;
    std::condition_variable stallLifted_;
    SimFirmware firmware_;
    std::vector<SimReport> reports_;
    bool plugged_ = false;
    uint64_t generation_ = 0;
    uint64_t cancelCount_ = 0;
    bool noAnswer_ = false;
    bool emptyAnswer_ = false;
    int shortAnswer_ = 0;
    std::vector<uint8_t> answerOverride_;
    bool stallWrites_ = false;
    int writesSeen_ = 0;
    int failFrom_ = 0;
    int failCount_ = 0;
    int unplugAfter_ = 0;
    bool keyboardPresent_ = true;
    bool vanishOnOpen_ = false;
    std::function<void()> unplugRequest_;
    std::atomic<int> transfersRunning_{0};
    std::atomic<int> overlappingTransfers_{0};
};

} // namespace kw
