#pragma once

// Keeps one copy of the program running per user and product name: an exclusive lock on a file,
// held for the life of the process and released by the kernel when the process ends.

#include <filesystem>

namespace kw {

class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum class Result { kFirst, kAlreadyRunning, kError };

    // Takes the lock at `lockFile` (creating its folder). kError when the file cannot be opened;
    // the program then runs as if it were the first copy.
    Result Acquire(const std::filesystem::path& lockFile);
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace kw
