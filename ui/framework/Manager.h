#pragma once

// Process-wide settings of the library: the product's name, the default font, the theme and the
// folders resources come from; the registry of the library's windows and the message loop.

#include "ui/framework/WinTypes.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vellum {

class MWindow;

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

    static void SetFont(const std::wstring& face, int pixels) {
        SetFontName(face);
        SetFontWidth(pixels);
    }

    // An opaque module handle the program may hand over; kept for the program's own use.
    static void SetInstance(void* instance);
    static void* GetInstance();

    // The folder the product files come from (skins, fonts). By default the program's own folder as
    // the program resolves it: KEYWRIGHT_PRODUCT_DIR, the executable's folder when it holds config.xml,
    // then ../share/keywright beside it, else the executable's folder.
    static void SetProgramFolder(const std::filesystem::path& folder);
    static std::filesystem::path GetProgramFolder();
    // <program folder>/skins/<theme>
    static std::filesystem::path GetSkinFolder();
    // A file named by a control, a window or the program inside the skin folder. Separators are
    // normalised ("icon\\a.png" and "icon//a.png" both become icon/a.png); absolute paths stay.
    static std::filesystem::path ResolveSkinFile(const std::wstring& file);

    // Drawing needs no start-up on this host; kept so the program's start and end read the same.
    static bool InitGdiplus() { return true; }
    static void UnInitGdiplus() {}

    // The library's windows, in creation order.
    static void AddWnd(MWindow* window);
    static void DeleteWnd(MWindow* window);
    static std::vector<MWindow*> GetWindows();
    static MWindow* FindWnd(HWND hwnd);

    // Runs the thread's message loop until WM_QUIT; returns its exit code.
    static int MessageLoop();
    // Drops keyboard input and system commands while Alt and F4 are held; 1 when consumed.
    static int PreTranslateMessage(const MSG* msg);
    // PreTranslateMessage of the library, then of the target window, then dispatch.
    static void TranslateAndDispatch(const MSG& msg);

    static constexpr const wchar_t* kDefaultDeviceName = L"VellumUI";
    static constexpr const wchar_t* kDefaultFontName = L"SourceHanSansCN-Regular";
    static constexpr int kDefaultFontWidth = 14;
    static constexpr uint32_t kDefaultSelectColor = 0xFF10A8FD;
};

} // namespace vellum
