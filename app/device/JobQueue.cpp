#include "app/device/JobQueue.h"

namespace kw {

void JobQueue::Post(int value) {
    std::lock_guard lock(mutex_);
    entries_.push_back(value);
}

std::optional<int> JobQueue::Front() const {
    std::lock_guard lock(mutex_);
    if (entries_.empty()) {
        return std::nullopt;
    }
    return entries_.front();
}

bool JobQueue::PopFront() {
    std::lock_guard lock(mutex_);
    if (entries_.empty()) {
        return false;
    }
    entries_.pop_front();
    return true;
}

bool JobQueue::Empty() const {
    std::lock_guard lock(mutex_);
    return entries_.empty();
}

size_t JobQueue::Size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

void JobQueue::Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

} // namespace kw
