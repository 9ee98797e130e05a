#include "app/device/ReleaseOnSignal.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace kw {

namespace {

int gPipe[2] = {-1, -1};

void OnSignal(int signal) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(gPipe[1], &byte, 1);
    errno = saved;
}

void Watch(Kbvirt* kbvirt) {
    unsigned char signal = 0;
    ssize_t got;
    do {
        got = ::read(gPipe[0], &signal, 1);
    } while (got < 0 && errno == EINTR);
    if (got != 1)
        return;
    kbvirt->ReleaseAll();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

bool ReleaseKeysOnSignal(Kbvirt& kbvirt) {
    static std::once_flag once;
    static bool installed = false;
    std::call_once(once, [&kbvirt] {
        if (::pipe2(gPipe, O_CLOEXEC) != 0)
            return;
        std::thread(Watch, &kbvirt).detach();
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        installed = ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGINT, &action, nullptr) == 0;
    });
    return installed;
}

} // namespace kw
