#include "ui/framework/InputEvents.h"

#include "ui/framework/Clock.h"
#include "ui/framework/WindowApi.h"
#include "ui/framework/WindowTable.h"

#include <array>
#include <atomic>
#include <cstdlib>

namespace vellum {

namespace {

std::array<std::atomic<bool>, 256>& Keys() {
    static std::array<std::atomic<bool>, 256> keys{};
    return keys;
}

void SetKey(UINT vk, bool down) {
    if (vk < 256) {
        Keys()[vk] = down;
    }
}

void SetCursor(CPoint screen) {
    std::lock_guard guard(WindowTable::Get().Lock());
    WindowTable::Get().cursor = screen;
}

// Finds the window that gets pointer input: the capture window when one is set, else `hwnd`.
// Converts the client point accordingly. False when the input is to be dropped.
bool Target(HWND& hwnd, CPoint& client) {
    WindowRecord r = WindowTable::Get().Copy(hwnd);
    if (!r.hwnd) {
        return false;
    }
    const CPoint screen = client + r.rect.TopLeft();
    SetCursor(screen);
    if (HWND capture = GetCapture(); capture && capture != hwnd) {
        r = WindowTable::Get().Copy(capture);
        if (!r.hwnd) {
            return false;
        }
        hwnd = capture;
        client = screen - r.rect.TopLeft();
    }
    return r.enabled && !r.destroying;
}

} // namespace

WPARAM CurrentMouseKeys() {
    WPARAM keys = 0;
    keys |= IsKeyDown(VK_LBUTTON) ? MK_LBUTTON : 0;
    keys |= IsKeyDown(VK_RBUTTON) ? MK_RBUTTON : 0;
    keys |= IsKeyDown(0x04) ? MK_MBUTTON : 0;
    keys |= IsKeyDown(VK_SHIFT) ? MK_SHIFT : 0;
    keys |= IsKeyDown(VK_CONTROL) ? MK_CONTROL : 0;
    return keys;
}

unsigned CurrentModifierValue() {
    unsigned value = IsKeyDown(VK_MENU) ? kModAlt : (IsKeyDown(VK_SHIFT) ? kModShift : kModNone);
    if (IsKeyDown(VK_CONTROL)) {
        value |= kModCtrl;
    }
    return value;
}

bool IsKeyDown(UINT vk) {
    return vk < 256 && Keys()[vk].load();
}

void ResetKeyState() {
    for (auto& key : Keys()) {
        key = false;
    }
}

void DeliverPointerMove(HWND hwnd, CPoint client) {
    if (!Target(hwnd, client)) {
        return;
    }
    const std::uint64_t now = Clock::Get().NowMs();
    WindowTable::Get().With(hwnd, [&](WindowRecord& r) {
        if (r.tracking & TME_HOVER) {
            r.hoverDue = now + HOVER_DEFAULT_MS;
        }
    });
    PostMessageW(hwnd, WM_MOUSEMOVE, CurrentMouseKeys(), MAKELPARAM(client.x, client.y));
}

void DeliverButton(HWND hwnd, int button, bool down, CPoint client) {
    const UINT vk = button == 1 ? VK_LBUTTON : button == 3 ? VK_RBUTTON : 0x04;
    SetKey(vk, down);
    if (!Target(hwnd, client)) {
        return;
    }
    UINT msg = 0;
    if (button == 1) {
        msg = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    } else if (button == 3) {
        msg = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    } else {
        msg = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    }
    if (down) {
        const std::uint64_t now = Clock::Get().NowMs();
        WindowTable::Get().With(hwnd, [&](WindowRecord& r) {
            const bool dbl = (r.classStyle & CS_DBLCLKS) && r.lastDownMsg == msg && msg != WM_MBUTTONDOWN &&
                             now - r.lastDownTime <= kDoubleClickMs &&
                             std::abs(client.x - r.lastDownPos.x) <= kDoubleClickDistance &&
                             std::abs(client.y - r.lastDownPos.y) <= kDoubleClickDistance;
            if (dbl) {
                msg = msg == WM_LBUTTONDOWN ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK;
                r.lastDownMsg = 0;
            } else {
                r.lastDownMsg = msg;
                r.lastDownTime = now;
                r.lastDownPos = client;
            }
        });
    }
    PostMessageW(hwnd, msg, CurrentMouseKeys(), MAKELPARAM(client.x, client.y));
}

void DeliverWheel(HWND hwnd, int delta, CPoint client) {
    if (!Target(hwnd, client)) {
        return;
    }
    CPoint screen = client;
    ClientToScreen(hwnd, screen);
    const WPARAM wParam =
        (CurrentMouseKeys() & 0xFFFF) | (static_cast<WPARAM>(static_cast<std::uint16_t>(delta)) << 16);
    PostMessageW(hwnd, WM_MOUSEWHEEL, wParam, MAKELPARAM(screen.x, screen.y));
}

void DeliverKey(HWND hwnd, UINT vk, bool down, wchar_t ch) {
    const bool wasDown = IsKeyDown(vk);
    SetKey(vk, down);
    if (vk == VK_LSHIFT || vk == VK_RSHIFT) {
        SetKey(VK_SHIFT, down);
    } else if (vk == VK_LCONTROL || vk == VK_RCONTROL) {
        SetKey(VK_CONTROL, down);
    } else if (vk == VK_LMENU || vk == VK_RMENU) {
        SetKey(VK_MENU, down);
    }
    const WindowRecord r = WindowTable::Get().Copy(hwnd);
    if (!r.hwnd || !r.enabled || r.destroying) {
        return;
    }
    const bool alt = IsKeyDown(VK_MENU);
    const bool sys = alt && !IsKeyDown(VK_CONTROL);
    LPARAM lParam = 1;
    if (wasDown) {
        lParam |= LPARAM(1) << 30;
    }
    if (!down) {
        lParam |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
    }
    if (alt) {
        lParam |= LPARAM(1) << 29;
    }
    const UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    PostMessageW(hwnd, msg, vk, lParam);
    if (down && ch && !sys) {
        PostMessageW(hwnd, WM_CHAR, ch, lParam);
    }
}

void DeliverLeave(HWND hwnd) {
    bool notify = false;
    WindowTable::Get().With(hwnd, [&](WindowRecord& r) {
        notify = (r.tracking & TME_LEAVE) != 0;
        r.tracking = 0;
        r.hoverDue = 0;
    });
    if (notify) {
        PostMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
    }
}

void DeliverActivation(HWND hwnd, bool active) {
    HWND previous = 0;
    {
        std::lock_guard guard(WindowTable::Get().Lock());
        previous = WindowTable::Get().active;
        if (active) {
            WindowTable::Get().active = hwnd;
        } else if (previous == hwnd) {
            WindowTable::Get().active = 0;
        }
    }
    if (active) {
        if (previous == hwnd) {
            return;
        }
        if (previous) {
            PostMessageW(previous, WM_NCACTIVATE, 0, 0);
            PostMessageW(previous, WM_ACTIVATE, 0, static_cast<LPARAM>(hwnd));
        }
        PostMessageW(hwnd, WM_NCACTIVATE, 1, 0);
        PostMessageW(hwnd, WM_ACTIVATE, 1, static_cast<LPARAM>(previous));
    } else if (previous == hwnd) {
        PostMessageW(hwnd, WM_NCACTIVATE, 0, 0);
        PostMessageW(hwnd, WM_ACTIVATE, 0, 0);
    }
}

void DeliverExpose(HWND hwnd, const CRect& client) {
    InvalidateRect(hwnd, &client, false);
}

void DeliverConfigure(HWND hwnd, const CRect& screen) {
    CRect before;
    if (!WindowTable::Get().With(hwnd, [&](WindowRecord& r) {
            before = r.rect;
            r.rect = screen;
            if (screen.Size() != before.Size()) {
                r.update = CRect(0, 0, screen.Width(), screen.Height());
            }
        })) {
        return;
    }
    if (screen.TopLeft() != before.TopLeft()) {
        PostMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(screen.left, screen.top));
    }
    if (screen.Size() != before.Size()) {
        PostMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(screen.Width(), screen.Height()));
    }
}

void DeliverCloseRequest(HWND hwnd) {
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

void DeliverForeignMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    PostMessageW(hwnd, msg, wParam, lParam);
}

} // namespace vellum
