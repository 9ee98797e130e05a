#include "app/store/XmlDocument.h"

#include "tests/support/TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>

namespace kw {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr const wchar_t* kProfile = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                    L"<profile><profileinfo name=\"Gaming\"/>"
                                    L"<keyitems><item code=\"4\"/><other/><item code=\"5\"/></keyitems>"
                                    L"<tail/></profile>";

TEST(XmlDocumentNavigation, WalksTheProfileExample) {
    XmlDocument doc(kProfile);
    ASSERT_TRUE(doc.IsWellFormed());
    ASSERT_TRUE(doc.FindElem(L"profile"));
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.FindElem(L"profileinfo"));
    EXPECT_EQ(doc.GetAttrib(L"name"), L"Gaming");
    ASSERT_TRUE(doc.FindElem(L"keyitems"));
    ASSERT_TRUE(doc.IntoElem());
    std::vector<std::wstring> codes;
    while (doc.FindElem(L"item")) {
        codes.push_back(doc.GetAttrib(L"code"));
    }
    EXPECT_EQ(codes, (std::vector<std::wstring>{L"4", L"5"}));
    ASSERT_TRUE(doc.OutOfElem());
    EXPECT_EQ(doc.GetTagName(), L"keyitems");
    EXPECT_TRUE(doc.FindElem(L"tail"));
}

TEST(XmlDocumentNavigation, FindPastTheLastSiblingKeepsTheCurrentElement) {
    XmlDocument doc(kProfile);
    doc.FindElem(L"profile");
    doc.IntoElem();
    ASSERT_TRUE(doc.FindElem(L"keyitems"));
    EXPECT_FALSE(doc.FindElem(L"keyitems"));
    EXPECT_EQ(doc.GetTagName(), L"keyitems");
    // The search only goes forward: an element before the current one is not seen.
    EXPECT_FALSE(doc.FindElem(L"profileinfo"));
    EXPECT_TRUE(doc.FindElem(L"tail"));
}

TEST(XmlDocumentNavigation, NamesMatchExactlyAndEmptyNameMatchesAny) {
    XmlDocument doc(L"<r><Item/><item a=\"1\"/></r>");
    doc.FindElem(L"r");
    doc.IntoElem();
    ASSERT_TRUE(doc.FindElem(L"item"));
    EXPECT_EQ(doc.GetAttrib(L"a"), L"1");
    doc.OutOfElem();
    doc.IntoElem();
    ASSERT_TRUE(doc.FindElem());
    EXPECT_EQ(doc.GetTagName(), L"Item");
}

TEST(XmlDocumentNavigation, OperationsWithoutACurrentElementFailSoftly) {
    XmlDocument doc(L"<r a=\"1\"/>");
    EXPECT_FALSE(doc.IntoElem());
    EXPECT_FALSE(doc.OutOfElem());
    EXPECT_EQ(doc.GetAttrib(L"a"), L"");
    EXPECT_FALSE(doc.SetAttrib(L"a", L"2"));
    ASSERT_TRUE(doc.FindElem(L"r"));
    EXPECT_EQ(doc.GetAttrib(L"missing"), L"");
    ASSERT_TRUE(doc.IntoElem());
    EXPECT_FALSE(doc.FindElem(L"child"));
    EXPECT_FALSE(doc.IntoElem());
}

TEST(XmlDocumentWellFormed, ReportsWhatIsWrong) {
    struct Case {
        const wchar_t* text;
        bool wellFormed;
        const wchar_t* error;
    };
    const Case cases[] = {
        {L"<a><b/></a>", true, L""},
        {L"", false, L"no_root_element"},
        {L"<?xml version=\"1.0\"?>", false, L"no_root_element"},
        {L"<a/><b/>", false, L""},
        {L"<a><b></a>", false, L"lone_end_tag"},
        {L"<a><b>", false, L"unended_start_tag"},
        {L"<a><!-- x</a>", false, L"comment_tag_syntax"},
        {L"<a x=1/>", false, L"unterminated_tag_syntax"},
    };
    for (const Case& c : cases) {
        XmlDocument doc(c.text);
        EXPECT_EQ(doc.IsWellFormed(), c.wellFormed) << doc.GetDoc();
        if (*c.error) {
            EXPECT_EQ(doc.GetError(), c.error) << doc.GetDoc();
        }
    }
}

TEST(XmlDocumentWellFormed, MalformedDocumentStillNavigates) {
    XmlDocument doc(L"<config><software name=\"Kw\"/><broken></config>");
    EXPECT_FALSE(doc.IsWellFormed());
    ASSERT_TRUE(doc.FindElem(L"config"));
    doc.IntoElem();
    ASSERT_TRUE(doc.FindElem(L"software"));
    EXPECT_EQ(doc.GetAttrib(L"name"), L"Kw");
}

TEST(XmlDocumentBuilding, AddElemInsertsAfterTheCurrentElement) {
    XmlDocument doc(L"<r><a/><c/></r>");
    doc.FindElem(L"r");
    doc.IntoElem();
    doc.FindElem(L"a");
    ASSERT_TRUE(doc.AddElem(L"b"));
    EXPECT_EQ(doc.GetTagName(), L"b");
    ASSERT_TRUE(doc.SetAttrib(L"n", 7));
    doc.OutOfElem();
    doc.IntoElem();
    std::vector<std::wstring> order;
    while (doc.FindElem()) {
        order.push_back(doc.GetTagName());
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_NE(doc.GetDoc().find(L"<b n=\"7\"/>"), std::wstring::npos);
}

TEST(XmlDocumentBuilding, DeclarationThenRootIsWellFormedAndSavedAsUtf8) {
    TempDir dir;
    XmlDocument doc(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    ASSERT_TRUE(doc.AddElem(L"profile"));
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.AddElem(L"profileinfo"));
    ASSERT_TRUE(doc.SetAttrib(L"name", L"简体 Ü"));
    EXPECT_TRUE(doc.IsWellFormed());
    std::wstring result;
    int flags = 0;
    ASSERT_TRUE(doc.Save(dir / "p.xml", result, flags));
    EXPECT_NE(result.find(L"<write"), std::wstring::npos);
    const std::string bytes = ReadFile(dir / "p.xml");
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
    EXPECT_NE(bytes.find("name=\"\xE7\xAE\x80\xE4\xBD\x93 \xC3\x9C\""), std::string::npos);
}

TEST(XmlDocumentEscaping, AttributeValuesRoundTripThroughAFile) {
    TempDir dir;
    const std::wstring nasty = L"a \"quoted\" & 'single' <tag> \t tab\nline";
    XmlDocument doc;
    ASSERT_TRUE(doc.AddElem(L"macro"));
    ASSERT_TRUE(doc.SetAttrib(L"name", nasty));
    EXPECT_NE(doc.GetDoc().find(L"&quot;quoted&quot; &amp; &apos;single&apos; &lt;tag&gt;"),
              std::wstring::npos);
    ASSERT_TRUE(doc.Save(dir / "m.xml"));

    XmlDocument back;
    ASSERT_TRUE(back.Load(dir / "m.xml"));
    ASSERT_TRUE(back.IsWellFormed());
    ASSERT_TRUE(back.FindElem(L"macro"));
    EXPECT_EQ(back.GetAttrib(L"name"), nasty);
}

TEST(XmlDocumentFiles, MissingUnreadableAndOversizedFilesAreFileErrors) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    {
        std::ofstream big(dir / "big.xml", std::ios::binary);
        big.seekp(static_cast<std::streamoff>(XmlDocument::kMaxFileBytes));
        big.put('x');
    }
    for (const char* name : {"missing.xml", "folder", "big.xml"}) {
        XmlDocument doc(L"<old/>");
        std::wstring result;
        int flags = 0;
        EXPECT_FALSE(doc.Load(dir / name, result, flags)) << name;
        EXPECT_NE(result.find(L"file_error"), std::wstring::npos) << name;
        EXPECT_FALSE(doc.FindElem(L"old")) << "a failed load leaves nothing of the previous document";
    }
}

TEST(XmlDocumentFiles, SaveIntoAMissingFolderFails) {
    TempDir dir;
    XmlDocument doc(L"<r/>");
    std::wstring result;
    int flags = 0;
    EXPECT_FALSE(doc.Save(dir / "no" / "such" / "r.xml", result, flags));
    EXPECT_NE(result.find(L"file_error"), std::wstring::npos);
}

TEST(XmlDocumentFiles, SaveReplacesTheWholeFile) {
    TempDir dir;
    WriteFile(dir / "r.xml", std::string(10000, 'x'));
    XmlDocument doc(L"<r/>");
    ASSERT_TRUE(doc.Save(dir / "r.xml"));
    EXPECT_EQ(ReadFile(dir / "r.xml"), "<r/>");
    EXPECT_FALSE(std::filesystem::exists(dir / "r.xml.tmp"));
}

} // namespace
} // namespace kw
