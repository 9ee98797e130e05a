#include "ui/framework/CArea.h"

#include "ui/framework/MRender.h"

namespace vellum {

CArea::CArea(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControl(parent, id, rect, visible, enabled, 1) {}

void CArea::SetColor(COLORREF fill) {
    fill_ = fill;
    UpdateControl(1, 0);
}

void CArea::SetTransparent(int start, int end, COLORREF fill) {
    fill_ = fill;
    rampStart_ = start;
    rampEnd_ = end;
    transparent_ = true;
    UpdateControl(1, 0);
}

void CArea::SetFrame(int on, ARGB frame, int width) {
    frameOn_ = on;
    frame_ = frame;
    frameWidth_ = width;
    UpdateControl(1, 0);
}

void CArea::DrawControl(HDC& hdc, CRect) {
    const CRect rect = GetRect();
    const COLORREF fill = fill_;
    const int start = rampStart_;
    const int end = rampEnd_;
    if (transparent_ && (start != 0 || end != 0)) {
        const unsigned top = static_cast<unsigned>(255 * std::clamp(100 - start, 0, 100) / 100);
        const unsigned bottom = static_cast<unsigned>(255 * std::clamp(100 - end, 0, 100) / 100);
        MRender::DrawGradient(hdc, rect, ColorRefToARGB(fill, top), ColorRefToARGB(fill, bottom), true);
        return;
    }
    MRender::DrawColor(hdc, rect, ColorRefToARGB(fill, 255));
    if (frameOn_ && frameWidth_ > 0) {
        const int w = frameWidth_;
        cairo_save(hdc);
        SetSourceARGB(hdc, frame_);
        cairo_set_line_width(hdc, w);
        cairo_rectangle(hdc, rect.left + w / 2.0, rect.top + w / 2.0, rect.Width() - w, rect.Height() - w);
        cairo_stroke(hdc);
        cairo_restore(hdc);
    }
}

} // namespace vellum
