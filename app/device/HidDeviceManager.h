#pragma once

// The keyboard's vendor interfaces among the host's HID interfaces, and the primitive transfers
// the command protocol is built on: 8-byte feature reports with report id 7, 65-byte output
// reports and 8-byte feature reads.
//
// Thread-safe: scans and most transfers run on the worker, single feature reports also on the
// user-interface and audio threads. Reports are transferred one at a time, each whole. A transfer
// that does not complete within the transfer bound (1 s) fails for its caller, and later ones fail
// at once until it returns. Writes on the streaming interface run on the caller's thread: their
// caller waits as long as the write takes (hidraw ends it within the kernel's USB time-out).

#include "app/device/HidBackend.h"
#include "app/device/LinkClock.h"
#include "app/device/ProductTypes.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kw {

class TransferRunner;

// One opened vendor interface of a known keyboard.
struct DeviceRecord {
    int index = 0; // position in the record list when added
    uint16_t vid = 0;
    uint16_t pid = 0;
    std::string path;
    std::wstring productString;
    uint16_t release = 0;
    int deviceType = 0;
    int mode = 0;
};

using FeatureReport = std::array<uint8_t, 8>;
using OutputReport = std::array<uint8_t, 65>;
using OutputPayload = std::array<uint8_t, 64>;

class HidDeviceManager {
public:
    static constexpr std::chrono::milliseconds kTransferBound{1000};
    static constexpr uint16_t kVendorUsagePage = 0xFF01;
    static constexpr uint16_t kVendorUsage = 1;

    HidDeviceManager(std::shared_ptr<HidBackend> backend, std::shared_ptr<LinkClock> clock,
                     std::chrono::milliseconds transferBound = kTransferBound);
    ~HidDeviceManager();
    HidDeviceManager(const HidDeviceManager&) = delete;
    HidDeviceManager& operator=(const HidDeviceManager&) = delete;

    // The process-wide manager, created on first use. Unless ConfigureInstance came first it talks
    // to the host's HID stack (hidapi) and pauses in real time.
    static HidDeviceManager& Instance();
    // Chooses the backend and clock of Instance(); false once the instance exists.
    static bool ConfigureInstance(std::shared_ptr<HidBackend> backend, std::shared_ptr<LinkClock> clock);

    // Known devices (the mode rows of config.xml).
    void AddKnown(const KnownDevice& row);
    bool IsKnown(int vid, int pid, const std::wstring& productString) const;
    int DeviceTypeOf(int vid, int pid) const;
    int ModeOf(int vid, int pid) const;

    // Closes everything, then opens the vendor interfaces of the known devices present.
    void Scan();
    void CloseAll();
    bool IsOpen() const;

    // The device type whose interfaces the transfers use; assigning it forgets the cached interface.
    void SetCurrentType(int deviceType);
    int CurrentType() const;

    // All records when the current type is 0, else those of the current type. False when there is
    // no record at all.
    bool Records(std::vector<DeviceRecord>& out) const;
    // The interface the transfers use: mode 0, else 1, else 2, of the current type.
    std::optional<DeviceRecord> Current();
    // -1 without records; else 0, 2 or 1 (in that order of preference) for the current type, or -1.
    int ConnectionKind() const;
    // Index of the first record with these ids and mode (and product string, when one is given).
    int FindRecord(int vid, int pid, const std::wstring& productName, int mode) const;
    bool HasSecondary() const;

    // Transfers. Each returns false at once, without pausing, when there is no interface to use.
    bool SendFeature(const FeatureReport& data);
    bool SendFeatureDelayed(const FeatureReport& data);   // 16 ms before
    bool SendFeatureDelayedEx(const FeatureReport& data); // 16 ms before; user-interface entry point
    bool WriteReport(const OutputReport& data);           // one retry 10 ms after a failure
    bool WriteReport64(const OutputPayload& data);        // report id 0 + data; retry after 32 ms
    bool WriteSecondary(const OutputReport& data);        // on the streaming interface; retry after 10 ms

    // Sends the 8-byte request in table[0..7], then reads four answers of 7 bytes each into
    // table[0..27] (16 ms before each read). False when there is no interface or no read answered.
    bool QuerySlots(std::span<uint8_t, 28> table);
    // The firmware version (answer byte 1 × 256 + byte 2). False when the request could not be sent
    // or no valid answer came.
    bool ReadVersion(int& version);

private:
    struct Entry {
        DeviceRecord record;
        std::shared_ptr<HidHandle> handle;
    };

    std::shared_ptr<HidHandle> CurrentHandle();
    // CurrentHandle() while open, else null; takes the lock.
    std::shared_ptr<HidHandle> TransferHandle();
    std::shared_ptr<HidHandle> SecondaryHandle() const;
    void CloseAllLocked();
    int SendFeatureOn(const std::shared_ptr<HidHandle>& handle, const FeatureReport& data);
    int GetFeatureOn(const std::shared_ptr<HidHandle>& handle, FeatureReport& data);
    // Which thread carries a transfer: the transfer thread (bounded wait) or the caller's.
    enum class Hand { Runner, Here };
    int WriteOn(const std::shared_ptr<HidHandle>& handle, const OutputReport& data, Hand hand);
    bool WriteWithRetry(const std::shared_ptr<HidHandle>& handle, const OutputReport& data,
                        std::chrono::milliseconds retryPause, Hand hand = Hand::Runner);

    std::shared_ptr<HidBackend> backend_;
    std::shared_ptr<LinkClock> clock_;
    std::unique_ptr<TransferRunner> runner_;

    mutable std::mutex mutex_;
    bool open_ = false;
    std::vector<Entry> records_;
    std::vector<KnownDevice> known_;
    int currentType_ = 0;
    std::shared_ptr<HidHandle> current_;
    std::shared_ptr<HidHandle> secondary_;
};

} // namespace kw
