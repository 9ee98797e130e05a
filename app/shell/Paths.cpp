#include "app/shell/Paths.h"

#include "ui/framework/Manager.h"

#include <cstdlib>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace kw {

namespace {

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) {
        return entry->pw_dir;
    }
    return "/tmp";
}

std::filesystem::path XdgFolder(const char* variable, const char* fallbackBelowHome) {
    // XDG base folders must be absolute; a relative value is ignored.
    if (const char* value = std::getenv(variable); value && value[0] == '/') {
        return value;
    }
    return HomeFolder() / fallbackBelowHome;
}

std::filesystem::path ExecutableFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path(ec) : exe.parent_path();
}

std::wstring DeviceComponent() {
    return PathSafeName(vellum::Manager::GetDeviceName());
}

} // namespace

std::wstring PathSafeName(const std::wstring& name) {
    std::wstring safe = name;
    for (wchar_t& c : safe) {
        if (c == L'/' || c == L'\0') {
            c = L'_';
        }
    }
    if (safe.empty() || safe == L"." || safe == L"..") {
        safe = L"_" + safe;
    }
    return safe;
}

std::filesystem::path ProgramFolder() {
    if (const char* dir = std::getenv("KEYWRIGHT_PRODUCT_DIR"); dir && *dir) {
        return dir;
    }
    const auto exeFolder = ExecutableFolder();
    std::error_code ec;
    if (std::filesystem::exists(exeFolder / "config.xml", ec)) {
        return exeFolder;
    }
    const auto shared = exeFolder.parent_path() / "share" / "keywright";
    if (std::filesystem::is_directory(shared, ec)) {
        return shared;
    }
    return exeFolder;
}

std::filesystem::path DataFolder() {
    return XdgFolder("XDG_DATA_HOME", ".local/share") / (DeviceComponent() + L" Files");
}

std::filesystem::path SkinFolder() {
    return ProgramFolder() / "skins" / vellum::Manager::GetTheme();
}

std::filesystem::path SettingsFile() {
    return XdgFolder("XDG_CONFIG_HOME", ".config") / DeviceComponent() / "settings.ini";
}

std::filesystem::path AutostartFile() {
    return XdgFolder("XDG_CONFIG_HOME", ".config") / "autostart" / (DeviceComponent() + L".desktop");
}

std::filesystem::path InstanceLockFile() {
    std::error_code ec;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime && runtime[0] == '/' && std::filesystem::is_directory(runtime, ec)) {
        return std::filesystem::path(runtime) / (DeviceComponent() + L".lock");
    }
    return DataFolder() / (DeviceComponent() + L".lock");
}

std::filesystem::path ProductFile(const std::filesystem::path& folder, std::wstring_view relative) {
    std::wstring normal;
    for (wchar_t c : relative) {
        const wchar_t d = c == L'\\' ? L'/' : c;
        if (d == L'/' && !normal.empty() && normal.back() == L'/') {
            continue;
        }
        normal += d;
    }
    while (!normal.empty() && normal.front() == L'/') {
        normal.erase(0, 1);
    }
    return folder / normal;
}

bool CreateFolderTree(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return true;
    }
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}

} // namespace kw
