#include "app/device/InMemoryVirtualBackend.h"

#include <algorithm>

namespace kw {

bool InMemoryVirtualBackend::Open() {
    if (open_)
        return true;
    if (openFails_)
        return false;
    ++opens_;
    open_ = true;
    return true;
}

void InMemoryVirtualBackend::Close() {
    if (open_.exchange(false))
        ++closes_;
}

bool InMemoryVirtualBackend::IsOpen() const {
    return open_;
}

bool InMemoryVirtualBackend::WriteFrame(std::span<const uint8_t> frame) {
    if (!open_ || writeFails_)
        return false;
    Record record;
    std::copy_n(frame.begin(), std::min(frame.size(), record.frame.size()), record.frame.begin());
    record.time = std::chrono::steady_clock::now();
    std::function<void(const Frame&)> observer;
    {
        std::lock_guard lock(mutex_);
        if (keepFrames_)
            records_.push_back(record);
        observer = observer_;
    }
    ++frameCount_;
    if (observer)
        observer(record.frame);
    return true;
}

void InMemoryVirtualBackend::SetObserver(std::function<void(const Frame&)> observer) {
    std::lock_guard lock(mutex_);
    observer_ = std::move(observer);
}

std::vector<InMemoryVirtualBackend::Frame> InMemoryVirtualBackend::Frames() const {
    std::lock_guard lock(mutex_);
    std::vector<Frame> frames;
    frames.reserve(records_.size());
    for (const Record& record : records_)
        frames.push_back(record.frame);
    return frames;
}

std::vector<InMemoryVirtualBackend::Record> InMemoryVirtualBackend::Records() const {
    std::lock_guard lock(mutex_);
    return records_;
}

void InMemoryVirtualBackend::ClearFrames() {
    std::lock_guard lock(mutex_);
    records_.clear();
    frameCount_ = 0;
}

} // namespace kw
