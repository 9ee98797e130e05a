#pragma once

// A window system without a display: every window is a Cairo image surface of its size that receives
// what the window presents. Input is injected through InputEvents; time through a ManualClock.
// Tests read the presented pixels with Pixel().

#include "ui/framework/WindowSystem.h"

#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace vellum {

class OffscreenWindowSystem : public WindowSystem {
public:
    explicit OffscreenWindowSystem(CRect workArea = CRect(0, 0, 1920, 1040)) : workArea_(workArea) {}
    // A system that refuses every window: what a program gets when no display can be opened, so that
    // creating a window fails instead of drawing where nobody sees it.
    static std::unique_ptr<OffscreenWindowSystem> Unavailable();
    ~OffscreenWindowSystem() override;

    bool CreateNative(const NativeWindowSpec& native) override;
    void DestroyNative(HWND hwnd) override;
    void Show(HWND hwnd, int showCmd) override;
    void Move(HWND hwnd, const CRect& screenRect) override;
    void SetTitle(HWND, const std::wstring&) override {}
    void Present(HWND hwnd, cairo_surface_t* surface, const CRect& area) override;
    void SetCursor(HWND hwnd, CursorShape shape) override;
    void BeginMoveDrag(HWND hwnd, CPoint screenPoint) override;
    CRect GetWorkArea(const CRect& near) override;
    bool IsEventThread() const override { return std::this_thread::get_id() == thread_; }

    // The presented pixel as 0xAARRGGBB (not premultiplied); 0 outside the window.
    std::uint32_t Pixel(HWND hwnd, int x, int y);
    int PresentCount(HWND hwnd);
    CursorShape Cursor(HWND hwnd);
    // Number of window drags the layer started.
    int MoveDrags() const { return moveDrags_; }
    void SetWorkArea(const CRect& area) { workArea_ = area; }

private:
    struct Surface {
        cairo_surface_t* surface = nullptr;
        int presents = 0;
        CursorShape cursor = CursorShape::Arrow;
    };
    void Resize(Surface& s, const CSize& size);

    std::mutex lock_;
    std::map<HWND, Surface> windows_;
    CRect workArea_;
    int moveDrags_ = 0;
    std::thread::id thread_ = std::this_thread::get_id();
    bool refuse_ = false;
};

} // namespace vellum
