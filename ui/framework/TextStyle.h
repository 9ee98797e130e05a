#pragma once

// How a piece of text is set: face, size in pixels and style bits.

#include <string>

namespace vellum {

enum FontStyleBits : int { kFontBold = 1, kFontItalic = 2, kFontUnderline = 4, kFontStrikeout = 8 };

// Horizontal alignment 0 left, 1 centre, 2 right; vertical 0 top, 4 centre, 8 bottom.
enum TextAlign : unsigned { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };
enum TextVAlign : unsigned { kVAlignTop = 0, kVAlignCenter = 4, kVAlignBottom = 8 };

struct TextStyle {
    std::wstring face;
    int sizePx = 14;
    int style = 0;
    bool operator==(const TextStyle&) const = default;
};

} // namespace vellum
