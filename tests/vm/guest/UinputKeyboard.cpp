#include "tests/vm/guest/UinputKeyboard.h"

#include <linux/uinput.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace kw::vmtest {

UinputKeyboard::UinputKeyboard(const std::string& name, uint16_t vid, uint16_t pid) {
    const int fd = open("/dev/uinput", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    bool ok = ioctl(fd, UI_SET_EVBIT, EV_KEY) == 0 && ioctl(fd, UI_SET_EVBIT, EV_SYN) == 0;
    for (int code = KEY_ESC; ok && code <= KEY_MICMUTE; ++code) {
        ok = ioctl(fd, UI_SET_KEYBIT, code) == 0;
    }
    uinput_setup setup{};
    setup.id.bustype = BUS_USB;
    setup.id.vendor = vid;
    setup.id.product = pid;
    std::snprintf(setup.name, sizeof setup.name, "%s", name.c_str());
    ok = ok && ioctl(fd, UI_DEV_SETUP, &setup) == 0 && ioctl(fd, UI_DEV_CREATE) == 0;
    if (!ok) {
        close(fd);
        return;
    }
    fd_ = fd;
}

UinputKeyboard::~UinputKeyboard() {
    if (fd_ >= 0) {
        ioctl(fd_, UI_DEV_DESTROY);
        close(fd_);
    }
}

bool UinputKeyboard::Emit(int type, int code, int value) {
    input_event event{};
    event.type = static_cast<uint16_t>(type);
    event.code = static_cast<uint16_t>(code);
    event.value = value;
    return write(fd_, &event, sizeof event) == sizeof event;
}

bool UinputKeyboard::Key(int code, int value) {
    return fd_ >= 0 && Emit(EV_KEY, code, value) && Emit(EV_SYN, SYN_REPORT, 0);
}

} // namespace kw::vmtest
