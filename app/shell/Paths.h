#pragma once

// Where the program finds its product files and keeps the user's data and settings.

#include <filesystem>
#include <string>

namespace kw {

// The folder holding config.xml, layouts/, language/ and skins/: $KEYWRIGHT_PRODUCT_DIR when set,
// else the executable's folder when it holds config.xml, else <exe>/../share/keywright.
std::filesystem::path ProgramFolder();

// <$XDG_DATA_HOME or ~/.local/share>/<DeviceName> Files
std::filesystem::path DataFolder();

// <program folder>/skins/<theme>
std::filesystem::path SkinFolder();

// <$XDG_CONFIG_HOME or ~/.config>/<DeviceName>/settings.ini: the user's settings.
std::filesystem::path SettingsFile();

// <$XDG_CONFIG_HOME or ~/.config>/autostart/<DeviceName>.desktop
std::filesystem::path AutostartFile();

// The lock that keeps one copy running: <$XDG_RUNTIME_DIR>/<DeviceName>.lock, or in the data folder
// when there is no runtime folder.
std::filesystem::path InstanceLockFile();

// Product file names use "\" or "//" as separators; on disk they are "/".
std::filesystem::path ProductFile(const std::filesystem::path& folder, std::wstring_view relative);

// The device name made safe as one path component ("/" becomes "_").
std::wstring PathSafeName(const std::wstring& name);

// True when `path` is a folder already, or was created with every missing parent.
bool CreateFolderTree(const std::filesystem::path& path);

} // namespace kw
