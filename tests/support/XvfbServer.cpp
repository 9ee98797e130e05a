#include "tests/support/XvfbServer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace kw::test {

namespace {

using namespace std::chrono_literals;

constexpr const char* kXvfb = "/usr/bin/Xvfb";
constexpr int kChildDisplayFd = 9; // where Xvfb writes its display number

// The display number Xvfb writes, ended by a line break; empty when none came in time.
std::string ReadDisplayNumber(int fd) {
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd waiting{fd, POLLIN, 0};
        if (::poll(&waiting, 1, 100) < 0 && errno != EINTR) {
            return {};
        }
        char c = 0;
        const ssize_t got = ::read(fd, &c, 1);
        if (got == 0) {
            return {}; // the server ended without starting
        }
        if (got < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                continue;
            }
            return {};
        }
        if (c == '\n') {
            return number;
        }
        if (c < '0' || c > '9') {
            return {};
        }
        number += c;
    }
    return {};
}

} // namespace

bool XvfbServer::Installed() {
    return ::access(kXvfb, X_OK) == 0;
}

XvfbServer::XvfbServer(const std::string& screen, const std::vector<std::string>& options) {
    if (!Installed()) {
        return;
    }
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    if (fds[1] == kChildDisplayFd) { // dup2 onto itself would leave it closing at exec
        const int moved = ::fcntl(fds[1], F_DUPFD_CLOEXEC, kChildDisplayFd + 1);
        ::close(fds[1]);
        fds[1] = moved;
    }
    std::vector<std::string> args = {kXvfb,       "-displayfd", std::to_string(kChildDisplayFd),
                                     "-screen",   "0",          screen,
                                     "-nolisten", "tcp",        "-noreset"};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], kChildDisplayFd);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, kXvfb, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]); // only the server writes now: its end closing means it is gone
    if (spawned != 0) {
        ::close(fds[0]);
        return;
    }
    pid_ = pid;
    const std::string number = ReadDisplayNumber(fds[0]);
    ::close(fds[0]);
    if (number.empty()) {
        Stop();
        return;
    }
    display_ = ":" + number;
}

XvfbServer::~XvfbServer() {
    Stop();
}

void XvfbServer::Stop() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(20ms);
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

} // namespace kw::test
