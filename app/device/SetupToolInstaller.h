#pragma once

// Installation through keywright-setup, run as root with pkexec: it installs the udev rules that
// give the logged-in user the keyboards' nodes, /dev/uhid and /dev/uinput, and loads the modules.
// The tool's exit code is not trusted: success means the virtual device opens afterwards.

#include "app/device/Kbvirt.h"
#include "app/device/ProcessRunner.h"
#include "app/device/VirtualDeviceInstaller.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace kw {

class SetupToolInstaller : public VirtualDeviceInstaller {
public:
    using DeviceId = std::pair<uint16_t, uint16_t>; // vendor, product

    SetupToolInstaller(Kbvirt& kbvirt, ProcessRunner& runner, std::filesystem::path tool,
                       std::vector<DeviceId> keyboards);

    void RemoveVirtualDevice() override;
    bool InstallVirtualDevice() override;

    // pkexec <tool> --keyboard VVVV:PPPP ...
    std::vector<std::string> InstallCommand() const;

    // keywright-setup next to the program, else in the program's libexec folder; empty when
    // neither exists.
    static std::filesystem::path FindTool(const std::filesystem::path& executableFolder);

private:
    Kbvirt& kbvirt_;
    ProcessRunner& runner_;
    std::filesystem::path tool_;
    std::vector<DeviceId> keyboards_;
};

} // namespace kw
