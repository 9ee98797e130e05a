#pragma once

// Interface paths in the Windows form the product files are written for:
//   HID\VID_1209&PID_0001&MI_03\<native path>
// The "&MI_xx" part is present only when the device has a USB interface number. Product patterns
// ("VID_1209&PID_0001&MI_02") and the secondary-interface marker "&MI_03" are looked for in the
// upper-cased path.

#include <cstdint>
#include <string>
#include <string_view>

namespace kw {

std::string SynthesiseInterfacePath(uint16_t vid, uint16_t pid, int interfaceNumber,
                                    std::string_view nativePath);

// The native path at the end of a synthesised path; empty when `path` is not of that form.
std::string NativePathOf(std::string_view path);

// ASCII letters upper-cased, every other byte kept.
std::string UpperCaseAscii(std::string_view text);

// True when the upper-cased path names interface 3, the streaming interface.
bool IsSecondaryInterfacePath(std::string_view path);

} // namespace kw
