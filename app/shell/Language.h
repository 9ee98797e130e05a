#pragma once

// The user-interface language (1033 English, 2052 Chinese) and the texts of the language files.

#include <string>

namespace kw {

constexpr int kLanguageEnglish = 1033;
constexpr int kLanguageChinese = 2052;

// The section of every dialog text.
constexpr const wchar_t* kDialogSection = L"KB.DIALOG";

// The process-wide language id.
int LanguageId();
void SetLanguageId(int id);

// The text stored under `id` in `section` of language/<LanguageId()>.lan, at most 259 characters;
// empty when missing. The file is read afresh on every call.
std::wstring LoadText(std::wstring_view section, int id);
inline std::wstring LoadText(int id) {
    return LoadText(kDialogSection, id);
}

// The stored language: its decimal value (0 when absent or not a number); 0 as well when the
// settings had to be created, 1033 when they can be neither read nor created.
int ReadLanguageId();
// Stores the language when the settings exist; does nothing otherwise.
void WriteLanguageId(int id);

// The language of the user's locale as a language id (LC_ALL, LC_MESSAGES, LANG): English and the
// C locale give 1033, Chinese 2052, others their own number.
int UserDefaultLanguageId();

// The language the program uses when none is stored: 1033 for an English user, 2052 for anyone else.
int FirstStartLanguageId(int userDefault);

} // namespace kw
