#pragma once

// Job 6: the key functions and macros of the current profile and Fn layer into the keyboard's
// on-board memory, in the way of the keyboard's protocol family. Device types of 300 and above
// get nothing.

#include "app/device/DeviceLink.h"
#include "app/device/DownloadSource.h"
#include "app/device/HidDeviceManager.h"
#include "app/device/LinkClock.h"

#include <functional>
#include <map>
#include <memory>

namespace kw {

class KeyDownload {
public:
    KeyDownload(HidDeviceManager& hid, LinkClock& clock) : hid_(hid), clock_(clock) {}

    // `matrixIndex` is the layout's key code → key index map (family A). False when nothing was
    // downloaded or a family-A download was abandoned.
    bool Run(int deviceType, DownloadSource& source, const std::map<int, int>& matrixIndex);

    // Makes this download the body of job 6 on `link`. `source` gives, when the job runs, what to
    // read (the current profile and Fn layer); `matrixIndex` belongs to the caller and outlives the
    // registration.
    void Register(DeviceLink& link, std::function<std::unique_ptr<DownloadSource>()> source,
                  const std::map<int, int>& matrixIndex);

private:
    HidDeviceManager& hid_;
    LinkClock& clock_;
};

} // namespace kw
