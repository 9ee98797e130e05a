#pragma once

// The window layer on an X server (Xlib). Windows are plain X windows without native children;
// layered windows use a 32-bit ARGB visual (cut with XShape when no compositor runs); frames are
// presented with MIT-SHM when the server offers it. Only the thread that opened the display touches
// Xlib: windows are created, shown and painted on that thread.

#include "ui/framework/WindowSystem.h"

#include <map>
#include <memory>
#include <thread>

namespace vellum {

class X11WindowSystem : public WindowSystem {
public:
    // Null when the display cannot be opened (`display` null means $DISPLAY).
    static std::unique_ptr<X11WindowSystem> Open(const char* display);
    ~X11WindowSystem() override;

    bool CreateNative(const NativeWindowSpec& native) override;
    void DestroyNative(HWND hwnd) override;
    void Show(HWND hwnd, int showCmd) override;
    void Move(HWND hwnd, const CRect& screenRect) override;
    void SetTitle(HWND hwnd, const std::wstring& title) override;
    void SetStyles(HWND hwnd, DWORD style, DWORD exStyle) override;
    void SetOpacity(HWND hwnd, unsigned opacity) override;
    void Present(HWND hwnd, cairo_surface_t* surface, const CRect& area) override;
    void Activate(HWND hwnd) override;
    void Raise(HWND hwnd) override;
    void SetCapture(HWND hwnd) override;
    void ReleaseCapture() override;
    void SetCursor(HWND hwnd, CursorShape shape) override;
    void BeginMoveDrag(HWND hwnd, CPoint screenPoint) override;
    CRect GetWorkArea(const CRect& near) override;
    void SetProperty(HWND hwnd, const std::wstring& name, long value) override;
    bool PostToMarkedWindow(const std::wstring& marker, UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool ActivateMarkedWindow(const std::wstring& marker) override;
    bool IsEventThread() const override { return std::this_thread::get_id() == thread_; }
    int ConnectionFd() const override;
    int ProcessEvents() override;

    // The X window of a handle (0 when none); for tests and screenshots.
    unsigned long NativeWindow(HWND hwnd) const;
    bool HasShm() const { return shm_; }
    bool HasCompositor() const;

private:
    struct Impl;
    explicit X11WindowSystem(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> impl_;
    bool shm_ = false;
    std::thread::id thread_ = std::this_thread::get_id();
};

} // namespace vellum
