#pragma once

// A first-in first-out list of numbers shared between threads: device job codes posted by the
// pages and the device-change path, or macro ids queued by the host key handler.

#include <deque>
#include <mutex>
#include <optional>

namespace kw {

class JobQueue {
public:
    void Post(int value);
    std::optional<int> Front() const;
    // Removes the front entry; false when empty.
    bool PopFront();
    bool Empty() const;
    size_t Size() const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::deque<int> entries_;
};

} // namespace kw
