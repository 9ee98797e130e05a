#include "app/shell/IniFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

TEST(IniFile, LooksUpLikeTheProfileReader) {
    IniFile ini;
    ini.Parse(L"; comment\r\n[KB.DIALOG]\r\n101 = Apply \r\n102=\"  quoted  \"\r\nempty=\r\n"
              L"[Other]\r\n101=Elsewhere\r\nnot a pair\r\n");
    struct Case {
        const wchar_t* section;
        const wchar_t* key;
        std::optional<std::wstring> value;
    };
    const Case cases[] = {
        {L"KB.DIALOG", L"101", L"Apply"},      {L"kb.dialog", L"101", L"Apply"},
        {L"KB.DIALOG", L"102", L"  quoted  "}, {L"KB.DIALOG", L"empty", L""},
        {L"Other", L"101", L"Elsewhere"},      {L"KB.DIALOG", L"103", std::nullopt},
        {L"Missing", L"101", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini.Get(c.section, c.key), c.value) << c.section << "/" << c.key;
    }
}

TEST(IniFile, SetReplacesOrAppendsAndKeepsEverythingElse) {
    test::TempDir dir;
    IniFile ini;
    ini.Parse(L"; keep me\n[a]\nx=1\n[b]\ny=2\n");
    ini.Set(L"A", L"X", L"10");
    ini.Set(L"a", L"z", L"3");
    ini.Set(L"c", L"w", L"4");
    ASSERT_TRUE(ini.Save(dir / "s.ini"));
    EXPECT_EQ(test::ReadFile(dir / "s.ini"), "; keep me\n[a]\nX=10\nz=3\n[b]\ny=2\n[c]\nw=4\n");

    IniFile back;
    ASSERT_TRUE(back.Load(dir / "s.ini"));
    EXPECT_EQ(back.Get(L"a", L"x"), L"10");
    EXPECT_EQ(back.Get(L"c", L"w"), L"4");
}

TEST(IniFile, ReadsUtf16AndUtf8WithMark) {
    test::TempDir dir;
    test::WriteFile(dir / "8.lan", "\xEF\xBB\xBF[S]\n1=\xE4\xB8\xAD\n");
    test::WriteFile(dir / "16.lan", std::string("\xFF\xFE[\0S\0]\0\n\0"
                                                "1\0=\0\x2D\x4E\n\0",
                                                18));
    for (const char* name : {"8.lan", "16.lan"}) {
        IniFile ini;
        ASSERT_TRUE(ini.Load(dir / name)) << name;
        EXPECT_EQ(ini.Get(L"S", L"1"), L"\u4E2D") << name;
    }
    IniFile missing;
    EXPECT_FALSE(missing.Load(dir / "none.lan"));
}

} // namespace
} // namespace kw
