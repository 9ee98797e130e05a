#include "ui/framework/Manager.h"

#include <atomic>
#include <mutex>

namespace vellum {

namespace {

struct Settings {
    std::mutex lock;
    std::wstring deviceName = Manager::kDefaultDeviceName;
    std::wstring fontName = Manager::kDefaultFontName;
    std::atomic<int> fontWidth = Manager::kDefaultFontWidth;
    std::atomic<uint32_t> selectColor = Manager::kDefaultSelectColor;
};

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

void Manager::SetFontWidth(int pixels) { TheSettings().fontWidth = pixels; }
int Manager::GetFontWidth() { return TheSettings().fontWidth; }

std::wstring Manager::GetTheme() { return L"theme1"; }

void Manager::SetSelectColor(uint32_t argb) { TheSettings().selectColor = argb; }
uint32_t Manager::GetSelectColor() { return TheSettings().selectColor; }

} // namespace vellum
