#pragma once

// The worker thread: one DeviceLink pass every 16 ms.

#include "app/device/CThreadBasic.h"
#include "app/device/DeviceLink.h"

namespace kw {

class DeviceWorker : public CThreadBasic {
public:
    explicit DeviceWorker(DeviceLink& link) : link_(link) {}
    ~DeviceWorker() override { Stop(); }

protected:
    void Run() override { link_.RunPass(); }

private:
    DeviceLink& link_;
};

} // namespace kw
