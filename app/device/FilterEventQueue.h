#pragma once

// Key events waiting for the filter's listener, with a cancel signal that, like an auto-reset
// event, ends one wait. Any thread.

#include "app/device/KeyFilterBackend.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace kw {

class FilterEventQueue {
public:
    // Drops the oldest event when `capacity` events wait already.
    void Push(const FilterEntry& event);
    // Waits for an event or a cancel; false on cancel.
    bool Wait(FilterEntry& event);
    void Cancel();
    void Clear();
    size_t Size() const;

    static constexpr size_t kCapacity = 256;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<FilterEntry> events_;
    bool cancelled_ = false;
};

} // namespace kw
