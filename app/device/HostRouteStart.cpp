#include "app/device/HostRouteStart.h"

namespace kw {

bool StartHostRoute(Kbvirt& kbvirt, VirtualDeviceInstaller& installer, InstallFailure& failure) {
    kbvirt.CloseDevice();
    if (!kbvirt.FindVirtualDevice()) {
        installer.RemoveVirtualDevice();
        if (installer.InstallVirtualDevice()) {
            kbvirt.CloseDevice();
            kbvirt.FindVirtualDevice();
        }
    }
    kbvirt.CloseDevice();
    if (!kbvirt.FindVirtualDevice()) {
        failure.ShowInstallError();
        failure.Exit(0);
        return false;
    }
    kbvirt.ReleaseAll();
    return true;
}

} // namespace kw
