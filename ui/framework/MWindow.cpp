#include "ui/framework/MWindow.h"

#include "ui/framework/Manager.h"
#include "ui/framework/WindowApi.h"

#include <algorithm>

namespace vellum {

MWindow::MWindow() {
    Manager::AddWnd(this);
}

MWindow::~MWindow() {
    Manager::DeleteWnd(this);
    if (hwnd_ && IsWindow(hwnd_)) {
        // The object goes first: the window must not call back into it.
        const HWND hwnd = hwnd_;
        hwnd_ = 0;
        WindowTable::Get().With(hwnd, [](WindowRecord& r) { r.proc = nullptr; });
        vellum::DestroyWindow(hwnd);
    }
}

int MWindow::ShowWindow(int showCmd) {
    return hwnd_ ? vellum::ShowWindow(hwnd_, showCmd) : 0;
}

LRESULT MWindow::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

HWND MWindow::Create(HWND parent) {
    return Create(parent, L"VellumClient", kDefaultStyle, 0, CRect(0, 0, 800, 600));
}

HWND MWindow::Create(HWND parent, CRect rect) {
    return Create(parent, L"VellumClient", kDefaultStyle, 0, rect);
}

HWND MWindow::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect) {
    if (hwnd_ && IsWindow(hwnd_)) {
        return hwnd_;
    }
    parent_ = parent;
    const bool registered = GetSuperClassName() ? RegisterSuperClass() : RegisterWindowClass();
    if (!registered) {
        return 0;
    }
    const HWND hwnd =
        CreateWindowExW(exStyle, GetWindowClassName(), title ? title : L"", style, rect, parent, this, this);
    if (!hwnd || !IsWindow(hwnd)) {
        hwnd_ = 0;
        return 0;
    }
    OnInitDialog();
    return hwnd_;
}

bool MWindow::RegisterWindowClass() {
    return vellum::RegisterWindowClass(GetWindowClassName(), CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS);
}

bool MWindow::RegisterSuperClass() {
    const wchar_t* super = GetSuperClassName();
    if (!super || !IsClassRegistered(super)) {
        return false;
    }
    return vellum::RegisterWindowClass(GetWindowClassName(), CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS);
}

LRESULT MWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        hwnd_ = hwnd;
    }
    if (msg == WM_NCDESTROY) {
        const LRESULT result = DefWindowProcW(hwnd, msg, wParam, lParam);
        hwnd_ = 0;
        OnDestroyMessage(hwnd);
        return result;
    }
    return OnWindowMessage(msg, wParam, lParam);
}

unsigned MWindow::ShowModal(int showCmd) {
    if (!hwnd_ || !IsWindow(hwnd_)) {
        return static_cast<unsigned>(-1);
    }
    const HWND self = hwnd_;
    const HWND owner = GetWindowOwner(self) ? GetWindowOwner(self) : parent_;
    ShowWindow(showCmd);
    if (owner) {
        vellum::EnableWindow(owner, false);
    }
    auto releaseOwner = [owner] {
        if (owner && IsWindow(owner)) {
            vellum::EnableWindow(owner, true);
            vellum::SetFocus(owner);
        }
    };
    unsigned result = 0;
    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    while (IsWindow(self)) {
        if (!GetMessageW(msg)) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == self) {
            result = static_cast<unsigned>(msg.wParam);
            releaseOwner();
        }
        Manager::TranslateAndDispatch(msg);
    }
    releaseOwner();
    if (quit) {
        PostQuitMessage(static_cast<int>(quitCode));
    }
    return result;
}

void MWindow::CenterWindow(MWindow* reference) {
    if (!hwnd_) {
        return;
    }
    const CRect self = GetWindowRect();
    HWND ref = reference ? reference->GetSafeHwnd() : GetWindowOwner(hwnd_);
    if (!ref) {
        ref = parent_;
    }
    const CRect work = GetWorkArea(self);
    CRect center = work;
    if (ref && vellum::IsWindowVisible(ref) && !vellum::IsIconic(ref)) {
        vellum::GetWindowRect(ref, center);
    }
    int x = center.left + (center.Width() - self.Width()) / 2;
    int y = center.top + (center.Height() - self.Height()) / 2;
    // Right and bottom edges first, then left and top.
    x = std::min(x, work.right - self.Width());
    y = std::min(y, work.bottom - self.Height());
    x = std::max(x, work.left);
    y = std::max(y, work.top);
    vellum::SetWindowPos(hwnd_, 0, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MWindow::BringToTop() {
    if (!hwnd_) {
        return;
    }
    SetForegroundWindow(hwnd_);
    ShowWindow(vellum::IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
}

DWORD MWindow::GetStyle() const {
    return hwnd_ ? GetWindowStyle(hwnd_) : 0;
}
DWORD MWindow::GetExStyle() const {
    return hwnd_ ? GetWindowExStyle(hwnd_) : 0;
}

bool MWindow::ModifyStyle(DWORD remove, DWORD add, UINT) {
    return hwnd_ && SetWindowStyles(hwnd_, (GetStyle() & ~remove) | add, GetExStyle());
}

bool MWindow::ModifyExStyle(DWORD remove, DWORD add, UINT) {
    return hwnd_ && SetWindowStyles(hwnd_, GetStyle(), (GetExStyle() & ~remove) | add);
}

CRect MWindow::GetClientRect() const {
    CRect rect;
    if (hwnd_) {
        vellum::GetClientRect(hwnd_, rect);
    }
    return rect;
}

CRect MWindow::GetWindowRect() const {
    CRect rect;
    if (hwnd_) {
        vellum::GetWindowRect(hwnd_, rect);
    }
    return rect;
}

bool MWindow::SetWindowTextW(const std::wstring& text) {
    return hwnd_ && vellum::SetWindowTextW(hwnd_, text);
}
std::wstring MWindow::GetWindowTextW() const {
    return hwnd_ ? vellum::GetWindowTextW(hwnd_) : std::wstring();
}
bool MWindow::EnableWindow(bool enable) {
    return hwnd_ && vellum::EnableWindow(hwnd_, enable);
}
bool MWindow::IsWindowEnabled() const {
    return hwnd_ && vellum::IsWindowEnabled(hwnd_);
}
bool MWindow::IsWindowVisible() const {
    return hwnd_ && vellum::IsWindowVisible(hwnd_);
}
bool MWindow::IsIconic() const {
    return hwnd_ && vellum::IsIconic(hwnd_);
}
bool MWindow::InvalidateRect(const CRect* rect, bool erase) {
    return hwnd_ && vellum::InvalidateRect(hwnd_, rect, erase);
}
HWND MWindow::SetCapture() {
    return hwnd_ ? vellum::SetCapture(hwnd_) : 0;
}
bool MWindow::ReleaseCapture() {
    return hwnd_ && vellum::ReleaseCapture();
}
HWND MWindow::SetFocus() {
    return hwnd_ ? vellum::SetFocus(hwnd_) : 0;
}
UINT MWindow::SetTimer(UINT id, unsigned elapseMs) {
    return hwnd_ ? vellum::SetTimer(hwnd_, id, elapseMs) : 0;
}
bool MWindow::KillTimer(UINT id) {
    return hwnd_ && vellum::KillTimer(hwnd_, id);
}
bool MWindow::ClientToScreen(CPoint& pt) const {
    return hwnd_ && vellum::ClientToScreen(hwnd_, pt);
}
bool MWindow::ScreenToClient(CPoint& pt) const {
    return hwnd_ && vellum::ScreenToClient(hwnd_, pt);
}

bool MWindow::ClientToScreen(CRect& rect) const {
    CPoint a = rect.TopLeft();
    if (!ClientToScreen(a)) {
        return false;
    }
    rect.MoveToXY(a.x, a.y);
    return true;
}

bool MWindow::ScreenToClient(CRect& rect) const {
    CPoint a = rect.TopLeft();
    if (!ScreenToClient(a)) {
        return false;
    }
    rect.MoveToXY(a.x, a.y);
    return true;
}

bool MWindow::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return hwnd_ && vellum::SetWindowPos(hwnd_, insertAfter, x, y, cx, cy, flags);
}

bool MWindow::MoveWindow(int x, int y, int width, int height, bool repaint) {
    return hwnd_ && vellum::MoveWindow(hwnd_, x, y, width, height, repaint);
}

bool MWindow::MoveWindow(const CRect& rect, bool repaint) {
    return MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}

bool MWindow::DestroyWindow() {
    return hwnd_ && vellum::DestroyWindow(hwnd_);
}
LRESULT MWindow::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
    return hwnd_ ? vellum::SendMessageW(hwnd_, msg, wParam, lParam) : 0;
}
bool MWindow::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
    return hwnd_ && vellum::PostMessageW(hwnd_, msg, wParam, lParam);
}

} // namespace vellum
