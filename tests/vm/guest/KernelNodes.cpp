#include "tests/vm/guest/KernelNodes.h"

#include <linux/input.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace kw::vmtest {

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::string out = text.str();
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) {
        out.pop_back();
    }
    return out;
}

template <typename Find> auto WaitFor(Find find, milliseconds bound) {
    const auto until = std::chrono::steady_clock::now() + bound;
    auto found = find();
    while (found.empty() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(milliseconds(10));
        found = find();
    }
    return found;
}

std::string HidrawNode(const std::string& phys) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/sys/class/hidraw", error)) {
        std::istringstream uevent(ReadText(entry.path() / "device" / "uevent"));
        for (std::string line; std::getline(uevent, line);) {
            if (line == "HID_PHYS=" + phys) {
                return "/dev/" + entry.path().filename().string();
            }
        }
    }
    return {};
}

} // namespace

std::string WaitHidrawNode(const std::string& phys, milliseconds bound) {
    return WaitFor([&] { return HidrawNode(phys); }, bound);
}

std::vector<std::string> EventNodesOf(uint16_t vid, uint16_t pid, const std::string& name) {
    std::vector<std::string> nodes;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/sys/class/input", error)) {
        const std::string base = entry.path().filename().string();
        if (base.rfind("event", 0) != 0) {
            continue;
        }
        const fs::path device = entry.path() / "device";
        const unsigned vendor = std::stoul("0" + ReadText(device / "id" / "vendor"), nullptr, 16);
        const unsigned product = std::stoul("0" + ReadText(device / "id" / "product"), nullptr, 16);
        if (vendor == vid && product == pid && ReadText(device / "name").find(name) != std::string::npos &&
            access(("/dev/input/" + base).c_str(), F_OK) == 0) {
            nodes.push_back("/dev/input/" + base);
        }
    }
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

std::vector<std::string> WaitEventNodes(uint16_t vid, uint16_t pid, const std::string& name,
                                        milliseconds bound) {
    return WaitFor([&] { return EventNodesOf(vid, pid, name); }, bound);
}

std::vector<std::string> WaitEventNodesNamed(const std::string& name, milliseconds bound) {
    auto find = [&] {
        std::vector<std::string> nodes;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator("/sys/class/input", error)) {
            const std::string base = entry.path().filename().string();
            if (base.rfind("event", 0) == 0 && ReadText(entry.path() / "device" / "name") == name &&
                access(("/dev/input/" + base).c_str(), F_OK) == 0) {
                nodes.push_back("/dev/input/" + base);
            }
        }
        return nodes;
    };
    return WaitFor(find, bound);
}

std::vector<std::string> AllEventNodes() {
    std::vector<std::string> nodes;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/dev/input", error)) {
        if (entry.path().filename().string().rfind("event", 0) == 0) {
            nodes.push_back(entry.path().string());
        }
    }
    return nodes;
}

std::vector<int> KeysDown(const std::string& node) {
    std::vector<int> down;
    const int fd = open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return down;
    }
    uint8_t bits[KEY_MAX / 8 + 1] = {};
    if (ioctl(fd, EVIOCGKEY(sizeof bits), bits) >= 0) {
        for (int code = 0; code <= KEY_MAX; ++code) {
            if (bits[code / 8] & (1 << (code % 8))) {
                down.push_back(code);
            }
        }
    }
    close(fd);
    return down;
}

EventReader::EventReader(const std::vector<std::string>& nodes, bool grab) : nodes_(nodes) {
    for (const std::string& node : nodes) {
        const int fd = open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        if (grab) {
            ioctl(fd, EVIOCGRAB, 1);
        }
        fds_.push_back(fd);
    }
}

EventReader::~EventReader() {
    for (int fd : fds_) {
        close(fd);
    }
}

std::vector<InputEvent> EventReader::Read(size_t count, milliseconds bound) {
    std::vector<InputEvent> events;
    removed_ = false;
    const auto until = std::chrono::steady_clock::now() + bound;
    std::vector<pollfd> fds;
    for (int fd : fds_) {
        fds.push_back({fd, POLLIN, 0});
    }
    while (events.size() < count && !fds.empty()) {
        const auto left =
            std::chrono::duration_cast<milliseconds>(until - std::chrono::steady_clock::now()).count();
        if (left <= 0 || poll(fds.data(), fds.size(), static_cast<int>(left)) <= 0) {
            break;
        }
        for (size_t i = 0; i < fds.size(); ++i) {
            if (!fds[i].revents) {
                continue;
            }
            input_event event{};
            ssize_t got;
            while ((got = read(fds[i].fd, &event, sizeof event)) == sizeof event) {
                if (event.type == EV_KEY || event.type == EV_REL || event.type == EV_ABS) {
                    events.push_back({event.type, event.code, event.value, nodes_[i]});
                }
            }
            if (got < 0 && errno == ENODEV) {
                removed_ = true;
                fds[i].fd = -1; // poll ignores it from now on
            }
        }
        if (std::all_of(fds.begin(), fds.end(), [](const pollfd& p) { return p.fd < 0; })) {
            break;
        }
    }
    return events;
}

} // namespace kw::vmtest
