#pragma once

// The host side of the window layer. The window layer keeps every window's state itself (WindowTable)
// and tells the backend what to mirror; the backend turns the host's input into messages through
// InputEvents. Two backends exist: X11 and off-screen (windows are Cairo surfaces, input is injected).

#include "ui/framework/WinTypes.h"

#include <memory>
#include <string>

typedef struct _cairo_surface cairo_surface_t;

namespace vellum {

struct NativeWindowSpec {
    HWND hwnd = 0;
    HWND owner = 0;
    std::wstring title;
    std::wstring className;
    CRect rect; // screen
    DWORD style = 0;
    DWORD exStyle = 0;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // The installed backend; installs the X11 backend on first use when none was installed (the
    // off-screen backend when VELLUM_BACKEND=offscreen). Without a display every window creation fails.
    static WindowSystem& Get();
    // The installed backend or null, without installing one.
    static WindowSystem* Current();
    static void Install(std::unique_ptr<WindowSystem> system);

    virtual bool CreateNative(const NativeWindowSpec& native) = 0;
    virtual void DestroyNative(HWND hwnd) = 0;
    // The window's visible/minimised state changed in the table.
    virtual void Show(HWND hwnd, int showCmd) = 0;
    virtual void Move(HWND hwnd, const CRect& screenRect) = 0;
    virtual void SetTitle(HWND hwnd, const std::wstring& title) = 0;
    virtual void SetStyles(HWND /*hwnd*/, DWORD /*style*/, DWORD /*exStyle*/) {}
    // Constant opacity of the whole window (255 = opaque).
    virtual void SetOpacity(HWND /*hwnd*/, unsigned /*opacity*/) {}
    // Copies `area` (client coordinates) of a premultiplied ARGB32 client-sized surface to the screen.
    virtual void Present(HWND hwnd, cairo_surface_t* surface, const CRect& area) = 0;
    virtual void Activate(HWND /*hwnd*/) {}
    virtual void Raise(HWND /*hwnd*/) {}
    virtual void SetCapture(HWND /*hwnd*/) {}
    virtual void ReleaseCapture() {}
    virtual void SetCursor(HWND /*hwnd*/, CursorShape /*shape*/) {}
    // Lets the window manager move the window with the pointer from `screenPoint`.
    virtual void BeginMoveDrag(HWND /*hwnd*/, CPoint /*screenPoint*/) {}
    // The usable area (without panels) of the monitor nearest to `near`.
    virtual CRect GetWorkArea(const CRect& near) = 0;
    // A named property visible to other processes (the main window's marker).
    virtual void SetProperty(HWND /*hwnd*/, const std::wstring& /*name*/, long /*value*/) {}
    // Another process's window that carries the property `marker`: post it a message, or bring it
    // forward. False when there is no such window.
    virtual bool PostToMarkedWindow(const std::wstring& /*marker*/, UINT /*msg*/, WPARAM, LPARAM) {
        return false;
    }
    virtual bool ActivateMarkedWindow(const std::wstring& /*marker*/) { return false; }

    // The thread that reads the host's events; only it waits on ConnectionFd.
    virtual bool IsEventThread() const = 0;
    virtual int ConnectionFd() const { return -1; }
    // Turns pending host events into messages; returns how many events it handled.
    virtual int ProcessEvents() { return 0; }
};

} // namespace vellum
