#pragma once

// Installs and removes what the virtual device and the key filter need from the system.

namespace kw {

class VirtualDeviceInstaller {
public:
    virtual ~VirtualDeviceInstaller() = default;
    // Removes the virtual device.
    virtual void RemoveVirtualDevice() = 0;
    // True when the virtual device can be used afterwards.
    virtual bool InstallVirtualDevice() = 0;
};

// Shown when the virtual device is missing and cannot be installed; the program then ends.
class InstallFailure {
public:
    virtual ~InstallFailure() = default;
    // The "Install Driver" message; returns when the user closed it.
    virtual void ShowInstallError() = 0;
    // Ends the process with `code`.
    virtual void Exit(int code) = 0;
};

} // namespace kw
