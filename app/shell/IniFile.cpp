#include "app/shell/IniFile.h"

#include "app/store/FileBytes.h"
#include "app/store/XmlDocument.h"
#include "app/store/XmlEncoding.h"
#include "ui/framework/TextConvert.h"

#include <cwctype>

namespace kw {

namespace {

constexpr std::size_t kMaxIniBytes = 4u << 20;

std::wstring Trim(std::wstring_view s) {
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && std::iswspace(s[begin])) {
        ++begin;
    }
    while (end > begin && std::iswspace(s[end - 1])) {
        --end;
    }
    return std::wstring(s.substr(begin, end - begin));
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) {
            return false;
        }
    }
    return true;
}

std::wstring Unquote(std::wstring value) {
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

} // namespace

bool IniFile::Load(const std::filesystem::path& path) {
    lines_.clear();
    std::string bytes;
    if (ReadFileBytes(path, kMaxIniBytes, bytes) != ReadStatus::kOk) {
        return false;
    }
    std::wstring log;
    int flags = 0;
    // The product's text files share the XML reader's rules for marks, UTF-8 and the legacy page.
    Parse(xml::DecodeFileBytes(bytes, XmlDocument::GetLegacyEncoding(), flags, log));
    return true;
}

void IniFile::Parse(const std::wstring& text) {
    lines_.clear();
    std::wstring section;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        std::wstring raw = text.substr(start, end - start);
        if (!raw.empty() && raw.back() == L'\r') {
            raw.pop_back();
        }
        Line line{raw, section, {}, {}};
        const std::wstring trimmed = Trim(raw);
        if (!trimmed.empty() && trimmed.front() == L'[') {
            const size_t close = trimmed.find(L']');
            section = Trim(trimmed.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1));
            line.section = section;
        } else if (!trimmed.empty() && trimmed.front() != L';' && trimmed.front() != L'#') {
            const size_t eq = trimmed.find(L'=');
            if (eq != std::wstring::npos) {
                line.key = Trim(trimmed.substr(0, eq));
                line.value = Unquote(Trim(trimmed.substr(eq + 1)));
            }
        }
        if (!(end == text.size() && raw.empty())) {
            lines_.push_back(std::move(line));
        }
        start = end + 1;
    }
}

std::optional<std::wstring> IniFile::Get(std::wstring_view section, std::wstring_view key) const {
    for (const Line& line : lines_) {
        if (!line.key.empty() && SameName(line.section, section) && SameName(line.key, key)) {
            return line.value;
        }
    }
    return std::nullopt;
}

void IniFile::Set(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    const std::wstring raw = std::wstring(key) + L"=" + std::wstring(value);
    size_t insertAt = lines_.size();
    bool sectionSeen = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        Line& line = lines_[i];
        if (!SameName(line.section, section)) {
            continue;
        }
        sectionSeen = true;
        insertAt = i + 1;
        if (!line.key.empty() && SameName(line.key, key)) {
            line.raw = raw;
            line.value = value;
            return;
        }
    }
    if (!sectionSeen) {
        lines_.push_back(Line{L"[" + std::wstring(section) + L"]", std::wstring(section), {}, {}});
        insertAt = lines_.size();
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  Line{raw, std::wstring(section), std::wstring(key), std::wstring(value)});
}

std::wstring IniFile::Text() const {
    std::wstring text;
    for (const Line& line : lines_) {
        text += line.raw;
        text += L'\n';
    }
    return text;
}

bool IniFile::Save(const std::filesystem::path& path) const {
    return WriteFileAtomically(path, vellum::ToUtf8(Text()));
}

} // namespace kw
