#include "app/store/XmlDocument.h"

#include "app/store/FileBytes.h"
#include "app/store/XmlEncoding.h"
#include "app/store/XmlWriter.h"
#include "ui/framework/TextConvert.h"

#include <mutex>
#include <pugixml.hpp>

namespace kw {

namespace {

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_doctype |
                                   pugi::parse_comments | pugi::parse_pi;

struct LegacySetting {
    std::mutex lock;
    std::string name = "CP1252";
};

LegacySetting& Legacy() {
    static LegacySetting setting;
    return setting;
}

std::wstring ErrorName(const pugi::xml_parse_result& result, std::string_view text) {
    switch (result.status) {
    case pugi::status_ok:
        return {};
    case pugi::status_unrecognized_tag:
    case pugi::status_bad_pi:
        return L"first_tag_syntax";
    case pugi::status_bad_doctype:
        return L"doctype_tag_syntax";
    case pugi::status_bad_comment:
        return L"comment_tag_syntax";
    case pugi::status_bad_cdata:
        return L"cdata_section_syntax";
    case pugi::status_bad_pcdata:
        return L"exclamation_tag_syntax";
    case pugi::status_bad_start_element:
    case pugi::status_bad_attribute:
    case pugi::status_bad_end_element:
        return L"unterminated_tag_syntax";
    case pugi::status_end_element_mismatch: {
        // The parser stops just after the "</" of an end tag that has no start; at the end of the
        // text when a start tag was never closed.
        const auto at = static_cast<size_t>(result.offset);
        const bool afterEndTagOpen = at >= 2 && at <= text.size() && text.substr(at - 2, 2) == "</";
        return afterEndTagOpen ? L"lone_end_tag" : L"unended_start_tag";
    }
    case pugi::status_no_document_element:
        return L"no_root_element";
    default:
        return L"parse_error";
    }
}

std::wstring Quoted(std::wstring_view name, std::wstring_view value) {
    return std::wstring(name) + L"=\"" + vellum::FromUtf8(xml::EscapeAttribute(vellum::ToUtf8(value))) +
           L"\"";
}

} // namespace

struct XmlDocument::Impl {
    pugi::xml_document doc;
    pugi::xml_node level; // whose children the cursor visits; the document itself at the top
    pugi::xml_node current;
    bool parsedOk = true;
};

XmlDocument::XmlDocument() : impl_(std::make_unique<Impl>()) {
    impl_->level = impl_->doc;
}

XmlDocument::XmlDocument(std::wstring_view text) : XmlDocument() {
    SetDoc(text);
}

XmlDocument::~XmlDocument() = default;

void XmlDocument::Parse(const std::string& utf8) {
    impl_->doc.reset();
    const pugi::xml_parse_result result =
        impl_->doc.load_buffer(utf8.data(), utf8.size(), kParseOptions, pugi::encoding_utf8);
    error_ = ErrorName(result, utf8);
    // A text without elements is not broken, only empty: AddElem may still give it its root.
    impl_->parsedOk = result.status == pugi::status_ok || result.status == pugi::status_no_document_element;
    ResetPos();
}

bool XmlDocument::SetDoc(std::wstring_view text) {
    text_.assign(text);
    std::erase(text_, L'\0');
    textStale_ = false;
    Parse(vellum::ToUtf8(text_));
    return true;
}

const std::wstring& XmlDocument::GetDoc() const {
    if (textStale_) {
        text_ = vellum::FromUtf8(xml::WriteDocument(impl_->doc));
        textStale_ = false;
    }
    return text_;
}

void XmlDocument::MarkChanged() {
    textStale_ = true;
}

bool XmlDocument::Load(const std::filesystem::path& path, std::wstring& result, int& flags) {
    result.clear();
    std::string bytes;
    const ReadStatus status = ReadFileBytes(path, kMaxFileBytes, bytes);
    if (status != ReadStatus::kOk) {
        xml::AppendLog(result, L"file_error",
                       Quoted(L"msg", ReadStatusText(status)) + L" " + Quoted(L"filename", path.wstring()));
        SetDoc(L"");
        return false;
    }
    std::wstring log;
    int found = 0;
    std::wstring text = xml::DecodeFileBytes(bytes, GetLegacyEncoding(), found, log);
    xml::AppendLog(result, L"read",
                   Quoted(L"filename", path.wstring()) + L" length=\"" + std::to_wstring(bytes.size()) +
                       L"\"");
    result += log;
    flags = (flags & ~(kUtf16LeFile | kUtf16BeFile | kUtf8Preamble)) | found;
    SetDoc(text);
    return true;
}

bool XmlDocument::Load(const std::filesystem::path& path) {
    std::wstring result;
    int flags = 0;
    return Load(path, result, flags);
}

bool XmlDocument::Save(const std::filesystem::path& path, std::wstring& result, int& flags) {
    result.clear();
    std::string encoding = "UTF-8";
    const pugi::xml_node decl = impl_->doc.first_child();
    if (decl.type() == pugi::node_declaration && *decl.attribute("encoding").value()) {
        encoding = decl.attribute("encoding").value();
    }
    std::string bytes;
    std::wstring log;
    if (!xml::EncodeText(GetDoc(), encoding, flags, bytes, log)) {
        xml::AppendLog(result, L"file_error",
                       Quoted(L"msg", L"unknown encoding " + vellum::FromUtf8(encoding)));
        return false;
    }
    if (!WriteFileAtomically(path, bytes)) {
        xml::AppendLog(result, L"file_error",
                       Quoted(L"msg", L"cannot write") + L" " + Quoted(L"filename", path.wstring()));
        return false;
    }
    xml::AppendLog(result, L"write",
                   Quoted(L"filename", path.wstring()) + L" length=\"" + std::to_wstring(bytes.size()) +
                       L"\"");
    result += log;
    return true;
}

bool XmlDocument::Save(const std::filesystem::path& path) {
    std::wstring result;
    int flags = 0;
    return Save(path, result, flags);
}

bool XmlDocument::IsWellFormed() const {
    if (!impl_->parsedOk) {
        return false;
    }
    int roots = 0;
    for (const pugi::xml_node& child : impl_->doc.children()) {
        roots += child.type() == pugi::node_element ? 1 : 0;
    }
    return roots == 1;
}

bool XmlDocument::FindElem(std::wstring_view name) {
    const std::string wanted = vellum::ToUtf8(name);
    pugi::xml_node node = impl_->current ? impl_->current.next_sibling() : impl_->level.first_child();
    for (; node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && (wanted.empty() || wanted == node.name())) {
            impl_->current = node;
            return true;
        }
    }
    return false;
}

bool XmlDocument::IntoElem() {
    if (!impl_->current) {
        return false;
    }
    impl_->level = impl_->current;
    impl_->current = pugi::xml_node();
    return true;
}

bool XmlDocument::OutOfElem() {
    if (impl_->level == impl_->doc) {
        return false;
    }
    impl_->current = impl_->level;
    impl_->level = impl_->level.parent();
    return true;
}

void XmlDocument::ResetPos() {
    impl_->level = impl_->doc;
    impl_->current = pugi::xml_node();
}

std::wstring XmlDocument::GetTagName() const {
    return impl_->current ? vellum::FromUtf8(impl_->current.name()) : std::wstring();
}

std::wstring XmlDocument::GetAttrib(std::wstring_view name) const {
    if (!impl_->current) {
        return {};
    }
    return vellum::FromUtf8(impl_->current.attribute(vellum::ToUtf8(name).c_str()).value());
}

bool XmlDocument::AddElem(std::wstring_view name) {
    const std::string tag = vellum::ToUtf8(name);
    if (tag.empty()) {
        return false;
    }
    pugi::xml_node added = impl_->current
                               ? impl_->level.insert_child_after(pugi::node_element, impl_->current)
                               : impl_->level.append_child(pugi::node_element);
    if (!added || !added.set_name(tag.c_str())) {
        return false;
    }
    impl_->current = added;
    MarkChanged();
    return true;
}

bool XmlDocument::SetAttrib(std::wstring_view name, std::wstring_view value) {
    const std::string key = vellum::ToUtf8(name);
    if (!impl_->current || key.empty()) {
        return false;
    }
    pugi::xml_attribute attr = impl_->current.attribute(key.c_str());
    if (!attr) {
        attr = impl_->current.append_attribute(key.c_str());
    }
    if (!attr || !attr.set_value(vellum::ToUtf8(value).c_str())) {
        return false;
    }
    MarkChanged();
    return true;
}

bool XmlDocument::SetAttrib(std::wstring_view name, long long value) {
    return SetAttrib(name, std::to_wstring(value));
}

void XmlDocument::SetLegacyEncoding(const std::string& iconvName) {
    std::lock_guard guard(Legacy().lock);
    Legacy().name = iconvName;
}

std::string XmlDocument::GetLegacyEncoding() {
    std::lock_guard guard(Legacy().lock);
    return Legacy().name;
}

std::string XmlDocument::LegacyEncodingForLanguage(int languageId) {
    return languageId == 2052 ? "GBK" : "CP1252";
}

} // namespace kw
