#include "ui/framework/Image.h"

#include <system_error>

namespace vellum {

Image::Image(cairo_surface_t* surface) {
    if (surface && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        surface_ = surface;
        width_ = cairo_image_surface_get_width(surface);
        height_ = cairo_image_surface_get_height(surface);
    } else if (surface) {
        cairo_surface_destroy(surface);
    }
}

Image::~Image() {
    if (surface_) {
        cairo_surface_destroy(surface_);
    }
}

std::unique_ptr<Image> Image::Load(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return nullptr;
    }
    auto image = std::make_unique<Image>(cairo_image_surface_create_from_png(path.c_str()));
    if (!image->IsValid()) {
        return nullptr;
    }
    return image;
}

std::unique_ptr<Image> Image::Create(int width, int height) {
    auto image = std::make_unique<Image>(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    return image->IsValid() ? std::move(image) : nullptr;
}

} // namespace vellum
