#include "app/keys/KeyNames.h"
#include "app/device/PresetShortcutKeys.h"
#include "app/keys/KeyLayoutNames.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

namespace kw {
namespace {

TEST(KeyCodeFromVirtualKey, EveryListedVirtualKeyAndSomeThatAreNot) {
    const std::pair<int, int> cases[] = {
        {65, 4},
        {90, 29},
        {49, 30},
        {57, 38},
        {48, 39},
        {13, 40},
        {27, 41},
        {8, 42},
        {9, 43},
        {32, 44},
        {189, 45},
        {187, 46},
        {219, 47},
        {221, 48},
        {220, 49},
        {666, 50},
        {186, 51},
        {222, 52},
        {192, 53},
        {188, 54},
        {190, 55},
        {191, 56},
        {20, 57},
        {112, 58},
        {123, 69},
        {124, 104},
        {135, 115},
        {44, 70},
        {145, 71},
        {19, 72},
        {45, 73},
        {36, 74},
        {33, 75},
        {46, 76},
        {35, 77},
        {34, 78},
        {39, 79},
        {37, 80},
        {40, 81},
        {38, 82},
        {144, 83},
        {111, 84},
        {106, 85},
        {109, 86},
        {107, 87},
        {108, 88},
        {97, 89},
        {105, 97},
        {96, 98},
        {110, 99},
        {226, 100},
        {93, 101},
        {254, 175},
        {136, 136},
        {137, 137},
        {138, 138},
        {139, 139},
        {162, 224},
        {160, 225},
        {164, 226},
        {91, 227},
        {163, 228},
        {161, 229},
        {165, 230},
        {92, 231},
        {181, 232},
        {174, 233},
        {175, 234},
        {173, 235},
        {178, 236},
        {177, 237},
        {179, 238},
        {176, 239},
        {180, 240},
        {172, 241},
        {183, 242},
        {166, 243},
        {167, 244},
        {169, 245},
        {168, 246},
        {170, 247},
        {171, 248},
        {182, 249},
        // Generic modifiers and keys without a code.
        {16, 0},
        {17, 0},
        {18, 0},
        {0, 0},
        {1, 0},
        {47, 0},
        {64, 0},
        {95, 0},
        {140, 0},
        {255, 0},
        {667, 0},
        {-1, 0},
    };
    for (const auto& [vk, code] : cases)
        EXPECT_EQ(KeyCodeFromVirtualKey(vk), code) << "vk " << vk;
}

TEST(KeyCodeName, TextsDrawnForKeyCodes) {
    const std::pair<int, const wchar_t*> cases[] = {
        {4, L"A"},
        {29, L"Z"},
        {30, L"1"},
        {38, L"9"},
        {39, L"0"},
        {89, L"1"},
        {97, L"9"},
        {98, L"0"},
        {40, L"ENTER"},
        {41, L"ESC"},
        {42, L"backspace"},
        {43, L"TAB"},
        {44, L"SPACE"},
        {45, L"-_"},
        {46, L"+="},
        {47, L"[{"},
        {48, L"]}"},
        {49, L"\\"},
        {51, L";:"},
        {52, L"'"},
        {53, L"~`"},
        {54, L"<,"},
        {55, L">."},
        {56, L"/?"},
        {57, L"CAPS"},
        {58, L"F1"},
        {69, L"F12"},
        {70, L"PRTSC"},
        {71, L"SCRLK"},
        {72, L"PASE"},
        {73, L"INS"},
        {74, L"HOME"},
        {75, L"PG UP"},
        {76, L"DEL"},
        {77, L"END"},
        {78, L"PG DN"},
        {79, L"RIGHT"},
        {80, L"LEFT"},
        {81, L"DOWN"},
        {82, L"UP"},
        {83, L"NumLock"},
        {84, L"/"},
        {85, L"*"},
        {86, L"-"},
        {87, L"+"},
        {88, L"Enter"},
        {99, L"."},
        {101, L"MENU"},
        {175, L"FN"},
        {224, L"CTRL"},
        {225, L"SHIFT"},
        {226, L"ALT"},
        {227, L"WIN"},
        {228, L"RCTRL"},
        {229, L"RSHIFT"},
        {230, L"RALT"},
        // Codes without a text.
        {0, L""},
        {3, L""},
        {50, L""},
        {100, L""},
        {104, L""},
        {231, L""},
        {234, L""},
        {256, L""},
    };
    for (const auto& [code, name] : cases)
        EXPECT_EQ(KeyCodeName(code), name) << "code " << code;
}

// Names "evdev:<code>" so that the test sees which key the mapping was asked about.
class CodeNames : public KeyLayoutNames {
public:
    std::wstring KeyName(int evdevCode) const override { return L"evdev:" + std::to_wstring(evdevCode); }
};

TEST(VirtualKeyName, FixedNamesAndTheMappingForTheRest) {
    const CodeNames names;
    struct Case {
        int vk;
        int resultVk;
        std::wstring name;
    };
    const Case cases[] = {
        {16, 160, L"Shift"},
        {17, 162, L"Ctrl"},
        {18, 164, L"Alt"},
        {19, 19, L"Pause"},
        {44, 44, L"Print Screen"},
        {91, 91, L"Windows"},
        {92, 92, L"RWindows"},
        {93, 93, L"Application"},
        {144, 144, L"Num Lock"},
        {160, 160, L"Shift"},
        {161, 161, L"RShift"},
        {162, 162, L"Ctrl"},
        {163, 163, L"RCtrl"},
        {164, 164, L"Alt"},
        {165, 165, L"RAlt"},
        {65, 65, L"evdev:" + std::to_wstring(KEY_A)},
        {13, 13, L"evdev:" + std::to_wstring(KEY_ENTER)},
        {46, 46, L"evdev:" + std::to_wstring(KEY_DELETE)},
        {112, 112, L"evdev:" + std::to_wstring(KEY_F1)},
        {97, 97, L"evdev:" + std::to_wstring(KEY_KP1)},
        {175, 175, L"evdev:" + std::to_wstring(KEY_VOLUMEUP)},
        {1, 1, L""},                                            // no key code: no name
        {666, 666, L"evdev:" + std::to_wstring(KEY_BACKSLASH)}, // the non-US key shares the code
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vk);
        const NamedVirtualKey named = VirtualKeyName(c.vk, &names);
        EXPECT_EQ(named.vk, c.resultVk);
        EXPECT_EQ(named.name, c.name);
    }
}

TEST(VirtualKeyName, WithoutADisplayTheMappingGivesNoName) {
    if (std::getenv("DISPLAY") != nullptr)
        GTEST_SKIP() << "a display is set: the X mapping would name the key";
    EXPECT_EQ(VirtualKeyName(65).name, L"");
    EXPECT_EQ(VirtualKeyName(16).name, L"Shift");
}

TEST(ShortcutPreset, EveryPresetAsAPressAndReleaseSequence) {
    using Steps = std::vector<std::pair<int, bool>>;
    auto chord = [](int modifier, int key) -> Steps {
        return {{modifier, true}, {key, true}, {key, false}, {modifier, false}};
    };
    const Steps expected[] = {
        chord(224, 4),
        chord(224, 6),
        chord(224, 27),
        chord(224, 25),
        chord(224, 29),
        chord(224, 22),
        chord(227, 8),
        chord(227, 15),
        chord(227, 7),
        chord(226, 43),
        chord(227, 16),
        chord(224, 26),
        {{226, true}, {44, true}, {27, true}, {27, false}, {44, false}, {226, false}},
        {{226, true}, {44, true}, {17, true}, {17, false}, {44, false}, {226, false}},
        chord(226, 61),
    };
    for (int value = 1; value <= 15; ++value) {
        SCOPED_TRACE(value);
        Steps steps;
        for (const PresetKeyEvent& step : PresetShortcutEvents(value))
            steps.emplace_back(step.usage, step.press);
        EXPECT_EQ(steps, expected[value - 1]);
    }
    EXPECT_TRUE(PresetShortcutEvents(0).empty());
    EXPECT_TRUE(PresetShortcutEvents(16).empty());
}

} // namespace
} // namespace kw
