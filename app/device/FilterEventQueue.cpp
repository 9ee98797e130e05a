#include "app/device/FilterEventQueue.h"

namespace kw {

void FilterEventQueue::Push(const FilterEntry& event) {
    {
        std::lock_guard lock(mutex_);
        if (events_.size() >= kCapacity)
            events_.pop_front();
        events_.push_back(event);
    }
    changed_.notify_one();
}

bool FilterEventQueue::Wait(FilterEntry& event) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return cancelled_ || !events_.empty(); });
    if (cancelled_) {
        cancelled_ = false;
        return false;
    }
    event = events_.front();
    events_.pop_front();
    return true;
}

void FilterEventQueue::Cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    changed_.notify_all();
}

void FilterEventQueue::Clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
}

size_t FilterEventQueue::Size() const {
    std::lock_guard lock(mutex_);
    return events_.size();
}

} // namespace kw
