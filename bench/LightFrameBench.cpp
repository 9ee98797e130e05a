// Light frames of the music and screen modes: the CPU cost of building one frame and sending it to
// the simulated keyboard without the protocol's pauses, and the frame rate StreamFrame reaches with
// the documented pauses, alone and inside the worker's 16 ms passes.

#include "app/device/CThreadBasic.h"
#include "app/device/DeviceLink.h"
#include "app/device/FrameStreamer.h"
#include "app/device/InMemoryKeyColourView.h"
#include "app/device/SystemClock.h"
#include "sim/SimulatedHid.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>
#include <thread>

namespace kw {
namespace {

// Pauses cost nothing: only the work of building and transferring remains.
class NoPauseClock : public SystemClock {
public:
    void Sleep(std::chrono::milliseconds) override {}
};

ModeEntry CableMode() {
    ModeEntry entry;
    entry.device_type = 101;
    entry.vid = 0x1209;
    entry.pid = 0x0004;
    entry.hid_interface = L"VID_1209&PID_0004&MI_02";
    return entry;
}

// A full-size layout: 104 keys on a 6 × 18 grid, key indexes 0 to 103.
DeviceDefinition Layout() {
    DeviceDefinition layout;
    for (int i = 0; i < 104; ++i) {
        KeyItem key;
        key.code = 4 + i;
        layout.keys.push_back(key);
        layout.colourIndex[key.code] = i;
        if (i < 6 * 18) {
            layout.grid[i / 18][i % 18] = static_cast<uint8_t>(key.code);
        }
    }
    layout.rowCount = 6;
    layout.colCount = 18;
    return layout;
}

struct Rig {
    explicit Rig(std::shared_ptr<LinkClock> linkClock) : clock(std::move(linkClock)) {
        const ModeEntry entry = CableMode();
        manager.AddKnown({entry.vid, entry.pid, L"", entry.device_type, 0, entry.hid_interface});
        hid->PlugIn(entry);
        manager.Scan();
        manager.SetCurrentType(entry.device_type);
    }
    std::shared_ptr<LinkClock> clock;
    std::shared_ptr<SimulatedHid> hid = std::make_shared<SimulatedHid>(clock);
    HidDeviceManager manager{hid, clock};
    DeviceDefinition layout = Layout();
    InMemoryKeyColourView view{layout.keys};
    std::atomic<bool> begun{false};
    FrameStreamer streamer{manager, *clock, begun};
    uint32_t hue = 0;
    FrameStreamer::CellColour Colours() {
        ++hue;
        return [this](int row, int column) {
            return 0x010101u * static_cast<uint32_t>(row * 18 + column + hue);
        };
    }
    void Trim() {
        for (const auto& keyboard : hid->Plugged()) {
            keyboard->ClearReports(); // the simulator keeps every report; keep memory flat
        }
    }
};

void BM_BuildLightFrame(benchmark::State& state) {
    Rig rig(std::make_shared<NoPauseClock>());
    const std::vector<KeyColour> keys = rig.view.GetKeyItems();
    for (auto _ : state) {
        benchmark::DoNotOptimize(LightFrame::Build(keys, rig.layout.colourIndex));
    }
}
BENCHMARK(BM_BuildLightFrame);

// Sampling the key grid, recolouring the view and building the block: the frame's own work.
void BM_ColourAndBuildFrame(benchmark::State& state) {
    Rig rig(std::make_shared<NoPauseClock>());
    for (auto _ : state) {
        const FrameStreamer::CellColour colours = rig.Colours();
        for (int row = 0; row < rig.layout.rowCount; ++row) {
            for (int column = 0; column < rig.layout.colCount; ++column) {
                rig.view.SetKeyColor(rig.layout.grid[row][column], colours(row, column));
            }
        }
        benchmark::DoNotOptimize(LightFrame::Build(rig.view.GetKeyItems(), rig.layout.colourIndex));
    }
}
BENCHMARK(BM_ColourAndBuildFrame);

// One report through the transport to the simulated keyboard's streaming interface.
void BM_OneStreamingReport(benchmark::State& state) {
    Rig rig(std::make_shared<NoPauseClock>());
    const std::array<OutputReport, 6> parts = LightFrame::Parts(LightFrameBlock{});
    int64_t count = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rig.manager.WriteSecondary(parts[0]));
        if (++count % 1024 == 0) {
            state.PauseTiming();
            rig.Trim();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_OneStreamingReport)->MeasureProcessCPUTime()->UseRealTime();

// Sampling the key grid, recolouring the view, building the block and sending 6 parts.
void BM_StreamFrameWithoutPauses(benchmark::State& state) {
    Rig rig(std::make_shared<NoPauseClock>());
    int sent = 0;
    for (auto _ : state) {
        sent += rig.streamer.StreamFrame(rig.layout, rig.Colours(), rig.view) == FrameStreamer::Outcome::Sent;
        if (sent % 256 == 0) {
            state.PauseTiming();
            rig.Trim();
            state.ResumeTiming();
        }
    }
    state.counters["sent"] = sent;
}
BENCHMARK(BM_StreamFrameWithoutPauses)->MeasureProcessCPUTime()->UseRealTime();

// StreamFrame with its 1 ms pause before each of the 6 parts.
void BM_StreamFrameWithPauses(benchmark::State& state) {
    Rig rig(std::make_shared<SystemClock>());
    for (auto _ : state) {
        rig.streamer.StreamFrame(rig.layout, rig.Colours(), rig.view);
    }
    rig.Trim();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StreamFrameWithPauses)->UseRealTime()->Unit(benchmark::kMillisecond);

// The worker as the program runs it: one pass every 16 ms after the previous one ended, streaming
// whenever no job is queued. Reports the frames per second reached over two seconds.
class NullWindow : public WorkerWindow {
public:
    bool LightingPageShown() override { return true; }
};

class Worker : public CThreadBasic {
public:
    explicit Worker(DeviceLink& link) : link_(link) {}
    ~Worker() override { Stop(); }

protected:
    void Run() override { link_.RunPass(); }

private:
    DeviceLink& link_;
};

void BM_WorkerStreamRate(benchmark::State& state) {
    Rig rig(std::make_shared<SystemClock>());
    NullWindow window;
    DeviceLink link(rig.manager, *rig.clock, window);
    link.SetModes({CableMode()});
    link.SetDeviceType(101);
    link.Rescan();
    link.UpdateConnection();
    while (link.PendingJobs() > 0) {
        link.RunPass();
    }
    std::atomic<int> frames{0};
    link.SetFrameStreamer([&] {
        if (rig.streamer.StreamFrame(rig.layout, rig.Colours(), rig.view) == FrameStreamer::Outcome::Sent) {
            frames.fetch_add(1);
        }
    });
    for (auto _ : state) {
        frames.store(0);
        Worker worker(link);
        const auto start = std::chrono::steady_clock::now();
        worker.Start();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        worker.Stop();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.counters["frames_per_second"] = frames.load() / seconds;
        rig.Trim();
    }
}
BENCHMARK(BM_WorkerStreamRate)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace
} // namespace kw
