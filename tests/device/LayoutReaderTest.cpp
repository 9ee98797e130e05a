#include "app/device/LayoutReader.h"
#include "app/device/AttributeNumbers.h"
#include "app/store/XmlDocument.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

TEST(AttributeNumbers, DecimalTakesLeadingDigitsAndHexTakesAnyPrefix) {
    struct Case {
        const wchar_t* text;
        int decimal;
        int hex;
    };
    const Case cases[] = {
        {L"", 0, 0},
        {L"12", 12, 0x12},
        {L"12abc", 12, 0x12abc},
        {L"abc", 0, 0xabc},
        {L" 7", 7, 7},
        {L"-3", -3, -3},
        {L"0x1A", 0, 0x1A},
        {L"0X1a", 0, 0x1A},
        {L"x", 0, 0},
        {L"ffff", 0, 0xFFFF},
        {L"99999999999", 2147483647, 2147483647},
        {L"ffffffff", 0, -1}, // a full 32-bit value keeps its bits
        {L"-99999999999", -2147483647 - 1, -2147483647 - 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDecimal(c.text), c.decimal) << "decimal of '" << c.text << "'";
        EXPECT_EQ(ParseHex(c.text), c.hex) << "hex of '" << c.text << "'";
    }
}

TEST(LayoutReader, RowColTakesFirstAndLastOneOrTwoCharacters) {
    struct Case {
        const wchar_t* text;
        bool inside;
        int row;
        int column;
    };
    const Case cases[] = {
        {L"3#7", true, 3, 7},   {L"3#12", true, 3, 12}, {L"", true, 0, 0},       {L"0#0", true, 0, 0},
        {L"7#31", true, 7, 31}, {L"8#1", false, 8, 1},  {L"3#32", false, 3, 32}, {L"5-9", true, 5, 9},
    };
    for (const Case& c : cases) {
        int row = -1;
        int column = -1;
        EXPECT_EQ(ParseRowCol(c.text, row, column), c.inside) << "'" << c.text << "'";
        EXPECT_EQ(row, c.row) << "'" << c.text << "'";
        EXPECT_EQ(column, c.column) << "'" << c.text << "'";
    }
}

TEST(LayoutReader, RectIsLeftTopWidthHeight) {
    struct Case {
        const wchar_t* text;
        KeyRect rect;
    };
    const Case cases[] = {
        {L"10#20#30#40", {10, 20, 40, 60}}, {L"10#20", {10, 20, 10, 20}},      {L"", {0, 0, 0, 0}},
        {L"a#b#c#d", {0, 0, 0, 0}},         {L"5#5#10#10#99", {5, 5, 15, 15}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseKeyRect(c.text), c.rect) << "'" << c.text << "'";
    }
}

TEST(LayoutReader, KeysFillMapsGridAndItems) {
    XmlDocument doc(LR"(<device.info><Keyboard xpos="1" ypos="2" width="3" height="4" image="k.png"
        row_count="2" col_count="3"><KeyItems>
      <key code="0x04" name="A" key_index="5" row_col="1#2" rect="1#1#1#1"/>
      <key code="1E4" name="Wide" key_index="6" row_col="1#2"/>
      <key code="0x04" name="A again" key_index="9"/>
      <key code="0x05" name="B" key_index="3" row_col="9#9"/>
    </KeyItems></Keyboard></device.info>)");
    doc.FindElem(L"device.info");
    doc.IntoElem();
    DeviceDefinition d;
    ReadKeyboardElement(doc, d);

    EXPECT_TRUE(d.hasPicture);
    EXPECT_EQ(d.picture.image, L"keyboard/k.png");
    EXPECT_EQ(d.keys.size(), 4u);
    EXPECT_EQ(d.matrixIndex.at(0x04), 9) << "a code given twice keeps the last index";
    EXPECT_EQ(d.colourIndex.at(0x04), 9);
    EXPECT_EQ(d.grid[1][2], 0xE4) << "the later key owns the cell, with the low byte of its code";
    EXPECT_EQ(d.grid[0][0], 0x04) << "a key without row_col lands in row 0, column 0";
    EXPECT_EQ(d.matrixIndex.at(0x05), 3) << "a key outside the grid still has its index";
    EXPECT_EQ(d.keys[0].rect, (KeyRect{1, 1, 2, 2}));
    EXPECT_TRUE(doc.FindElem() == false && doc.GetTagName() == L"Keyboard")
        << "the cursor is back at Keyboard";
}

} // namespace
} // namespace kw
