#pragma once

// What the device worker asks of the main window. The main window implements it; every operation
// does nothing by default. Called on the worker thread.

namespace kw {

// What the connection update found.
enum class ConnectionState {
    NoKeyboard,   // no vendor interface opened: status text 61, home page only
    ReceiverOnly, // a wireless interface without a configured mode behind it: status text 61
    Connected,    // status text 60, pages shown
};

class WorkerWindow {
public:
    virtual ~WorkerWindow() = default;

    // Disabled while a device job runs.
    virtual void EnableWindow(bool /*enable*/) {}
    // Closes the wait dialog a page showed when it posted a job.
    virtual void CloseWaitDialog() {}
    // The window is visible and the lighting tab is current.
    virtual bool LightingPageShown() { return false; }

    // Rescan: the device list's states.
    virtual void ResetDeviceStates() {}
    virtual void SetDeviceState(int /*deviceType*/, int /*state*/) {}

    // Connection update: popups are hidden first, then the state is shown.
    virtual void HidePopups() {}
    virtual void ShowConnection(ConnectionState /*state*/, int /*connectionKind*/) {}

    // The first connection starts the audio visualiser.
    virtual void StartVisualiser() {}
    // After a factory reset: refresh the macro, profile and lighting views.
    virtual void RefreshAfterReset() {}
};

} // namespace kw
