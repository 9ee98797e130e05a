#include "app/device/SetupToolInstaller.h"

#include <cstdio>
#include <system_error>

namespace kw {

SetupToolInstaller::SetupToolInstaller(Kbvirt& kbvirt, ProcessRunner& runner, std::filesystem::path tool,
                                       std::vector<DeviceId> keyboards)
    : kbvirt_(kbvirt), runner_(runner), tool_(std::move(tool)), keyboards_(std::move(keyboards)) {}

void SetupToolInstaller::RemoveVirtualDevice() {
    kbvirt_.CloseDevice();
}

std::vector<std::string> SetupToolInstaller::InstallCommand() const {
    std::vector<std::string> argv = {"pkexec", tool_.string()};
    for (const DeviceId& id : keyboards_) {
        char text[16];
        std::snprintf(text, sizeof(text), "%04X:%04X", id.first, id.second);
        argv.emplace_back("--keyboard");
        argv.emplace_back(text);
    }
    return argv;
}

bool SetupToolInstaller::InstallVirtualDevice() {
    if (kbvirt_.FindVirtualDevice())
        return true;
    RemoveVirtualDevice();
    if (tool_.empty() || !runner_.RunAndWait(InstallCommand()))
        return false;
    return kbvirt_.FindVirtualDevice();
}

std::filesystem::path SetupToolInstaller::FindTool(const std::filesystem::path& executableFolder) {
    std::error_code error;
    for (const std::filesystem::path& candidate :
         {executableFolder / "keywright-setup",
          executableFolder / ".." / "libexec" / "keywright" / "keywright-setup"}) {
        if (std::filesystem::is_regular_file(candidate, error))
            return std::filesystem::weakly_canonical(candidate, error);
    }
    return {};
}

} // namespace kw
