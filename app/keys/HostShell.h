#pragma once

// Starting programs and opening addresses for key functions.

#include <string>

namespace kw {

class ProcessRunner;

class HostShell {
public:
    virtual ~HostShell() = default;
    virtual bool StartProgram(const std::wstring& path) = 0;
    virtual bool OpenAddress(const std::wstring& address) = 0;
};

// An executable file is started with posix_spawn; anything else (a document, a folder) and every
// address is opened with xdg-open. Never through a shell.
class SpawnHostShell : public HostShell {
public:
    explicit SpawnHostShell(ProcessRunner& runner) : runner_(runner) {}
    bool StartProgram(const std::wstring& path) override;
    bool OpenAddress(const std::wstring& address) override;

private:
    ProcessRunner& runner_;
};

} // namespace kw
