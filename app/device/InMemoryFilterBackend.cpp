#include "app/device/InMemoryFilterBackend.h"

#include <algorithm>

namespace kw {

bool InMemoryFilterBackend::Open() {
    open_ = true;
    return true;
}

void InMemoryFilterBackend::Close() {
    open_ = false;
    Cancel();
}

bool InMemoryFilterBackend::Control(uint32_t code, std::span<const uint8_t> input) {
    std::lock_guard lock(mutex_);
    calls_.push_back({code, std::vector<uint8_t>(input.begin(), input.end())});
    if (controlFails_)
        return false;
    if (code == kFilterSetKeys) {
        watched_.clear();
        for (size_t at = 0; at + kFilterEntrySize <= input.size(); at += kFilterEntrySize) {
            const int key = input[at] | (input[at + 1] << 8);
            if (key != 0 && (input[at + 3] & 2) != 0)
                watched_.push_back(key);
        }
    }
    return true;
}

bool InMemoryFilterBackend::WaitEvent(FilterEntry& event) {
    return queue_.Wait(event);
}

void InMemoryFilterBackend::Cancel() {
    queue_.Cancel();
}

void InMemoryFilterBackend::Inject(int code, bool pressed) {
    bool watched;
    {
        std::lock_guard lock(mutex_);
        watched = std::find(watched_.begin(), watched_.end(), code) != watched_.end();
    }
    if (!watched) {
        ++passedOn_;
        return;
    }
    queue_.Push({static_cast<uint8_t>(code & 0xFF), static_cast<uint8_t>((code >> 8) & 0xFF), 7,
                 static_cast<uint8_t>(pressed ? 1 : 0)});
}

std::vector<InMemoryFilterBackend::Call> InMemoryFilterBackend::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void InMemoryFilterBackend::ClearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

std::vector<int> InMemoryFilterBackend::WatchedKeys() const {
    std::lock_guard lock(mutex_);
    return watched_;
}

} // namespace kw
