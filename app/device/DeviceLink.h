#pragma once

// The device side of the main window: the device job queue and the macro queue, the worker pass
// that runs them, the rescan and connection update after every plug event, and the device-change
// rule that turns arrivals and removals into jobs.
//
// Jobs 1-4 and 10 are carried out here, and job 13 reads the firmware version; the others run the handler
// registered for their code (key and macro download, lighting, page refreshes, updates) and do nothing but
// the common frame while none is registered.

#include "app/device/DeviceChangeRule.h"
#include "app/device/DeviceCommands.h"
#include "app/device/HidDeviceManager.h"
#include "app/device/JobQueue.h"
#include "app/device/LinkClock.h"
#include "app/device/ProductTypes.h"
#include "app/device/WorkerWindow.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace kw {

// Device job codes.
enum DeviceJob : int {
    kJobFirstConnection = 1,
    kJobDeviceArrival = kJobArrival, // as the device-change rule posts them
    kJobDeviceRemoval = kJobRemoval,
    kJobNothing = 4,
    kJobRefreshPages = 5,
    kJobDownloadKeys = 6,
    kJobDownloadLighting = 7,
    kJobDownloadKeyColours = 8,
    kJobFactoryReset = 10,
    kJobSoftwareCheck = 12,
    kJobFirmwareVersion = 13,
    kJobSoftwareDownload = 14,
    kJobFirmwareDownload = 15,
};

// What a job handler is told.
struct JobContext {
    int code = 0;
    int deviceType = 0;
    ProtocolFamily family = ProtocolFamily::None;
    int connectionKind = -1;
    // Reads the keyboard's firmware version (-1 when it does not answer) and keeps it as
    // DeviceLink::FirmwareVersion(). Job 13 reads it this way when no handler is registered.
    std::function<int()> readFirmwareVersion;
};

using JobHandler = std::function<void(const JobContext& context)>;

class DeviceLink {
public:
    DeviceLink(HidDeviceManager& hid, LinkClock& clock, WorkerWindow& window);

    // The mode entries of config.xml (connected marks are kept here from now on).
    void SetModes(std::vector<ModeEntry> modes);
    std::vector<ModeEntry> Modes() const;

    // The main window's current device type (201 after start-up).
    void SetDeviceType(int deviceType);
    int DeviceType() const { return deviceType_.load(); }

    // Any thread.
    void PostJob(int code);
    void PostParamJob(int macroId);
    size_t PendingJobs() const { return jobs_.Size(); }
    size_t PendingMacros() const { return macros_.Size(); }

    // Set before the worker starts.
    void SetJobHandler(int code, JobHandler handler);
    void SetMacroPlayer(std::function<void(int macroId)> player);
    // One frame of per-key colours for the music and screen modes, run when no job is queued.
    void SetFrameStreamer(std::function<void()> streamer);

    // One worker pass: at most one job, then streaming when idle, then one queued macro.
    void RunPass();

    // Jobs 1-3.
    void Rescan();
    void UpdateConnection();

    // A device arrival or removal (any thread): posts job 2 or 3 when a mode entry matches.
    void OnDeviceChange(DeviceEvent event, const std::string& path);

    bool InterfacesFound() const { return interfacesFound_.load(); }
    bool ModeMatched() const { return modeMatched_.load(); }
    bool FirstConnectionDone() const { return firstConnectionDone_.load(); }
    int ConnectionKind() const { return connectionKind_.load(); }
    int FirmwareVersion() const { return firmwareVersion_.load(); }

private:
    void RunConnectionJob(int code);
    void RunDeviceJob(int code);
    bool HasHandler(int code) const;
    void Dispatch(int code, const JobContext& context);
    JobContext ContextFor(int code);

    HidDeviceManager& hid_;
    LinkClock& clock_;
    WorkerWindow& window_;
    DeviceCommands commands_;

    JobQueue jobs_;
    JobQueue macros_;

    mutable std::mutex modesMutex_;
    std::vector<ModeEntry> modes_;

    mutable std::mutex handlersMutex_;
    std::map<int, JobHandler> handlers_;
    std::function<void(int)> macroPlayer_;
    std::function<void()> frameStreamer_;

    std::atomic<int> deviceType_{201};
    std::atomic<int> connectionKind_{-1};
    std::atomic<int> firmwareVersion_{-1};
    std::atomic<bool> interfacesFound_{false};
    std::atomic<bool> modeMatched_{false};
    std::atomic<bool> firstConnectionDone_{false};
};

} // namespace kw
