#include "app/device/UdevDeviceMonitor.h"

#include "app/device/HidPath.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>

namespace kw {

namespace {

// The synthesised path of a hidraw device, or empty when its HID parent cannot be read.
std::string PathOfHidraw(udev_device* hidraw) {
    const char* node = udev_device_get_devnode(hidraw);
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
    if (!node || !hid) {
        return {};
    }
    const char* hidId = udev_device_get_property_value(hid, "HID_ID");
    const auto ids = UdevDeviceMonitor::ParseHidId(hidId ? hidId : "");
    if (!ids) {
        return {};
    }
    int interfaceNumber = -1;
    if (udev_device* usbInterface =
            udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_interface")) {
        if (const char* number = udev_device_get_sysattr_value(usbInterface, "bInterfaceNumber")) {
            interfaceNumber = static_cast<int>(std::strtol(number, nullptr, 16));
        }
    }
    return SynthesiseInterfacePath(ids->vid, ids->pid, interfaceNumber, node);
}

} // namespace

UdevDeviceMonitor::~UdevDeviceMonitor() {
    Stop();
}

std::optional<UdevDeviceMonitor::HidId> UdevDeviceMonitor::ParseHidId(std::string_view text) {
    const size_t first = text.find(':');
    const size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    auto parse = [](std::string_view part, uint32_t& value) {
        if (part.empty()) {
            return false;
        }
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value, 16);
        return error == std::errc() && end == part.data() + part.size();
    };
    uint32_t bus = 0, vid = 0, pid = 0;
    if (!parse(text.substr(0, first), bus) || !parse(text.substr(first + 1, second - first - 1), vid) ||
        !parse(text.substr(second + 1), pid) || vid > 0xFFFF || pid > 0xFFFF) {
        return std::nullopt;
    }
    return HidId{static_cast<uint16_t>(vid), static_cast<uint16_t>(pid)};
}

bool UdevDeviceMonitor::Start(Listener listener) {
    if (thread_.joinable()) {
        return false;
    }
    listener_ = std::move(listener);
    udev_ = udev_new();
    if (!udev_) {
        return false;
    }
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    stopFd_ = eventfd(0, EFD_CLOEXEC);
    if (!monitor_ || stopFd_ < 0 ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        Stop();
        return false;
    }
    // Devices present already: remember their paths so that their removal can be named.
    if (udev_enumerate* enumerate = udev_enumerate_new(udev_)) {
        udev_enumerate_add_match_subsystem(enumerate, "hidraw");
        udev_enumerate_scan_devices(enumerate);
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
            if (udev_device* device = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry))) {
                const char* node = udev_device_get_devnode(device);
                const std::string path = PathOfHidraw(device);
                if (node && !path.empty()) {
                    paths_[node] = path;
                }
                udev_device_unref(device);
            }
        }
        udev_enumerate_unref(enumerate);
    }
    thread_ = std::thread([this] { Loop(); });
    return true;
}

void UdevDeviceMonitor::Stop() {
    if (thread_.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(stopFd_, &one, sizeof one);
        thread_.join();
    }
    if (monitor_) {
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
    }
    if (udev_) {
        udev_unref(udev_);
        udev_ = nullptr;
    }
    if (stopFd_ >= 0) {
        close(stopFd_);
        stopFd_ = -1;
    }
    paths_.clear();
}

void UdevDeviceMonitor::Loop() {
    pollfd fds[2] = {{udev_monitor_get_fd(monitor_), POLLIN, 0}, {stopFd_, POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            continue; // interrupted
        }
        if (fds[1].revents) {
            return;
        }
        udev_device* device = udev_monitor_receive_device(monitor_);
        if (!device) {
            continue;
        }
        const std::string action = udev_device_get_action(device) ? udev_device_get_action(device) : "";
        const char* nodeText = udev_device_get_devnode(device);
        const std::string node = nodeText ? nodeText : "";
        std::string path;
        DeviceEvent event = DeviceEvent::Arrival;
        if (action == "add") {
            path = PathOfHidraw(device);
            if (!path.empty()) {
                paths_[node] = path;
            }
        } else if (action == "remove") {
            event = DeviceEvent::Removal;
            if (auto found = paths_.find(node); found != paths_.end()) {
                path = found->second;
                paths_.erase(found);
            }
        }
        udev_device_unref(device);
        if (!path.empty() && listener_) {
            listener_(event, path);
        }
    }
}

} // namespace kw
