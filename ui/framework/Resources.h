#pragma once

// Pictures built into the library, addressed by resource id.

#include "ui/framework/Image.h"

#include <memory>

namespace vellum {

constexpr unsigned kResScrollHorizontal = 101;
constexpr unsigned kResScrollVertical = 102;

// Null for an unknown id.
std::unique_ptr<Image> LoadResourceImage(unsigned id);

} // namespace vellum
