// PaintManager's input side: how window messages become control input.

#include "ui/framework/InputEvents.h"
#include "ui/framework/MControl.h"
#include "ui/framework/PaintManager.h"
#include "ui/framework/ToolTipWindow.h"
#include "ui/framework/WindowApi.h"

namespace vellum {

namespace {

constexpr CPoint kNowhere(-1, -1);

bool Accepts(MControl* c, unsigned keys, CPoint pt) {
    return c && c->IsVisible() && c->GetRresponse() && c->PtInRect(pt) && c->OnCheckMouseResponse(keys, pt);
}

} // namespace

LRESULT PaintManager::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (controls_.FindFirst([&](MControl* c) {
            return c->OnWindowMessage(msg, static_cast<unsigned>(wParam), static_cast<long>(lParam)) != 0;
        })) {
        return 0;
    }
    const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    const unsigned keys = static_cast<unsigned>(wParam);
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 1;
    case WM_GETMINMAXINFO:
        if (auto* info = reinterpret_cast<MINMAXINFO*>(lParam)) {
            if (minSize_.cx > 0 && minSize_.cy > 0) {
                info->ptMinTrackSize = CPoint(minSize_.cx, minSize_.cy);
            }
            if (maxSize_.cx > 0 && maxSize_.cy > 0) {
                info->ptMaxTrackSize = CPoint(maxSize_.cx, maxSize_.cy);
                info->ptMaxSize = info->ptMaxTrackSize;
            }
        }
        return 1;
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SIZE:
    case WM_CHAR:
    case WM_MOUSEHOVER:
        return 1;
    case WM_NCDESTROY:
        DestroyData();
        return 1;
    case WM_NCACTIVATE:
        if (wParam == 0) {
            OnDeactivate();
        }
        Invalidate();
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return OnKeyDown(static_cast<UINT>(wParam)) ? 1 : 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return 0;
    case WM_TIMER:
        return OnTimer(static_cast<UINT>(wParam)) ? 1 : 0;
    case WM_MOUSEMOVE:
        OnMouseMove(keys, pt);
        return 1;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return 1;
    case WM_LBUTTONDOWN:
        OnButtonDown(true, keys, pt);
        return 1;
    case WM_RBUTTONDOWN:
        OnButtonDown(false, keys, pt);
        return 1;
    case WM_LBUTTONUP:
        OnButtonUp(true, keys, pt);
        return 1;
    case WM_RBUTTONUP:
        OnButtonUp(false, keys, pt);
        return 1;
    case WM_LBUTTONDBLCLK:
        OnDoubleClick(true, keys, pt);
        return 1;
    case WM_RBUTTONDBLCLK:
        OnDoubleClick(false, keys, pt);
        return 1;
    case WM_MOUSEWHEEL:
        OnMouseWheel(wParam, lParam);
        return 1;
    default:
        return 0;
    }
}

void PaintManager::OnMouseMove(WPARAM keys, CPoint pt) {
    if (!tracking_) {
        TrackMouseEvent(hwnd_, TME_LEAVE | TME_HOVER, HOVER_DEFAULT_MS);
        tracking_ = true;
    }
    const unsigned k = static_cast<unsigned>(keys);
    MControl* hover = hover_;
    if (hover && Accepts(hover, k, pt)) {
        hover->OnMouseMove(k, pt);
        return;
    }
    if (tooltip_) {
        tooltip_->Hide();
        tooltipOwner_ = 0;
    }
    if (pressed_) {
        // The pressed control follows the pointer out of its rectangle (drags, buttons that un-press).
        if (hover) {
            hover->OnMouseMove(k, pt);
        }
        return;
    }
    MControl* found = nullptr;
    std::lock_guard guard(controls_.Lock());
    controls_.ForEach([&](MControl* c) {
        c->OnMouseMove(k, pt);
        if (c->IsVisible() && c->GetRresponse() && c->PtInRect(pt)) {
            found = c;
        }
    });
    hover_ = found;
}

void PaintManager::OnMouseLeave() {
    if (tooltip_) {
        tooltip_->Hide();
        tooltipOwner_ = 0;
    }
    tracking_ = false;
    if (pressed_) {
        return;
    }
    if (MControl* hover = hover_.exchange(nullptr)) {
        hover->OnMouseMove(0, kNowhere);
    }
}

void PaintManager::OnButtonDown(bool left, WPARAM keys, CPoint pt) {
    const unsigned k = static_cast<unsigned>(keys);
    // A press without a move before it (a synthetic click) still finds its control.
    if (!Accepts(hover_, k, pt) && !pressed_) {
        OnMouseMove(keys, pt);
    }
    MControl* hover = hover_;
    if (MControl* focus = focus_; focus && focus != hover) {
        focus_ = nullptr;
        focus->SetControlFocus(0);
    }
    if (Accepts(hover, k, pt)) {
        pressed_ = true;
        SetFocusControl(hover);
        if (left) {
            hover->OnLButtonDown(k, pt);
        } else {
            hover->OnRButtonDown(k, pt);
        }
        SetCapture(hwnd_);
        captured_ = true;
        return;
    }
    if (left && windowDrag_) {
        ReleaseCapture();
        captured_ = false;
        CPoint screen = pt;
        ClientToScreen(hwnd_, screen);
        vellum::SendMessageW(hwnd_, WM_NCLBUTTONDOWN, static_cast<WPARAM>(HTCAPTION),
                             MAKELPARAM(screen.x, screen.y));
    }
}

void PaintManager::OnButtonUp(bool left, WPARAM keys, CPoint pt) {
    const unsigned k = static_cast<unsigned>(keys);
    if (captured_) {
        ReleaseCapture();
        captured_ = false;
    }
    pressed_ = false;
    MControl* hover = hover_;
    if (hover && hover->IsVisible() && hover->GetRresponse()) {
        if (left) {
            hover->OnLButtonUp(k, pt);
        } else {
            hover->OnRButtonUp(k, pt);
        }
        if (hover_ == hover && !hover->PtInRect(pt)) {
            hover_ = nullptr;
        }
    }
}

void PaintManager::OnDoubleClick(bool left, WPARAM keys, CPoint pt) {
    const unsigned k = static_cast<unsigned>(keys);
    if (!Accepts(hover_, k, pt)) {
        OnMouseMove(keys, pt);
    }
    MControl* hover = hover_;
    if (!Accepts(hover, k, pt)) {
        return;
    }
    pressed_ = true;
    SetFocusControl(hover);
    if (left) {
        hover->OnLButtonDblClk(k, pt);
    } else {
        hover->OnRButtonDblClk(k, pt);
    }
    SetCapture(hwnd_);
    captured_ = true;
}

void PaintManager::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    ScreenToClient(hwnd_, pt);
    const unsigned down = delta <= 0 ? 1 : 0;
    const int notches = std::abs(delta) / WHEEL_DELTA;
    for (int i = 0; i < notches; ++i) {
        MControl* hover = hover_;
        if (hover && hover->OnScroll(1, down, pt)) {
            continue;
        }
        controls_.FindFirst([&](MControl* c) { return c->OnScroll(1, down, pt) != 0; });
    }
}

void PaintManager::OnDeactivate() {
    tracking_ = false;
    if (captured_) {
        ReleaseCapture();
    }
    captured_ = false;
    MControl* hover = hover_.exchange(nullptr);
    if (pressed_) {
        pressed_ = false;
        if (hover) {
            hover->OnLButtonUp(0, kNowhere);
        }
    } else if (hover) {
        hover->OnMouseMove(0, kNowhere);
    }
}

int PaintManager::OnKeyDown(UINT vk) {
    const unsigned modifiers = CurrentModifierValue();
    if (MControl* hover = hover_; hover && hover->OnKeyDown(vk, 1, modifiers)) {
        return 1;
    }
    return controls_.FindFirst([&](MControl* c) { return c->OnKeyDown(vk, 1, modifiers) != 0; }) ? 1 : 0;
}

bool PaintManager::MoveFocus(bool forward) {
    std::vector<MControl*> list = GetControls();
    if (list.empty()) {
        return false;
    }
    const int n = static_cast<int>(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i) {
        if (list[i] == focus_) {
            start = i;
        }
    }
    for (int step = 1; step <= n; ++step) {
        const int i = forward ? (start + step) % n : ((start < 0 ? 0 : start) - step + 2 * n) % n;
        MControl* c = list[i];
        if (c->IsVisible() && c->IsEnabled() && c->IsTabStop()) {
            if (c == focus_) {
                return false;
            }
            SetFocusControl(c);
            return true;
        }
    }
    return false;
}

int PaintManager::PreTranslateMessage(const MSG& msg) {
    if (msg.hwnd != hwnd_ || (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) ||
        msg.wParam != VK_TAB) {
        return 0;
    }
    if (IsKeyDown(VK_CONTROL) || IsKeyDown(VK_MENU)) {
        return 0;
    }
    return MoveFocus(!IsKeyDown(VK_SHIFT)) ? 1 : 0;
}

} // namespace vellum
