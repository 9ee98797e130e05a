#pragma once

// The user's settings, kept as string values holding decimal text in one INI file. It behaves
// like a registry key: it can be opened when it exists, created when it does not, and its values
// read and written.

#include "app/shell/IniFile.h"

#include <filesystem>
#include <optional>
#include <string>

namespace kw {

class SettingsKey {
public:
    enum class Status { kOpened, kNotFound, kError };

    explicit SettingsKey(std::filesystem::path file);

    // Reads the file. kNotFound when it does not exist, kError when it exists but cannot be read.
    Status Open();
    // Creates the file (and its folder) empty; true when it exists afterwards.
    bool Create();

    std::optional<std::wstring> GetString(std::wstring_view name) const;
    // Writes the value at once; false when the key was not opened or the file cannot be written.
    bool SetString(std::wstring_view name, std::wstring_view value);

    const std::filesystem::path& File() const { return file_; }

    static constexpr const wchar_t* kSection = L"settings";

private:
    std::filesystem::path file_;
    IniFile ini_;
    bool open_ = false;
};

} // namespace kw
