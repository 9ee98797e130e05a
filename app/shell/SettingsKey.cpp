#include "app/shell/SettingsKey.h"

#include "app/shell/Paths.h"
#include "app/store/FileBytes.h"

#include <system_error>

namespace kw {

SettingsKey::SettingsKey(std::filesystem::path file) : file_(std::move(file)) {}

SettingsKey::Status SettingsKey::Open() {
    open_ = false;
    std::error_code ec;
    const auto status = std::filesystem::status(file_, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        return Status::kNotFound;
    }
    if (ec || !ini_.Load(file_)) {
        return Status::kError;
    }
    open_ = true;
    return Status::kOpened;
}

bool SettingsKey::Create() {
    if (!CreateFolderTree(file_.parent_path())) {
        return false;
    }
    ini_ = IniFile{};
    ini_.Parse(L"[" + std::wstring(kSection) + L"]\n");
    open_ = ini_.Save(file_);
    return open_;
}

std::optional<std::wstring> SettingsKey::GetString(std::wstring_view name) const {
    return open_ ? ini_.Get(kSection, name) : std::nullopt;
}

bool SettingsKey::SetString(std::wstring_view name, std::wstring_view value) {
    if (!open_) {
        return false;
    }
    ini_.Set(kSection, name, value);
    return ini_.Save(file_);
}

} // namespace kw
