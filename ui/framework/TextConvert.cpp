#include "ui/framework/TextConvert.h"

#include <cstdint>

namespace vellum {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c >= 0xD800 && c <= 0xDFFF) {
        c = kReplacement;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c <= 0x10FFFF) {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        AppendUtf8(out, kReplacement);
    }
}

// Decodes one sequence at text[i]; advances i. Returns kReplacement for a malformed sequence,
// consuming only its first byte so that decoding resynchronises on the next one.
char32_t DecodeOne(std::string_view text, size_t& i, bool& ok) {
    const auto b0 = static_cast<uint8_t>(text[i]);
    ok = true;
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = 0;
    char32_t c = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, c = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, c = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, c = b0 & 0x07, min = 0x10000;
    } else {
        ok = false;
        ++i;
        return kReplacement;
    }
    if (i + extra >= text.size()) {
        ok = false;
        ++i;
        return kReplacement;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<uint8_t>(text[i + k]);
        if ((b & 0xC0) != 0x80) {
            ok = false;
            ++i;
            return kReplacement;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ok = false;
        ++i;
        return kReplacement;
    }
    i += extra + 1;
    return c;
}

} // namespace

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        AppendUtf8(out, static_cast<char32_t>(w));
    }
    return out;
}

std::wstring FromUtf8(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    bool ok = true;
    while (i < text.size()) {
        out += static_cast<wchar_t>(DecodeOne(text, i, ok));
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    bool ok = true;
    while (i < bytes.size()) {
        DecodeOne(bytes, i, ok);
        if (!ok) {
            return false;
        }
    }
    return true;
}

} // namespace vellum
