#include "app/device/HidPath.h"

#include <cstdio>

namespace kw {

std::string SynthesiseInterfacePath(uint16_t vid, uint16_t pid, int interfaceNumber,
                                    std::string_view nativePath) {
    char head[40];
    if (interfaceNumber >= 0 && interfaceNumber <= 0xFF) {
        std::snprintf(head, sizeof head, "HID\\VID_%04X&PID_%04X&MI_%02X\\", vid, pid, interfaceNumber);
    } else {
        std::snprintf(head, sizeof head, "HID\\VID_%04X&PID_%04X\\", vid, pid);
    }
    return std::string(head).append(nativePath);
}

std::string NativePathOf(std::string_view path) {
    const std::string upper = UpperCaseAscii(path.substr(0, 4));
    if (upper != "HID\\") {
        return {};
    }
    const size_t second = path.find('\\', 4);
    if (second == std::string_view::npos) {
        return {};
    }
    return std::string(path.substr(second + 1));
}

std::string UpperCaseAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

bool IsSecondaryInterfacePath(std::string_view path) {
    return UpperCaseAscii(path).find("&MI_03") != std::string::npos;
}

} // namespace kw
