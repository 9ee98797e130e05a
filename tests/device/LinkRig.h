#pragma once

// A keyboard link on the simulated keyboard with a virtual clock: pauses cost no time and show in
// the simulator's time stamps.

#include "app/device/DeviceLink.h"
#include "app/device/HidDeviceManager.h"
#include "app/device/VirtualClock.h"
#include "app/device/WorkerWindow.h"
#include "sim/SimulatedHid.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kw::test {

inline ModeEntry Mode(int deviceType, int mode, int vid, int pid, std::wstring pattern,
                      std::wstring product = L"") {
    ModeEntry entry;
    entry.device_type = deviceType;
    entry.mode = mode;
    entry.vid = vid;
    entry.pid = pid;
    entry.hid_interface = std::move(pattern);
    entry.product_name = std::move(product);
    return entry;
}

// The modes of the shipped config.xml.
inline ModeEntry Cable201() {
    return Mode(201, 0, 0x1209, 0x0001, L"VID_1209&PID_0001&MI_02");
}
inline ModeEntry Receiver201() {
    return Mode(201, 1, 0x1209, 0x0002, L"VID_1209&PID_0002&MI_02");
}
inline ModeEntry Bluetooth201() {
    return Mode(201, 2, 0x1209, 0x0003, L"VID_1209&PID_0003");
}
inline ModeEntry Cable101() {
    return Mode(101, 0, 0x1209, 0x0004, L"VID_1209&PID_0004&MI_02");
}
inline std::vector<ModeEntry> ProductModes() {
    return {Cable201(), Receiver201(), Bluetooth201(), Cable101()};
}

inline KnownDevice Known(const ModeEntry& entry) {
    return KnownDevice{entry.vid,         entry.pid,  entry.product_name,
                       entry.device_type, entry.mode, entry.hid_interface};
}

// Remembers what the worker asked of the window, one line per call.
class RecordingWindow : public WorkerWindow {
public:
    void EnableWindow(bool enable) override { Add(enable ? "enable" : "disable"); }
    void CloseWaitDialog() override { Add("close-wait"); }
    bool LightingPageShown() override { return lightingShown; }
    void ResetDeviceStates() override { Add("reset-devices"); }
    void SetDeviceState(int deviceType, int state) override {
        Add("device " + std::to_string(deviceType) + " " + std::to_string(state));
    }
    void HidePopups() override { Add("hide-popups"); }
    void ShowConnection(ConnectionState state, int kind) override {
        const char* names[] = {"no-keyboard", "receiver-only", "connected"};
        Add(std::string("show ") + names[static_cast<int>(state)] + " " + std::to_string(kind));
    }
    void StartVisualiser() override { Add("visualiser"); }
    void RefreshAfterReset() override { Add("refresh-after-reset"); }

    void Add(const std::string& call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(call);
    }
    std::vector<std::string> Calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        calls_.clear();
    }
    int Count(const std::string& call) {
        std::lock_guard lock(mutex_);
        return static_cast<int>(std::count(calls_.begin(), calls_.end(), call));
    }

    bool lightingShown = false;

private:
    std::mutex mutex_;
    std::vector<std::string> calls_;
};

struct LinkRig {
    explicit LinkRig(std::vector<ModeEntry> modes = ProductModes()) {
        for (const ModeEntry& entry : modes) {
            manager.AddKnown(Known(entry));
        }
        link.SetModes(std::move(modes));
    }

    // From now on, plugging and unplugging posts jobs as the device monitor does.
    void Monitor() {
        hid->Start([this](DeviceEvent event, const std::string& path) { link.OnDeviceChange(event, path); });
    }
    ~LinkRig() { hid->Stop(); }

    // Plugs a keyboard in and rebuilds the link's view as jobs 2 would.
    std::shared_ptr<SimulatedKeyboard> Connect(const ModeEntry& entry) {
        auto keyboard = hid->PlugIn(entry);
        Refresh();
        return keyboard;
    }
    void Refresh() {
        link.Rescan();
        link.UpdateConnection();
        while (link.PendingJobs() > 0) {
            link.RunPass(); // the arrival jobs and what the connection update posted
        }
    }

    std::shared_ptr<VirtualClock> clock = std::make_shared<VirtualClock>();
    std::shared_ptr<SimulatedHid> hid = std::make_shared<SimulatedHid>(clock);
    HidDeviceManager manager{hid, clock};
    RecordingWindow window;
    DeviceLink link{manager, *clock, window};
};

} // namespace kw::test
