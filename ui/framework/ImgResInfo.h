#pragma once

// One cached skin image of a window: the picture and how it splits into side-by-side state slices.

#include "ui/framework/Image.h"

#include <memory>
#include <string>

namespace vellum {

struct ImgResInfo {
    std::unique_ptr<Image> image;
    int sliceWidth = 0; // image width / count
    int height = 0;
    int count = 1;
    std::wstring file;
};

} // namespace vellum
