#include "ui/framework/OffscreenWindowSystem.h"

#include "ui/framework/WindowTable.h"

#include <cairo.h>

namespace vellum {

OffscreenWindowSystem::~OffscreenWindowSystem() {
    for (auto& [hwnd, s] : windows_) {
        if (s.surface) {
            cairo_surface_destroy(s.surface);
        }
    }
}

void OffscreenWindowSystem::Resize(Surface& s, const CSize& size) {
    if (s.surface && cairo_image_surface_get_width(s.surface) == size.cx &&
        cairo_image_surface_get_height(s.surface) == size.cy) {
        return;
    }
    if (s.surface) {
        cairo_surface_destroy(s.surface);
    }
    s.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(1, size.cx), std::max(1, size.cy));
}

std::unique_ptr<OffscreenWindowSystem> OffscreenWindowSystem::Unavailable() {
    auto system = std::make_unique<OffscreenWindowSystem>();
    system->refuse_ = true;
    return system;
}

bool OffscreenWindowSystem::CreateNative(const NativeWindowSpec& native) {
    std::lock_guard guard(lock_);
    if (refuse_) {
        return false;
    }
    Surface& s = windows_[native.hwnd];
    Resize(s, native.rect.Size());
    return cairo_surface_status(s.surface) == CAIRO_STATUS_SUCCESS;
}

void OffscreenWindowSystem::DestroyNative(HWND hwnd) {
    std::lock_guard guard(lock_);
    auto it = windows_.find(hwnd);
    if (it != windows_.end()) {
        cairo_surface_destroy(it->second.surface);
        windows_.erase(it);
    }
}

void OffscreenWindowSystem::Show(HWND, int) {}

void OffscreenWindowSystem::Move(HWND hwnd, const CRect& screenRect) {
    std::lock_guard guard(lock_);
    auto it = windows_.find(hwnd);
    if (it != windows_.end()) {
        Resize(it->second, screenRect.Size());
    }
}

void OffscreenWindowSystem::Present(HWND hwnd, cairo_surface_t* surface, const CRect& area) {
    std::lock_guard guard(lock_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end() || !surface) {
        return;
    }
    cairo_t* cr = cairo_create(it->second.surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr, area.left, area.top, area.Width(), area.Height());
    cairo_clip(cr);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    ++it->second.presents;
}

void OffscreenWindowSystem::SetCursor(HWND hwnd, CursorShape shape) {
    std::lock_guard guard(lock_);
    if (auto it = windows_.find(hwnd); it != windows_.end()) {
        it->second.cursor = shape;
    }
}

void OffscreenWindowSystem::BeginMoveDrag(HWND, CPoint) {
    ++moveDrags_;
}

CRect OffscreenWindowSystem::GetWorkArea(const CRect&) {
    return workArea_;
}

std::uint32_t OffscreenWindowSystem::Pixel(HWND hwnd, int x, int y) {
    std::lock_guard guard(lock_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) {
        return 0;
    }
    cairo_surface_t* s = it->second.surface;
    cairo_surface_flush(s);
    if (x < 0 || y < 0 || x >= cairo_image_surface_get_width(s) || y >= cairo_image_surface_get_height(s)) {
        return 0;
    }
    const auto* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    const std::uint32_t p = reinterpret_cast<const std::uint32_t*>(row)[x];
    const std::uint32_t a = p >> 24;
    if (a == 0) {
        return 0;
    }
    auto un = [&](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a); };
    return (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
}

int OffscreenWindowSystem::PresentCount(HWND hwnd) {
    std::lock_guard guard(lock_);
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? 0 : it->second.presents;
}

CursorShape OffscreenWindowSystem::Cursor(HWND hwnd) {
    std::lock_guard guard(lock_);
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? CursorShape::Arrow : it->second.cursor;
}

} // namespace vellum
