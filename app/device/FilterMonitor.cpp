#include "app/device/FilterMonitor.h"

#include <chrono>

namespace kw::HidUsbFilter {

FilterMonitor::FilterMonitor(std::unique_ptr<KeyFilterBackend> backend) : backend_(std::move(backend)) {}

FilterMonitor::~FilterMonitor() {
    Stop();
    if (backend_)
        backend_->Close();
}

bool FilterMonitor::Open() {
    return backend_ && backend_->Open();
}

void FilterMonitor::AddProxy(std::unique_ptr<IMonitorProxy> proxy) {
    std::lock_guard lock(mutex_);
    for (const auto& listener : listeners_) {
        if (listener->SameAs(*proxy))
            return;
    }
    listeners_.push_back(std::move(proxy));
}

size_t FilterMonitor::ListenerCount() const {
    std::lock_guard lock(mutex_);
    return listeners_.size();
}

void FilterMonitor::Stop() {
    std::lock_guard threadLock(threadMutex_);
    if (!thread_.joinable())
        return;
    registeredId_ = 0;
    if (backend_)
        backend_->Cancel();
    {
        std::lock_guard lock(sleepMutex_);
        sleepWake_.notify_all();
    }
    thread_.join();
}

void FilterMonitor::Start() {
    Stop();
    std::lock_guard threadLock(threadMutex_);
    const uint64_t id = ++nextId_;
    registeredId_ = id;
    thread_ = std::thread([this, id] { Listen(id); });
}

bool FilterMonitor::IsListening() const {
    return registeredId_.load() != 0;
}

void FilterMonitor::Listen(uint64_t id) {
    while (registeredId_.load() == id) {
        bool haveListeners;
        {
            std::lock_guard lock(mutex_);
            haveListeners = !listeners_.empty();
        }
        FilterEntry event{};
        if (haveListeners && backend_ && backend_->WaitEvent(event)) {
            const int code = event[0] | (event[1] << 8);
            std::lock_guard lock(mutex_);
            for (const auto& listener : listeners_) {
                if (listener->OnKey(event[2], code, (event[3] & 1) != 0) != 0)
                    break;
            }
            continue;
        }
        // No event: wait 10 ms, or less when stopped.
        std::unique_lock lock(sleepMutex_);
        sleepWake_.wait_for(lock, std::chrono::milliseconds(10),
                            [this, id] { return registeredId_.load() != id; });
    }
}

bool FilterMonitor::ClearKeys() {
    const std::vector<uint8_t> zeros(256, 0);
    return backend_ && backend_->Control(kFilterSetKeys, zeros);
}

std::vector<uint8_t> FilterMonitor::BuildKeyList(const std::vector<int>& codes) {
    std::vector<uint8_t> list(kFilterMaxKeys * kFilterEntrySize, 0);
    const size_t count = codes.size() < kFilterMaxKeys ? codes.size() : kFilterMaxKeys;
    for (size_t i = 0; i < count; ++i) {
        uint8_t* entry = list.data() + i * kFilterEntrySize;
        entry[0] = static_cast<uint8_t>(codes[i] & 0xFF);
        entry[1] = static_cast<uint8_t>((codes[i] >> 8) & 0xFF);
        entry[2] = 7;
        entry[3] = 2;
    }
    return list;
}

bool FilterMonitor::SetKeys(const std::vector<int>& codes) {
    return backend_ && backend_->Control(kFilterSetKeys, BuildKeyList(codes));
}

bool FilterMonitor::SendControl(uint32_t code) {
    return backend_ && backend_->Control(code, {});
}

} // namespace kw::HidUsbFilter
