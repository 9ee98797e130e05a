#pragma once

// Drawing vocabulary: a device context is a Cairo context; bitmaps are Cairo image surfaces (ARGB32,
// premultiplied). Colours convert from COLORREF and ARGB at the drawing call.

#include "ui/framework/WinTypes.h"

#include <cairo.h>

namespace vellum {

using HDC = cairo_t*;
using HBITMAP = cairo_surface_t*;

inline void SetSourceARGB(cairo_t* cr, ARGB c) {
    cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                          ((c >> 24) & 0xFF) / 255.0);
}

inline void SetSourceColorRef(cairo_t* cr, COLORREF c, unsigned alpha = 255) {
    SetSourceARGB(cr, ColorRefToARGB(c, alpha));
}

inline void PathRect(cairo_t* cr, const CRect& r) {
    cairo_rectangle(cr, r.left, r.top, r.Width(), r.Height());
}

} // namespace vellum
