#pragma once

// Reads the `Keyboard` element of a layout file: the picture, the keys, the two code->index maps
// and the key grid.

#include "app/device/ProductTypes.h"

#include <string_view>

namespace kw {

class XmlDocument;

// Grid position of a `row_col` text: the row is its first character, the column its last
// character when the text has exactly three characters and its last two otherwise.
// Returns false when the cell lies outside the 8 x 32 grid.
bool ParseRowCol(std::wstring_view text, int& row, int& column);

// "left#top#width#height" -> (left, top, left + width, top + height); missing numbers are 0.
KeyRect ParseKeyRect(std::wstring_view text);

// With the cursor at the level that holds `Keyboard`: fills the definition's picture, keys, maps,
// grid and grid size. The caller has cleared them.
void ReadKeyboardElement(XmlDocument& doc, DeviceDefinition& definition);

} // namespace kw
