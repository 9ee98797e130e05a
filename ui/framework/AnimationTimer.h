#pragma once

// A periodic tick on its own thread with absolute deadlines, so that a slow tick does not make the
// following ones drift. Stop (or destruction) waits for a running tick to end.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vellum {

class AnimationTimer {
public:
    AnimationTimer(unsigned periodMs, std::function<void()> tick);
    ~AnimationTimer();
    AnimationTimer(const AnimationTimer&) = delete;
    AnimationTimer& operator=(const AnimationTimer&) = delete;

    void Stop();
    unsigned Period() const { return period_; }
    unsigned long Ticks() const { return ticks_; }

private:
    void Run();

    unsigned period_ = 16;
    std::function<void()> tick_;
    std::mutex lock_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::atomic<unsigned long> ticks_ = 0;
    std::thread thread_;
};

} // namespace vellum
