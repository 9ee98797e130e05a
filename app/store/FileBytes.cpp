#include "app/store/FileBytes.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kw {

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

} // namespace

ReadStatus ReadFileBytes(const std::filesystem::path& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        return errno == ENOENT ? ReadStatus::kMissing : ReadStatus::kUnreadable;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return ReadStatus::kUnreadable;
    }
    if (!S_ISREG(info.st_mode)) {
        return ReadStatus::kNotRegular;
    }
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
        return ReadStatus::kTooLarge;
    }
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done); // a file that shrank while being read gives what was there
    return ReadStatus::kOk;
}

const wchar_t* ReadStatusText(ReadStatus status) {
    switch (status) {
    case ReadStatus::kOk:
        return L"ok";
    case ReadStatus::kMissing:
        return L"file not found";
    case ReadStatus::kNotRegular:
        return L"not a regular file";
    case ReadStatus::kTooLarge:
        return L"file too large";
    case ReadStatus::kUnreadable:
        return L"cannot read";
    }
    return L"";
}

bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::path temp = path;
    temp += ".tmp";
    Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ::unlink(temp.c_str());
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd.get()) != 0 || !fd.Close() || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace kw
