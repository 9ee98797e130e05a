#pragma once

// The process's windows by handle: their state as the window layer keeps it, whatever the backend.
// One lock guards the table; callers copy what they need and never call out while holding it.

#include "ui/framework/WinTypes.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vellum {

class MessageQueue;

// What receives a window's messages.
class WindowProcedure {
public:
    virtual ~WindowProcedure() = default;
    virtual LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
};

struct WindowRecord {
    HWND hwnd = 0;
    WindowProcedure* proc = nullptr;
    std::shared_ptr<MessageQueue> queue;
    std::wstring className;
    std::wstring title;
    UINT classStyle = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND owner = 0;
    CRect rect; // screen coordinates of the whole window (there is no frame: it is also the client area)
    bool visible = false;
    bool enabled = true;
    bool minimized = false;
    bool maximized = false;
    bool destroying = false;
    CRect restoreRect;
    // Paint state: the area still to be painted and the earliest time of the next paint.
    CRect update;
    bool erase = false;
    std::uint64_t paintNotBefore = 0;
    // Mouse tracking requested by TrackMouseEvent, and the hover deadline it runs.
    DWORD tracking = 0;
    std::uint64_t hoverDue = 0;
    // Double-click detection.
    UINT lastDownMsg = 0;
    std::uint64_t lastDownTime = 0;
    CPoint lastDownPos;
    std::map<std::wstring, std::intptr_t> props;
};

class WindowTable {
public:
    static WindowTable& Get();

    HWND Add(WindowRecord record);
    void Remove(HWND hwnd);
    // Runs `fn` on the record under the table's lock; false when there is no such window.
    bool With(HWND hwnd, const std::function<void(WindowRecord&)>& fn);
    // A copy of the record (hwnd 0 when missing).
    WindowRecord Copy(HWND hwnd);
    std::vector<HWND> All();
    // The first window of `queue` that is due for painting; otherwise the earliest time at which one
    // will be (UINT64_MAX when none).
    HWND TakePaint(const MessageQueue* queue, std::uint64_t now, std::uint64_t& nextDue);
    // The first window of `queue` (only `filter` unless it is 0) whose hover time has come. With
    // `remove` its hover tracking ends; without, the hover stays due for a later call.
    HWND TakeHover(const MessageQueue* queue, std::uint64_t now, std::uint64_t& nextDue, HWND filter = 0,
                   bool remove = true);
    HWND Find(const std::wstring* className, const std::wstring* title);

    HWND capture = 0;
    HWND focus = 0;
    HWND active = 0;
    CPoint cursor; // last known pointer position on the screen

private:
    std::mutex lock_;
    std::map<HWND, WindowRecord> windows_;
    HWND nextHandle_ = 0x10;

public:
    std::mutex& Lock() { return lock_; }
};

} // namespace vellum
