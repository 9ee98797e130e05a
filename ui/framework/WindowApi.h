#pragma once

// The window layer's calls. They keep the familiar desktop names and meanings so that the framework
// and the program read the same on every host.
//
// Thread rules: PostMessage, SendMessage, InvalidateRect, SetTimer/KillTimer and every query are safe
// from any thread; SendMessage to a window of another thread waits until that thread has handled it.
// Creating, showing, moving and destroying windows happens on the window's own thread.

#include "ui/framework/WinTypes.h"

#include <string>

typedef struct _cairo_surface cairo_surface_t;

namespace vellum {

class WindowProcedure;

struct CREATESTRUCTW {
    void* lpCreateParams = nullptr;
    HWND hwndParent = 0;
    DWORD style = 0;
    DWORD dwExStyle = 0;
    CRect rect;
    const wchar_t* lpszName = nullptr;
    const wchar_t* lpszClass = nullptr;
};

// Window classes: a name with its class style. Registering an existing name counts as success.
bool RegisterWindowClass(const std::wstring& name, UINT classStyle);
bool IsClassRegistered(const std::wstring& name);

// Creates a window whose messages go to `proc`. Sends WM_NCCREATE and WM_CREATE (lParam points to a
// CREATESTRUCTW); a WM_CREATE result of -1 or a failing backend destroys it again and returns 0.
HWND CreateWindowExW(DWORD exStyle, const std::wstring& className, const std::wstring& title, DWORD style,
                     const CRect& rect, HWND owner, WindowProcedure* proc, void* createParam);
bool DestroyWindow(HWND hwnd);
bool IsWindow(HWND hwnd);
LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Calls the window's procedure directly (0 when the window is gone).
LRESULT CallWindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

bool ShowWindow(HWND hwnd, int showCmd);
bool IsWindowVisible(HWND hwnd);
bool IsIconic(HWND hwnd);
bool IsZoomed(HWND hwnd);
bool EnableWindow(HWND hwnd, bool enable);
bool IsWindowEnabled(HWND hwnd);
bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint);
bool GetWindowRect(HWND hwnd, CRect& rect);
bool GetClientRect(HWND hwnd, CRect& rect);
bool ClientToScreen(HWND hwnd, CPoint& pt);
bool ScreenToClient(HWND hwnd, CPoint& pt);
bool SetWindowTextW(HWND hwnd, const std::wstring& text);
std::wstring GetWindowTextW(HWND hwnd);
DWORD GetWindowStyle(HWND hwnd);
DWORD GetWindowExStyle(HWND hwnd);
bool SetWindowStyles(HWND hwnd, DWORD style, DWORD exStyle);
HWND GetWindowOwner(HWND hwnd);
std::wstring GetWindowClassName(HWND hwnd);
// The registry by class and title: either may be null to match any.
HWND FindWindowW(const wchar_t* className, const wchar_t* title);

bool SetPropW(HWND hwnd, const std::wstring& name, std::intptr_t value);
std::intptr_t GetPropW(HWND hwnd, const std::wstring& name);
std::intptr_t RemovePropW(HWND hwnd, const std::wstring& name);

bool PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
bool GetMessageW(MSG& msg, HWND filter = 0);
bool PeekMessageW(MSG& msg, HWND filter, bool remove);
LRESULT DispatchMessage(const MSG& msg);
// Runs everything that is ready on this thread's queue without waiting; returns how many messages ran.
int DispatchPendingMessages();

UINT SetTimer(HWND hwnd, UINT id, unsigned elapseMs);
bool KillTimer(HWND hwnd, UINT id);

bool InvalidateRect(HWND hwnd, const CRect* rect, bool erase);
bool ValidateRect(HWND hwnd, const CRect* rect);
bool GetUpdateRect(HWND hwnd, CRect& rect);
// Takes the area to paint (client coordinates) and starts the frame interval.
CRect BeginPaint(HWND hwnd);
void Present(HWND hwnd, cairo_surface_t* surface, const CRect& area);
// Earliest interval between two paints of one window (about 60 frames a second).
constexpr unsigned kFrameIntervalMs = 15;

HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND GetActiveWindow();
bool SetForegroundWindow(HWND hwnd);
bool TrackMouseEvent(HWND hwnd, DWORD flags, unsigned hoverMs = HOVER_DEFAULT_MS);
bool SetCursorShape(HWND hwnd, CursorShape shape);
bool BeginMoveDrag(HWND hwnd);
CPoint GetCursorPos();
// True while the key is held (from the last input the window layer saw).
bool IsKeyDown(UINT vk);
CRect GetWorkArea(const CRect& near);

} // namespace vellum
