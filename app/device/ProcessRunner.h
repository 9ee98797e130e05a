#pragma once

// Starts programs with an argument vector (never through a shell).

#include <string>
#include <vector>

namespace kw {

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // Runs argv[0] (searched on PATH when it has no "/") and waits for it to end; false when it
    // could not be started. Its exit code is not looked at.
    virtual bool RunAndWait(const std::vector<std::string>& argv) = 0;
    // Starts argv[0] without waiting; false when it could not be started.
    virtual bool Start(const std::vector<std::string>& argv) = 0;
};

// posix_spawn. Started programs are reaped so that none is left as a zombie.
class SpawnProcessRunner : public ProcessRunner {
public:
    bool RunAndWait(const std::vector<std::string>& argv) override;
    bool Start(const std::vector<std::string>& argv) override;
};

} // namespace kw
