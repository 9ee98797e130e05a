#include "app/device/CThreadBasic.h"

namespace kw {

CThreadBasic::~CThreadBasic() {
    Stop();
}

bool CThreadBasic::Start() {
    std::lock_guard lock(mutex_);
    if (running_ || thread_.joinable()) {
        return false;
    }
    running_ = true;
    thread_ = std::thread([this] { Loop(); });
    return true;
}

void CThreadBasic::Stop() {
    {
        std::lock_guard lock(mutex_);
        running_ = false;
    }
    wake_.notify_all();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
        thread_.join();
    }
}

bool CThreadBasic::IsRunning() const {
    std::lock_guard lock(mutex_);
    return running_;
}

void CThreadBasic::SetInterval(std::chrono::milliseconds interval) {
    std::lock_guard lock(mutex_);
    interval_ = interval;
}

void CThreadBasic::Loop() {
    std::unique_lock lock(mutex_);
    while (running_) {
        lock.unlock();
        Run();
        lock.lock();
        // Absolute deadline: the pause does not drift with how long Run() took to be scheduled.
        const auto deadline = std::chrono::steady_clock::now() + interval_;
        wake_.wait_until(lock, deadline, [&] { return !running_; });
    }
}

} // namespace kw
