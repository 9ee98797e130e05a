#pragma once

// A decoded picture: a premultiplied ARGB32 Cairo surface with its size.

#include <cairo.h>
#include <filesystem>
#include <memory>

namespace vellum {

class Image {
public:
    // Takes ownership of `surface` (null or failed surfaces make an invalid image).
    explicit Image(cairo_surface_t* surface);
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // PNG files; null when the file is missing or not a PNG.
    static std::unique_ptr<Image> Load(const std::filesystem::path& path);
    static std::unique_ptr<Image> Create(int width, int height);

    bool IsValid() const { return surface_ != nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    cairo_surface_t* Surface() const { return surface_; }

private:
    cairo_surface_t* surface_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

} // namespace vellum
