#include "app/shell/Language.h"

#include "app/shell/IniFile.h"
#include "app/shell/Paths.h"
#include "app/shell/SettingsKey.h"

#include <atomic>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace kw {

namespace {

std::atomic<int> g_languageId{kLanguageEnglish};

constexpr size_t kMaxTextLength = 259;

} // namespace

int LanguageId() {
    return g_languageId.load();
}
void SetLanguageId(int id) {
    g_languageId.store(id);
}

std::wstring LoadText(std::wstring_view section, int id) {
    IniFile file;
    if (!file.Load(ProgramFolder() / "language" / (std::to_string(LanguageId()) + ".lan"))) {
        return {};
    }
    std::wstring text = file.Get(section, std::to_wstring(id)).value_or(L"");
    if (text.size() > kMaxTextLength) {
        text.resize(kMaxTextLength);
    }
    return text;
}

int ReadLanguageId() {
    SettingsKey key(SettingsFile());
    switch (key.Open()) {
    case SettingsKey::Status::kOpened: {
        const std::wstring value = key.GetString(L"LCID").value_or(L"");
        return static_cast<int>(std::wcstol(value.c_str(), nullptr, 10));
    }
    case SettingsKey::Status::kNotFound:
        return key.Create() ? 0 : kLanguageEnglish;
    case SettingsKey::Status::kError:
        break;
    }
    return kLanguageEnglish;
}

void WriteLanguageId(int id) {
    SettingsKey key(SettingsFile());
    if (key.Open() == SettingsKey::Status::kOpened) {
        key.SetString(L"LCID", std::to_wstring(id));
    }
}

int UserDefaultLanguageId() {
    const char* locale = nullptr;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = std::getenv(variable); value && *value) {
            locale = value;
            break;
        }
    }
    const std::string name = locale ? locale : "C";
    if (name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0 || name.rfind("en", 0) == 0) {
        return kLanguageEnglish;
    }
    if (name.rfind("zh", 0) == 0) {
        return kLanguageChinese;
    }
    // Any other language: a number that is neither of the two the program has texts for.
    return 0x0400;
}

int FirstStartLanguageId(int userDefault) {
    return userDefault == kLanguageEnglish ? kLanguageEnglish : kLanguageChinese;
}

} // namespace kw
