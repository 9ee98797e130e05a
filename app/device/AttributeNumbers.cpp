#include "app/device/AttributeNumbers.h"

#include <climits>
#include <cwchar>
#include <string>

namespace kw {

namespace {

int Parse(std::wstring_view text, int base) {
    const std::wstring copy(text); // wcstol needs a terminated string
    const long long value = std::wcstoll(copy.c_str(), nullptr, base);
    if (value > INT_MAX) {
        return base == 16 && value <= static_cast<long long>(UINT_MAX)
                   ? static_cast<int>(static_cast<unsigned>(value))
                   : INT_MAX;
    }
    return value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

} // namespace

int ParseDecimal(std::wstring_view text) {
    return Parse(text, 10);
}
int ParseHex(std::wstring_view text) {
    return Parse(text, 16);
}

} // namespace kw
