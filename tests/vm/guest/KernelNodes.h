#pragma once

// Finding the kernel's device nodes through sysfs (their numbers differ between runs) and reading
// input events from them, every wait bounded.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace kw::vmtest {

using std::chrono::milliseconds;

// The hidraw node (/dev/hidrawN) of the HID device with this physical path, waiting up to `bound`
// for it to appear; empty when it does not.
std::string WaitHidrawNode(const std::string& phys, milliseconds bound = milliseconds(3000));

// The event nodes (/dev/input/eventN) of the input devices with these ids whose name contains
// `name`; waits up to `bound` for at least one.
std::vector<std::string> EventNodesOf(uint16_t vid, uint16_t pid, const std::string& name = "");
std::vector<std::string> WaitEventNodes(uint16_t vid, uint16_t pid, const std::string& name = "",
                                        milliseconds bound = milliseconds(3000));
// The event nodes of the input devices named exactly `name`, waiting up to `bound` for one.
std::vector<std::string> WaitEventNodesNamed(const std::string& name,
                                             milliseconds bound = milliseconds(3000));
// Every event node present.
std::vector<std::string> AllEventNodes();

// The keys (evdev codes) the node reports held down; empty when none or the node cannot be read.
std::vector<int> KeysDown(const std::string& node);

struct InputEvent {
    int type = 0;
    int code = 0;
    int value = 0;
    std::string node;
    bool operator==(const InputEvent& other) const {
        return type == other.type && code == other.code && value == other.value;
    }
};

// Reads the events of some nodes, opened at construction.
class EventReader {
public:
    explicit EventReader(const std::vector<std::string>& nodes, bool grab = false);
    ~EventReader();
    EventReader(const EventReader&) = delete;
    EventReader& operator=(const EventReader&) = delete;

    bool Opened() const { return !fds_.empty() && fds_.size() == nodes_.size(); }
    // Key, relative and absolute events (no sync or scan events) read until `count` were
    // collected or `bound` passed.
    std::vector<InputEvent> Read(size_t count, milliseconds bound);
    // True when a node reported its removal (ENODEV) during the last Read.
    bool Removed() const { return removed_; }

private:
    std::vector<std::string> nodes_;
    std::vector<int> fds_;
    bool removed_ = false;
};

} // namespace kw::vmtest
