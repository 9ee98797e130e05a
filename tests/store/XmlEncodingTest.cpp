#include "app/store/XmlEncoding.h"
#include "app/store/XmlDocument.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string Utf16(const std::string& ascii, bool bigEndian, bool mark) {
    std::string out = mark ? (bigEndian ? std::string("\xFE\xFF") : std::string("\xFF\xFE")) : std::string();
    for (char c : ascii) {
        out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return out;
}

// Restores the process-wide legacy code page after a test changes it.
class LegacyEncodingGuard {
public:
    ~LegacyEncodingGuard() { XmlDocument::SetLegacyEncoding("CP1252"); }
};

std::wstring LoadAttribute(const std::filesystem::path& file, std::wstring* log = nullptr,
                           int* flags = nullptr) {
    XmlDocument doc;
    std::wstring result;
    int found = 0;
    if (!doc.Load(file, result, found) || !doc.FindElem(L"r")) {
        return L"<not loaded>";
    }
    if (log) {
        *log = result;
    }
    if (flags) {
        *flags = found;
    }
    return doc.GetAttrib(L"a");
}

TEST(XmlEncodingLoad, EveryEncodingGivesTheSameText) {
    struct Case {
        const char* name;
        std::string bytes;
        std::wstring expected;
        int flags;
    };
    const std::wstring latin = L"Gr\u00FC\u00DFe";
    const std::wstring chinese = L"\u4E2D\u6587";
    const Case cases[] = {
        {"utf-8, no mark",
         "<r a=\"Gr\xC3\xBC\xC3\x9F"
         "e\"/>",
         latin, 0},
        {"utf-8 with mark",
         "\xEF\xBB\xBF<r a=\"Gr\xC3\xBC\xC3\x9F"
         "e\"/>",
         latin, XmlDocument::kUtf8Preamble},
        {"utf-16le with mark", Utf16("<r a=\"Grue\"/>", false, true), L"Grue", XmlDocument::kUtf16LeFile},
        {"utf-16be with mark", Utf16("<r a=\"Grue\"/>", true, true), L"Grue", XmlDocument::kUtf16BeFile},
        {"utf-16le without mark",
         Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><r a=\"x\"/>", false, false), L"x", 0},
        {"declared gbk", "<?xml version=\"1.0\" encoding=\"GBK\"?><r a=\"\xD6\xD0\xCE\xC4\"/>", chinese, 0},
        {"declared gb2312", "<?xml version='1.0' encoding='gb2312'?><r a=\"\xD6\xD0\xCE\xC4\"/>", chinese, 0},
        {"declared windows-1252",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?><r a=\"Gr\xFC\xDF"
         "e\"/>",
         latin, 0},
        {"html meta charset",
         "<r a=\"\xD6\xD0\xCE\xC4\"><meta http-equiv=\"Content-Type\" content=\"text/html; "
         "charset=GBK\"/></r>",
         chinese, 0},
        {"undeclared, not utf-8: legacy page",
         "<r a=\"Gr\xFC\xDF"
         "e\"/>",
         latin, 0},
    };
    TempDir dir;
    for (const Case& c : cases) {
        WriteFile(dir / "f.xml", c.bytes);
        int flags = -1;
        EXPECT_EQ(LoadAttribute(dir / "f.xml", nullptr, &flags), c.expected) << c.name;
        EXPECT_EQ(flags, c.flags) << c.name;
    }
}

TEST(XmlEncodingLoad, Utf16WithMarkAndUtf8WithoutLoadToTheSameText) {
    TempDir dir;
    const std::wstring text =
        L"<?xml version=\"1.0\"?>\r\n<r a=\"\u4E2D\u6587 \U0001F600\"><k n=\"\u00E9\"/></r>";
    XmlDocument source(text);
    std::wstring log;
    int utf16 = XmlDocument::kUtf16LeFile;
    // A UTF-16 file: declared so, written with its mark.
    XmlDocument declared16(L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<r a=\"\u4E2D\u6587 "
                           L"\U0001F600\"><k n=\"\u00E9\"/></r>");
    ASSERT_TRUE(declared16.Save(dir / "a16.xml", log, utf16));
    ASSERT_TRUE(source.Save(dir / "a8.xml"));
    EXPECT_EQ(ReadFile(dir / "a16.xml").substr(0, 2), "\xFF\xFE");

    XmlDocument a;
    XmlDocument b;
    ASSERT_TRUE(a.Load(dir / "a16.xml"));
    ASSERT_TRUE(b.Load(dir / "a8.xml"));
    ASSERT_TRUE(a.FindElem(L"r") && b.FindElem(L"r"));
    EXPECT_EQ(a.GetAttrib(L"a"), b.GetAttrib(L"a"));
    EXPECT_EQ(a.GetAttrib(L"a"), L"\u4E2D\u6587 \U0001F600");
}

TEST(XmlEncodingLoad, LegacyPageFollowsTheLanguage) {
    LegacyEncodingGuard guard;
    TempDir dir;
    WriteFile(dir / "f.xml", "<r a=\"\xD6\xD0\xCE\xC4\"/>");
    XmlDocument::SetLegacyEncoding(XmlDocument::LegacyEncodingForLanguage(2052));
    std::wstring log;
    EXPECT_EQ(LoadAttribute(dir / "f.xml", &log), L"\u4E2D\u6587");
    EXPECT_NE(log.find(L"converted_from encoding=\"GBK\""), std::wstring::npos) << log;
    XmlDocument::SetLegacyEncoding(XmlDocument::LegacyEncodingForLanguage(1033));
    EXPECT_EQ(LoadAttribute(dir / "f.xml"), L"\u00D6\u00D0\u00CE\u00C4");
}

TEST(XmlEncodingLoad, LogNamesWhatHappened) {
    TempDir dir;
    struct Case {
        std::string bytes;
        const wchar_t* entry;
    };
    const Case cases[] = {
        {"<r a=\"x\"/>", L"utf8_detection"},
        {Utf16("<r a=\"x\"/>", true, true), L"endian_swap"},
        {std::string("<r a=\"x\"/>\0\0", 12), L"nulls_removed"},
        {"<?xml version=\"1.0\" encoding=\"GBK\"?><r a=\"\xFF\"/>", L"conversion_loss"},
    };
    for (const Case& c : cases) {
        WriteFile(dir / "f.xml", c.bytes);
        std::wstring log;
        LoadAttribute(dir / "f.xml", &log);
        EXPECT_NE(log.find(L"<read"), std::wstring::npos) << log;
        EXPECT_NE(log.find(c.entry), std::wstring::npos) << c.entry << " in " << log;
    }
}

TEST(XmlEncodingSave, WritesTheDeclaredEncoding) {
    TempDir dir;
    struct Case {
        const wchar_t* text;
        std::string expectedBytes;
        const wchar_t* logEntry;
    };
    const Case cases[] = {
        {L"<?xml version=\"1.0\" encoding=\"GBK\"?><r a=\"\u4E2D\u6587\"/>",
         "<?xml version=\"1.0\" encoding=\"GBK\"?><r a=\"\xD6\xD0\xCE\xC4\"/>", L"converted_to"},
        {L"<?xml version=\"1.0\" encoding=\"windows-1252\"?><r a=\"\u00FC\u4E2D\"/>",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?><r a=\"\xFC?\"/>", L"conversion_loss"},
        {L"<r a=\"\u00FC\"/>", "<r a=\"\xC3\xBC\"/>", L"write"},
    };
    for (const Case& c : cases) {
        XmlDocument doc(c.text);
        std::wstring log;
        int flags = 0;
        ASSERT_TRUE(doc.Save(dir / "out.xml", log, flags));
        EXPECT_EQ(ReadFile(dir / "out.xml"), c.expectedBytes);
        EXPECT_NE(log.find(c.logEntry), std::wstring::npos) << log;
    }
}

TEST(XmlEncodingSave, UnknownDeclaredEncodingIsRefused) {
    TempDir dir;
    XmlDocument doc(L"<?xml version=\"1.0\" encoding=\"no-such-charset\"?><r/>");
    std::wstring log;
    int flags = 0;
    EXPECT_FALSE(doc.Save(dir / "out.xml", log, flags));
    EXPECT_NE(log.find(L"file_error"), std::wstring::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.xml"));
}

TEST(XmlEncodingDeclared, FindsTheNameInTheProlog) {
    EXPECT_EQ(xml::DeclaredEncoding("<?xml version=\"1.0\" encoding = 'utf-16'?><r/>"), "UTF-16");
    EXPECT_EQ(xml::DeclaredEncoding("<?xml version=\"1.0\"?><r encoding=\"GBK\"/>"), "");
    EXPECT_EQ(
        xml::DeclaredEncoding("<html><meta http-equiv=\"content-type\" content=\"text/html;charset=Big5\">"),
        "BIG5");
    EXPECT_EQ(xml::DeclaredEncoding("<html><meta name=\"x\" content=\"charset=GBK\">"), "");
}

} // namespace
} // namespace kw
