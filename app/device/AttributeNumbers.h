#pragma once

// Numbers in product and layout files are text. Decimal values take their leading digits (an
// optional sign and leading blanks allowed) and are 0 when there are none; identifiers are
// hexadecimal, with or without "0x".

#include <string_view>

namespace kw {

int ParseDecimal(std::wstring_view text);
int ParseHex(std::wstring_view text);

} // namespace kw
