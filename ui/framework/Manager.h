#pragma once

// Process-wide settings of the library: the product's name, the default font and the theme.
// The window and message-loop side of Manager grows on top of these.

#include <cstdint>
#include <string>

namespace vellum {

class Manager {
public:
    // The product's name. It names the single-instance lock, the main window's marker property,
    // the per-user settings and the data folder.
    static void SetDeviceName(const std::wstring& name);
    static std::wstring GetDeviceName();

    static void SetFontName(const std::wstring& face);
    static std::wstring GetFontName();
    static void SetFontWidth(int pixels);
    static int GetFontWidth();

    // The theme folder inside the skin folder; always "theme1".
    static std::wstring GetTheme();

    // Hover and selection frame colour of lists (ARGB).
    static void SetSelectColor(uint32_t argb);
    static uint32_t GetSelectColor();

    static constexpr const wchar_t* kDefaultDeviceName = L"VellumUI";
    static constexpr const wchar_t* kDefaultFontName = L"SourceHanSansCN-Regular";
    static constexpr int kDefaultFontWidth = 14;
    static constexpr uint32_t kDefaultSelectColor = 0xFF10A8FD;
};

} // namespace vellum
