#pragma once

// Wraps a backend and reports every report sent and received as one line:
//   "> feature HID\VID_1209&PID_0001&MI_02\/dev/hidraw3 07 fd 00 00 00 00 00 00"
// '>' for reports to the keyboard, '<' for answers, '!' for a transfer that failed.

#include "app/device/HidBackend.h"

#include <functional>
#include <memory>
#include <string>

namespace kw {

class TracingBackend : public HidBackend {
public:
    using Sink = std::function<void(const std::string& line)>;

    TracingBackend(std::shared_ptr<HidBackend> inner, Sink sink);

    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<HidHandle> Open(const std::string& path) override;

    // "07 fd 00 ..."
    static std::string Hex(std::span<const uint8_t> bytes);

private:
    std::shared_ptr<HidBackend> inner_;
    std::shared_ptr<Sink> sink_;
};

} // namespace kw
