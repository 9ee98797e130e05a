#include "app/device/LayoutReader.h"

#include "app/device/AttributeNumbers.h"
#include "app/store/XmlDocument.h"

namespace kw {

bool ParseRowCol(std::wstring_view text, int& row, int& column) {
    row = ParseDecimal(text.substr(0, 1));
    const size_t tail = text.size() == 3 ? 1 : 2;
    column = ParseDecimal(text.size() >= tail ? text.substr(text.size() - tail) : text);
    return row >= 0 && row < kGridRows && column >= 0 && column < kGridColumns;
}

KeyRect ParseKeyRect(std::wstring_view text) {
    int values[4] = {0, 0, 0, 0};
    for (int& value : values) {
        const size_t hash = text.find(L'#');
        value = ParseDecimal(text.substr(0, hash));
        if (hash == std::wstring_view::npos) {
            break;
        }
        text.remove_prefix(hash + 1);
    }
    return KeyRect{values[0], values[1], values[0] + values[2], values[1] + values[3]};
}

void ReadKeyboardElement(XmlDocument& doc, DeviceDefinition& definition) {
    if (!doc.FindElem(L"Keyboard")) {
        return;
    }
    definition.hasPicture = true;
    definition.picture.xpos = ParseDecimal(doc.GetAttrib(L"xpos"));
    definition.picture.ypos = ParseDecimal(doc.GetAttrib(L"ypos"));
    definition.picture.width = ParseDecimal(doc.GetAttrib(L"width"));
    definition.picture.height = ParseDecimal(doc.GetAttrib(L"height"));
    definition.picture.image = L"keyboard/" + doc.GetAttrib(L"image");
    definition.rowCount = ParseDecimal(doc.GetAttrib(L"row_count"));
    definition.colCount = ParseDecimal(doc.GetAttrib(L"col_count"));

    doc.IntoElem();
    if (doc.FindElem(L"KeyItems")) {
        doc.IntoElem();
        while (doc.FindElem(L"key")) {
            KeyItem key;
            key.code = ParseHex(doc.GetAttrib(L"code"));
            key.name = doc.GetAttrib(L"name");
            key.desc = doc.GetAttrib(L"desc");
            key.icon = doc.GetAttrib(L"icon");
            key.rect = ParseKeyRect(doc.GetAttrib(L"rect"));
            const int keyIndex = ParseDecimal(doc.GetAttrib(L"key_index"));
            definition.matrixIndex[key.code] = keyIndex;
            definition.colourIndex[key.code] = keyIndex;
            int row = 0;
            int column = 0;
            if (ParseRowCol(doc.GetAttrib(L"row_col"), row, column)) {
                definition.grid[row][column] = static_cast<uint8_t>(key.code & 0xFF);
            }
            definition.keys.push_back(std::move(key));
        }
        doc.OutOfElem();
    }
    doc.OutOfElem();
}

} // namespace kw
