#include "ui/framework/WindowApi.h"

#include "ui/framework/Clock.h"
#include "ui/framework/InputEvents.h"
#include "ui/framework/MessageQueue.h"
#include "ui/framework/WindowSystem.h"
#include "ui/framework/WindowTable.h"

#include <map>
#include <mutex>
#include <thread>

namespace vellum {

namespace {

WindowTable& Table() {
    return WindowTable::Get();
}

std::mutex& ClassLock() {
    static std::mutex lock;
    return lock;
}

std::map<std::wstring, UINT>& Classes() {
    static std::map<std::wstring, UINT> classes;
    return classes;
}

CRect ClientOf(const CRect& windowRect) {
    return {0, 0, windowRect.Width(), windowRect.Height()};
}

} // namespace

bool RegisterWindowClass(const std::wstring& name, UINT classStyle) {
    if (name.empty()) {
        return false;
    }
    std::lock_guard guard(ClassLock());
    Classes().emplace(name, classStyle);
    return true;
}

bool IsClassRegistered(const std::wstring& name) {
    std::lock_guard guard(ClassLock());
    return Classes().count(name) != 0;
}

HWND CreateWindowExW(DWORD exStyle, const std::wstring& className, const std::wstring& title, DWORD style,
                     const CRect& rect, HWND owner, WindowProcedure* proc, void* createParam) {
    UINT classStyle = 0;
    {
        std::lock_guard guard(ClassLock());
        auto it = Classes().find(className);
        if (it == Classes().end() || !proc) {
            return 0;
        }
        classStyle = it->second;
    }
    WindowRecord record;
    record.proc = proc;
    record.queue = MessageQueue::ForThisThread();
    record.className = className;
    record.title = title;
    record.classStyle = classStyle;
    record.style = style & ~WS_VISIBLE;
    record.exStyle = exStyle;
    record.owner = IsWindow(owner) ? owner : 0;
    record.rect = rect;
    record.restoreRect = rect;
    const HWND hwnd = Table().Add(std::move(record));

    CREATESTRUCTW cs{createParam, owner, style, exStyle, rect, title.c_str(), className.c_str()};
    if (!CallWindowProcedure(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(hwnd);
        return 0;
    }
    // WM_NCCREATE may have changed the styles (a dialog drops its caption).
    const WindowRecord now = Table().Copy(hwnd);
    NativeWindowSpec native{hwnd, now.owner, title, className, rect, now.style, now.exStyle};
    if (!WindowSystem::Get().CreateNative(native)) {
        DestroyWindow(hwnd);
        return 0;
    }
    cs.style = now.style;
    if (CallWindowProcedure(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (!IsWindow(hwnd)) {
        return 0;
    }
    CallWindowProcedure(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rect.Width(), rect.Height()));
    if (style & WS_VISIBLE) {
        ShowWindow(hwnd, SW_SHOW);
    }
    return hwnd;
}

bool IsWindow(HWND hwnd) {
    return hwnd != 0 && Table().With(hwnd, [](WindowRecord&) {});
}

bool DestroyWindow(HWND hwnd) {
    bool already = false;
    if (!Table().With(hwnd,
                      [&](WindowRecord& r) {
                          already = r.destroying;
                          r.destroying = true;
                      }) ||
        already) {
        return false;
    }
    // Owned windows go first.
    for (HWND other : Table().All()) {
        if (other != hwnd && GetWindowOwner(other) == hwnd) {
            DestroyWindow(other);
        }
    }
    if (GetCapture() == hwnd) {
        ReleaseCapture();
    }
    if (WindowSystem* system = WindowSystem::Current()) {
        system->Show(hwnd, SW_HIDE);
    }
    CallWindowProcedure(hwnd, WM_DESTROY, 0, 0);
    CallWindowProcedure(hwnd, WM_NCDESTROY, 0, 0);
    if (WindowSystem* system = WindowSystem::Current()) {
        system->DestroyNative(hwnd);
    }
    const WindowRecord r = Table().Copy(hwnd);
    if (r.queue) {
        r.queue->Forget(hwnd);
    }
    Table().Remove(hwnd);
    return true;
}

LRESULT CallWindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowProcedure* proc = nullptr;
    std::shared_ptr<MessageQueue> queue;
    Table().With(hwnd, [&](WindowRecord& r) {
        proc = r.proc;
        queue = r.queue;
    });
    if (!proc) {
        return 0;
    }
    if (queue && queue->Thread() != std::this_thread::get_id()) {
        return queue->SendAcross(MSG{hwnd, msg, wParam, lParam, Clock::Get().NowMs(), GetCursorPos()});
    }
    return proc->WindowProc(hwnd, msg, wParam, lParam);
}

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM /*lParam*/) {
    switch (msg) {
    case WM_NCCREATE:
        return 1;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_PAINT:
        ValidateRect(hwnd, nullptr);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCLBUTTONDOWN:
        if (wParam == static_cast<WPARAM>(HTCAPTION)) {
            BeginMoveDrag(hwnd);
        }
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_NCACTIVATE:
        return 1;
    default:
        return 0;
    }
}

bool ShowWindow(HWND hwnd, int showCmd) {
    bool wasVisible = false;
    bool sizeChange = false;
    bool minimized = false;
    CRect rect;
    if (!Table().With(hwnd, [&](WindowRecord& r) {
            wasVisible = r.visible;
            const bool wasMin = r.minimized;
            switch (showCmd) {
            case SW_HIDE:
                r.visible = false;
                break;
            case SW_MINIMIZE:
            case SW_SHOWMINIMIZED:
                r.visible = true;
                r.minimized = true;
                break;
            case SW_RESTORE:
                r.visible = true;
                r.minimized = false;
                if (r.maximized) {
                    r.maximized = false;
                    r.rect = r.restoreRect;
                }
                break;
            case SW_SHOWMAXIMIZED:
                r.visible = true;
                r.minimized = false;
                break;
            default:
                r.visible = true;
                break;
            }
            sizeChange = wasMin != r.minimized;
            minimized = r.minimized;
            r.style = (r.style & ~(WS_VISIBLE | WS_MINIMIZE)) | (r.visible ? WS_VISIBLE : 0) |
                      (r.minimized ? WS_MINIMIZE : 0);
            rect = r.rect;
            if (r.visible && !r.minimized) {
                r.update = ClientOf(r.rect);
                r.erase = true;
            }
        })) {
        return false;
    }
    if (showCmd == SW_SHOWMAXIMIZED) {
        Table().With(hwnd, [](WindowRecord& r) {
            if (!r.maximized) {
                r.restoreRect = r.rect;
            }
            r.maximized = true;
        });
        const CRect work = GetWorkArea(rect);
        SetWindowPos(hwnd, 0, work.left, work.top, work.Width(), work.Height(), SWP_NOZORDER);
    }
    const bool visible = showCmd != SW_HIDE;
    if (visible != wasVisible) {
        CallWindowProcedure(hwnd, WM_SHOWWINDOW, visible ? 1 : 0, 0);
    }
    WindowSystem::Get().Show(hwnd, showCmd);
    if (sizeChange) {
        CallWindowProcedure(hwnd, WM_SIZE, minimized ? SIZE_MINIMIZED : SIZE_RESTORED,
                            minimized ? 0 : MAKELPARAM(rect.Width(), rect.Height()));
    }
    if (const WindowRecord r = Table().Copy(hwnd); r.queue) {
        r.queue->Wake();
    }
    return wasVisible;
}

bool IsWindowVisible(HWND hwnd) {
    return Table().Copy(hwnd).visible;
}
bool IsIconic(HWND hwnd) {
    return Table().Copy(hwnd).minimized;
}
bool IsZoomed(HWND hwnd) {
    return Table().Copy(hwnd).maximized;
}

bool EnableWindow(HWND hwnd, bool enable) {
    bool was = false;
    if (!Table().With(hwnd, [&](WindowRecord& r) {
            was = r.enabled;
            r.enabled = enable;
            r.style = enable ? (r.style & ~WS_DISABLED) : (r.style | WS_DISABLED);
        })) {
        return false;
    }
    if (was != enable) {
        CallWindowProcedure(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
    }
    return !was;
}

bool IsWindowEnabled(HWND hwnd) {
    return IsWindow(hwnd) && Table().Copy(hwnd).enabled;
}

bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    CRect before;
    CRect after;
    DWORD exStyle = 0;
    DWORD style = 0;
    bool zChange = false;
    if (!Table().With(hwnd, [&](WindowRecord& r) {
            before = r.rect;
            after = r.rect;
            if (!(flags & SWP_NOMOVE)) {
                after.MoveToXY(x, y);
            }
            if (!(flags & SWP_NOSIZE)) {
                after.right = after.left + std::max(0, cx);
                after.bottom = after.top + std::max(0, cy);
            }
            r.rect = after;
            if (!(flags & SWP_NOZORDER) && (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST)) {
                r.exStyle =
                    insertAfter == HWND_TOPMOST ? (r.exStyle | WS_EX_TOPMOST) : (r.exStyle & ~WS_EX_TOPMOST);
                zChange = true;
            }
            exStyle = r.exStyle;
            style = r.style;
            if (after.Size() != before.Size()) {
                r.update = CRect::Union(r.update, ClientOf(after));
            }
        })) {
        return false;
    }
    CallWindowProcedure(hwnd, WM_WINDOWPOSCHANGING, 0, 0);
    if (after != before) {
        WindowSystem::Get().Move(hwnd, after);
    }
    if (zChange) {
        WindowSystem::Get().SetStyles(hwnd, style, exStyle);
    }
    if (flags & SWP_SHOWWINDOW) {
        ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    } else if (flags & SWP_HIDEWINDOW) {
        ShowWindow(hwnd, SW_HIDE);
    }
    CallWindowProcedure(hwnd, WM_WINDOWPOSCHANGED, 0, 0);
    if (after.TopLeft() != before.TopLeft()) {
        CallWindowProcedure(hwnd, WM_MOVE, 0, MAKELPARAM(after.left, after.top));
    }
    if (after.Size() != before.Size()) {
        CallWindowProcedure(hwnd, WM_SIZE, IsZoomed(hwnd) ? SIZE_MAXIMIZED : SIZE_RESTORED,
                            MAKELPARAM(after.Width(), after.Height()));
    }
    return true;
}

bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint) {
    const bool ok = SetWindowPos(hwnd, 0, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (ok && repaint) {
        InvalidateRect(hwnd, nullptr, true);
    }
    return ok;
}

bool GetWindowRect(HWND hwnd, CRect& rect) {
    return Table().With(hwnd, [&](WindowRecord& r) { rect = r.rect; });
}

bool GetClientRect(HWND hwnd, CRect& rect) {
    return Table().With(hwnd, [&](WindowRecord& r) { rect = r.minimized ? CRect() : ClientOf(r.rect); });
}

bool ClientToScreen(HWND hwnd, CPoint& pt) {
    return Table().With(hwnd, [&](WindowRecord& r) { pt = pt + r.rect.TopLeft(); });
}

bool ScreenToClient(HWND hwnd, CPoint& pt) {
    return Table().With(hwnd, [&](WindowRecord& r) { pt = pt - r.rect.TopLeft(); });
}

bool SetWindowTextW(HWND hwnd, const std::wstring& text) {
    if (!Table().With(hwnd, [&](WindowRecord& r) { r.title = text; })) {
        return false;
    }
    WindowSystem::Get().SetTitle(hwnd, text);
    return true;
}

std::wstring GetWindowTextW(HWND hwnd) {
    return Table().Copy(hwnd).title;
}
DWORD GetWindowStyle(HWND hwnd) {
    return Table().Copy(hwnd).style;
}
DWORD GetWindowExStyle(HWND hwnd) {
    return Table().Copy(hwnd).exStyle;
}

bool SetWindowStyles(HWND hwnd, DWORD style, DWORD exStyle) {
    if (!Table().With(hwnd, [&](WindowRecord& r) {
            r.style = (style & ~(WS_VISIBLE | WS_MINIMIZE)) | (r.style & (WS_VISIBLE | WS_MINIMIZE));
            r.exStyle = exStyle;
        })) {
        return false;
    }
    const WindowRecord r = Table().Copy(hwnd);
    WindowSystem::Get().SetStyles(hwnd, r.style, r.exStyle);
    return true;
}

HWND GetWindowOwner(HWND hwnd) {
    return Table().Copy(hwnd).owner;
}
std::wstring GetWindowClassName(HWND hwnd) {
    return Table().Copy(hwnd).className;
}

HWND FindWindowW(const wchar_t* className, const wchar_t* title) {
    const std::wstring cls = className ? className : L"";
    const std::wstring text = title ? title : L"";
    return Table().Find(className ? &cls : nullptr, title ? &text : nullptr);
}

bool SetPropW(HWND hwnd, const std::wstring& name, std::intptr_t value) {
    if (!Table().With(hwnd, [&](WindowRecord& r) { r.props[name] = value; })) {
        return false;
    }
    WindowSystem::Get().SetProperty(hwnd, name, static_cast<long>(value));
    return true;
}

std::intptr_t GetPropW(HWND hwnd, const std::wstring& name) {
    std::intptr_t value = 0;
    Table().With(hwnd, [&](WindowRecord& r) {
        if (auto it = r.props.find(name); it != r.props.end()) {
            value = it->second;
        }
    });
    return value;
}

std::intptr_t RemovePropW(HWND hwnd, const std::wstring& name) {
    std::intptr_t value = 0;
    Table().With(hwnd, [&](WindowRecord& r) {
        if (auto it = r.props.find(name); it != r.props.end()) {
            value = it->second;
            r.props.erase(it);
        }
    });
    return value;
}

bool PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd == 0) {
        MessageQueue::ForThisThread()->Post(
            MSG{0, msg, wParam, lParam, Clock::Get().NowMs(), GetCursorPos()});
        return true;
    }
    const WindowRecord r = Table().Copy(hwnd);
    if (!r.queue) {
        return false;
    }
    r.queue->Post(MSG{hwnd, msg, wParam, lParam, Clock::Get().NowMs(), GetCursorPos()});
    return true;
}

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcedure(hwnd, msg, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    MessageQueue::ForThisThread()->Post(
        MSG{0, WM_QUIT, static_cast<WPARAM>(exitCode), 0, Clock::Get().NowMs(), {}});
}

bool GetMessageW(MSG& msg, HWND filter) {
    return MessageQueue::ForThisThread()->Get(msg, filter);
}

bool PeekMessageW(MSG& msg, HWND filter, bool remove) {
    return MessageQueue::ForThisThread()->Peek(msg, filter, remove);
}

LRESULT DispatchMessage(const MSG& msg) {
    if (msg.hwnd == 0) {
        return 0;
    }
    return CallWindowProcedure(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

int DispatchPendingMessages() {
    return MessageQueue::ForThisThread()->DispatchPending();
}

UINT SetTimer(HWND hwnd, UINT id, unsigned elapseMs) {
    const WindowRecord r = Table().Copy(hwnd);
    if (!r.queue || !r.queue->SetTimer(hwnd, id, elapseMs)) {
        return 0;
    }
    return id == 0 ? 1 : id;
}

bool KillTimer(HWND hwnd, UINT id) {
    const WindowRecord r = Table().Copy(hwnd);
    return r.queue && r.queue->KillTimer(hwnd, id);
}

bool InvalidateRect(HWND hwnd, const CRect* rect, bool erase) {
    std::shared_ptr<MessageQueue> queue;
    if (!Table().With(hwnd, [&](WindowRecord& r) {
            const CRect client = ClientOf(r.rect);
            const CRect area = rect ? CRect::Intersection(*rect, client) : client;
            r.update = CRect::Union(r.update, area);
            r.erase = r.erase || erase;
            queue = r.queue;
        })) {
        return false;
    }
    if (queue && queue->Thread() != std::this_thread::get_id()) {
        queue->Wake();
    }
    return true;
}

bool ValidateRect(HWND hwnd, const CRect* rect) {
    return Table().With(hwnd, [&](WindowRecord& r) {
        if (!rect || (rect->left <= r.update.left && rect->top <= r.update.top &&
                      rect->right >= r.update.right && rect->bottom >= r.update.bottom)) {
            r.update = CRect();
            r.erase = false;
        }
    });
}

bool GetUpdateRect(HWND hwnd, CRect& rect) {
    bool any = false;
    Table().With(hwnd, [&](WindowRecord& r) {
        rect = r.update;
        any = !r.update.IsRectEmpty();
    });
    return any;
}

CRect BeginPaint(HWND hwnd) {
    CRect area;
    const std::uint64_t now = Clock::Get().NowMs();
    Table().With(hwnd, [&](WindowRecord& r) {
        area = r.update;
        r.update = CRect();
        r.erase = false;
        r.paintNotBefore = now + kFrameIntervalMs;
    });
    return area;
}

void Present(HWND hwnd, cairo_surface_t* surface, const CRect& area) {
    if (IsWindow(hwnd) && !area.IsRectEmpty()) {
        WindowSystem::Get().Present(hwnd, surface, area);
    }
}

HWND SetCapture(HWND hwnd) {
    HWND previous = 0;
    {
        std::lock_guard guard(Table().Lock());
        previous = Table().capture;
        Table().capture = hwnd;
    }
    WindowSystem::Get().SetCapture(hwnd);
    return previous;
}

bool ReleaseCapture() {
    HWND previous = 0;
    {
        std::lock_guard guard(Table().Lock());
        previous = Table().capture;
        Table().capture = 0;
    }
    if (previous) {
        if (WindowSystem* system = WindowSystem::Current()) {
            system->ReleaseCapture();
        }
    }
    return true;
}

HWND GetCapture() {
    std::lock_guard guard(Table().Lock());
    return Table().capture;
}

HWND SetFocus(HWND hwnd) {
    HWND previous = 0;
    {
        std::lock_guard guard(Table().Lock());
        previous = Table().focus;
        Table().focus = hwnd;
    }
    if (previous != hwnd) {
        if (previous) {
            CallWindowProcedure(previous, WM_KILLFOCUS, hwnd, 0);
        }
        if (hwnd) {
            CallWindowProcedure(hwnd, WM_SETFOCUS, previous, 0);
        }
    }
    return previous;
}

HWND GetFocus() {
    std::lock_guard guard(Table().Lock());
    return Table().focus;
}

HWND GetActiveWindow() {
    std::lock_guard guard(Table().Lock());
    return Table().active;
}

bool SetForegroundWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        return false;
    }
    WindowSystem::Get().Raise(hwnd);
    WindowSystem::Get().Activate(hwnd);
    DeliverActivation(hwnd, true);
    return true;
}

bool TrackMouseEvent(HWND hwnd, DWORD flags, unsigned hoverMs) {
    const std::uint64_t now = Clock::Get().NowMs();
    return Table().With(hwnd, [&](WindowRecord& r) {
        if (flags & TME_CANCEL) {
            r.tracking &= ~flags;
            if (flags & TME_HOVER) {
                r.hoverDue = 0;
            }
            return;
        }
        r.tracking |= flags;
        if (flags & TME_HOVER) {
            r.hoverDue = now + hoverMs;
        }
    });
}

bool SetCursorShape(HWND hwnd, CursorShape shape) {
    if (!IsWindow(hwnd)) {
        return false;
    }
    WindowSystem::Get().SetCursor(hwnd, shape);
    return true;
}

bool BeginMoveDrag(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        return false;
    }
    ReleaseCapture();
    WindowSystem::Get().BeginMoveDrag(hwnd, GetCursorPos());
    return true;
}

CPoint GetCursorPos() {
    std::lock_guard guard(Table().Lock());
    return Table().cursor;
}

CRect GetWorkArea(const CRect& near) {
    return WindowSystem::Get().GetWorkArea(near);
}

} // namespace vellum
