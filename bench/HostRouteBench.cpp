// The host route's own costs: from a key event of the filter to the report written by the
// virtual device, and how closely macro events keep to their planned times.

#include "app/device/FilterMonitor.h"
#include "app/device/InMemoryFilterBackend.h"
#include "app/device/InMemoryVirtualBackend.h"
#include "app/device/Kbvirt.h"
#include "app/keys/KeyHandler.h"
#include "app/keys/MacroPlayer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <thread>

namespace kw {
namespace {

using Clock = std::chrono::steady_clock;

class BenchStore : public HostKeyStore {
public:
    int ListKeyFunctions(int, int, std::vector<KeyFunction>& records) override {
        records = keys;
        return static_cast<int>(records.size());
    }
    bool GetMacro(int macroId, MacroRecord& record) override {
        if (macroId != macro.macro_id)
            return false;
        record = macro;
        return true;
    }
    int ListMacroItems(int macroId, std::vector<MacroItem>& result) override {
        result = macroId == macro.macro_id ? items : std::vector<MacroItem>{};
        return static_cast<int>(result.size());
    }
    bool GetKeyExtra(int, KeyExtra&) override { return false; }

    std::vector<KeyFunction> keys;
    MacroRecord macro;
    std::vector<MacroItem> items;
};

class NoQueue : public MacroQueue {
public:
    bool Empty() const override { return true; }
    void Post(int) override {}
};

class BenchWindow : public HostWindow {
public:
    int CurrentProfile() const override { return 1; }
    int CurrentLayer() const override { return 0; }
    void SwitchProfile(int) override {}
    void PostToUiThread(std::function<void()>) override {}
};

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index =
        std::min(values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size())));
    return values[index];
}

// A watched key mapped to another key: inject its press or release into the filter and wait for
// the keyboard report to reach the virtual device. Includes waking the listener thread.
void BM_FilterEventToReport(benchmark::State& state) {
    auto virtualBackend = std::make_unique<InMemoryVirtualBackend>();
    InMemoryVirtualBackend* device = virtualBackend.get();
    device->SetKeepFrames(false);
    std::atomic<int64_t> reportedAt{0};
    device->SetObserver([&reportedAt](const InMemoryVirtualBackend::Frame&) {
        reportedAt.store(Clock::now().time_since_epoch().count(), std::memory_order_release);
    });
    Kbvirt kbvirt(std::move(virtualBackend));
    auto filterBackend = std::make_unique<InMemoryFilterBackend>();
    InMemoryFilterBackend* filter = filterBackend.get();
    HidUsbFilter::FilterMonitor monitor(std::move(filterBackend));
    monitor.Open();
    BenchStore store;
    KeyFunction key;
    key.key_code = 30;
    key.macro_type = 2;
    key.macro_value = 5;
    store.keys.push_back(key);
    NoQueue queue;
    BenchWindow window;
    MacroPlayer player(kbvirt, store);
    KeyHandler handler(kbvirt, monitor, store, queue, player, window);
    handler.Listen();
    handler.ApplyProfile();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));

    std::vector<double> micros;
    bool pressed = true;
    for (auto _ : state) {
        // The frame count goes up before the observer stamps the frame: wait for the stamp itself.
        reportedAt.store(0, std::memory_order_relaxed);
        const Clock::time_point start = Clock::now();
        filter->Inject(30, pressed);
        int64_t stamp = 0;
        while ((stamp = reportedAt.load(std::memory_order_acquire)) == 0) {
        }
        const Clock::time_point end{Clock::duration(stamp)};
        const double elapsed = std::chrono::duration<double, std::micro>(end - start).count();
        micros.push_back(elapsed);
        state.SetIterationTime(elapsed / 1e6);
        pressed = !pressed;
    }
    monitor.Stop();
    state.counters["p50_us"] = Percentile(micros, 0.50);
    state.counters["p99_us"] = Percentile(micros, 0.99);
    state.counters["max_us"] = Percentile(micros, 1.0);
}
BENCHMARK(BM_FilterEventToReport)->UseManualTime()->Iterations(20000);

// A 1000-event macro with the smallest delay: each event's send time against its planned time
// (the start of the play plus the planned waits).
void BM_MacroStepTiming(benchmark::State& state) {
    auto virtualBackend = std::make_unique<InMemoryVirtualBackend>();
    InMemoryVirtualBackend* device = virtualBackend.get();
    Kbvirt kbvirt(std::move(virtualBackend));
    BenchStore store;
    store.macro.macro_id = 1;
    store.macro.play_times = 1;
    for (int i = 0; i < 1000; ++i) {
        MacroItem item;
        item.macro_id = 1;
        item.type = i % 2 == 0 ? 2 : 3;
        item.value = 65; // A
        item.delay_time = 0;
        store.items.push_back(item);
    }
    MacroPlayer player(kbvirt, store);

    std::vector<double> errors;
    for (auto _ : state) {
        device->ClearFrames();
        // The player plans from the moment it starts; this is a few microseconds earlier, so the
        // errors below include that start-up.
        const Clock::time_point start = Clock::now();
        player.PlayMacro(1);
        const auto records = device->Records();
        for (size_t i = 0; i < store.items.size() && i < records.size(); ++i) {
            const auto planned = start + MacroPlayer::kMinimumDelay * static_cast<int>(i);
            errors.push_back(std::chrono::duration<double, std::micro>(records[i].time - planned).count());
        }
    }
    std::vector<double> absolute;
    for (double error : errors)
        absolute.push_back(std::abs(error));
    state.counters["p50_error_us"] = Percentile(absolute, 0.50);
    state.counters["p99_error_us"] = Percentile(absolute, 0.99);
    state.counters["max_error_us"] = Percentile(absolute, 1.0);
}
BENCHMARK(BM_MacroStepTiming)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kw
