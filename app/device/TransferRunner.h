#pragma once

// Runs the link's transfers one at a time on a thread of its own, so that reports from the worker,
// the user-interface thread and the audio thread never interleave, and a transfer that does not
// complete within a bound fails for its caller instead of blocking it for ever.
//
// While a timed-out transfer is still blocked, further transfers fail at once; service resumes
// as soon as the blocked one returns.

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

    // The result of `transfer`, or -1 when it did not finish within the bound or an earlier
    // transfer is still blocked. `cancel` is called to unblock the transfer when the runner is
    // destroyed while it is still running.
    int Run(std::function<int()> transfer, std::function<void()> cancel = {});

    // True while a transfer that timed out has not returned yet.
    bool Blocked() const;

private:
    void Loop();

    const std::chrono::milliseconds bound_;
    std::mutex callers_; // one caller at a time
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::function<int()> pending_;
    std::function<void()> cancel_;
    uint64_t submitted_ = 0;
    uint64_t completed_ = 0;
    int result_ = -1;
    bool busy_ = false;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace kw
