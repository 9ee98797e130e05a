#pragma once

// Where device arrivals and removals come from: the host's device monitor, or the simulated
// keyboard being plugged in and out. The listener gets the interface path in the form of HidPath.h
// and may be called on any thread.

#include "app/device/DeviceChangeRule.h"

#include <functional>
#include <string>

namespace kw {

class DeviceEventSource {
public:
    using Listener = std::function<void(DeviceEvent event, const std::string& path)>;

    virtual ~DeviceEventSource() = default;

    // Starts delivering events to `listener`; false when the source cannot run.
    virtual bool Start(Listener listener) = 0;
    // No event is delivered once Stop returns.
    virtual void Stop() = 0;
};

} // namespace kw
