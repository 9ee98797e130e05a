#include "app/device/FilterMonitor.h"
#include "app/device/EvdevFilterBackend.h"
#include "app/device/InMemoryFilterBackend.h"
#include "app/device/KeyFilterFactory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace kw {
namespace {

using HidUsbFilter::FilterMonitor;

// A listener that records the events it sees and answers with a fixed value.
struct Recorder {
    int OnKey(int type, int code, bool pressed) {
        std::lock_guard lock(mutex);
        events.push_back({type, code, pressed ? 1 : 0});
        changed.notify_all();
        return answer;
    }
    int Other(int, int, bool) { return 0; }

    bool WaitFor(size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5), [&] { return events.size() >= count; });
    }
    std::vector<std::array<int, 3>> Events() {
        std::lock_guard lock(mutex);
        return events;
    }

    int answer = 0;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::array<int, 3>> events;
};

class FilterMonitorTest : public ::testing::Test {
protected:
    FilterMonitorTest() {
        auto backend = std::make_unique<InMemoryFilterBackend>();
        filter = backend.get();
        monitor = std::make_unique<FilterMonitor>(std::move(backend));
        monitor->Open();
    }

    InMemoryFilterBackend* filter = nullptr;
    std::unique_ptr<FilterMonitor> monitor;
};

TEST_F(FilterMonitorTest, KeyListHoldsAtMost256EntriesOfFourBytes) {
    std::vector<int> codes;
    for (int i = 1; i <= 300; ++i)
        codes.push_back(i);
    const std::vector<uint8_t> list = FilterMonitor::BuildKeyList(codes);
    ASSERT_EQ(list.size(), 1024u);
    // Entry 0: code 1, page 7, flags 2; entry 255: code 256, low byte first.
    EXPECT_EQ((std::vector<uint8_t>(list.begin(), list.begin() + 4)), (std::vector<uint8_t>{1, 0, 7, 2}));
    EXPECT_EQ((std::vector<uint8_t>(list.end() - 4, list.end())), (std::vector<uint8_t>{0, 1, 7, 2}));

    ASSERT_TRUE(monitor->SetKeys(codes));
    const auto calls = filter->Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].code, kFilterSetKeys);
    EXPECT_EQ(calls[0].input, list);
    EXPECT_EQ(filter->WatchedKeys().size(), 256u);
}

TEST_F(FilterMonitorTest, ShortListIsPaddedWithZeros) {
    const std::vector<uint8_t> list = FilterMonitor::BuildKeyList({4, 0xE1});
    ASSERT_EQ(list.size(), 1024u);
    EXPECT_EQ(list[4], 0xE1);
    EXPECT_TRUE(std::all_of(list.begin() + 8, list.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(FilterMonitorTest, ClearKeysSends256Zeros) {
    ASSERT_TRUE(monitor->SetKeys({4}));
    ASSERT_TRUE(monitor->ClearKeys());
    const auto calls = filter->Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].code, kFilterSetKeys);
    EXPECT_EQ(calls[1].input, std::vector<uint8_t>(256, 0));
    EXPECT_TRUE(filter->WatchedKeys().empty());
}

TEST_F(FilterMonitorTest, ListenersAreNotAddedTwice) {
    Recorder a, b;
    monitor->AddListener(&a, &Recorder::OnKey);
    monitor->AddListener(&a, &Recorder::OnKey);
    monitor->AddListener(&a, &Recorder::Other);
    monitor->AddListener(&b, &Recorder::OnKey);
    EXPECT_EQ(monitor->ListenerCount(), 3u);
    // Without a member function the cookie tells listeners apart.
    monitor->AddListener<Recorder>(&a, nullptr, 1);
    monitor->AddListener<Recorder>(&a, nullptr, 1);
    monitor->AddListener<Recorder>(&a, nullptr, 2);
    EXPECT_EQ(monitor->ListenerCount(), 5u);
}

TEST_F(FilterMonitorTest, EventsGoToListenersInOrderUntilOneTakesIt) {
    Recorder first, second;
    monitor->AddListener(&first, &Recorder::OnKey);
    monitor->AddListener(&second, &Recorder::OnKey);
    monitor->SetKeys({4, 0xE1});
    monitor->Start();

    filter->Inject(4, true);
    ASSERT_TRUE(second.WaitFor(1));
    first.answer = 1;
    filter->Inject(0xE1, false);
    filter->Inject(5, true); // not watched: passed on
    ASSERT_TRUE(first.WaitFor(2));
    monitor->Stop();

    EXPECT_EQ(first.Events(), (std::vector<std::array<int, 3>>{{7, 4, 1}, {7, 0xE1, 0}}));
    EXPECT_EQ(second.Events(), (std::vector<std::array<int, 3>>{{7, 4, 1}}));
    EXPECT_EQ(filter->PassedOn(), 1);
}

TEST_F(FilterMonitorTest, StopWhileWaitingReturnsAtOnce) {
    Recorder listener;
    monitor->AddListener(&listener, &Recorder::OnKey);
    monitor->Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the thread is now waiting
    const auto start = std::chrono::steady_clock::now();
    monitor->Stop();
    // Without cancellation the wait would never end: the backend has no event to give.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(monitor->IsListening());
}

TEST_F(FilterMonitorTest, StartReplacesTheRunningListener) {
    Recorder listener;
    monitor->AddListener(&listener, &Recorder::OnKey);
    monitor->SetKeys({4});
    monitor->Start();
    monitor->Start();
    filter->Inject(4, true);
    ASSERT_TRUE(listener.WaitFor(1));
    monitor->Stop();
    EXPECT_EQ(listener.Events().size(), 1u);
}

TEST_F(FilterMonitorTest, WithoutListenersNoEventIsTaken) {
    monitor->SetKeys({4});
    monitor->Start();
    filter->Inject(4, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    Recorder late;
    monitor->AddListener(&late, &Recorder::OnKey);
    // The event waited in the filter and reaches the first listener.
    ASSERT_TRUE(late.WaitFor(1));
    monitor->Stop();
}

TEST_F(FilterMonitorTest, FailingControlCallsAreReported) {
    filter->SetControlFails(true);
    EXPECT_FALSE(monitor->SetKeys({4}));
    EXPECT_FALSE(monitor->ClearKeys());
    EXPECT_FALSE(monitor->SendControl(kFilterPrepare));
}

} // namespace
} // namespace kw

namespace kw {
namespace {

TEST(KeyFilterChoice, DemonstrationModeWatchesTheSimulatedKeyboard) {
    KeyFilterChoice simulated = MakeKeyFilter(true, {{0x1209, 0x0001}});
    ASSERT_NE(simulated.simulated, nullptr);
    EXPECT_EQ(simulated.backend.get(), simulated.simulated);
    HidUsbFilter::FilterMonitor monitor(std::move(simulated.backend));
    ASSERT_TRUE(monitor.Open());
    ASSERT_TRUE(monitor.SetKeys({4}));
    EXPECT_EQ(simulated.simulated->WatchedKeys(), (std::vector<int>{4}));

    const KeyFilterChoice real = MakeKeyFilter(false, {{0x1209, 0x0001}});
    EXPECT_EQ(real.simulated, nullptr);
    EXPECT_NE(dynamic_cast<EvdevFilterBackend*>(real.backend.get()), nullptr);
}

} // namespace
} // namespace kw
