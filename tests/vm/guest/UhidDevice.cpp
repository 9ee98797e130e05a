#include "tests/vm/guest/UhidDevice.h"

#include <linux/uhid.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace kw::vmtest {

UhidDevice::~UhidDevice() {
    Destroy();
}

bool UhidDevice::Create(const UhidDescription& description) {
    if (fd_ >= 0 || description.descriptor.size() > HID_MAX_DESCRIPTOR_SIZE) {
        return false;
    }
    fd_ = open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (fd_ < 0) {
        return false;
    }
    stopFd_ = eventfd(0, EFD_CLOEXEC);
    uhid_event event{};
    event.type = UHID_CREATE2;
    auto& create = event.u.create2;
    std::snprintf(reinterpret_cast<char*>(create.name), sizeof create.name, "%s", description.name.c_str());
    std::snprintf(reinterpret_cast<char*>(create.phys), sizeof create.phys, "%s", description.phys.c_str());
    create.rd_size = static_cast<uint16_t>(description.descriptor.size());
    create.bus = description.bus;
    create.vendor = description.vid;
    create.product = description.pid;
    std::memcpy(create.rd_data, description.descriptor.data(), description.descriptor.size());
    if (stopFd_ < 0 || !WriteEvent(&event, sizeof event)) {
        Destroy();
        return false;
    }
    thread_ = std::thread([this] { Serve(); });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!started_.load() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!started_.load()) {
        Destroy();
        return false;
    }
    return true;
}

void UhidDevice::Destroy() {
    if (fd_ < 0) {
        return;
    }
    uhid_event event{};
    event.type = UHID_DESTROY;
    WriteEvent(&event, sizeof event);
    if (thread_.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(stopFd_, &one, sizeof one);
        thread_.join();
    }
    close(fd_);
    fd_ = -1;
    if (stopFd_ >= 0) {
        close(stopFd_);
        stopFd_ = -1;
    }
    started_ = false;
}

bool UhidDevice::Input(std::span<const uint8_t> report) {
    if (fd_ < 0 || report.size() > UHID_DATA_MAX) {
        return false;
    }
    uhid_event event{};
    event.type = UHID_INPUT2;
    event.u.input2.size = static_cast<uint16_t>(report.size());
    std::memcpy(event.u.input2.data, report.data(), report.size());
    return WriteEvent(&event, sizeof event);
}

bool UhidDevice::WriteEvent(const void* event, size_t size) {
    std::lock_guard lock(writeMutex_);
    return write(fd_, event, size) == static_cast<ssize_t>(size);
}

void UhidDevice::Serve() {
    pollfd fds[2] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
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
        if (!(fds[0].revents & POLLIN)) {
            if (fds[0].revents) {
                return;
            }
            continue;
        }
        uhid_event event{};
        if (read(fd_, &event, sizeof event) <= 0) {
            return;
        }
        switch (event.type) {
        case UHID_START:
            started_ = true;
            break;
        case UHID_OUTPUT: {
            const auto& out = event.u.output;
            const size_t size = std::min<size_t>(out.size, UHID_DATA_MAX);
            if (out.rtype == UHID_OUTPUT_REPORT) {
                ++outputs_;
                if (output_) {
                    output_(std::span<const uint8_t>(out.data, size));
                }
            }
            break;
        }
        case UHID_GET_REPORT: {
            uhid_event reply{};
            reply.type = UHID_GET_REPORT_REPLY;
            reply.u.get_report_reply.id = event.u.get_report.id;
            std::vector<uint8_t> answer;
            const int length = getReport_ ? getReport_(event.u.get_report.rnum, answer) : -1;
            if (length < 0 || static_cast<size_t>(length) > UHID_DATA_MAX) {
                reply.u.get_report_reply.err = EIO;
            } else {
                reply.u.get_report_reply.size = static_cast<uint16_t>(length);
                std::memcpy(reply.u.get_report_reply.data, answer.data(), length);
            }
            WriteEvent(&reply, sizeof reply);
            break;
        }
        case UHID_SET_REPORT: {
            const auto& set = event.u.set_report;
            const size_t size = std::min<size_t>(set.size, UHID_DATA_MAX);
            uhid_event reply{};
            reply.type = UHID_SET_REPORT_REPLY;
            reply.u.set_report_reply.id = set.id;
            const bool taken = setReport_ && setReport_(std::span<const uint8_t>(set.data, size));
            reply.u.set_report_reply.err = taken ? 0 : EIO;
            WriteEvent(&reply, sizeof reply);
            break;
        }
        default:
            break;
        }
    }
}

std::vector<uint8_t> VendorDescriptor() {
    return {
        0x06, 0x01, 0xFF, // Usage Page (0xFF01)
        0x09, 0x01,       // Usage (1)
        0xA1, 0x01,       // Collection (Application)
        0x85, 0x07,       //   Report ID (7)
        0x09, 0x02,       //   Usage (2)
        0x15, 0x00,       //   Logical Minimum (0)
        0x26, 0xFF, 0x00, //   Logical Maximum (255)
        0x75, 0x08,       //   Report Size (8)
        0x95, 0x07,       //   Report Count (7)
        0xB1, 0x02,       //   Feature (Data, Var, Abs)
        0x85, 0x08,       //   Report ID (8): the 64-byte command report; the link writes it with a
        0x09, 0x03,       //   leading 0, which hidraw passes to the device unchanged
        0x95, 0x40,       //   Report Count (64)
        0x91, 0x02,       //   Output (Data, Var, Abs)
        0xC0,             // End Collection
    };
}

std::vector<uint8_t> BootKeyboardDescriptor() {
    return {
        0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, // Generic Desktop, Keyboard, Collection (Application)
        0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, // Keyboard page, modifiers E0-E7
        0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, // 8 bits, Input (Var)
        0x95, 0x01, 0x75, 0x08, 0x81, 0x01,                         // reserved byte
        0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x05,
        0x07, 0x19, 0x00, 0x2A, 0xFF, 0x00, 0x81, 0x00, // six key slots, Input (Array)
        0xC0,
    };
}

} // namespace kw::vmtest
