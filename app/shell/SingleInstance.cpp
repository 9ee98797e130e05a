#include "app/shell/SingleInstance.h"

#include "app/shell/Paths.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kw {

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

SingleInstance::Result SingleInstance::Acquire(const std::filesystem::path& lockFile) {
    if (fd_ >= 0) {
        return Result::kFirst;
    }
    CreateFolderTree(lockFile.parent_path());
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return Result::kError;
    }
    int rc = 0;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return busy ? Result::kAlreadyRunning : Result::kError;
    }
    fd_ = fd;
    return Result::kFirst;
}

} // namespace kw
