#include "ui/framework/AnimationTimer.h"

#include <chrono>

namespace vellum {

AnimationTimer::AnimationTimer(unsigned periodMs, std::function<void()> tick)
    : period_(periodMs == 0 ? 1 : periodMs), tick_(std::move(tick)) {
    thread_ = std::thread([this] { Run(); });
}

AnimationTimer::~AnimationTimer() {
    Stop();
}

void AnimationTimer::Stop() {
    {
        std::lock_guard guard(lock_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
        thread_.join();
    } else if (thread_.joinable()) {
        thread_.detach();
    }
}

void AnimationTimer::Run() {
    auto next = std::chrono::steady_clock::now();
    std::unique_lock guard(lock_);
    while (!stop_) {
        next += std::chrono::milliseconds(period_);
        if (wake_.wait_until(guard, next, [this] { return stop_; })) {
            break;
        }
        guard.unlock();
        tick_();
        ++ticks_;
        guard.lock();
        // After a long stall, start again from now instead of running the missed ticks back to back.
        const auto now = std::chrono::steady_clock::now();
        if (now - next > std::chrono::milliseconds(period_ * 4)) {
            next = now;
        }
    }
}

} // namespace vellum
