#pragma once

// The one place where wide text meets UTF-8. Program and UI interfaces hold text as std::wstring;
// files, the database, Pango and X11 take UTF-8.

#include <string>
#include <string_view>

namespace vellum {

// Invalid input never fails: a broken sequence becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

} // namespace vellum
