#include "app/device/TransferRunner.h"

namespace kw {

TransferRunner::TransferRunner(std::chrono::milliseconds bound)
    : bound_(bound), thread_([this] { Loop(); }) {}

TransferRunner::~TransferRunner() {
    std::function<void()> cancel;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        if (busy_) {
            cancel = cancel_;
        }
    }
    wake_.notify_all();
    done_.notify_all();
    if (cancel) {
        cancel();
    }
    thread_.join();
    // A transfer running on a caller's thread must leave before the runner goes.
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return !busy_; });
}

bool TransferRunner::BlockedLocked(Clock::time_point now) const {
    return busy_ && now - busySince_ >= bound_;
}

bool TransferRunner::Blocked() const {
    std::lock_guard lock(mutex_);
    return BlockedLocked(Clock::now());
}

bool TransferRunner::Claim(std::unique_lock<std::mutex>& lock, std::function<void()> cancel) {
    while (busy_ && !stop_) {
        const Clock::time_point deadline = busySince_ + bound_;
        if (Clock::now() >= deadline) {
            return false; // blocked beyond the bound: fail at once
        }
        done_.wait_until(lock, deadline);
    }
    if (stop_) {
        return false;
    }
    busy_ = true;
    busySince_ = Clock::now();
    cancel_ = std::move(cancel);
    return true;
}

void TransferRunner::Release(std::unique_lock<std::mutex>& lock) {
    busy_ = false;
    cancel_ = nullptr;
    // Notified before unlocking: once the runner is seen free it may be destroyed. Costs no system
    // call while nobody waits.
    done_.notify_all();
    lock.unlock();
}

int TransferRunner::Run(std::function<int()> transfer, std::function<void()> cancel) {
    std::unique_lock lock(mutex_);
    if (!Claim(lock, std::move(cancel))) {
        return -1;
    }
    pending_ = std::move(transfer);
    const uint64_t ticket = ++submitted_;
    const Clock::time_point deadline = busySince_ + bound_;
    lock.unlock();
    wake_.notify_one();
    lock.lock();
    if (!done_.wait_until(lock, deadline, [&] { return completed_ >= ticket; })) {
        abandoned_ = true; // still running: it stays claimed until it returns
        return -1;
    }
    const int result = result_;
    Release(lock); // only now, so that no later transfer overwrites the result first
    return result;
}

int TransferRunner::RunHere(const std::function<int()>& transfer, std::function<void()> cancel) {
    std::unique_lock lock(mutex_);
    if (!Claim(lock, std::move(cancel))) {
        return -1;
    }
    lock.unlock();
    const int result = transfer ? transfer() : -1;
    lock.lock();
    Release(lock);
    return result;
}

void TransferRunner::Loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || completed_ < submitted_; });
        if (completed_ >= submitted_) {
            return; // stopping with nothing to do
        }
        std::function<int()> transfer = std::move(pending_);
        pending_ = nullptr;
        lock.unlock();
        const int result = transfer ? transfer() : -1;
        transfer = nullptr; // release what the transfer held before reporting back
        lock.lock();
        result_ = result;
        completed_ = submitted_;
        if (abandoned_) {
            abandoned_ = false; // nobody collects the result: free the runner here
            Release(lock);
            lock.lock();
        } else {
            lock.unlock();
            done_.notify_all(); // the caller collects the result and frees the runner
            lock.lock();
        }
    }
}

} // namespace kw
