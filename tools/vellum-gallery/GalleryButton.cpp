#include "tools/vellum-gallery/GalleryButton.h"

#include "ui/framework/MRender.h"

#include <cmath>

namespace kw::gallery {

using namespace vellum;

namespace {

constexpr ARGB kFaces[4][2] = {
    {0xFF2A3550, 0xFF1B2238}, // normal
    {0xFF34507E, 0xFF22355A}, // hover
    {0xFF10A8FD, 0xFF0C7DBE}, // pressed
    {0xFF30333A, 0xFF25272C}, // disabled
};

} // namespace

GalleryButton::GalleryButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title)
    : MControlFont(parent, id, rect, title, 1, 1, 1) {
    SetAlignment(kAlignCenter, kVAlignCenter);
    SetCursorEx(kCursorHand);
}

void GalleryButton::InitControl(PaintManager*) {
    SetImage(L"btn_gallery.png", 4);
}

void GalleryButton::RenderState(HDC& hdc, int i) {
    const CRect r = GetRect();
    const int w = r.Width();
    const int h = r.Height();
    cairo_t* cache = UpdateMemDC(hdc, w * 4, h);
    cairo_surface_t* beneath = cairo_get_target(hdc);
    const TextStyle style = GetTextStyle();
    const std::wstring title = GetTitle();
    unsigned hAlign = 0;
    unsigned vAlign = 0;
    GetAlignment(hAlign, vAlign);
    {
        const CRect slot(i * w, 0, (i + 1) * w, h);
        // What lies beneath, so that translucent pictures blend with the window.
        cairo_save(cache);
        cairo_set_operator(cache, CAIRO_OPERATOR_SOURCE);
        PathRect(cache, slot);
        cairo_clip(cache);
        cairo_set_source_surface(cache, beneath, slot.left - r.left, -r.top);
        cairo_paint(cache);
        cairo_restore(cache);
        if (GetImage()) {
            DrawImageSlice(cache, i, slot, 6);
        } else {
            cairo_save(cache);
            cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
            auto add = [&](double at, ARGB c) {
                cairo_pattern_add_color_stop_rgba(p, at, ((c >> 16) & 0xFF) / 255.0,
                                                  ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0, 1.0);
            };
            add(0, kFaces[i][0]);
            add(1, kFaces[i][1]);
            const double radius = 6;
            cairo_new_sub_path(cache);
            cairo_arc(cache, slot.right - 1 - radius, 1 + radius, radius, -M_PI / 2, 0);
            cairo_arc(cache, slot.right - 1 - radius, h - 1 - radius, radius, 0, M_PI / 2);
            cairo_arc(cache, slot.left + 1 + radius, h - 1 - radius, radius, M_PI / 2, M_PI);
            cairo_arc(cache, slot.left + 1 + radius, 1 + radius, radius, M_PI, 1.5 * M_PI);
            cairo_close_path(cache);
            cairo_set_source(cache, p);
            cairo_fill_preserve(cache);
            SetSourceARGB(cache, i == 3 ? 0xFF44474F : 0xFF10A8FD);
            cairo_set_line_width(cache, 1);
            cairo_stroke(cache);
            cairo_pattern_destroy(p);
            cairo_restore(cache);
        }
        CRect text = slot;
        if (i == 2) {
            text.OffsetRect(1, 1);
        }
        MRender::DrawTextW(cache, text, title, i == 3 ? 0xFF808080 : GetTextColor(), style, hAlign, vAlign);
    }
    cairo_surface_flush(CacheSurface());
}

void GalleryButton::DrawControl(HDC& hdc, CRect) {
    if (!GetUpdate() || !CacheSurface()) {
        renderedStates_ = 0;
    }
    const int state = state_;
    if (!(renderedStates_ & (1u << state))) {
        RenderState(hdc, state);
        renderedStates_ |= 1u << state;
    }
    const CRect r = GetRect();
    cairo_save(hdc);
    PathRect(hdc, r);
    cairo_clip(hdc);
    cairo_set_source_surface(hdc, CacheSurface(), r.left - state * r.Width(), r.top);
    cairo_set_operator(hdc, CAIRO_OPERATOR_SOURCE);
    cairo_paint(hdc);
    cairo_restore(hdc);
}

void GalleryButton::SetState(int state) {
    if (state_.exchange(state) != state) {
        UpdateControl(0, 0);
    }
}

int GalleryButton::OnControlMouseMove(unsigned, CPoint pt) {
    if (!IsEnabled() || IsPressedInside()) {
        return 0;
    }
    const bool inside = GetRect().PtInRect(pt);
    SetState(inside ? 1 : 0);
    return inside ? 1 : 0;
}

int GalleryButton::OnControlLButtonDown(unsigned, CPoint pt) {
    if (!IsEnabled() || !GetRect().PtInRect(pt)) {
        return 0;
    }
    SetState(2);
    SendMessageW(1, 0, 0);
    return 1;
}

int GalleryButton::OnControlLButtonUp(unsigned, CPoint pt) {
    if (!IsEnabled()) {
        return 0;
    }
    const bool wasPressed = state_ == 2;
    if (GetRect().PtInRect(pt)) {
        SetState(1);
        if (wasPressed) {
            SendMessageW(2, 0, 0);
        }
    } else {
        SetState(0);
    }
    return 1;
}

void GalleryButton::SetControlEnabled(int enabled) {
    MControlFont::SetControlEnabled(enabled);
    state_ = enabled ? 0 : 3;
}

} // namespace kw::gallery
