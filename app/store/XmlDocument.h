#pragma once

// A whole XML document held as wide text, navigated with a cursor by element name.
//
// The cursor has a level (the element whose children are being visited, or the document itself)
// and a current element at that level. FindElem moves forward among the level's elements only:
// an element standing before the current one is not found again until the cursor is reset by
// stepping out and back in.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace kw {

class XmlDocument {
public:
    // Option bits given to Load and Save and returned by them.
    enum Flags : int {
        kUtf16LeFile =
            0x1, // the file was (or is to be written) UTF-16, little-endian, with a byte-order mark
        kUtf16BeFile = 0x2, // the same, big-endian
        kUtf8Preamble = 0x4 // the file had (or gets) a UTF-8 byte-order mark
    };

    // Files larger than this are refused instead of being read whole.
    static constexpr std::size_t kMaxFileBytes = 64u << 20;

    XmlDocument();
    explicit XmlDocument(std::wstring_view text);
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Replaces the text and parses it; the cursor goes back to the top.
    bool SetDoc(std::wstring_view text);
    // The whole document as wide text, including what AddElem and SetAttrib changed.
    const std::wstring& GetDoc() const;

    bool Load(const std::filesystem::path& path, std::wstring& result, int& flags);
    bool Load(const std::filesystem::path& path);
    bool Save(const std::filesystem::path& path, std::wstring& result, int& flags);
    bool Save(const std::filesystem::path& path);

    // True when the text parsed without error and has exactly one root element.
    bool IsWellFormed() const;
    // The name of the first parse error ("lone_end_tag", "no_root_element", ...), empty when none.
    const std::wstring& GetError() const { return error_; }

    // Finds the next element of the current level named `name` (any element when empty).
    bool FindElem(std::wstring_view name = {});
    bool IntoElem();
    bool OutOfElem();
    // Back to the top: document level, no current element.
    void ResetPos();

    std::wstring GetTagName() const;
    std::wstring GetAttrib(std::wstring_view name) const;
    bool AddElem(std::wstring_view name);
    bool SetAttrib(std::wstring_view name, std::wstring_view value);
    bool SetAttrib(std::wstring_view name, long long value);

    // The code page used for files that declare no encoding and are not valid UTF-8
    // (an iconv name such as "GBK" or "CP1252"). Process-wide; follows the UI language.
    static void SetLegacyEncoding(const std::string& iconvName);
    static std::string GetLegacyEncoding();
    static std::string LegacyEncodingForLanguage(int languageId);

private:
    struct Impl;
    void Parse(const std::string& utf8);
    void MarkChanged();

    std::unique_ptr<Impl> impl_;
    mutable std::wstring text_;
    mutable bool textStale_ = false;
    std::wstring error_;
};

} // namespace kw
