#pragma once

// The simulated keyboards as a HID stack: plugged keyboards show their interfaces to the
// enumeration and open like real ones, and plugging or unplugging one announces its interface paths
// to the listener exactly as the host's device monitor does.

#include "app/device/DeviceEventSource.h"
#include "app/device/HidBackend.h"
#include "app/device/LinkClock.h"
#include "sim/SimulatedKeyboard.h"

#include <memory>
#include <mutex>
#include <vector>

namespace kw {

class SimulatedHid : public HidBackend, public DeviceEventSource {
public:
    explicit SimulatedHid(std::shared_ptr<LinkClock> clock);
    ~SimulatedHid() override;
    SimulatedHid(const SimulatedHid&) = delete;
    SimulatedHid& operator=(const SimulatedHid&) = delete;

    // A keyboard for a mode entry of config.xml, not yet plugged in.
    std::shared_ptr<SimulatedKeyboard> Create(const ModeEntry& entry, bool lowerCasePaths = false);
    // Create and plug in.
    std::shared_ptr<SimulatedKeyboard> PlugIn(const ModeEntry& entry);

    void Plug(const std::shared_ptr<SimulatedKeyboard>& keyboard);
    void Unplug(const std::shared_ptr<SimulatedKeyboard>& keyboard);
    std::vector<std::shared_ptr<SimulatedKeyboard>> Plugged() const;

    // Interfaces whose keyboard SetVanishOnOpen: listed, then gone (and unplugged) at Open.
    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<HidHandle> Open(const std::string& path) override;

    bool Start(Listener listener) override;
    void Stop() override;

private:
    void Announce(DeviceEvent event, const std::vector<std::string>& paths);

    std::shared_ptr<LinkClock> clock_;
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<SimulatedKeyboard>> created_;
    std::vector<std::shared_ptr<SimulatedKeyboard>> plugged_;
    int serial_ = 0;

    std::mutex listenerMutex_; // held while an event is delivered
    Listener listener_;
};

} // namespace kw
