#include "ui/framework/MDialog.h"

#include "ui/framework/MControl.h"
#include "ui/framework/WindowApi.h"
#include "ui/framework/WindowSystem.h"

namespace vellum {

MDialog::MDialog() = default;

MDialog::~MDialog() {
    if (hwnd_ && IsWindow(hwnd_)) {
        DestroyWindow();
    }
}

long MDialog::OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
    return OnMessage(id, code, wParam, lParam);
}

long MDialog::OnControlUpdate(CRect rect, int redraw, MControl* control) {
    return paint_.OnControlUpdate(rect, redraw, control);
}

int MDialog::OnCreate(CREATESTRUCTW*) {
    // No caption and no sizing border: the dialog draws all of itself.
    const DWORD style = (GetStyle() & 0xFF3BFFFF) | 0x06000008;
    SetWindowStyles(hwnd_, style, GetExStyle());
    return 0;
}

int MDialog::OnInitDialog() {
    paint_.Init(hwnd_, this);
    client_ = GetClientRect();
    InitUI(client_);
    return 1;
}

void MDialog::OnDestroyMessage(HWND hwnd) {
    if (paint_.GetPaintWnd() == hwnd) {
        paint_.DestroyData();
    }
    PostNcDestroy();
}

int MDialog::OnSize(unsigned type, int, int) {
    if (type == SIZE_MINIMIZED || !hwnd_) {
        return 0;
    }
    if (opacity_ < 255) {
        ModifyExStyle(0, WS_EX_LAYERED);
        WindowSystem::Get().SetOpacity(hwnd_, static_cast<unsigned>(std::max(0, opacity_)));
    }
    client_ = GetClientRect();
    if (client_.Width() > 1 && client_.Height() > 1) {
        UISize(client_);
    }
    InvalidateRect(nullptr, true);
    return 0;
}

CPoint MDialog::GetAirBladderPoint(MControl* control, unsigned side) {
    if (!control) {
        return {};
    }
    const CRect r = control->GetRect();
    const int x = side == 0 ? r.left : side == 1 ? (r.left + r.right) / 2 : r.right;
    return {x, r.bottom};
}

void MDialog::OnMinimize() {
    ShowWindow(SW_MINIMIZE);
}

void MDialog::OnMaximize() {
    ShowWindow(vellum::IsZoomed(hwnd_) ? SW_RESTORE : SW_SHOWMAXIMIZED);
}

long MDialog::OnUserCloseWindow(unsigned wParam, long lParam) {
    PostMessageW(WM_CLOSE, wParam, lParam);
    return 1;
}

MControl* MDialog::CreateArea(const wchar_t* className, unsigned id, CRect rect, const wchar_t* text, int a,
                              int b) {
    return paint_.CreateArea(this, className, id, rect, text, a, b);
}

MControl* MDialog::CreateControl(const wchar_t* className, unsigned id, CRect rect, const wchar_t* text,
                                 int a, int b) {
    return paint_.CreateControl(this, className, id, rect, text, a, b);
}

MControl* MDialog::AddControl(std::unique_ptr<MControl> control, unsigned list) {
    if (control) {
        control->SetParent(this);
    }
    return paint_.AddControl(std::move(control), list);
}

int MDialog::PreTranslateMessage(MSG* msg) {
    return msg ? paint_.PreTranslateMessage(*msg) : 0;
}

LRESULT MDialog::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    const unsigned keys = static_cast<unsigned>(wParam);
    switch (msg) {
    case WM_CREATE:
        if (OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam)) == -1) {
            return -1;
        }
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_SIZE:
        OnSize(static_cast<unsigned>(wParam), x, y);
        break;
    case WM_PAINT:
        OnPaint();
        break;
    case WM_CLOSE:
        OnClose();
        break;
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging();
        break;
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged();
        break;
    case WM_NCACTIVATE:
        OnNcActivate(static_cast<int>(wParam));
        break;
    case WM_TIMER:
        OnTimer(static_cast<unsigned>(wParam));
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(keys, x, y);
        break;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        break;
    case WM_MOUSEHOVER:
        OnMouseHover(keys, x, y);
        break;
    case WM_MOUSEWHEEL:
        OnMouseWheel(keys, x, y);
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(keys, x, y);
        break;
    case WM_LBUTTONUP:
        OnLButtonUp(keys, x, y);
        break;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(keys, x, y);
        break;
    case WM_RBUTTONDOWN:
        OnRButtonDown(keys, x, y);
        break;
    case WM_RBUTTONUP:
        OnRButtonUp(keys, x, y);
        break;
    case WM_RBUTTONDBLCLK:
        OnRButtonDblClk(keys, x, y);
        break;
    case WM_KEYDOWN:
        OnKeyDown(keys, 1, static_cast<unsigned>(lParam));
        break;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_USER_CLOSE_WINDOW:
        return OnUserCloseWindow(static_cast<unsigned>(wParam), static_cast<long>(lParam));
    default:
        break;
    }
    if (const LRESULT handled = paint_.OnWindowMessage(msg, wParam, lParam)) {
        return handled;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

} // namespace vellum
