#include "ui/framework/Resources.h"

#include <cmath>

namespace vellum {

namespace {

// A scroll bar strip of 4 state slices (normal, hover, pressed, disabled): a rounded thumb of the
// bar's thickness on a transparent track.
std::unique_ptr<Image> ScrollStrip(bool vertical) {
    constexpr int thickness = 7;
    constexpr int length = 28;
    const int sliceW = vertical ? thickness : length;
    const int h = vertical ? length : thickness;
    auto image = Image::Create(sliceW * 4, h);
    if (!image) {
        return nullptr;
    }
    cairo_t* cr = cairo_create(image->Surface());
    const double alphas[4] = {0.55, 0.75, 0.95, 0.25};
    for (int i = 0; i < 4; ++i) {
        const double x = i * sliceW + 0.5;
        const double w = sliceW - 1.0;
        const double hh = h - 1.0;
        const double r = thickness / 2.0 - 0.5;
        cairo_new_sub_path(cr);
        cairo_arc(cr, x + w - r, 0.5 + r, r, -M_PI / 2, 0);
        cairo_arc(cr, x + w - r, 0.5 + hh - r, r, 0, M_PI / 2);
        cairo_arc(cr, x + r, 0.5 + hh - r, r, M_PI / 2, M_PI);
        cairo_arc(cr, x + r, 0.5 + r, r, M_PI, 1.5 * M_PI);
        cairo_close_path(cr);
        cairo_set_source_rgba(cr, 0.63, 0.66, 0.72, alphas[i]);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(image->Surface());
    return image;
}

} // namespace

std::unique_ptr<Image> LoadResourceImage(unsigned id) {
    switch (id) {
    case kResScrollHorizontal:
        return ScrollStrip(false);
    case kResScrollVertical:
        return ScrollStrip(true);
    default:
        return nullptr;
    }
}

} // namespace vellum
