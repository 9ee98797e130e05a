#pragma once

// Runs the link's transfers one at a time, so that reports from the worker, the user-interface
// thread and the audio thread never interleave, and so that a caller waiting for a transfer gives
// up after a bound instead of blocking for ever.
//
// Run hands the transfer to a thread of the runner's own and waits at most the bound for it,
// whatever the transfer does (after any wait behind an earlier transfer, below: at most twice the
// bound in all, more only while several callers compete). RunHere runs the transfer on
// the calling thread, without a hand-off between threads; the caller then blocks as long as the
// transfer does (hidraw bounds its own transfers by the kernel's time-out), so it is meant for the
// high-rate light frames of the worker.
//
// A caller that finds another transfer running waits for it, at most until that transfer has run
// for the bound. Once a transfer has run longer than the bound, every further transfer fails at
// once until it returns.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace kw {

class TransferRunner {
public:
    explicit TransferRunner(std::chrono::milliseconds bound);
    ~TransferRunner();
    TransferRunner(const TransferRunner&) = delete;
    TransferRunner& operator=(const TransferRunner&) = delete;

    // The result of `transfer` run on the runner's thread, or -1 when it did not finish within the
    // bound or the runner is not free (see above). `cancel` is called to unblock the transfer when
    // the runner is destroyed while it is still running.
    int Run(std::function<int()> transfer, std::function<void()> cancel = {});

    // The result of `transfer` run on the calling thread, or -1 without running it when the runner
    // is not free.
    int RunHere(const std::function<int()>& transfer, std::function<void()> cancel = {});

    // True while a transfer that has run longer than the bound has not returned yet.
    bool Blocked() const;

private:
    using Clock = std::chrono::steady_clock;

    // Waits until no transfer runs, then marks one as running. False when the running transfer
    // exceeds the bound or the runner is stopping.
    bool Claim(std::unique_lock<std::mutex>& lock, std::function<void()> cancel);
    void Release(std::unique_lock<std::mutex>& lock);
    bool BlockedLocked(Clock::time_point now) const;
    void Loop();

    const std::chrono::milliseconds bound_;
    mutable std::mutex mutex_;
    std::condition_variable wake_; // the runner's thread: a transfer was handed over
    std::condition_variable done_; // callers: a transfer ended
    std::function<int()> pending_;
    std::function<void()> cancel_;
    uint64_t submitted_ = 0;
    uint64_t completed_ = 0;
    int result_ = -1;
    bool abandoned_ = false; // the caller of the running hand-off gave up waiting
    bool busy_ = false;
    Clock::time_point busySince_;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace kw
