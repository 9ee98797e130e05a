#include "ui/framework/Manager.h"

#include "ui/framework/InputEvents.h"
#include "ui/framework/MWindow.h"
#include "ui/framework/WindowApi.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace vellum {

namespace {

struct Settings {
    std::mutex lock;
    std::wstring deviceName = Manager::kDefaultDeviceName;
    std::wstring fontName = Manager::kDefaultFontName;
    std::atomic<int> fontWidth = Manager::kDefaultFontWidth;
    std::atomic<uint32_t> selectColor = Manager::kDefaultSelectColor;
    std::atomic<void*> instance = nullptr;
    std::filesystem::path programFolder;
    std::vector<MWindow*> windows;
};

std::filesystem::path DefaultProgramFolder() {
    if (const char* dir = std::getenv("KEYWRIGHT_PRODUCT_DIR"); dir && *dir) {
        return dir;
    }
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto folder = ec ? std::filesystem::current_path(ec) : exe.parent_path();
    if (std::filesystem::exists(folder / "config.xml", ec)) {
        return folder;
    }
    if (const auto shared = folder.parent_path() / "share" / "keywright";
        std::filesystem::is_directory(shared, ec)) {
        return shared;
    }
    return folder;
}

Settings& TheSettings() {
    static Settings settings;
    return settings;
}

} // namespace

void Manager::SetDeviceName(const std::wstring& name) {
    std::lock_guard guard(TheSettings().lock);
    TheSettings().deviceName = name;
}

std::wstring Manager::GetDeviceName() {
    std::lock_guard guard(TheSettings().lock);
    return TheSettings().deviceName;
}

void Manager::SetFontName(const std::wstring& face) {
    std::lock_guard guard(TheSettings().lock);
    TheSettings().fontName = face;
}

std::wstring Manager::GetFontName() {
    std::lock_guard guard(TheSettings().lock);
    return TheSettings().fontName;
}

void Manager::SetFontWidth(int pixels) {
    TheSettings().fontWidth = pixels;
}
int Manager::GetFontWidth() {
    return TheSettings().fontWidth;
}

std::wstring Manager::GetTheme() {
    return L"theme1";
}

void Manager::SetSelectColor(uint32_t argb) {
    TheSettings().selectColor = argb;
}
uint32_t Manager::GetSelectColor() {
    return TheSettings().selectColor;
}

void Manager::SetInstance(void* instance) {
    TheSettings().instance = instance;
}
void* Manager::GetInstance() {
    return TheSettings().instance;
}

void Manager::SetProgramFolder(const std::filesystem::path& folder) {
    std::lock_guard guard(TheSettings().lock);
    TheSettings().programFolder = folder;
}

std::filesystem::path Manager::GetProgramFolder() {
    {
        std::lock_guard guard(TheSettings().lock);
        if (!TheSettings().programFolder.empty()) {
            return TheSettings().programFolder;
        }
    }
    return DefaultProgramFolder();
}

std::filesystem::path Manager::GetSkinFolder() {
    return GetProgramFolder() / "skins" / GetTheme();
}

std::filesystem::path Manager::ResolveSkinFile(const std::wstring& file) {
    std::wstring normal;
    normal.reserve(file.size());
    for (wchar_t c : file) {
        if (c == L'\\') {
            c = L'/';
        }
        if (c == L'/' && !normal.empty() && normal.back() == L'/') {
            continue;
        }
        normal.push_back(c);
    }
    std::filesystem::path path(normal);
    if (path.is_absolute()) {
        return path;
    }
    return GetSkinFolder() / path;
}

void Manager::AddWnd(MWindow* window) {
    std::lock_guard guard(TheSettings().lock);
    auto& windows = TheSettings().windows;
    if (std::find(windows.begin(), windows.end(), window) == windows.end()) {
        windows.push_back(window);
    }
}

void Manager::DeleteWnd(MWindow* window) {
    std::lock_guard guard(TheSettings().lock);
    std::erase(TheSettings().windows, window);
}

std::vector<MWindow*> Manager::GetWindows() {
    std::lock_guard guard(TheSettings().lock);
    return TheSettings().windows;
}

MWindow* Manager::FindWnd(HWND hwnd) {
    if (!hwnd) {
        return nullptr;
    }
    std::lock_guard guard(TheSettings().lock);
    for (MWindow* window : TheSettings().windows) {
        if (window->GetSafeHwnd() == hwnd) {
            return window;
        }
    }
    return nullptr;
}

int Manager::PreTranslateMessage(const MSG* msg) {
    if (!msg || !IsKeyDown(VK_MENU) || !IsKeyDown(VK_F4)) {
        return 0;
    }
    // Only keyboard input and system commands are dropped: swallowing paints and timers as well would
    // leave them pending and spin the loop for as long as the keys are held.
    const bool keyboard = msg->message >= WM_KEYDOWN && msg->message <= 0x0109;
    return keyboard || msg->message == WM_SYSCOMMAND ? 1 : 0;
}

void Manager::TranslateAndDispatch(const MSG& msg) {
    if (PreTranslateMessage(&msg)) {
        return;
    }
    if (MWindow* window = FindWnd(msg.hwnd)) {
        MSG copy = msg;
        if (window->PreTranslateMessage(&copy)) {
            return;
        }
    }
    DispatchMessage(msg);
}

int Manager::MessageLoop() {
    MSG msg;
    while (GetMessageW(msg)) {
        TranslateAndDispatch(msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace vellum
