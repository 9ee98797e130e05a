#include "tests/vm/guest/PhysInterfaceBackend.h"

#include "app/device/HidPath.h"

#include <cstdlib>
#include <fstream>

namespace kw::vmtest {

int InterfaceNumberFromPhys(const std::string& hidrawNode) {
    const size_t slash = hidrawNode.rfind('/');
    const std::string name = slash == std::string::npos ? hidrawNode : hidrawNode.substr(slash + 1);
    if (name.rfind("hidraw", 0) != 0) {
        return -1;
    }
    std::ifstream uevent("/sys/class/hidraw/" + name + "/device/uevent");
    for (std::string line; std::getline(uevent, line);) {
        if (line.rfind("HID_PHYS=", 0) != 0) {
            continue;
        }
        const size_t at = line.rfind("/input");
        if (at == std::string::npos || at + 6 >= line.size()) {
            return -1;
        }
        char* end = nullptr;
        const long number = std::strtol(line.c_str() + at + 6, &end, 10);
        return *end == '\0' && number >= 0 && number <= 0xFF ? static_cast<int>(number) : -1;
    }
    return -1;
}

std::string WithPhysInterfaceNumber(const std::string& path) {
    if (UpperCaseAscii(path).find("&MI_") != std::string::npos) {
        return path;
    }
    const std::string native = NativePathOf(path);
    const int number = InterfaceNumberFromPhys(native);
    const std::string upper = UpperCaseAscii(path);
    const size_t vid = upper.find("VID_");
    const size_t pid = upper.find("&PID_");
    if (number < 0 || vid == std::string::npos || pid == std::string::npos) {
        return path;
    }
    const auto vendor = static_cast<uint16_t>(std::strtoul(path.substr(vid + 4, 4).c_str(), nullptr, 16));
    const auto product = static_cast<uint16_t>(std::strtoul(path.substr(pid + 5, 4).c_str(), nullptr, 16));
    return SynthesiseInterfacePath(vendor, product, number, native);
}

std::vector<HidInterfaceInfo> PhysInterfaceBackend::Enumerate() {
    std::vector<HidInterfaceInfo> found = inner_->Enumerate();
    for (HidInterfaceInfo& info : found) {
        if (info.interfaceNumber < 0) {
            const std::string native = NativePathOf(info.path);
            const int number = InterfaceNumberFromPhys(native);
            if (number >= 0) {
                info.interfaceNumber = number;
                info.path = SynthesiseInterfacePath(info.vid, info.pid, number, native);
            }
        }
    }
    return found;
}

} // namespace kw::vmtest
