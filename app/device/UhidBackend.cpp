#include "app/device/UhidBackend.h"

#include "app/device/VirtualReports.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

namespace kw {

namespace {

bool WriteEvent(int fd, const uhid_event& event) {
    ssize_t written;
    do {
        written = ::write(fd, &event, sizeof(event));
    } while (written < 0 && errno == EINTR);
    return written == static_cast<ssize_t>(sizeof(event));
}

// Report queries are answered with an error: the device has no feature or output reports.
void AnswerRequest(int fd, const uhid_event& event) {
    uhid_event reply{};
    if (event.type == UHID_GET_REPORT) {
        reply.type = UHID_GET_REPORT_REPLY;
        reply.u.get_report_reply.id = event.u.get_report.id;
        reply.u.get_report_reply.err = EIO;
        WriteEvent(fd, reply);
    } else if (event.type == UHID_SET_REPORT) {
        reply.type = UHID_SET_REPORT_REPLY;
        reply.u.set_report_reply.id = event.u.set_report.id;
        reply.u.set_report_reply.err = EIO;
        WriteEvent(fd, reply);
    }
}

// The kernel adds the device after UHID_CREATE2 returns and drops input written before a driver
// has started it: wait for UHID_START, within a bound.
bool WaitForStart(int fd, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd ready{fd, POLLIN, 0};
        const int rc = ::poll(&ready, 1, static_cast<int>(left.count()));
        if (rc < 0 && errno == EINTR) {
            continue;
        }
        if (rc <= 0) {
            return false;
        }
        uhid_event event{};
        if (::read(fd, &event, sizeof(event)) <= 0) {
            continue;
        }
        if (event.type == UHID_START) {
            return true;
        }
        AnswerRequest(fd, event);
    }
}

} // namespace

UhidBackend::UhidBackend(std::string node) : node_(std::move(node)) {}

UhidBackend::~UhidBackend() {
    Close();
}

bool UhidBackend::Open() {
    if (fd_ >= 0)
        return true;
    const int fd = ::open(node_.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;

    uhid_event event{};
    event.type = UHID_CREATE2;
    auto& create = event.u.create2;
    std::strncpy(reinterpret_cast<char*>(create.name), "Keywright virtual input", sizeof(create.name) - 1);
    std::strncpy(reinterpret_cast<char*>(create.phys), "keywright/virtual", sizeof(create.phys) - 1);
    const std::span<const uint8_t> descriptor = VirtualReportDescriptor();
    create.rd_size = static_cast<__u16>(descriptor.size());
    std::memcpy(create.rd_data, descriptor.data(), descriptor.size());
    create.bus = BUS_VIRTUAL;
    create.vendor = kVendor;
    create.product = kProduct;
    create.version = 1;
    if (!WriteEvent(fd, event)) {
        ::close(fd);
        return false;
    }
    if (!WaitForStart(fd, kStartBound)) {
        // No driver took the device: nothing we write would arrive. Let the caller fall back.
        uhid_event destroy{};
        destroy.type = UHID_DESTROY;
        WriteEvent(fd, destroy);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void UhidBackend::Close() {
    if (fd_ < 0)
        return;
    uhid_event event{};
    event.type = UHID_DESTROY;
    WriteEvent(fd_, event);
    ::close(fd_);
    fd_ = -1;
}

bool UhidBackend::WriteFrame(std::span<const uint8_t> frame) {
    if (fd_ < 0)
        return false;
    DrainRequests();
    const std::optional<InputReport> report = InputReportFromFrame(frame);
    if (!report)
        return true; // nothing the device reports; not a failure of the device
    uhid_event event{};
    event.type = UHID_INPUT2;
    event.u.input2.data[0] = static_cast<__u8>(report->id);
    std::memcpy(event.u.input2.data + 1, report->data.data(), report->data.size());
    event.u.input2.size = static_cast<__u16>(report->data.size() + 1);
    return WriteEvent(fd_, event);
}

void UhidBackend::DrainRequests() {
    uhid_event event{};
    while (::read(fd_, &event, sizeof(event)) > 0) {
        AnswerRequest(fd_, event);
    }
}

} // namespace kw
