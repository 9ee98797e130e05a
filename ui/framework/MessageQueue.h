#pragma once

// The message queue of one user-interface thread: posted messages, messages sent from other threads,
// window timers, and the paint requests of the thread's windows.
//
// Post and Send are safe from any thread. Retrieval (Get, Peek) happens on the owning thread only, which
// is also the only thread that lets the window system read its events.

#include "ui/framework/WinTypes.h"

#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vellum {

class MessageQueue : public std::enable_shared_from_this<MessageQueue> {
public:
    MessageQueue();
    ~MessageQueue();
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // The calling thread's queue, made on first use.
    static std::shared_ptr<MessageQueue> ForThisThread();
    // Wakes every waiting loop (the manual clock moved).
    static void WakeAll();

    std::thread::id Thread() const { return thread_; }

    void Post(const MSG& msg);
    // Runs the message on this queue's thread and waits for its result. 0 when the queue is closed.
    LRESULT SendAcross(const MSG& msg);

    // Waits for the next message; false for WM_QUIT (which is still stored in `out`).
    bool Get(MSG& out, HWND filter = 0);
    // Takes (or looks at) the next message without waiting; false when there is none.
    bool Peek(MSG& out, HWND filter, bool remove);
    // Runs every message that is ready now (sent, posted, due timers, paints) without waiting.
    // Returns the number dispatched; a WM_QUIT stops it and stays queued.
    int DispatchPending();

    // Window timers: a new id for the same window replaces the old one.
    bool SetTimer(HWND hwnd, UINT id, unsigned elapseMs);
    bool KillTimer(HWND hwnd, UINT id);
    void KillTimers(HWND hwnd);
    // Drops the posted messages of a window that is gone.
    void Forget(HWND hwnd);

    void Wake();

private:
    struct Sent {
        MSG msg;
        std::promise<LRESULT> result;
    };
    struct Timer {
        HWND hwnd = 0;
        UINT id = 0;
        unsigned elapse = 0;
        std::uint64_t due = 0;
    };

    bool Next(MSG& out, HWND filter, bool remove, bool& quit);
    bool RunSent();
    std::uint64_t NextDeadline();
    void Wait(std::uint64_t deadline);

    std::thread::id thread_ = std::this_thread::get_id();
    std::mutex lock_;
    std::deque<MSG> posted_;
    std::deque<std::shared_ptr<Sent>> sent_;
    std::vector<Timer> timers_;
    bool closed_ = false;
    int wakeFd_ = -1;
};

} // namespace vellum
