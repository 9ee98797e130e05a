#include "tests/vm/guest/UeventRelay.h"

#include <linux/netlink.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace kw::vmtest {

namespace {

constexpr uint32_t kKernelGroup = 1;
constexpr uint32_t kUdevGroup = 2;
constexpr uint32_t kUdevMagic = 0xfeedcafe;

// The header libudev puts before the properties of its messages.
struct UdevHeader {
    char prefix[8];
    uint32_t magic; // network order
    uint32_t headerSize;
    uint32_t propertiesOffset;
    uint32_t propertiesLength;
    uint32_t subsystemHash; // network order
    uint32_t devtypeHash;   // network order
    uint32_t tagBloomHigh;
    uint32_t tagBloomLow;
};

} // namespace

uint32_t UdevStringHash(const char* text, size_t length) {
    constexpr uint32_t m = 0x5bd1e995;
    uint32_t h = static_cast<uint32_t>(length);
    const auto* data = reinterpret_cast<const unsigned char*>(text);
    while (length >= 4) {
        uint32_t k;
        std::memcpy(&k, data, 4);
        k *= m;
        k ^= k >> 24;
        k *= m;
        h *= m;
        h ^= k;
        data += 4;
        length -= 4;
    }
    switch (length) {
    case 3:
        h ^= static_cast<uint32_t>(data[2]) << 16;
        [[fallthrough]];
    case 2:
        h ^= static_cast<uint32_t>(data[1]) << 8;
        [[fallthrough]];
    case 1:
        h ^= data[0];
        h *= m;
    }
    h ^= h >> 13;
    h *= m;
    h ^= h >> 15;
    return h;
}

UeventRelay::~UeventRelay() {
    Stop();
}

bool UeventRelay::Start() {
    if (thread_.joinable()) {
        return false;
    }
    kernelFd_ = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
    sendFd_ = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
    stopFd_ = eventfd(0, EFD_CLOEXEC);
    sockaddr_nl listen{};
    listen.nl_family = AF_NETLINK;
    listen.nl_groups = kKernelGroup;
    sockaddr_nl self{};
    self.nl_family = AF_NETLINK;
    if (kernelFd_ < 0 || sendFd_ < 0 || stopFd_ < 0 ||
        bind(kernelFd_, reinterpret_cast<sockaddr*>(&listen), sizeof listen) < 0 ||
        bind(sendFd_, reinterpret_cast<sockaddr*>(&self), sizeof self) < 0) {
        Stop();
        return false;
    }
    thread_ = std::thread([this] { Loop(); });
    return true;
}

void UeventRelay::Stop() {
    if (thread_.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(stopFd_, &one, sizeof one);
        thread_.join();
    }
    for (int* fd : {&kernelFd_, &sendFd_, &stopFd_}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
}

void UeventRelay::Loop() {
    pollfd fds[2] = {{kernelFd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
    std::vector<char> buffer(16384);
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents) {
            return;
        }
        const ssize_t got = recv(kernelFd_, buffer.data(), buffer.size(), 0);
        if (got <= 0) {
            continue;
        }
        // "action@devpath\0KEY=VALUE\0…": the properties follow the first string.
        const std::string_view message(buffer.data(), static_cast<size_t>(got));
        const size_t first = message.find('\0');
        if (first == std::string_view::npos || message.find('@') > first) {
            continue;
        }
        const std::string_view properties = message.substr(first + 1);
        std::string_view subsystem, devtype;
        for (size_t at = 0; at < properties.size();) {
            size_t end = properties.find('\0', at);
            if (end == std::string_view::npos) {
                end = properties.size();
            }
            const std::string_view entry = properties.substr(at, end - at);
            if (entry.rfind("SUBSYSTEM=", 0) == 0) {
                subsystem = entry.substr(10);
            } else if (entry.rfind("DEVTYPE=", 0) == 0) {
                devtype = entry.substr(8);
            }
            at = end + 1;
        }
        UdevHeader header{};
        std::memcpy(header.prefix, "libudev", 8);
        header.magic = htonl(kUdevMagic);
        header.headerSize = sizeof header;
        header.propertiesOffset = sizeof header;
        header.propertiesLength = static_cast<uint32_t>(properties.size());
        header.subsystemHash = htonl(UdevStringHash(subsystem.data(), subsystem.size()));
        header.devtypeHash = devtype.empty() ? 0 : htonl(UdevStringHash(devtype.data(), devtype.size()));
        iovec parts[2] = {{&header, sizeof header},
                          {const_cast<char*>(properties.data()), properties.size()}};
        sockaddr_nl to{};
        to.nl_family = AF_NETLINK;
        to.nl_groups = kUdevGroup;
        msghdr out{};
        out.msg_name = &to;
        out.msg_namelen = sizeof to;
        out.msg_iov = parts;
        out.msg_iovlen = 2;
        // No monitor listening yields ECONNREFUSED; that is not a failure of the relay.
        if (sendmsg(sendFd_, &out, 0) >= 0 || errno == ECONNREFUSED) {
            ++relayed_;
        }
    }
}

} // namespace kw::vmtest
