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
    if (cancel) {
        cancel();
    }
    thread_.join();
}

int TransferRunner::Run(std::function<int()> transfer, std::function<void()> cancel) {
    std::lock_guard caller(callers_);
    std::unique_lock lock(mutex_);
    if (busy_ || stop_) {
        return -1;
    }
    pending_ = std::move(transfer);
    cancel_ = std::move(cancel);
    const uint64_t ticket = ++submitted_;
    busy_ = true;
    wake_.notify_one();
    if (!done_.wait_for(lock, bound_, [&] { return completed_ >= ticket; })) {
        return -1;
    }
    return result_;
}

bool TransferRunner::Blocked() const {
    std::lock_guard lock(mutex_);
    return busy_;
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
        busy_ = false;
        cancel_ = nullptr;
        done_.notify_all();
    }
}

} // namespace kw
