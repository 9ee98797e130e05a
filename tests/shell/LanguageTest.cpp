#include "app/shell/Language.h"

#include "app/shell/SettingsKey.h"
#include "tests/shell/ShellFixture.h"

namespace kw {
namespace {

using test::ReadFile;
using test::ScopedEnv;
using test::WriteFile;

class LanguageTest : public test::ShellFixture {};

TEST_F(LanguageTest, ReadLanguageIdFollowsTheKeyRules) {
    struct Case {
        const char* name;
        std::optional<std::string> file; // nullopt: no settings yet
        int expected;
    };
    const Case cases[] = {
        {"stored 1033", "[settings]\nLCID=1033\n", 1033},
        {"stored 2052", "[settings]\nLCID=2052\n", 2052},
        {"empty value counts as absent", "[settings]\nLCID=\n", 0},
        {"text counts as absent", "[settings]\nLCID=chinese\n", 0},
        {"no value", "[settings]\nexit_mode=1\n", 0},
        {"missing: created, 0", std::nullopt, 0},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(dir / "config");
        if (c.file) {
            WriteFile(Settings(), *c.file);
        }
        EXPECT_EQ(ReadLanguageId(), c.expected) << c.name;
        EXPECT_TRUE(std::filesystem::is_regular_file(Settings())) << c.name;
    }
}

TEST_F(LanguageTest, SettingsThatCanBeNeitherReadNorCreatedGiveEnglish) {
    // The settings path is a folder: it exists but cannot be read as settings.
    std::filesystem::create_directories(Settings());
    EXPECT_EQ(ReadLanguageId(), kLanguageEnglish);

    // The settings folder cannot be created because a file stands in the way.
    std::filesystem::remove_all(dir / "config");
    WriteFile(dir / "config", "a file, not a folder");
    EXPECT_EQ(ReadLanguageId(), kLanguageEnglish);
}

TEST_F(LanguageTest, WriteLanguageIdNeverCreatesTheSettings) {
    WriteLanguageId(2052);
    EXPECT_FALSE(std::filesystem::exists(Settings()));
    WriteFile(Settings(), "[settings]\nexit_mode=1\n");
    WriteLanguageId(2052);
    EXPECT_EQ(ReadFile(Settings()), "[settings]\nexit_mode=1\nLCID=2052\n");
    EXPECT_EQ(ReadLanguageId(), 2052);
}

TEST_F(LanguageTest, FirstStartLanguageIsEnglishOnlyForEnglishUsers) {
    struct Case {
        const char* lang;
        int userDefault;
        int firstStart;
    };
    const Case cases[] = {
        {"en_US.UTF-8", 1033, 1033},
        {"en_GB.UTF-8", 1033, 1033},
        {"C", 1033, 1033},
        {"C.UTF-8", 1033, 1033},
        {"zh_CN.UTF-8", 2052, 2052},
        {"zh_TW.UTF-8", 2052, 2052},
        {"de_DE.UTF-8", 0x0400, 2052},
        {"", 1033, 1033},
    };
    for (const Case& c : cases) {
        ScopedEnv lang("LANG", std::string(c.lang));
        EXPECT_EQ(UserDefaultLanguageId(), c.userDefault) << c.lang;
        EXPECT_EQ(FirstStartLanguageId(UserDefaultLanguageId()), c.firstStart) << c.lang;
    }
    ScopedEnv all("LC_ALL", std::string("zh_CN.UTF-8"));
    EXPECT_EQ(UserDefaultLanguageId(), 2052) << "LC_ALL wins over LANG";
}

TEST_F(LanguageTest, LoadTextReadsTheCurrentLanguageFileAfresh) {
    WriteFile(dir / "product" / "language" / "1033.lan",
              "[KB.DIALOG]\n150=Apply\n151=" + std::string(300, 'x') + "\n");
    WriteFile(dir / "product" / "language" / "2052.lan", "[KB.DIALOG]\n150=\xE5\xBA\x94\xE7\x94\xA8\n");
    SetLanguageId(1033);
    EXPECT_EQ(LoadText(150), L"Apply");
    EXPECT_EQ(LoadText(151).size(), 259u);
    EXPECT_EQ(LoadText(999), L"");
    EXPECT_EQ(LoadText(L"OTHER", 150), L"");
    SetLanguageId(2052);
    EXPECT_EQ(LoadText(150), L"\u5E94\u7528");
    WriteFile(dir / "product" / "language" / "2052.lan", "[KB.DIALOG]\n150=changed\n");
    EXPECT_EQ(LoadText(150), L"changed");
    SetLanguageId(3082);
    EXPECT_EQ(LoadText(150), L"") << "no file for the language";
}

} // namespace
} // namespace kw
