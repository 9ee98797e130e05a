// The keyboard link's own cost, on the simulated keyboard with a virtual clock (the protocol's
// fixed pauses are left out): one report through the transport, a worker pass, a rescan, and the
// device-change rule.

#include "app/device/CommandFrames.h"
#include "app/device/DeviceChangeRule.h"
#include "app/device/DeviceLink.h"
#include "app/device/HidDeviceManager.h"
#include "app/device/VirtualClock.h"
#include "sim/SimulatedHid.h"

#include <benchmark/benchmark.h>

namespace kw {
namespace {

ModeEntry Cable() {
    ModeEntry entry;
    entry.device_type = 201;
    entry.vid = 0x1209;
    entry.pid = 0x0001;
    entry.hid_interface = L"VID_1209&PID_0001&MI_02";
    return entry;
}

struct Rig {
    Rig() {
        manager.AddKnown(KnownDevice{0x1209, 0x0001, L"", 201, 0, L"VID_1209&PID_0001&MI_02"});
        link.SetModes({Cable()});
        keyboard = hid->PlugIn(Cable());
        link.Rescan();
        link.UpdateConnection();
    }
    std::shared_ptr<VirtualClock> clock = std::make_shared<VirtualClock>();
    std::shared_ptr<SimulatedHid> hid = std::make_shared<SimulatedHid>(clock);
    HidDeviceManager manager{hid, clock};
    WorkerWindow window;
    DeviceLink link{manager, *clock, window};
    std::shared_ptr<SimulatedKeyboard> keyboard;
};

void BM_SendFeature(benchmark::State& state) {
    Rig rig;
    const FeatureReport report = MakeFeatureCommand(0x23, {0x45, 0x67, 0x89, 1, 100});
    for (auto _ : state) {
        benchmark::DoNotOptimize(rig.manager.SendFeature(report));
        if (state.iterations() % 4096 == 0) {
            rig.keyboard->ClearReports();
        }
    }
}
BENCHMARK(BM_SendFeature);

void BM_WriteReport(benchmark::State& state) {
    Rig rig;
    const OutputReport report = MakeOutputCommand(0x88, {0, 3});
    for (auto _ : state) {
        benchmark::DoNotOptimize(rig.manager.WriteReport(report));
        if (state.iterations() % 4096 == 0) {
            rig.keyboard->ClearReports();
        }
    }
}
BENCHMARK(BM_WriteReport);

void BM_IdlePass(benchmark::State& state) {
    Rig rig;
    while (rig.link.PendingJobs() > 0) {
        rig.link.RunPass();
    }
    for (auto _ : state) {
        rig.link.RunPass();
    }
}
BENCHMARK(BM_IdlePass);

void BM_Rescan(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) {
        rig.link.Rescan();
    }
}
BENCHMARK(BM_Rescan);

void BM_MatchDeviceChange(benchmark::State& state) {
    std::vector<ModeEntry> modes(4, Cable());
    modes[0].hid_interface = L"VID_1209&PID_0009&MI_02";
    modes[1].hid_interface = L"VID_1209&PID_0008&MI_02";
    modes[2].hid_interface = L"VID_1209&PID_0007";
    const std::string path = "HID\\VID_1209&PID_0001&MI_02\\/dev/hidraw12";
    for (auto _ : state) {
        benchmark::DoNotOptimize(MatchDeviceChange(modes, DeviceEvent::Arrival, path));
    }
}
BENCHMARK(BM_MatchDeviceChange);

} // namespace
} // namespace kw
