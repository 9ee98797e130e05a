#pragma once

// The key filter as the main window sees it: the watched key list, the listeners, and the
// listener thread that waits for key events and hands each to the listeners in order.

#include "app/device/KeyFilterBackend.h"
#include "app/device/MonitorProxy.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kw::HidUsbFilter {

class FilterMonitor {
public:
    explicit FilterMonitor(std::unique_ptr<KeyFilterBackend> backend);
    ~FilterMonitor();
    FilterMonitor(const FilterMonitor&) = delete;
    FilterMonitor& operator=(const FilterMonitor&) = delete;

    // Opens the filter device.
    bool Open();

    // Appends a listener unless the same one is listed already.
    template <class Owner>
    void AddListener(Owner* owner, typename MonitorProxy<Owner>::Handler handler, int cookie = 0) {
        AddProxy(std::make_unique<MonitorProxy<Owner>>(owner, handler, cookie));
    }
    size_t ListenerCount() const;

    // Ends the listener thread and waits for it; a pending wait is cancelled at once.
    // Not to be called from a listener.
    void Stop();
    // Starts a listener thread (after stopping the one running).
    void Start();
    bool IsListening() const;

    // Empties the filter's key list (256 zero bytes).
    bool ClearKeys();
    // Sends the key list for these key codes: the first 256 entries, in 1024 bytes.
    bool SetKeys(const std::vector<int>& codes);
    // A control call without data (kFilterPrepare, kFilterActivate).
    bool SendControl(uint32_t code);

    // The 1024-byte key list for these key codes.
    static std::vector<uint8_t> BuildKeyList(const std::vector<int>& codes);

private:
    void AddProxy(std::unique_ptr<IMonitorProxy> proxy);
    void Listen(uint64_t id);

    std::unique_ptr<KeyFilterBackend> backend_;

    mutable std::mutex mutex_; // the listener list against event dispatch
    std::vector<std::unique_ptr<IMonitorProxy>> listeners_;

    std::mutex threadMutex_; // Start and Stop
    std::thread thread_;
    std::atomic<uint64_t> registeredId_{0};
    uint64_t nextId_ = 0;

    std::mutex sleepMutex_;
    std::condition_variable sleepWake_;
};

} // namespace kw::HidUsbFilter
