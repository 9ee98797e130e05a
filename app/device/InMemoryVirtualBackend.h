#pragma once

// A virtual device that keeps every frame written to it, for tests and the demonstration mode.
// Opening and writing can be made to fail. Any thread.

#include "app/device/VirtualHidBackend.h"

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

namespace kw {

class InMemoryVirtualBackend : public VirtualHidBackend {
public:
    using Frame = std::array<uint8_t, 64>;

    struct Record {
        Frame frame{};
        std::chrono::steady_clock::time_point time;
    };

    bool Open() override;
    void Close() override;
    bool IsOpen() const override;
    bool WriteFrame(std::span<const uint8_t> frame) override;

    void SetOpenFails(bool fails) { openFails_ = fails; }
    void SetWriteFails(bool fails) { writeFails_ = fails; }
    // Keeps only the count and the last frame (for benchmarks).
    void SetKeepFrames(bool keep) { keepFrames_ = keep; }
    // Called with every frame taken, outside the backend's lock.
    void SetObserver(std::function<void(const Frame&)> observer);

    std::vector<Frame> Frames() const;
    std::vector<Record> Records() const;
    size_t FrameCount() const { return frameCount_.load(); }
    void ClearFrames();
    int OpenCount() const { return opens_.load(); }
    int CloseCount() const { return closes_.load(); }

private:
    mutable std::mutex mutex_;
    std::vector<Record> records_;
    std::function<void(const Frame&)> observer_;
    std::atomic<bool> open_{false};
    std::atomic<bool> openFails_{false};
    std::atomic<bool> writeFails_{false};
    std::atomic<bool> keepFrames_{true};
    std::atomic<size_t> frameCount_{0};
    std::atomic<int> opens_{0};
    std::atomic<int> closes_{0};
};

} // namespace kw
