#include "app/device/EvdevFilterBackend.h"

#include "app/device/HidUsageTable.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace kw {

namespace {

constexpr const char* kCloneSuffix = " (keywright)";

int HexAttribute(udev_device* device, const char* name) {
    const char* text = udev_device_get_sysattr_value(device, name);
    if (text == nullptr)
        return -1;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 16);
    return end != text ? static_cast<int>(value) : -1;
}

bool AnyKeyDown(libevdev* device) {
    for (int code = 0; code <= KEY_MAX; ++code) {
        if (libevdev_has_event_code(device, EV_KEY, static_cast<unsigned>(code)) &&
            libevdev_get_event_value(device, EV_KEY, static_cast<unsigned>(code)) != 0)
            return true;
    }
    return false;
}

} // namespace

struct EvdevFilterBackend::Node {
    int fd = -1;
    libevdev* device = nullptr;
    libevdev_uinput* clone = nullptr;
    // The node went away; it is dropped, and its descriptor closed, by the destructor, so that
    // the ungrab there never reaches a descriptor number reused in the meantime.
    bool gone = false;
    std::bitset<KEY_CNT> heldInClone;

    ~Node() {
        if (clone)
            libevdev_uinput_destroy(clone);
        if (device) {
            libevdev_grab(device, LIBEVDEV_UNGRAB);
            libevdev_free(device);
        }
        if (fd >= 0)
            ::close(fd);
    }
};

EvdevFilterBackend::EvdevFilterBackend(std::vector<DeviceId> keyboards) : keyboards_(std::move(keyboards)) {}

EvdevFilterBackend::~EvdevFilterBackend() {
    Close();
}

std::string EvdevFilterBackend::CloneName(const std::string& name) {
    return name + kCloneSuffix;
}

std::vector<std::string> EvdevFilterBackend::FindEventNodes(const std::vector<DeviceId>& keyboards) {
    std::vector<std::string> nodes;
    udev* context = udev_new();
    if (context == nullptr)
        return nodes;
    udev_enumerate* enumerate = udev_enumerate_new(context);
    udev_enumerate_add_match_subsystem(enumerate, "input");
    udev_enumerate_add_match_sysname(enumerate, "event*");
    udev_enumerate_scan_devices(enumerate);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
        const char* syspath = udev_list_entry_get_name(entry);
        udev_device* device = udev_device_new_from_syspath(context, syspath);
        if (device == nullptr)
            continue;
        udev_device* input = udev_device_get_parent_with_subsystem_devtype(device, "input", nullptr);
        const char* node = udev_device_get_devnode(device);
        const char* name = input != nullptr ? udev_device_get_sysattr_value(input, "name") : nullptr;
        const bool clone = name != nullptr && std::string(name).ends_with(kCloneSuffix);
        if (input != nullptr && node != nullptr && !clone) {
            const int vendor = HexAttribute(input, "id/vendor");
            const int product = HexAttribute(input, "id/product");
            for (const DeviceId& id : keyboards) {
                if (vendor == id.first && product == id.second) {
                    nodes.emplace_back(node);
                    break;
                }
            }
        }
        udev_device_unref(device);
    }
    udev_enumerate_unref(enumerate);
    udev_unref(context);
    return nodes;
}

bool EvdevFilterBackend::Open() {
    std::lock_guard openLock(openMutex_);
    if (reader_.joinable()) {
        if (!readerDone_)
            return true;
        // Every node went away (unplugged): start afresh.
        reader_.join();
        ::close(stopFd_);
        stopFd_ = -1;
        nodes_.clear();
    }
    readerDone_ = false;
    for (const std::string& path : FindEventNodes(keyboards_)) {
        auto node = std::make_unique<Node>();
        node->fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (node->fd < 0 || libevdev_new_from_fd(node->fd, &node->device) != 0)
            continue;
        const char* name = libevdev_get_name(node->device);
        if (name != nullptr && std::string(name).ends_with(kCloneSuffix))
            continue;
        // Grabbing while a key is held would leave it held for the system: wait briefly for the
        // keys to come up.
        for (int tries = 0; tries < 50 && AnyKeyDown(node->device); ++tries) {
            input_event event{};
            while (libevdev_next_event(node->device, LIBEVDEV_READ_FLAG_NORMAL, &event) >= 0) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (libevdev_grab(node->device, LIBEVDEV_GRAB) != 0)
            continue;
        libevdev_set_name(node->device, CloneName(name ? name : "keyboard").c_str());
        if (libevdev_uinput_create_from_device(node->device, LIBEVDEV_UINPUT_OPEN_MANAGED, &node->clone) != 0)
            continue; // the node's destructor ungrabs it
        nodes_.push_back(std::move(node));
    }
    if (nodes_.empty())
        return false;
    stopFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd_ < 0) {
        nodes_.clear();
        return false;
    }
    reader_ = std::thread([this] { Read(); });
    return true;
}

void EvdevFilterBackend::Close() {
    std::lock_guard openLock(openMutex_);
    if (reader_.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(stopFd_, &one, sizeof(one));
        reader_.join();
    }
    if (stopFd_ >= 0)
        ::close(stopFd_);
    stopFd_ = -1;
    nodes_.clear();
    Cancel();
}

bool EvdevFilterBackend::Control(uint32_t code, std::span<const uint8_t> input) {
    if (code == kFilterActivate) {
        // A keyboard plugged in after the start is grabbed when the next key list is activated.
        Open();
        return true;
    }
    if (code != kFilterSetKeys)
        return code == kFilterPrepare;
    std::bitset<256> watched;
    for (size_t at = 0; at + kFilterEntrySize <= input.size(); at += kFilterEntrySize) {
        const int key = input[at] | (input[at + 1] << 8);
        if (key > 0 && key < 256 && (input[at + 3] & 2) != 0)
            watched.set(static_cast<size_t>(key));
    }
    std::lock_guard lock(watchedMutex_);
    watched_ = watched;
    return true;
}

bool EvdevFilterBackend::WaitEvent(FilterEntry& event) {
    return queue_.Wait(event);
}

void EvdevFilterBackend::Cancel() {
    queue_.Cancel();
}

bool EvdevFilterBackend::IsReported(const std::bitset<256>& watched, int evdevCode, int value,
                                    FilterEntry& event) {
    const int key = KeyCodeFromEvdevCode(evdevCode);
    if (key <= 0 || key >= 256 || !watched.test(static_cast<size_t>(key)))
        return false;
    event = {static_cast<uint8_t>(key), 0, 7, static_cast<uint8_t>(value != 0 ? 1 : 0)};
    return true;
}

bool EvdevFilterBackend::RouteKey(const std::bitset<256>& watched, std::bitset<KEY_CNT>& heldInClone,
                                  int evdevCode, int value, FilterEntry& event) {
    if (evdevCode < 0 || evdevCode >= KEY_CNT)
        return false;
    const auto bit = static_cast<size_t>(evdevCode);
    if (heldInClone.test(bit) && value != 1) {
        if (value == 0)
            heldInClone.reset(bit);
        return false;
    }
    if (IsReported(watched, evdevCode, value, event))
        return true;
    heldInClone.set(bit, value != 0);
    return false;
}

void EvdevFilterBackend::Read() {
    ReadNodes();
    readerDone_ = true;
}

void EvdevFilterBackend::ReadNodes() {
    for (;;) {
        std::vector<pollfd> fds;
        fds.push_back({stopFd_, POLLIN, 0});
        for (const auto& node : nodes_)
            fds.push_back({node->fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents != 0)
            return;
        for (size_t i = 0; i < nodes_.size(); ++i) {
            if (fds[i + 1].revents & (POLLERR | POLLHUP | POLLNVAL)) {
                nodes_[i]->gone = true; // unplugged: dropped
                continue;
            }
            if (fds[i + 1].revents & POLLIN)
                ReadNode(*nodes_[i]);
        }
        std::erase_if(nodes_, [](const auto& node) { return node->gone; });
        if (nodes_.empty())
            return;
    }
}

void EvdevFilterBackend::ReadNode(Node& node) {
    input_event event{};
    unsigned flags = LIBEVDEV_READ_FLAG_NORMAL;
    for (;;) {
        const int status = libevdev_next_event(node.device, flags, &event);
        if (status == LIBEVDEV_READ_STATUS_SYNC) {
            flags = LIBEVDEV_READ_FLAG_SYNC;
        } else if (status == -EAGAIN && flags == LIBEVDEV_READ_FLAG_SYNC) {
            flags = LIBEVDEV_READ_FLAG_NORMAL;
            continue;
        } else if (status != LIBEVDEV_READ_STATUS_SUCCESS) {
            if (status == -ENODEV)
                node.gone = true;
            return;
        }
        if (event.type == EV_KEY) {
            std::bitset<256> watched;
            {
                std::lock_guard lock(watchedMutex_);
                watched = watched_;
            }
            FilterEntry entry{};
            if (RouteKey(watched, node.heldInClone, event.code, event.value, entry)) {
                if (event.value != 2)
                    queue_.Push(entry);
                continue;
            }
        }
        libevdev_uinput_write_event(node.clone, event.type, event.code, event.value);
    }
}

} // namespace kw
