#pragma once

// The desktop's CLIPBOARD selection through a window of our own on the X server. While we own the
// selection, a thread of ours answers other programs' requests for it (that is how a paste reads
// the text). All X calls are made on that thread. Any thread may call the operations.

#include "app/keys/Clipboard.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace kw {

class X11Clipboard : public Clipboard {
public:
    // `display`: the X display name, or null for $DISPLAY.
    explicit X11Clipboard(const char* display = nullptr);
    ~X11Clipboard() override;
    X11Clipboard(const X11Clipboard&) = delete;
    X11Clipboard& operator=(const X11Clipboard&) = delete;

    // False when no X server could be reached.
    bool Connected() const { return connection_ != nullptr; }

    bool GetText(std::wstring& text) override;
    bool SetText(const std::wstring& text) override;
    void Clear() override;

    // How long a read waits for the owner's answer.
    static constexpr std::chrono::milliseconds kReadTimeout{500};

private:
    struct Connection;
    // Runs `task` on the selection thread and waits for it.
    void Call(const std::function<void()>& task);
    void Serve();

    std::unique_ptr<Connection> connection_;
    std::mutex mutex_;
    std::condition_variable done_;
    std::deque<std::function<void()>> tasks_;
    int wakeFd_ = -1;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace kw
