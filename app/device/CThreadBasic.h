#pragma once

// A thread that calls Run() at a fixed interval (16 ms unless set otherwise) until stopped.
// A class deriving from it must call Stop() in its own destructor, before its members go.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace kw {

class CThreadBasic {
public:
    CThreadBasic() = default;
    virtual ~CThreadBasic();
    CThreadBasic(const CThreadBasic&) = delete;
    CThreadBasic& operator=(const CThreadBasic&) = delete;

    // Starts the thread; false when it already runs.
    bool Start();
    // Ends the thread after its current Run() and waits for it. Safe to call more than once.
    void Stop();
    bool IsRunning() const;

    void SetInterval(std::chrono::milliseconds interval);

protected:
    virtual void Run() = 0;

private:
    void Loop();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool running_ = false;
    std::chrono::milliseconds interval_{16};
    std::thread thread_;
};

} // namespace kw
