#pragma once

// A private X server for tests. Xvfb chooses a free display number itself and reports it once it
// accepts connections, so tests running side by side never share a server; it does not reset when
// its last client leaves, so one server serves several connections in turn.

#include <string>
#include <sys/types.h>
#include <vector>

namespace kw::test {

class XvfbServer {
public:
    // `options` go to Xvfb after the ones set here (such as "-wr" for a white root window).
    explicit XvfbServer(const std::string& screen = "1280x720x24",
                        const std::vector<std::string>& options = {});
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    static bool Installed();
    bool Running() const { return pid_ > 0; }
    // ":N", or null when the server did not start.
    const char* Display() const { return display_.empty() ? nullptr : display_.c_str(); }

private:
    void Stop();

    pid_t pid_ = -1;
    std::string display_;
};

} // namespace kw::test
