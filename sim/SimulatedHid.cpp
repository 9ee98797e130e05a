#include "sim/SimulatedHid.h"

#include <algorithm>

namespace kw {

SimulatedHid::SimulatedHid(std::shared_ptr<LinkClock> clock) : clock_(std::move(clock)) {}

SimulatedHid::~SimulatedHid() {
    Stop();
    std::lock_guard lock(mutex_);
    for (const auto& keyboard : created_) {
        keyboard->SetUnplugRequest(nullptr);
        keyboard->SetPlugged(false); // releases stalled writes
    }
}

std::shared_ptr<SimulatedKeyboard> SimulatedHid::Create(const ModeEntry& entry, bool lowerCasePaths) {
    std::lock_guard lock(mutex_);
    auto keyboard = std::make_shared<SimulatedKeyboard>(entry, clock_, ++serial_, lowerCasePaths);
    std::weak_ptr<SimulatedKeyboard> weak = keyboard;
    keyboard->SetUnplugRequest([this, weak] {
        if (auto self = weak.lock()) {
            Unplug(self);
        }
    });
    created_.push_back(keyboard);
    return keyboard;
}

std::shared_ptr<SimulatedKeyboard> SimulatedHid::PlugIn(const ModeEntry& entry) {
    auto keyboard = Create(entry);
    Plug(keyboard);
    return keyboard;
}

void SimulatedHid::Plug(const std::shared_ptr<SimulatedKeyboard>& keyboard) {
    {
        std::lock_guard lock(mutex_);
        if (std::find(plugged_.begin(), plugged_.end(), keyboard) != plugged_.end()) {
            return;
        }
        plugged_.push_back(keyboard);
        keyboard->SetPlugged(true);
    }
    std::vector<std::string> paths = keyboard->AnnouncementPaths();
    for (const HidInterfaceInfo& info : keyboard->Interfaces()) {
        paths.push_back(info.path);
    }
    Announce(DeviceEvent::Arrival, paths);
}

void SimulatedHid::Unplug(const std::shared_ptr<SimulatedKeyboard>& keyboard) {
    {
        std::lock_guard lock(mutex_);
        auto found = std::find(plugged_.begin(), plugged_.end(), keyboard);
        if (found == plugged_.end()) {
            return;
        }
        plugged_.erase(found);
        keyboard->SetPlugged(false);
    }
    std::vector<std::string> paths;
    for (const HidInterfaceInfo& info : keyboard->Interfaces()) {
        paths.push_back(info.path);
    }
    Announce(DeviceEvent::Removal, paths);
}

std::vector<std::shared_ptr<SimulatedKeyboard>> SimulatedHid::Plugged() const {
    std::lock_guard lock(mutex_);
    return plugged_;
}

std::vector<HidInterfaceInfo> SimulatedHid::Enumerate() {
    std::vector<HidInterfaceInfo> found;
    for (const auto& keyboard : Plugged()) {
        const auto& interfaces = keyboard->Interfaces();
        found.insert(found.end(), interfaces.begin(), interfaces.end());
    }
    return found;
}

std::unique_ptr<HidHandle> SimulatedHid::Open(const std::string& path) {
    for (const auto& keyboard : Plugged()) {
        const auto& interfaces = keyboard->Interfaces();
        for (size_t i = 0; i < interfaces.size(); ++i) {
            if (interfaces[i].path != path) {
                continue;
            }
            if (keyboard->VanishOnOpen()) {
                Unplug(keyboard);
                return nullptr;
            }
            return keyboard->OpenInterface(i);
        }
    }
    return nullptr;
}

bool SimulatedHid::Start(Listener listener) {
    std::lock_guard lock(listenerMutex_);
    listener_ = std::move(listener);
    return true;
}

void SimulatedHid::Stop() {
    std::lock_guard lock(listenerMutex_);
    listener_ = nullptr;
}

void SimulatedHid::Announce(DeviceEvent event, const std::vector<std::string>& paths) {
    std::lock_guard lock(listenerMutex_);
    if (!listener_) {
        return;
    }
    for (const std::string& path : paths) {
        listener_(event, path);
    }
}

} // namespace kw
