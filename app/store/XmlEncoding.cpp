#include "app/store/XmlEncoding.h"

#include "app/store/XmlDocument.h"
#include "ui/framework/TextConvert.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <iconv.h>

namespace kw::xml {

namespace {

std::string Upper(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
    return out;
}

bool IsUtf8Name(const std::string& upper) {
    return upper == "UTF-8" || upper == "UTF8";
}

bool IsUtf16Name(const std::string& upper) {
    return upper == "UTF-16" || upper == "UTF16" || upper == "UTF-16LE" || upper == "UTF-16BE" ||
           upper == "UCS-2" || upper == "UNICODE";
}

// GB2312 files routinely hold characters that only GBK has; GBK decodes both.
std::string IconvSourceName(const std::string& upper) {
    if (upper == "GB2312" || upper == "GB_2312-80" || upper == "EUC-CN") {
        return "GBK";
    }
    return upper;
}

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::wstring out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        char32_t unit = bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const auto c0 = static_cast<unsigned char>(bytes[i + 2]);
            const auto c1 = static_cast<unsigned char>(bytes[i + 3]);
            const char32_t low = bigEndian ? (c0 << 8 | c1) : (c1 << 8 | c0);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = 0xFFFD;
        }
        out += static_cast<wchar_t>(unit);
    }
    return out;
}

void EncodeUtf16(std::wstring_view text, bool bigEndian, std::string& out) {
    auto put = [&](char32_t unit) {
        const char hi = static_cast<char>(unit >> 8);
        const char lo = static_cast<char>(unit & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    };
    put(0xFEFF);
    for (wchar_t w : text) {
        auto c = static_cast<char32_t>(w);
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            put(0xD800 + (c >> 10));
            put(0xDC00 + (c & 0x3FF));
        } else {
            put(c > 0x10FFFF ? 0xFFFD : c);
        }
    }
}

// The value of attribute `name` (`name="value"` or `name='value'`) in the tag text, searching
// from `from`; an occurrence inside another attribute's value or name is passed over.
std::string QuotedValueAfter(std::string_view text, size_t from, std::string_view name) {
    for (size_t at = text.find(name, from); at != std::string_view::npos; at = text.find(name, at + 1)) {
        if (at == 0 || !std::isspace(static_cast<unsigned char>(text[at - 1]))) {
            continue;
        }
        size_t i = at + name.size();
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
        }
        if (i >= text.size() || text[i] != '=') {
            continue;
        }
        ++i;
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
        }
        if (i >= text.size() || (text[i] != '"' && text[i] != '\'')) {
            continue;
        }
        const char quote = text[i++];
        const size_t end = text.find(quote, i);
        return end == std::string_view::npos ? std::string{} : std::string(text.substr(i, end - i));
    }
    return {};
}

std::wstring Wide(std::string_view ascii) {
    return vellum::FromUtf8(ascii);
}

} // namespace

void AppendLog(std::wstring& log, std::wstring_view entry, std::wstring_view attributes) {
    log += L'<';
    log += entry;
    if (!attributes.empty()) {
        log += L' ';
        log += attributes;
    }
    log += L"/>";
}

std::string DeclaredEncoding(std::string_view bytes) {
    // Only the prologue is searched; zero bytes of a UTF-16 text without a mark are dropped first.
    std::string probe;
    for (char c : bytes.substr(0, 4096)) {
        if (c != '\0') {
            probe += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    if (probe.compare(0, 5, "<?xml") == 0) {
        const size_t end = probe.find("?>");
        std::string_view decl(probe.data(), end == std::string::npos ? probe.size() : end);
        return Upper(QuotedValueAfter(decl, 5, "encoding"));
    }
    for (size_t meta = probe.find("<meta"); meta != std::string::npos; meta = probe.find("<meta", meta + 5)) {
        const size_t end = probe.find('>', meta);
        std::string_view tag(probe.data() + meta, (end == std::string::npos ? probe.size() : end) - meta);
        if (QuotedValueAfter(tag, 0, "http-equiv") != "content-type") {
            continue;
        }
        const std::string content = QuotedValueAfter(tag, 0, "content");
        const size_t cs = content.find("charset=");
        if (cs != std::string::npos) {
            std::string name = content.substr(cs + 8);
            name = name.substr(0, name.find_first_of("; \t"));
            return Upper(name);
        }
    }
    return {};
}

bool Iconv(std::string_view in, const char* from, const char* to, std::string_view replacement,
           std::string& out, bool& lossy) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    out.clear();
    const bool fromUtf8 = IsUtf8Name(Upper(from));
    char buffer[4096];
    auto* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // EILSEQ or EINVAL (truncated at the end): skip one byte and mark the loss.
            // A UTF-8 source skips the whole sequence so that one character gives one mark.
            size_t skip = 1;
            const auto lead = static_cast<unsigned char>(*src);
            if (fromUtf8 && lead >= 0xC0) {
                skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
            }
            skip = std::min(skip, srcLeft);
            lossy = true;
            out += replacement;
            src += skip;
            srcLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, dst);
    iconv_close(cd);
    return true;
}

std::wstring DecodeFileBytes(std::string_view bytes, const std::string& legacyEncoding, int& flags,
                             std::wstring& log) {
    std::wstring text;
    std::wstring encodingName;

    const auto at = [&](size_t i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0x100; };
    const std::string declared = DeclaredEncoding(bytes);
    const bool lePattern = at(0) == '<' && at(1) == 0;
    const bool bePattern = at(0) == 0 && at(1) == '<';

    if (at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
        flags |= XmlDocument::kUtf8Preamble;
        encodingName = L"UTF-8";
        text = vellum::FromUtf8(bytes.substr(3));
    } else if (at(0) == 0xFF && at(1) == 0xFE) {
        flags |= XmlDocument::kUtf16LeFile;
        encodingName = L"UTF-16LE";
        text = DecodeUtf16(bytes.substr(2), false);
    } else if (at(0) == 0xFE && at(1) == 0xFF) {
        flags |= XmlDocument::kUtf16BeFile;
        encodingName = L"UTF-16BE";
        AppendLog(log, L"endian_swap");
        text = DecodeUtf16(bytes.substr(2), true);
    } else if (lePattern || bePattern) {
        // UTF-16 without a mark: the zero bytes of the ASCII prologue tell the byte order.
        encodingName = bePattern ? L"UTF-16BE" : L"UTF-16LE";
        if (bePattern) {
            AppendLog(log, L"endian_swap");
        }
        text = DecodeUtf16(bytes, bePattern);
    } else if (!declared.empty() && !IsUtf8Name(declared) && !IsUtf16Name(declared)) {
        std::string utf8;
        bool lossy = false;
        const std::string source = IconvSourceName(declared);
        if (Iconv(bytes, source.c_str(), "UTF-8", "\xEF\xBF\xBD", utf8, lossy)) {
            encodingName = Wide(declared);
            AppendLog(log, L"converted_from", L"encoding=\"" + encodingName + L"\"");
            if (lossy) {
                AppendLog(log, L"conversion_loss");
            }
            text = vellum::FromUtf8(utf8);
        }
    }

    if (encodingName.empty()) {
        if (IsUtf8Name(declared) || vellum::IsValidUtf8(bytes)) {
            encodingName = L"UTF-8";
            if (declared.empty()) {
                AppendLog(log, L"utf8_detection");
            }
            text = vellum::FromUtf8(bytes);
        } else {
            std::string utf8;
            bool lossy = false;
            encodingName = Wide(legacyEncoding);
            if (Iconv(bytes, legacyEncoding.c_str(), "UTF-8", "\xEF\xBF\xBD", utf8, lossy)) {
                AppendLog(log, L"converted_from", L"encoding=\"" + encodingName + L"\"");
                if (lossy) {
                    AppendLog(log, L"conversion_loss");
                }
                text = vellum::FromUtf8(utf8);
            } else {
                encodingName = L"UTF-8";
                AppendLog(log, L"conversion_loss");
                text = vellum::FromUtf8(bytes);
            }
        }
    }

    const size_t before = text.size();
    std::erase(text, L'\0');
    if (text.size() != before) {
        AppendLog(log, L"nulls_removed", L"count=\"" + std::to_wstring(before - text.size()) + L"\"");
    }
    return text;
}

bool EncodeText(std::wstring_view text, const std::string& encoding, int flags, std::string& out,
                std::wstring& log) {
    const std::string upper = encoding.empty() ? std::string("UTF-8") : Upper(encoding);
    out.clear();
    if (IsUtf8Name(upper)) {
        if (flags & XmlDocument::kUtf8Preamble) {
            out = "\xEF\xBB\xBF";
        }
        out += vellum::ToUtf8(text);
        return true;
    }
    if (IsUtf16Name(upper)) {
        const bool bigEndian = upper == "UTF-16BE" || (flags & XmlDocument::kUtf16BeFile);
        if (bigEndian) {
            AppendLog(log, L"endian_swap");
        }
        EncodeUtf16(text, bigEndian, out);
        return true;
    }
    bool lossy = false;
    const std::string target = IconvSourceName(upper);
    if (!Iconv(vellum::ToUtf8(text), "UTF-8", target.c_str(), "?", out, lossy)) {
        return false;
    }
    AppendLog(log, L"converted_to", L"encoding=\"" + Wide(upper) + L"\"");
    if (lossy) {
        AppendLog(log, L"conversion_loss");
    }
    return true;
}

} // namespace kw::xml
