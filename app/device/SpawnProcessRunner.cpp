#include "app/device/ProcessRunner.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace kw {

namespace {

bool Spawn(const std::vector<std::string>& argv, pid_t& pid) {
    if (argv.empty() || argv[0].empty())
        return false;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    return ::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) == 0;
}

void Reap(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

bool SpawnProcessRunner::RunAndWait(const std::vector<std::string>& argv) {
    pid_t pid = 0;
    if (!Spawn(argv, pid))
        return false;
    Reap(pid);
    return true;
}

bool SpawnProcessRunner::Start(const std::vector<std::string>& argv) {
    pid_t pid = 0;
    if (!Spawn(argv, pid))
        return false;
    std::thread([pid] { Reap(pid); }).detach();
    return true;
}

} // namespace kw
