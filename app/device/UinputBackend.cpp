#include "app/device/UinputBackend.h"

#include "app/device/UhidBackend.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace kw {

UinputBackend::UinputBackend(std::string node) : node_(std::move(node)) {}

UinputBackend::~UinputBackend() {
    Close();
}

bool UinputBackend::Open() {
    if (fd_ >= 0)
        return true;
    const int fd = ::open(node_.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    bool ok = ::ioctl(fd, UI_SET_EVBIT, EV_KEY) == 0 && ::ioctl(fd, UI_SET_EVBIT, EV_SYN) == 0 &&
              ::ioctl(fd, UI_SET_EVBIT, EV_REL) == 0;
    for (int code : ReportToEvents::KeyCodes())
        ok = ok && ::ioctl(fd, UI_SET_KEYBIT, code) == 0;
    for (int axis : {REL_X, REL_Y, REL_WHEEL})
        ok = ok && ::ioctl(fd, UI_SET_RELBIT, axis) == 0;
    uinput_setup setup{};
    setup.id.bustype = BUS_VIRTUAL;
    setup.id.vendor = UhidBackend::kVendor;
    setup.id.product = UhidBackend::kProduct;
    setup.id.version = 1;
    std::strncpy(setup.name, "Keywright virtual input", sizeof(setup.name) - 1);
    ok = ok && ::ioctl(fd, UI_DEV_SETUP, &setup) == 0 && ::ioctl(fd, UI_DEV_CREATE) == 0;
    if (!ok) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    translator_.Reset();
    return true;
}

void UinputBackend::Close() {
    if (fd_ < 0)
        return;
    ::ioctl(fd_, UI_DEV_DESTROY);
    ::close(fd_);
    fd_ = -1;
}

bool UinputBackend::WriteFrame(std::span<const uint8_t> frame) {
    if (fd_ < 0)
        return false;
    const std::optional<InputReport> report = InputReportFromFrame(frame);
    if (!report)
        return true;
    for (const InputEventSpec& out : translator_.Translate(report->id, report->data)) {
        input_event event{};
        event.type = static_cast<__u16>(out.type);
        event.code = static_cast<__u16>(out.code);
        event.value = out.value;
        ssize_t written;
        do {
            written = ::write(fd_, &event, sizeof(event));
        } while (written < 0 && errno == EINTR);
        if (written != static_cast<ssize_t>(sizeof(event)))
            return false;
    }
    return true;
}

} // namespace kw
