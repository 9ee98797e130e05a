#include "ui/framework/MessageQueue.h"

#include "ui/framework/Clock.h"
#include "ui/framework/WindowApi.h"
#include "ui/framework/WindowSystem.h"
#include "ui/framework/WindowTable.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <poll.h>
#include <set>
#include <sys/eventfd.h>
#include <unistd.h>

namespace vellum {

namespace {

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

std::mutex& RegistryLock() {
    static std::mutex lock;
    return lock;
}

std::set<MessageQueue*>& Registry() {
    static std::set<MessageQueue*> queues;
    return queues;
}

bool Matches(const MSG& msg, HWND filter) {
    return filter == 0 || msg.hwnd == filter || msg.message == WM_QUIT;
}

} // namespace

MessageQueue::MessageQueue() {
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    std::lock_guard guard(RegistryLock());
    Registry().insert(this);
}

MessageQueue::~MessageQueue() {
    {
        std::lock_guard guard(RegistryLock());
        Registry().erase(this);
    }
    std::deque<std::shared_ptr<Sent>> orphans;
    {
        std::lock_guard guard(lock_);
        closed_ = true;
        orphans.swap(sent_);
    }
    for (auto& sent : orphans) {
        sent->result.set_value(0);
    }
    if (wakeFd_ >= 0) {
        close(wakeFd_);
    }
}

std::shared_ptr<MessageQueue> MessageQueue::ForThisThread() {
    thread_local std::shared_ptr<MessageQueue> queue = std::make_shared<MessageQueue>();
    return queue;
}

void MessageQueue::WakeAll() {
    std::lock_guard guard(RegistryLock());
    for (auto* queue : Registry()) {
        queue->Wake();
    }
}

void MessageQueue::Wake() {
    if (wakeFd_ >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] auto written = write(wakeFd_, &one, sizeof one);
    }
}

void MessageQueue::Post(const MSG& msg) {
    {
        std::lock_guard guard(lock_);
        if (closed_) {
            return;
        }
        posted_.push_back(msg);
    }
    Wake();
}

LRESULT MessageQueue::SendAcross(const MSG& msg) {
    auto sent = std::make_shared<Sent>();
    sent->msg = msg;
    auto result = sent->result.get_future();
    {
        std::lock_guard guard(lock_);
        if (closed_) {
            return 0;
        }
        sent_.push_back(sent);
    }
    Wake();
    // While waiting, messages sent to the waiting thread's own windows still run, so that two threads
    // sending to each other do not wait forever.
    const std::shared_ptr<MessageQueue> own = ForThisThread();
    while (result.wait_for(std::chrono::milliseconds(2)) != std::future_status::ready) {
        while (own.get() != this && own->RunSent()) {
        }
    }
    return result.get();
}

bool MessageQueue::RunSent() {
    std::shared_ptr<Sent> sent;
    {
        std::lock_guard guard(lock_);
        if (sent_.empty()) {
            return false;
        }
        sent = sent_.front();
        sent_.pop_front();
    }
    const MSG& m = sent->msg;
    sent->result.set_value(CallWindowProcedure(m.hwnd, m.message, m.wParam, m.lParam));
    return true;
}

bool MessageQueue::Next(MSG& out, HWND filter, bool remove, bool& quit) {
    quit = false;
    while (RunSent()) {
    }
    auto takePosted = [&]() {
        std::lock_guard guard(lock_);
        auto it =
            std::find_if(posted_.begin(), posted_.end(), [&](const MSG& m) { return Matches(m, filter); });
        if (it == posted_.end()) {
            return false;
        }
        out = *it;
        if (remove) {
            posted_.erase(it);
        }
        quit = out.message == WM_QUIT;
        return true;
    };
    if (takePosted()) {
        return true;
    }
    if (WindowSystem* system = WindowSystem::Current(); system && system->IsEventThread()) {
        if (system->ProcessEvents() > 0 && takePosted()) {
            return true;
        }
    }
    const std::uint64_t now = Clock::Get().NowMs();
    {
        std::lock_guard guard(lock_);
        Timer* due = nullptr;
        for (auto& timer : timers_) {
            if (timer.due <= now && (filter == 0 || timer.hwnd == filter) && (!due || timer.due < due->due)) {
                due = &timer;
            }
        }
        if (due) {
            out = MSG{due->hwnd, WM_TIMER, due->id, 0, now, GetCursorPos()};
            if (remove) {
                due->due = now + std::max(1u, due->elapse);
            }
            return true;
        }
    }
    std::uint64_t ignored = 0;
    if (HWND hwnd = WindowTable::Get().TakeHover(this, now, ignored, filter, remove)) {
        const WindowRecord r = WindowTable::Get().Copy(hwnd);
        const CPoint c = GetCursorPos();
        out = MSG{hwnd, WM_MOUSEHOVER, 0, MAKELPARAM(c.x - r.rect.left, c.y - r.rect.top), now, c};
        return true;
    }
    if (HWND hwnd = WindowTable::Get().TakePaint(this, now, ignored);
        hwnd && (filter == 0 || filter == hwnd)) {
        out = MSG{hwnd, WM_PAINT, 0, 0, now, GetCursorPos()};
        return true;
    }
    return false;
}

std::uint64_t MessageQueue::NextDeadline() {
    std::uint64_t deadline = kNever;
    {
        std::lock_guard guard(lock_);
        for (const auto& timer : timers_) {
            deadline = std::min(deadline, timer.due);
        }
    }
    const std::uint64_t now = Clock::Get().NowMs();
    std::uint64_t paintDue = kNever;
    std::uint64_t hoverDue = kNever;
    WindowTable::Get().TakePaint(this, 0, paintDue);
    WindowTable::Get().TakeHover(this, 0, hoverDue);
    (void)now;
    return std::min({deadline, paintDue, hoverDue});
}

void MessageQueue::Wait(std::uint64_t deadline) {
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {-1, POLLIN, 0}};
    nfds_t count = 1;
    if (WindowSystem* system = WindowSystem::Current(); system && system->IsEventThread()) {
        if (int fd = system->ConnectionFd(); fd >= 0) {
            fds[1].fd = fd;
            count = 2;
        }
    }
    int timeout = -1;
    const Clock& clock = Clock::Get();
    if (deadline != kNever && !clock.IsManual()) {
        const std::uint64_t now = clock.NowMs();
        timeout = deadline <= now ? 0 : static_cast<int>(std::min<std::uint64_t>(deadline - now, 60000));
    }
    if (poll(fds, count, timeout) > 0 && (fds[0].revents & POLLIN)) {
        std::uint64_t value = 0;
        [[maybe_unused]] auto got = read(wakeFd_, &value, sizeof value);
    }
}

bool MessageQueue::Get(MSG& out, HWND filter) {
    for (;;) {
        bool quit = false;
        if (Next(out, filter, true, quit)) {
            return !quit;
        }
        Wait(NextDeadline());
    }
}

bool MessageQueue::Peek(MSG& out, HWND filter, bool remove) {
    bool quit = false;
    return Next(out, filter, remove, quit);
}

int MessageQueue::DispatchPending() {
    int count = 0;
    MSG msg;
    bool quit = false;
    // Bounded so that a window that keeps invalidating itself cannot hold the caller forever.
    while (count < 100000 && Next(msg, 0, false, quit) && !quit) {
        if (!Next(msg, 0, true, quit)) {
            break;
        }
        if (quit) {
            Post(msg);
            break;
        }
        DispatchMessage(msg);
        ++count;
    }
    return count;
}

bool MessageQueue::SetTimer(HWND hwnd, UINT id, unsigned elapseMs) {
    {
        std::lock_guard guard(lock_);
        if (closed_) {
            return false;
        }
        const std::uint64_t due = Clock::Get().NowMs() + std::max(1u, elapseMs);
        auto it = std::find_if(timers_.begin(), timers_.end(),
                               [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
        if (it != timers_.end()) {
            it->elapse = elapseMs;
            it->due = due;
        } else {
            timers_.push_back(Timer{hwnd, id, elapseMs, due});
        }
    }
    Wake();
    return true;
}

bool MessageQueue::KillTimer(HWND hwnd, UINT id) {
    std::lock_guard guard(lock_);
    auto it = std::find_if(timers_.begin(), timers_.end(),
                           [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers_.end()) {
        return false;
    }
    timers_.erase(it);
    return true;
}

void MessageQueue::KillTimers(HWND hwnd) {
    std::lock_guard guard(lock_);
    std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd; });
}

void MessageQueue::Forget(HWND hwnd) {
    std::lock_guard guard(lock_);
    std::erase_if(posted_, [&](const MSG& m) { return m.hwnd == hwnd && m.message != WM_QUIT; });
    std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd; });
}

} // namespace vellum
