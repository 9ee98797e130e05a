#pragma once

// The macro queue of the device link: the worker pass plays its front entry with the player set
// through DeviceLink::SetMacroPlayer and removes it afterwards.

#include "app/device/DeviceLink.h"
#include "app/keys/MacroQueue.h"

namespace kw {

class LinkMacroQueue : public MacroQueue {
public:
    explicit LinkMacroQueue(DeviceLink& link) : link_(link) {}
    bool Empty() const override { return link_.PendingMacros() == 0; }
    void Post(int macroId) override { link_.PostParamJob(macroId); }

private:
    DeviceLink& link_;
};

} // namespace kw
