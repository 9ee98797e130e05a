// The shipped product files: config.xml and the layout file of each model, loaded the way the
// program loads them. These checks catch a broken layout generator or a careless hand edit.

#include "app/device/DeviceCatalog.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kw {
namespace {

constexpr int kFnCode = 0xAF;
constexpr int kMaxKeyIndex = 110;
constexpr int kPageWidth = 1280;
constexpr int kPageHeight = 720;
constexpr int kHeaderHeight = 150;
constexpr int kAllFeatureBits = 0xFFF;

// What one layout load shows on the windows.
class RecordingView : public DeviceCatalogView {
public:
    void ShowTabItem(int item, bool visible) override { tabs[item] = visible; }
    void ShowFirmwareButton(bool visible) override { firmwareButton.push_back(visible); }
    void SetSliderMaxima(int brightnessMax, int speedMax) override {
        sliderMaxima = {brightnessMax, speedMax};
    }
    void ClearKeyboardView(int viewBit) override { views[viewBit] = View{}; }
    void SetKeyboardPicture(int viewBit, const KeyboardPicture& picture) override {
        views[viewBit].pictures.push_back(picture);
    }
    void AddKeyItem(int viewBit, const KeyItem& item) override { views[viewBit].keys.push_back(item); }

    struct View {
        std::vector<KeyboardPicture> pictures;
        std::vector<KeyItem> keys;
    };
    std::map<int, bool> tabs;
    std::vector<bool> firmwareButton;
    std::pair<int, int> sliderMaxima{-1, -1};
    std::map<int, View> views;
};

struct Model {
    int deviceType;
    const wchar_t* keyboardName;
    const wchar_t* layout;
    size_t keyCount;
    int brightnessMax;
    int speedMax;
    std::vector<LightModeEntry> modes;
};

std::ostream& operator<<(std::ostream& os, const Model& model) {
    return os << "device type " << model.deviceType;
}

const std::vector<Model>& Models() {
    static const std::vector<Model> models = {
        {201,
         L"KW-104 Tri-Mode",
         L"kw104",
         104,
         4,
         4,
         {{L"1001", 1, 0x031},
          {L"1002", 2, 0x043},
          {L"1003", 3, 0x047},
          {L"1004", 4, 0x08B},
          {L"1006", 5, 0x100},
          {L"1007", 6, 0x200},
          {L"1010", 7, 0x801}}},
        {101,
         L"KW-87 RGB",
         L"kw87",
         87,
         5,
         5,
         {{L"1001", 1, 0x031},
          {L"1002", 2, 0x043},
          {L"1003", 3, 0x047},
          {L"1004", 4, 0x083},
          {L"1005", 5, 0x04B},
          {L"1006", 6, 0x100},
          {L"1007", 7, 0x200},
          {L"1008", 8, 0x203},
          {L"1009", 9, 0x400},
          {L"1010", 10, 0x801}}},
    };
    return models;
}

// Loads the shipped product files and makes `deviceType` current; the view records only that load.
struct LoadedModel {
    explicit LoadedModel(int deviceType) {
        catalog.LoadProductDescription();
        view = RecordingView{};
        catalog.LoadDeviceDefinition(deviceType);
    }
    RecordingView view;
    DeviceCatalog catalog{test::ProductSourceDir(), view};
    const DeviceDefinition& definition() const { return catalog.Definition(); }
};

std::set<int> Codes(const DeviceDefinition& definition) {
    std::set<int> codes;
    for (const KeyItem& key : definition.keys) {
        codes.insert(key.code);
    }
    return codes;
}

bool Overlap(const KeyRect& a, const KeyRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

class ProductFilesTest : public ::testing::TestWithParam<Model> {
protected:
    const Model& model() const { return GetParam(); }
    LoadedModel loaded{GetParam().deviceType};
    const DeviceDefinition& definition() const { return loaded.definition(); }
};

TEST_P(ProductFilesTest, ModelIsNamedInConfigAndItsLayoutLoads) {
    EXPECT_EQ(loaded.catalog.CurrentKeyboard().name, model().keyboardName);
    EXPECT_EQ(loaded.catalog.CurrentKeyboard().device_info, model().layout);
    ASSERT_TRUE(definition().hasPicture);
    EXPECT_EQ(definition().picture.image, L"keyboard/" + std::wstring(model().layout) + L".png");
    EXPECT_EQ(definition().keys.size(), model().keyCount);
    EXPECT_EQ(definition().rowCount, 6);
}

TEST_P(ProductFilesTest, KeysHaveUniqueCodesNamesAndDescriptions) {
    std::set<int> codes;
    for (const KeyItem& key : definition().keys) {
        SCOPED_TRACE(testing::Message() << "code " << key.code);
        // 0 is no key and a low byte of 0xFF would read as an empty grid cell.
        EXPECT_GT(key.code, 0);
        EXPECT_LT(key.code, 0xFF);
        EXPECT_TRUE(codes.insert(key.code).second) << "code given twice";
        EXPECT_FALSE(key.name.empty());
        EXPECT_FALSE(key.desc.empty());
        EXPECT_TRUE(key.icon.empty());
    }
}

TEST_P(ProductFilesTest, WellKnownKeysCarryTheirUsages) {
    const std::map<int, std::wstring> expected = {
        {0x29, L"Esc"},       {0x3A, L"F1"},    {0x04, L"A"},     {0x1D, L"Z"},     {0x27, L"0"},
        {0x2A, L"Backspace"}, {0x28, L"Enter"}, {0x2C, L"Space"}, {kFnCode, L"Fn"}, {0x52, L"Up"},
    };
    std::map<int, std::wstring> names;
    for (const KeyItem& key : definition().keys) {
        names[key.code] = key.name;
    }
    for (const auto& [code, name] : expected) {
        EXPECT_EQ(names[code], name) << "code " << code;
    }
}

TEST_P(ProductFilesTest, KeyIndexesAreDenseAndInReadingOrder) {
    const auto& keys = definition().keys;
    ASSERT_EQ(definition().matrixIndex.size(), keys.size());
    ASSERT_EQ(definition().colourIndex, definition().matrixIndex);
    for (size_t i = 0; i < keys.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "key " << i);
        EXPECT_EQ(definition().matrixIndex.at(keys[i].code), static_cast<int>(i));
        EXPECT_LT(static_cast<int>(i), kMaxKeyIndex);
        if (i > 0) {
            // Row by row from the top, left to right inside a row.
            const KeyRect& before = keys[i - 1].rect;
            const KeyRect& now = keys[i].rect;
            EXPECT_TRUE(before.top < now.top || (before.top == now.top && before.left < now.left));
        }
    }
}

TEST_P(ProductFilesTest, KeyGridHoldsEveryKeyOnceInsideItsSize) {
    const DeviceDefinition& d = definition();
    ASSERT_GT(d.colCount, 0);
    ASSERT_LE(d.colCount, kGridColumns);
    ASSERT_LE(d.rowCount, kGridRows);
    std::multiset<int> cells;
    std::set<int> rowsUsed;
    std::set<int> columnsUsed;
    for (int row = 0; row < kGridRows; ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            if (d.grid[row][column] == kEmptyCell) {
                continue;
            }
            EXPECT_LT(row, d.rowCount) << "column " << column;
            EXPECT_LT(column, d.colCount) << "row " << row;
            cells.insert(d.grid[row][column]);
            rowsUsed.insert(row);
            columnsUsed.insert(column);
        }
    }
    // Two keys in one cell would leave one key out of the grid.
    std::multiset<int> lowBytes;
    for (const KeyItem& key : d.keys) {
        lowBytes.insert(key.code & 0xFF);
    }
    EXPECT_EQ(cells, lowBytes);
    // The grid size is what the keys use, no more.
    EXPECT_EQ(static_cast<int>(rowsUsed.size()), d.rowCount);
    EXPECT_TRUE(columnsUsed.count(d.colCount - 1));
}

TEST_P(ProductFilesTest, BottomRowHasFnInPlaceOfTheRightWindowsKey) {
    const auto& bottom = definition().grid[5];
    std::vector<int> codes;
    for (uint8_t cell : bottom) {
        if (cell != kEmptyCell && codes.size() < 8) {
            codes.push_back(cell);
        }
    }
    // Ctrl, Win, Alt, Space, Alt, Fn, Menu, Ctrl.
    EXPECT_EQ(codes, (std::vector<int>{0xE0, 0xE3, 0xE2, 0x2C, 0xE6, kFnCode, 0x65, 0xE4}));
    EXPECT_EQ(Codes(definition()).count(0xE7), 0u) << "right Windows key still present";
}

TEST_P(ProductFilesTest, PictureFitsThePageAndKeysFitThePicture) {
    const KeyboardPicture& picture = definition().picture;
    EXPECT_GE(picture.xpos, 0);
    EXPECT_LE(std::abs(2 * picture.xpos + picture.width - kPageWidth), 1) << "not centred";
    EXPECT_GE(picture.ypos, kHeaderHeight);
    EXPECT_LE(picture.ypos + picture.height, kPageHeight);

    const auto& keys = definition().keys;
    for (size_t i = 0; i < keys.size(); ++i) {
        const KeyRect& r = keys[i].rect;
        SCOPED_TRACE(testing::Message() << "key " << i << " rect " << r.left << "," << r.top << "," << r.right
                                        << "," << r.bottom);
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.right, picture.width);
        EXPECT_LE(r.bottom, picture.height);
        EXPECT_GE(r.right - r.left, 40);
        EXPECT_GE(r.bottom - r.top, 40);
        for (size_t j = i + 1; j < keys.size(); ++j) {
            EXPECT_FALSE(Overlap(r, keys[j].rect)) << "overlaps key " << j;
        }
    }
}

TEST_P(ProductFilesTest, CapabilitiesOfferEveryPageAndTheFirmwareButton) {
    const DeviceDefinition& d = definition();
    EXPECT_EQ(d.menuFlags, 0x47);
    EXPECT_EQ(loaded.view.tabs, (std::map<int, bool>{{1, true}, {2, true}, {3, true}}));
    EXPECT_TRUE(d.sleepTime);
    EXPECT_EQ(d.firmwareVersion, L"1.00");
    EXPECT_EQ(d.firmwareFile, std::wstring(model().layout) + L"_fw_v1.00.bin");
    EXPECT_EQ(d.firmwareUrl, L"https://keywright.example.org/firmware/" + std::wstring(model().layout));
    EXPECT_EQ(loaded.view.firmwareButton, std::vector<bool>{true});
    EXPECT_TRUE(d.rgbKeyboard);
    EXPECT_EQ(d.brightnessMax, model().brightnessMax);
    EXPECT_EQ(d.speedMax, model().speedMax);
    EXPECT_EQ(loaded.view.sliderMaxima, std::make_pair(model().brightnessMax, model().speedMax));
    EXPECT_EQ(d.defaultMode, 1);
    EXPECT_EQ(d.defaultBrightness, d.brightnessMax);
    EXPECT_EQ(d.defaultSpeed, 2);
}

TEST_P(ProductFilesTest, LightModeListIsTheModelsOwn) {
    const auto& modes = definition().lightModes;
    ASSERT_EQ(modes.size(), model().modes.size());
    for (size_t i = 0; i < modes.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "entry " << i);
        EXPECT_EQ(modes[i].name, model().modes[i].name);
        EXPECT_EQ(modes[i].mode, model().modes[i].mode);
        EXPECT_EQ(modes[i].attribute, model().modes[i].attribute);
    }
    const bool defaultListed = std::any_of(modes.begin(), modes.end(), [&](const LightModeEntry& m) {
        return m.mode == definition().defaultMode;
    });
    EXPECT_TRUE(defaultListed);
}

TEST_P(ProductFilesTest, EveryKeyboardViewReceivesThePictureAndAllKeys) {
    for (int bit : DeviceCatalog::kViewBits) {
        SCOPED_TRACE(testing::Message() << "view " << bit);
        ASSERT_TRUE(loaded.view.views.count(bit));
        const RecordingView::View& view = loaded.view.views[bit];
        ASSERT_EQ(view.pictures.size(), 1u);
        EXPECT_EQ(view.pictures[0].width, definition().picture.width);
        ASSERT_EQ(view.keys.size(), definition().keys.size());
        for (size_t i = 0; i < view.keys.size(); ++i) {
            EXPECT_EQ(view.keys[i].code, definition().keys[i].code);
            EXPECT_EQ(view.keys[i].rect, definition().keys[i].rect);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ProductFilesTest, ::testing::ValuesIn(Models()),
                         [](const ::testing::TestParamInfo<Model>& info) {
                             return "DeviceType" + std::to_string(info.param.deviceType);
                         });

TEST(ProductFilesTogetherTest, ModelsTogetherUseEveryFeatureBit) {
    int bits = 0;
    bool pureMusic = false;
    bool screen = false;
    for (const Model& model : Models()) {
        LoadedModel loaded(model.deviceType);
        for (const LightModeEntry& mode : loaded.definition().lightModes) {
            bits |= mode.attribute;
            pureMusic = pureMusic || mode.attribute == kLightMusic;
            screen = screen || (mode.attribute & kLightScreen) != 0;
        }
    }
    EXPECT_EQ(bits, kAllFeatureBits);
    EXPECT_TRUE(pureMusic);
    EXPECT_TRUE(screen);
}

TEST(ProductFilesTogetherTest, TenkeylessBoardIsTheFullBoardWithoutItsKeypad) {
    const std::set<int> full = Codes(LoadedModel(201).definition());
    const std::set<int> tenkeyless = Codes(LoadedModel(101).definition());
    std::set<int> missing;
    std::set_difference(full.begin(), full.end(), tenkeyless.begin(), tenkeyless.end(),
                        std::inserter(missing, missing.end()));
    std::set<int> keypad;
    for (int code = 0x53; code <= 0x63; ++code) { // Num Lock to keypad decimal point
        keypad.insert(code);
    }
    EXPECT_EQ(missing, keypad);
    EXPECT_TRUE(std::includes(full.begin(), full.end(), tenkeyless.begin(), tenkeyless.end()));
}

} // namespace
} // namespace kw
