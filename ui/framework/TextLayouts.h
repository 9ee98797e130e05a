#pragma once

// Pango layouts for the calling thread, cached by text and style so that repeated labels are shaped
// once. Private fonts registered with fontconfig become visible to every thread's cache.

#include "ui/framework/TextStyle.h"

#include <pango/pangocairo.h>
#include <string>

namespace vellum {

class TextLayouts {
public:
    // A layout owned by the calling thread's cache; valid until the next call on this thread.
    // `width` < 0 means one line without wrapping.
    static PangoLayout* Get(const TextStyle& style, const std::wstring& text, int width = -1);
    // Fonts were added or removed: every thread's layouts and font map are refreshed on next use.
    static void FontsChanged();
    // The font family to ask for: the face followed by the CJK-capable fallbacks.
    static std::string FamilyList(const std::wstring& face);
};

} // namespace vellum
