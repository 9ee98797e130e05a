#pragma once

// Drawing helpers shared by every control: fills, gradients, transitions, nine-slice frames, rounded
// rectangles, text and its measurement, and image loading.

#include "ui/framework/Gdi.h"
#include "ui/framework/Image.h"
#include "ui/framework/TextStyle.h"

#include <filesystem>
#include <memory>
#include <string>

namespace vellum {

class MRender {
public:
    // PNG from a file; null on failure.
    static std::unique_ptr<Image> LoadImageFromFile(const std::filesystem::path& path);
    // One of the library's built-in pictures (see Resources.h); null when there is no such id.
    static std::unique_ptr<Image> LoadImageFromIDResource(unsigned id);

    // Opaque fill.
    static void FillSolidRect(HDC& hdc, const CRect& rect, COLORREF color);
    static void FillSolidRect(HDC& hdc, int x, int y, int width, int height, COLORREF color);
    // Fill with an ARGB colour; nothing when its alpha is 0.
    static void DrawColor(HDC hdc, const CRect& rect, ARGB color);
    // Two-colour gradient; nothing when the mean alpha of the two colours is 0. `steps` > 0 bands it.
    static void DrawGradient(HDC hdc, const CRect& rect, ARGB from, ARGB to, bool vertical, int steps = 0);
    // Blends `src` (its `srcRect`) over `dstRect` row by row: the first row with opacity (100 - a) %,
    // the last with (100 - b) %, linear between (a and b are transparency percents). Returns the
    // last opacity used (0..255).
    static int DrawVerticalTransition(HDC& dst, cairo_surface_t* src, const CRect& dstRect,
                                      const CRect& srcRect, int a, int b);
    static int DrawHorizontalTransition(HDC& dst, cairo_surface_t* src, const CRect& dstRect,
                                        const CRect& srcRect, int a, int b);
    // Blends `src` over the bottom-right corner square of side `size`: opacity
    // 255 - 255 * min(distance, size) / size, the distance measured from the corner.
    static void DrawRightBottomTransition(HDC& dst, cairo_surface_t* src, const CRect& rect, int size);
    // Part of an image stretched to `dst`.
    static void DrawImage(HDC hdc, const Image* image, const CRect& dst, int srcX, int srcY, int srcW,
                          int srcH);
    // Nine-slice: corner squares of side `corner` at their size, edges stretched along their length,
    // the centre stretched both ways.
    static void DrawImageFrame(HDC hdc, const Image* image, const CRect& dst, int srcX, int srcY, int srcW,
                               int srcH, int corner);
    static void DrawImageFrameMID(HDC hdc, const Image* image, const CRect& dst, int srcX, int srcY, int srcW,
                                  int srcH, int left, int top, int right, int bottom);
    // A client-sized ARGB32 bitmap with its pixel pointer.
    static HBITMAP CreateARGB32Bitmap(int width, int height, unsigned char** bits);

    // Text: measured as one line without wrapping. Width rounded up; height is the line height rounded
    // up plus 4 (plus 1 more when it was already whole).
    static CSize GetTextBounds(const TextStyle& style, const std::wstring& text);
    static CPoint GetOriginPoint(int width, int height, int w, int h, unsigned hAlign, unsigned vAlign);
    // The same inside `rect`, plus 2 pixels down.
    static CPoint GetOriginPoint(const CRect& rect, int w, int h, unsigned hAlign, unsigned vAlign);
    static void DrawTextW(HDC hdc, const CRect& rect, const std::wstring& text, ARGB color,
                          const TextStyle& style, unsigned hAlign = kAlignLeft,
                          unsigned vAlign = kVAlignCenter, bool wrap = false);

    static void DrawRectangle(HDC& hdc, const CRect& rect, COLORREF color, int width = 1);
    static void DrawRoundRectange(HDC hdc, float x, float y, float w, float h, float radius, ARGB pen,
                                  float penWidth, bool fill, ARGB fillColor);
    static void DrawRoundRectange(HDC hdc, float x, float y, float w, float h, float radius, ARGB color) {
        DrawRoundRectange(hdc, x, y, w, h, radius, color, 1.0f, true, color);
    }
    // Pure black would read as transparent: a colour whose low 24 bits are 0 is raised by 1.
    static void CheckAlphaColor(unsigned long& color) {
        if ((color & 0x00FFFFFF) == 0) {
            color += 1;
        }
    }
    // Writes the bitmap as a PNG file; 1 on success.
    static int SaveBitmapToFile(HBITMAP bitmap, const std::filesystem::path& path);
};

} // namespace vellum
