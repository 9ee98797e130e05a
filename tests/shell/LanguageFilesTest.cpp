// Checks the two shipped language files against the list of text ids the program asks for, and
// reads texts through LoadText the way the program does.

#include "app/device/DeviceCatalog.h"
#include "app/shell/IniFile.h"
#include "app/shell/Language.h"
#include "ui/framework/TextConvert.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace kw {
namespace {

constexpr size_t kMaxTextLength = 259;

std::filesystem::path LanguageFile(int languageId) {
    return test::ProductSourceDir() / "language" / (std::to_string(languageId) + ".lan");
}

// The ids of tests/data/required_text_ids.txt: the leading number of every line that is neither
// blank nor a "#" comment.
std::vector<int> RequiredIds() {
    std::ifstream in(KW_TEST_DATA_DIR "/required_text_ids.txt");
    std::vector<int> ids;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        int id = 0;
        std::string note;
        if (!(fields >> id) || !std::getline(fields, note) ||
            note.find_first_not_of(' ') == std::string::npos) {
            ADD_FAILURE() << "line without an id and a note: " << line;
            continue;
        }
        ids.push_back(id);
    }
    return ids;
}

std::wstring Trim(const std::wstring& s) {
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && std::iswspace(s[begin])) {
        ++begin;
    }
    while (end > begin && std::iswspace(s[end - 1])) {
        --end;
    }
    return s.substr(begin, end - begin);
}

// A text id as a key: decimal digits without a leading zero, as the program formats it with "%d".
bool IsId(const std::wstring& key) {
    return !key.empty() && key.size() < 6 && key.find_first_not_of(L"0123456789") == std::wstring::npos &&
           key[0] != L'0';
}

// One shipped language file: its bytes, its texts as IniFile reads them, and every key line in the
// order written, with the section it stands in.
struct ShippedFile {
    std::string bytes;
    IniFile ini;
    std::vector<std::wstring> sections;
    std::vector<std::pair<std::wstring, std::wstring>> keys; // (section, key)
    std::vector<std::wstring> firstLines;

    explicit ShippedFile(int languageId) {
        const std::filesystem::path path = LanguageFile(languageId);
        bytes = test::ReadFile(path);
        EXPECT_TRUE(ini.Load(path)) << path;
        std::wistringstream lines(ini.Text());
        std::wstring section;
        for (std::wstring line; std::getline(lines, line);) {
            const std::wstring trimmed = Trim(line);
            if (firstLines.size() < 2) {
                firstLines.push_back(trimmed);
            }
            if (trimmed.empty() || trimmed[0] == L';' || trimmed[0] == L'#') {
                continue;
            }
            if (trimmed[0] == L'[') {
                section = Trim(trimmed.substr(1, trimmed.find(L']') - 1));
                sections.push_back(section);
                continue;
            }
            keys.emplace_back(section, Trim(trimmed.substr(0, trimmed.find(L'='))));
        }
    }

    std::wstring Text(int id) const { return ini.Get(kDialogSection, std::to_wstring(id)).value_or(L""); }

    // The numeric keys; others are reported by the layout test.
    std::set<int> Ids() const {
        std::set<int> ids;
        for (const auto& [section, key] : keys) {
            if (IsId(key)) {
                ids.insert(std::stoi(key));
            }
        }
        return ids;
    }
};

const ShippedFile& English() {
    static const ShippedFile file(kLanguageEnglish);
    return file;
}

const ShippedFile& Chinese() {
    static const ShippedFile file(kLanguageChinese);
    return file;
}

// The printf conversions of a text, in order ("%%" is a literal percent sign, not a conversion).
std::vector<std::wstring> Placeholders(const std::wstring& text) {
    static const std::wregex conversion(
        L"%(%|[-+ #0]*[0-9*]*(\\.[0-9*]+)?(hh|h|ll|l|L|z|j|t)?[diouxXeEfFgGaAcsSp])");
    std::vector<std::wstring> found;
    for (std::wsregex_iterator it(text.begin(), text.end(), conversion), end; it != end; ++it) {
        if (it->str() != L"%%") {
            found.push_back(it->str());
        }
    }
    return found;
}

bool IsCjk(wchar_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF);
}

class LanguageFiles : public ::testing::TestWithParam<int> {
protected:
    const ShippedFile& File() const { return GetParam() == kLanguageEnglish ? English() : Chinese(); }
};

TEST(LanguageFileIds, ListIsSortedWithoutRepeats) {
    const std::vector<int> ids = RequiredIds();
    ASSERT_FALSE(ids.empty());
    for (size_t i = 1; i < ids.size(); ++i) {
        EXPECT_LT(ids[i - 1], ids[i]) << "out of order or repeated after " << ids[i - 1];
    }
}

TEST_P(LanguageFiles, AreUtf8WithOneDialogSectionAndSortedNumericKeys) {
    const ShippedFile& file = File();
    ASSERT_FALSE(file.bytes.empty());
    EXPECT_NE(file.bytes.rfind("\xEF\xBB\xBF", 0), 0u) << "byte-order mark";
    EXPECT_TRUE(vellum::IsValidUtf8(file.bytes));
    ASSERT_FALSE(file.firstLines.empty());
    EXPECT_EQ(file.firstLines[0].rfind(L";", 0), 0u) << "the first line says what the file is";
    EXPECT_EQ(file.sections, std::vector<std::wstring>{kDialogSection});

    int previous = 0;
    for (const auto& [section, key] : file.keys) {
        EXPECT_EQ(section, kDialogSection) << vellum::ToUtf8(key);
        ASSERT_TRUE(IsId(key)) << "key " << vellum::ToUtf8(key);
        const int id = std::stoi(key);
        // A repeated key would be read only once: the later text could never be shown.
        EXPECT_LT(previous, id) << "out of order or repeated: " << id;
        previous = id;
    }
}

TEST_P(LanguageFiles, HoldEveryRequiredIdWithAShortText) {
    const ShippedFile& file = File();
    for (int id : RequiredIds()) {
        const std::wstring text = file.Text(id);
        EXPECT_FALSE(text.empty()) << "id " << id;
        EXPECT_LE(text.size(), kMaxTextLength) << "id " << id;
    }
}

TEST_P(LanguageFiles, HoldOnlyListedIds) {
    const std::vector<int> listed = RequiredIds();
    const std::set<int> required(listed.begin(), listed.end());
    for (int id : File().Ids()) {
        EXPECT_TRUE(required.count(id)) << "id " << id << " is not in required_text_ids.txt";
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageFiles, ::testing::Values(kLanguageEnglish, kLanguageChinese),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param);
                         });

TEST(LanguageFilePair, HoldTheSameIds) {
    EXPECT_EQ(English().Ids(), Chinese().Ids());
}

TEST(LanguageFilePair, KeepTheSamePlaceholdersForEveryId) {
    for (int id : English().Ids()) {
        EXPECT_EQ(Placeholders(English().Text(id)), Placeholders(Chinese().Text(id))) << "id " << id;
    }
}

TEST(LanguageFilePair, ChineseTextsAreWrittenInChineseCharacters) {
    for (int id : Chinese().Ids()) {
        const std::wstring text = Chinese().Text(id);
        EXPECT_TRUE(std::any_of(text.begin(), text.end(), IsCjk))
            << "id " << id << ": " << vellum::ToUtf8(text);
        EXPECT_NE(text, English().Text(id)) << "id " << id << " is not translated";
    }
}

// Stored profile and macro names begin with the word of the language that created them; the
// program recognises the other language's word by these exact texts and puts its own in place.
TEST(LanguageFilePair, NameWordsMatchWhatStoredNamesBeginWith) {
    const struct {
        int id;
        const wchar_t* english;
        const wchar_t* chinese;
    } cases[] = {
        {65, L"Profile", L"配置方案"},
        {331, L"Macro", L"宏"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(English().Text(c.id), c.english) << "id " << c.id;
        EXPECT_EQ(Chinese().Text(c.id), c.chinese) << "id " << c.id;
    }
}

// The mode list of the light page shows the text whose number a layout file gives as a mode's name.
TEST(LanguageFilePair, NameEveryLightingModeOfTheShippedModels) {
    DeviceCatalogView view;
    DeviceCatalog catalog(test::ProductSourceDir(), view);
    catalog.LoadProductDescription();
    ASSERT_FALSE(catalog.Keyboards().empty());
    const std::vector<KeyboardEntry> keyboards = catalog.Keyboards();
    for (const KeyboardEntry& keyboard : keyboards) {
        catalog.LoadDeviceDefinition(keyboard.device_type);
        EXPECT_FALSE(catalog.Definition().lightModes.empty()) << vellum::ToUtf8(keyboard.name);
        for (const LightModeEntry& mode : catalog.Definition().lightModes) {
            const std::wstring name = mode.name;
            ASSERT_TRUE(IsId(name)) << vellum::ToUtf8(keyboard.name) << ": " << vellum::ToUtf8(name);
            EXPECT_FALSE(English().Text(std::stoi(name)).empty())
                << vellum::ToUtf8(keyboard.name) << " " << mode.mode;
            EXPECT_FALSE(Chinese().Text(std::stoi(name)).empty())
                << vellum::ToUtf8(keyboard.name) << " " << mode.mode;
        }
    }
}

TEST(PlaceholderCheck, FindsPrintfConversionsOnly) {
    const struct {
        const wchar_t* text;
        std::vector<std::wstring> expected;
    } cases[] = {
        {L"Profile", {}},
        {L"%s %d", {L"%s", L"%d"}},
        {L"Progress: %3d%% of %ls", {L"%3d", L"%ls"}},
        {L"100%", {}},
        {L"%-5.2f and %u", {L"%-5.2f", L"%u"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Placeholders(c.text), c.expected) << vellum::ToUtf8(c.text);
    }
}

// Restores the process-wide language after a test changes it.
class LanguageIdGuard {
public:
    ~LanguageIdGuard() { SetLanguageId(old_); }

private:
    int old_ = LanguageId();
};

TEST(LoadTextFromShippedFiles, FollowsTheLanguageIdOnTheNextLookup) {
    LanguageIdGuard guard;
    test::ScopedEnv product("KEYWRIGHT_PRODUCT_DIR", test::ProductSourceDir().string());

    SetLanguageId(kLanguageEnglish);
    EXPECT_EQ(LoadText(65), L"Profile");
    EXPECT_EQ(LoadText(kDialogSection, 1001), English().Text(1001));

    SetLanguageId(kLanguageChinese);
    EXPECT_EQ(LoadText(65), L"配置方案");
    EXPECT_EQ(LoadText(kDialogSection, 1001), Chinese().Text(1001));

    SetLanguageId(kLanguageEnglish);
    EXPECT_EQ(LoadText(65), L"Profile");
}

TEST(LoadTextFromShippedFiles, GivesEmptyTextWhenNothingMatches) {
    LanguageIdGuard guard;
    test::ScopedEnv product("KEYWRIGHT_PRODUCT_DIR", test::ProductSourceDir().string());
    const struct {
        int language;
        std::wstring section;
        int id;
    } cases[] = {
        {kLanguageEnglish, kDialogSection, 99999}, // no such id
        {kLanguageChinese, kDialogSection, 99999},
        {kLanguageEnglish, L"KB.MENU", 65}, // no such section
        {1041, kDialogSection, 65},         // no file for the language
    };
    for (const auto& c : cases) {
        SetLanguageId(c.language);
        EXPECT_EQ(LoadText(c.section, c.id), L"") << c.language << " " << c.id;
    }
}

} // namespace
} // namespace kw
