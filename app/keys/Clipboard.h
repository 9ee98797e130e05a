#pragma once

// The desktop's clipboard text.

#include <string>

namespace kw {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // False when the clipboard holds no text or cannot be read.
    virtual bool GetText(std::wstring& text) = 0;
    virtual bool SetText(const std::wstring& text) = 0;
    virtual void Clear() = 0;
};

} // namespace kw
