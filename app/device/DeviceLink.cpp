#include "app/device/DeviceLink.h"

namespace kw {

namespace {

using namespace std::chrono_literals;

bool RunsWithoutKeyboard(int code) {
    return code == kJobFirstConnection || code == kJobDeviceArrival || code == kJobDeviceRemoval ||
           code == kJobSoftwareCheck;
}

bool ClosesWaitDialog(int code) {
    return code == kJobDownloadKeys || code == kJobDownloadLighting || code == kJobDownloadKeyColours ||
           code == kJobFactoryReset;
}

} // namespace

DeviceLink::DeviceLink(HidDeviceManager& hid, LinkClock& clock, WorkerWindow& window)
    : hid_(hid), clock_(clock), window_(window), commands_(hid, clock) {}

void DeviceLink::SetModes(std::vector<ModeEntry> modes) {
    std::lock_guard lock(modesMutex_);
    modes_ = std::move(modes);
}

std::vector<ModeEntry> DeviceLink::Modes() const {
    std::lock_guard lock(modesMutex_);
    return modes_;
}

void DeviceLink::SetDeviceType(int deviceType) {
    deviceType_.store(deviceType);
}

void DeviceLink::PostJob(int code) {
    jobs_.Post(code);
}

void DeviceLink::PostParamJob(int macroId) {
    macros_.Post(macroId);
}

void DeviceLink::SetJobHandler(int code, JobHandler handler) {
    std::lock_guard lock(handlersMutex_);
    handlers_[code] = std::move(handler);
}

void DeviceLink::SetMacroPlayer(std::function<void(int)> player) {
    std::lock_guard lock(handlersMutex_);
    macroPlayer_ = std::move(player);
}

void DeviceLink::SetFrameStreamer(std::function<void()> streamer) {
    std::lock_guard lock(handlersMutex_);
    frameStreamer_ = std::move(streamer);
}

void DeviceLink::RunPass() {
    // Timer resolution needs no raising here: pauses are slept against absolute deadlines.
    if (const std::optional<int> front = jobs_.Front()) {
        const int code = *front;
        if (RunsWithoutKeyboard(code)) {
            RunConnectionJob(code);
        }
        if (!interfacesFound_.load() || !modeMatched_.load()) {
            jobs_.PopFront(); // dropped: no keyboard to run it on
            if (ClosesWaitDialog(code)) {
                window_.CloseWaitDialog(); // the page that posted it waits for nothing
            }
            return;
        }
        window_.EnableWindow(false);
        if (!RunsWithoutKeyboard(code)) {
            RunDeviceJob(code);
        }
        if (ClosesWaitDialog(code)) {
            window_.CloseWaitDialog();
            clock_.Sleep(100ms);
        }
        window_.EnableWindow(true);
        jobs_.PopFront();
    } else {
        if (!interfacesFound_.load()) {
            return;
        }
        std::function<void()> streamer;
        {
            std::lock_guard lock(handlersMutex_);
            streamer = frameStreamer_;
        }
        if (streamer && deviceType_.load() < 200 && window_.LightingPageShown()) {
            streamer();
        }
    }
    if (const std::optional<int> macro = macros_.Front()) {
        std::function<void(int)> player;
        {
            std::lock_guard lock(handlersMutex_);
            player = macroPlayer_;
        }
        if (player) {
            player(*macro);
        }
        macros_.PopFront();
    }
}

void DeviceLink::RunConnectionJob(int code) {
    switch (code) {
    case kJobFirstConnection:
        if (firstConnectionDone_.exchange(true)) {
            return; // once per run
        }
        Rescan();
        UpdateConnection();
        window_.StartVisualiser();
        break;
    case kJobDeviceArrival:
    case kJobDeviceRemoval:
        Rescan();
        UpdateConnection();
        break;
    default:
        Dispatch(code, ContextFor(code));
        break;
    }
}

void DeviceLink::RunDeviceJob(int code) {
    JobContext context = ContextFor(code);
    switch (code) {
    case kJobNothing:
        return;
    case kJobFactoryReset:
        commands_.FactoryReset(context.deviceType);
        if (context.family != ProtocolFamily::None) {
            window_.RefreshAfterReset();
        }
        return;
    case kJobFirmwareVersion:
        if (!HasHandler(code)) {
            context.readFirmwareVersion();
            return;
        }
        break;
    default:
        break;
    }
    Dispatch(code, context);
}

bool DeviceLink::HasHandler(int code) const {
    std::lock_guard lock(handlersMutex_);
    return handlers_.count(code) != 0;
}

void DeviceLink::Dispatch(int code, const JobContext& context) {
    JobHandler handler;
    {
        std::lock_guard lock(handlersMutex_);
        if (auto found = handlers_.find(code); found != handlers_.end()) {
            handler = found->second;
        }
    }
    if (handler) {
        handler(context);
    }
}

JobContext DeviceLink::ContextFor(int code) {
    JobContext context;
    context.code = code;
    context.deviceType = deviceType_.load();
    context.family = FamilyOf(context.deviceType);
    context.connectionKind = connectionKind_.load();
    context.readFirmwareVersion = [this] {
        int version = 0;
        const int result = commands_.ReadVersion(version) ? version : -1;
        firmwareVersion_.store(result);
        return result;
    };
    return context;
}

void DeviceLink::Rescan() {
    modeMatched_.store(false);
    hid_.CloseAll();
    hid_.Scan();
    hid_.SetCurrentType(0);
    std::vector<DeviceRecord> records;
    hid_.Records(records);
    window_.ResetDeviceStates();
    std::vector<int> connectedTypes;
    {
        std::lock_guard lock(modesMutex_);
        for (ModeEntry& entry : modes_) {
            if (hid_.FindRecord(entry.vid, entry.pid, entry.product_name, entry.mode) >= 0) {
                entry.connected = 1;
                connectedTypes.push_back(entry.device_type);
            }
        }
    }
    // The window is told outside the lock: it may ask for the modes or post a device change.
    for (int deviceType : connectedTypes) {
        window_.SetDeviceState(deviceType, 1);
    }
    modeMatched_.store(!connectedTypes.empty());
    interfacesFound_.store(!records.empty());
}

void DeviceLink::UpdateConnection() {
    window_.HidePopups();
    if (!interfacesFound_.load()) {
        connectionKind_.store(-1);
        window_.ShowConnection(ConnectionState::NoKeyboard, -1);
        return;
    }
    // The transfers go to the interfaces of the model the window works with (201 unless another
    // model was restored).
    hid_.SetCurrentType(deviceType_.load());
    const int kind = hid_.ConnectionKind();
    connectionKind_.store(kind);
    if ((kind == 1 || kind == 2) && !modeMatched_.load()) {
        window_.ShowConnection(ConnectionState::ReceiverOnly, kind);
        return;
    }
    window_.ShowConnection(ConnectionState::Connected, kind);
    PostJob(kJobFirmwareVersion);
    PostJob(kJobRefreshPages);
}

void DeviceLink::OnDeviceChange(DeviceEvent event, const std::string& path) {
    int job = 0;
    {
        std::lock_guard lock(modesMutex_);
        job = MatchDeviceChange(modes_, event, path);
    }
    if (job != 0) {
        PostJob(job);
    }
}

} // namespace kw
