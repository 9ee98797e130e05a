// The link's transfer runner: transfers one at a time, on its own thread or the caller's, a bound
// on waiting for the transfer thread and on waiting behind a transfer that never returns.

#include "app/device/TransferRunner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace kw::test {
namespace {

using namespace std::chrono_literals;

// A transfer that blocks until released or cancelled, like a write to a keyboard that stopped
// taking reports.
class Gate {
public:
    int Pass(int result) {
        std::unique_lock lock(mutex_);
        entered_ = true;
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_ || cancelled_; });
        return cancelled_ ? -1 : result;
    }
    void WaitEntered() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return entered_; });
    }
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    void Cancel() {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool entered_ = false;
    bool open_ = false;
    bool cancelled_ = false;
};

TEST(TransferRunner, RunUsesTheRunnerThreadAndRunHereTheCallersThread) {
    TransferRunner runner(1s);
    const auto caller = std::this_thread::get_id();
    std::thread::id ranOn;
    EXPECT_EQ(runner.Run([&] {
        ranOn = std::this_thread::get_id();
        return 7;
    }),
              7);
    EXPECT_NE(ranOn, caller);
    EXPECT_EQ(runner.RunHere([&] {
        ranOn = std::this_thread::get_id();
        return 8;
    }),
              8);
    EXPECT_EQ(ranOn, caller);
}

// A transfer that outlasts the bound, run either way, holds back every other transfer: those that
// arrive in time wait for it and fail at the bound, later ones fail at once; both ways work again
// once it returned.
TEST(TransferRunner, TransferBeyondTheBoundHoldsBackBothWaysUntilItReturns) {
    for (const bool blockHere : {false, true}) {
        SCOPED_TRACE(blockHere ? "blocked on the caller's thread" : "blocked on the runner's thread");
        TransferRunner runner(100ms);
        Gate gate;
        std::future<int> blocked = std::async(std::launch::async, [&] {
            return blockHere ? runner.RunHere([&] { return gate.Pass(5); })
                             : runner.Run([&] { return gate.Pass(5); });
        });
        gate.WaitEntered();
        std::atomic<bool> otherRan{false};
        EXPECT_EQ(runner.Run([&] {
            otherRan = true;
            return 1;
        }),
                  -1);
        EXPECT_TRUE(runner.Blocked());
        EXPECT_EQ(runner.RunHere([&] {
            otherRan = true;
            return 1;
        }),
                  -1);
        EXPECT_FALSE(otherRan) << "nothing runs beside the blocked transfer";
        if (!blockHere) {
            // The hand-off's caller gives up at the bound while its transfer still blocks. Waited
            // for before the gate opens: the other caller's deadline is the same, so it may see it
            // first.
            EXPECT_EQ(blocked.wait_for(5s), std::future_status::ready);
        }
        gate.Open();
        EXPECT_EQ(blocked.get(), blockHere ? 5 : -1) << "a hand-off gave up waiting at the bound";
        int result = -1;
        for (int attempt = 0; attempt < 200 && result != 2; ++attempt) {
            result = runner.Run([] { return 2; });
            if (result != 2) {
                std::this_thread::sleep_for(5ms); // the runner's thread finishes the late transfer
            }
        }
        EXPECT_EQ(result, 2);
        EXPECT_EQ(runner.RunHere([] { return 3; }), 3);
        EXPECT_FALSE(runner.Blocked());
    }
}

// A transfer that ends within the bound is waited for, whichever way either of them runs.
TEST(TransferRunner, TransferWithinTheBoundIsWaitedFor) {
    for (const bool firstHere : {false, true}) {
        SCOPED_TRACE(firstHere ? "first on the caller's thread" : "first on the runner's thread");
        TransferRunner runner(5s);
        Gate gate;
        std::atomic<bool> firstDone{false};
        std::future<int> first = std::async(std::launch::async, [&] {
            auto transfer = [&] {
                const int result = gate.Pass(4);
                firstDone = true;
                return result;
            };
            return firstHere ? runner.RunHere(transfer) : runner.Run(transfer);
        });
        gate.WaitEntered();
        std::future<int> second = std::async(
            std::launch::async, [&] { return runner.RunHere([&] { return firstDone ? 6 : -2; }); });
        std::this_thread::sleep_for(20ms);
        gate.Open();
        EXPECT_EQ(first.get(), 4);
        EXPECT_EQ(second.get(), 6) << "the second transfer ran only after the first had ended";
    }
}

// Each caller gets the result of its own transfer, however the threads interleave.
TEST(TransferRunner, EveryCallerGetsItsOwnResult) {
    TransferRunner runner(5s);
    std::atomic<int> mismatches{0};
    std::atomic<int> running{0};
    std::atomic<int> overlaps{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i) {
                const int expected = t * 1000 + i;
                auto transfer = [&] {
                    overlaps += running.fetch_add(1) > 0;
                    running.fetch_sub(1);
                    return expected;
                };
                const int got = (i + t) % 3 == 0 ? runner.RunHere(transfer) : runner.Run(transfer);
                mismatches += got != expected;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(overlaps.load(), 0);
}

TEST(TransferRunner, DestroyingTheRunnerCancelsATransferOnTheCallersThreadAndWaitsForIt) {
    Gate gate;
    std::future<int> blocked;
    {
        TransferRunner runner(50ms);
        blocked = std::async(std::launch::async, [&] {
            return runner.RunHere([&] { return gate.Pass(1); }, [&] { gate.Cancel(); });
        });
        gate.WaitEntered();
    } // cancels the transfer, then waits until it has left the runner (ASan sees any later use)
    EXPECT_EQ(blocked.get(), -1);
}

} // namespace
} // namespace kw::test
