#include "ui/framework/MRender.h"

#include "ui/framework/Resources.h"
#include "ui/framework/TextLayouts.h"

#include <algorithm>
#include <cmath>

namespace vellum {

std::unique_ptr<Image> MRender::LoadImageFromFile(const std::filesystem::path& path) {
    return Image::Load(path);
}

std::unique_ptr<Image> MRender::LoadImageFromIDResource(unsigned id) {
    return LoadResourceImage(id);
}

void MRender::FillSolidRect(HDC& hdc, const CRect& rect, COLORREF color) {
    cairo_save(hdc);
    cairo_set_operator(hdc, CAIRO_OPERATOR_SOURCE);
    SetSourceColorRef(hdc, color);
    PathRect(hdc, rect);
    cairo_fill(hdc);
    cairo_restore(hdc);
}

void MRender::FillSolidRect(HDC& hdc, int x, int y, int width, int height, COLORREF color) {
    FillSolidRect(hdc, CRect(x, y, x + width, y + height), color);
}

void MRender::DrawColor(HDC hdc, const CRect& rect, ARGB color) {
    if ((color >> 24) == 0) {
        return;
    }
    SetSourceARGB(hdc, color);
    PathRect(hdc, rect);
    cairo_fill(hdc);
}

void MRender::DrawGradient(HDC hdc, const CRect& rect, ARGB from, ARGB to, bool vertical, int steps) {
    if (((from >> 24) + (to >> 24)) / 2 == 0 || rect.IsRectEmpty()) {
        return;
    }
    auto channel = [](ARGB c, int shift) { return ((c >> shift) & 0xFF) / 255.0; };
    if (steps > 1) {
        for (int i = 0; i < steps; ++i) {
            const double t = steps == 1 ? 0 : double(i) / (steps - 1);
            const ARGB c = MakeARGB(
                unsigned(std::lround((from >> 24) + t * (double(to >> 24) - (from >> 24)))),
                unsigned(std::lround(255 * (channel(from, 16) + t * (channel(to, 16) - channel(from, 16))))),
                unsigned(std::lround(255 * (channel(from, 8) + t * (channel(to, 8) - channel(from, 8))))),
                unsigned(std::lround(255 * (channel(from, 0) + t * (channel(to, 0) - channel(from, 0))))));
            CRect band = rect;
            if (vertical) {
                band.top = rect.top + rect.Height() * i / steps;
                band.bottom = rect.top + rect.Height() * (i + 1) / steps;
            } else {
                band.left = rect.left + rect.Width() * i / steps;
                band.right = rect.left + rect.Width() * (i + 1) / steps;
            }
            DrawColor(hdc, band, c);
        }
        return;
    }
    cairo_pattern_t* pattern = vertical ? cairo_pattern_create_linear(0, rect.top, 0, rect.bottom)
                                        : cairo_pattern_create_linear(rect.left, 0, rect.right, 0);
    cairo_pattern_add_color_stop_rgba(pattern, 0, channel(from, 16), channel(from, 8), channel(from, 0),
                                      channel(from, 24));
    cairo_pattern_add_color_stop_rgba(pattern, 1, channel(to, 16), channel(to, 8), channel(to, 0),
                                      channel(to, 24));
    cairo_set_source(hdc, pattern);
    PathRect(hdc, rect);
    cairo_fill(hdc);
    cairo_pattern_destroy(pattern);
}

namespace {

int Transition(HDC& dst, cairo_surface_t* src, const CRect& dstRect, const CRect& srcRect, int a, int b,
               bool vertical) {
    if (!src || dstRect.IsRectEmpty()) {
        return 0;
    }
    const double first = std::clamp(100 - a, 0, 100) / 100.0;
    const double last = std::clamp(100 - b, 0, 100) / 100.0;
    cairo_save(dst);
    cairo_pattern_t* mask = vertical
                                ? cairo_pattern_create_linear(0, dstRect.top + 0.5, 0, dstRect.bottom - 0.5)
                                : cairo_pattern_create_linear(dstRect.left + 0.5, 0, dstRect.right - 0.5, 0);
    cairo_pattern_add_color_stop_rgba(mask, 0, 0, 0, 0, first);
    cairo_pattern_add_color_stop_rgba(mask, 1, 0, 0, 0, last);
    PathRect(dst, dstRect);
    cairo_clip(dst);
    cairo_set_source_surface(dst, src, dstRect.left - srcRect.left, dstRect.top - srcRect.top);
    cairo_mask(dst, mask);
    cairo_pattern_destroy(mask);
    cairo_restore(dst);
    return static_cast<int>(std::lround(last * 255));
}

} // namespace

int MRender::DrawVerticalTransition(HDC& dst, cairo_surface_t* src, const CRect& dstRect,
                                    const CRect& srcRect, int a, int b) {
    return Transition(dst, src, dstRect, srcRect, a, b, true);
}

int MRender::DrawHorizontalTransition(HDC& dst, cairo_surface_t* src, const CRect& dstRect,
                                      const CRect& srcRect, int a, int b) {
    return Transition(dst, src, dstRect, srcRect, a, b, false);
}

void MRender::DrawRightBottomTransition(HDC& dst, cairo_surface_t* src, const CRect& rect, int size) {
    if (!src || size <= 0 || rect.IsRectEmpty()) {
        return;
    }
    const CRect corner(rect.right - size, rect.bottom - size, rect.right, rect.bottom);
    cairo_save(dst);
    PathRect(dst, corner);
    cairo_clip(dst);
    cairo_pattern_t* mask =
        cairo_pattern_create_radial(rect.right, rect.bottom, 0, rect.right, rect.bottom, size);
    cairo_pattern_add_color_stop_rgba(mask, 0, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(mask, 1, 0, 0, 0, 0);
    cairo_set_source_surface(dst, src, rect.left, rect.top);
    cairo_mask(dst, mask);
    cairo_pattern_destroy(mask);
    cairo_restore(dst);
}

void MRender::DrawImage(HDC hdc, const Image* image, const CRect& dst, int srcX, int srcY, int srcW,
                        int srcH) {
    if (!image || !image->IsValid() || srcW <= 0 || srcH <= 0 || dst.IsRectEmpty()) {
        return;
    }
    cairo_save(hdc);
    PathRect(hdc, dst);
    cairo_clip(hdc);
    cairo_translate(hdc, dst.left, dst.top);
    cairo_scale(hdc, double(dst.Width()) / srcW, double(dst.Height()) / srcH);
    cairo_set_source_surface(hdc, image->Surface(), -srcX, -srcY);
    if (dst.Width() != srcW || dst.Height() != srcH) {
        cairo_pattern_set_extend(cairo_get_source(hdc), CAIRO_EXTEND_PAD);
    }
    cairo_paint(hdc);
    cairo_restore(hdc);
}

void MRender::DrawImageFrame(HDC hdc, const Image* image, const CRect& dst, int srcX, int srcY, int srcW,
                             int srcH, int corner) {
    DrawImageFrameMID(hdc, image, dst, srcX, srcY, srcW, srcH, corner, corner, corner, corner);
}

void MRender::DrawImageFrameMID(HDC hdc, const Image* image, const CRect& dst, int srcX, int srcY, int srcW,
                                int srcH, int left, int top, int right, int bottom) {
    if (!image || dst.IsRectEmpty()) {
        return;
    }
    left = std::clamp(left, 0, std::min(srcW, dst.Width()) / 2);
    right = std::clamp(right, 0, std::min(srcW, dst.Width()) / 2);
    top = std::clamp(top, 0, std::min(srcH, dst.Height()) / 2);
    bottom = std::clamp(bottom, 0, std::min(srcH, dst.Height()) / 2);
    const int sx[4] = {srcX, srcX + left, srcX + srcW - right, srcX + srcW};
    const int sy[4] = {srcY, srcY + top, srcY + srcH - bottom, srcY + srcH};
    const int dx[4] = {dst.left, dst.left + left, dst.right - right, dst.right};
    const int dy[4] = {dst.top, dst.top + top, dst.bottom - bottom, dst.bottom};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            DrawImage(hdc, image, CRect(dx[col], dy[row], dx[col + 1], dy[row + 1]), sx[col], sy[row],
                      sx[col + 1] - sx[col], sy[row + 1] - sy[row]);
        }
    }
}

HBITMAP MRender::CreateARGB32Bitmap(int width, int height, unsigned char** bits) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(1, width), std::max(1, height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    if (bits) {
        *bits = cairo_image_surface_get_data(surface);
    }
    return surface;
}

CSize MRender::GetTextBounds(const TextStyle& style, const std::wstring& text) {
    PangoLayout* layout = TextLayouts::Get(style, text);
    PangoRectangle ink;
    PangoRectangle logical;
    pango_layout_get_extents(layout, &ink, &logical);
    const double width = double(logical.width) / PANGO_SCALE;
    const double lineHeight = double(logical.height) / PANGO_SCALE;
    int height = static_cast<int>(std::ceil(lineHeight)) + 4;
    if (std::floor(lineHeight) == lineHeight) {
        height += 1;
    }
    return {static_cast<int>(std::ceil(width)), height};
}

CPoint MRender::GetOriginPoint(int width, int height, int w, int h, unsigned hAlign, unsigned vAlign) {
    CPoint p;
    p.x = hAlign == kAlignCenter ? (width - w) / 2 : hAlign == kAlignRight ? width - w : 0;
    p.y = vAlign == kVAlignCenter ? (height - h) / 2 : vAlign == kVAlignBottom ? height - h : 0;
    return p;
}

CPoint MRender::GetOriginPoint(const CRect& rect, int w, int h, unsigned hAlign, unsigned vAlign) {
    const CPoint p = GetOriginPoint(rect.Width(), rect.Height(), w, h, hAlign, vAlign);
    return {rect.left + p.x, rect.top + p.y + 2};
}

void MRender::DrawTextW(HDC hdc, const CRect& rect, const std::wstring& text, ARGB color,
                        const TextStyle& style, unsigned hAlign, unsigned vAlign, bool wrap) {
    if (text.empty() || rect.IsRectEmpty() || (color >> 24) == 0) {
        return;
    }
    PangoLayout* layout = TextLayouts::Get(style, text, wrap ? rect.Width() : -1);
    if (wrap) {
        pango_layout_set_alignment(layout, hAlign == kAlignCenter  ? PANGO_ALIGN_CENTER
                                           : hAlign == kAlignRight ? PANGO_ALIGN_RIGHT
                                                                   : PANGO_ALIGN_LEFT);
    }
    int w = 0;
    int h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    const CPoint origin =
        GetOriginPoint(rect.Width(), rect.Height(), wrap ? rect.Width() : w, h, hAlign, vAlign);
    cairo_save(hdc);
    PathRect(hdc, rect);
    cairo_clip(hdc);
    SetSourceARGB(hdc, color);
    cairo_move_to(hdc, rect.left + origin.x, rect.top + origin.y);
    pango_cairo_show_layout(hdc, layout);
    cairo_restore(hdc);
}

void MRender::DrawRectangle(HDC& hdc, const CRect& rect, COLORREF color, int width) {
    if (width <= 0 || rect.IsRectEmpty()) {
        return;
    }
    cairo_save(hdc);
    SetSourceColorRef(hdc, color);
    cairo_set_line_width(hdc, width);
    cairo_rectangle(hdc, rect.left + width / 2.0, rect.top + width / 2.0, rect.Width() - width,
                    rect.Height() - width);
    cairo_stroke(hdc);
    cairo_restore(hdc);
}

void MRender::DrawRoundRectange(HDC hdc, float x, float y, float w, float h, float radius, ARGB pen,
                                float penWidth, bool fill, ARGB fillColor) {
    if (w <= 0 || h <= 0) {
        return;
    }
    const double r = std::clamp<double>(radius, 0, std::min(w, h) / 2.0);
    cairo_save(hdc);
    cairo_new_sub_path(hdc);
    cairo_arc(hdc, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(hdc, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(hdc, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(hdc, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(hdc);
    if (fill && (fillColor >> 24) != 0) {
        SetSourceARGB(hdc, fillColor);
        cairo_fill_preserve(hdc);
    }
    if (penWidth > 0 && (pen >> 24) != 0) {
        SetSourceARGB(hdc, pen);
        cairo_set_line_width(hdc, penWidth);
        cairo_stroke_preserve(hdc);
    }
    cairo_new_path(hdc);
    cairo_restore(hdc);
}

int MRender::SaveBitmapToFile(HBITMAP bitmap, const std::filesystem::path& path) {
    if (!bitmap) {
        return 0;
    }
    return cairo_surface_write_to_png(bitmap, path.c_str()) == CAIRO_STATUS_SUCCESS ? 1 : 0;
}

} // namespace vellum
