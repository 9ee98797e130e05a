#pragma once

// Private font files made available to text drawing through fontconfig, and lookups of installed
// font families.

#include <string>

namespace vellum {

class FontRegistry {
public:
    // Adds the font file for this process; returns its first family name, empty on failure.
    static std::wstring AddFontFile(const std::wstring& file);
    // The family name when an installed (or added) font has exactly this family, else empty.
    static std::wstring InstalledFamily(const std::wstring& face);
};

} // namespace vellum
