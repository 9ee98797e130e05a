#include "app/keys/KeyNames.h"

#include "app/device/HidUsageTable.h"
#include "app/keys/KeyLayoutNames.h"

#include <utility>

namespace kw {

namespace {

// Virtual keys listed one by one with their key codes.
constexpr std::pair<int, int> kVirtualKeys[] = {
    {48, 39},   {13, 40},   {27, 41},   {8, 42},    {9, 43},    {32, 44},   {189, 45},  {187, 46},
    {219, 47},  {221, 48},  {220, 49},  {666, 50},  {186, 51},  {222, 52},  {192, 53},  {188, 54},
    {190, 55},  {191, 56},  {20, 57},   {44, 70},   {145, 71},  {19, 72},   {45, 73},   {36, 74},
    {33, 75},   {46, 76},   {35, 77},   {34, 78},   {39, 79},   {37, 80},   {40, 81},   {38, 82},
    {144, 83},  {111, 84},  {106, 85},  {109, 86},  {107, 87},  {108, 88},  {96, 98},   {110, 99},
    {226, 100}, {93, 101},  {254, 175}, {136, 136}, {137, 137}, {138, 138}, {139, 139}, {162, 224},
    {160, 225}, {164, 226}, {91, 227},  {163, 228}, {161, 229}, {165, 230}, {92, 231},  {181, 232},
    {174, 233}, {175, 234}, {173, 235}, {178, 236}, {177, 237}, {179, 238}, {176, 239}, {180, 240},
    {172, 241}, {183, 242}, {166, 243}, {167, 244}, {169, 245}, {168, 246}, {170, 247}, {171, 248},
    {182, 249},
};

struct CodeName {
    int code;
    const wchar_t* name;
};

constexpr CodeName kCodeNames[] = {
    {40, L"ENTER"},   {41, L"ESC"},    {42, L"backspace"}, {43, L"TAB"},   {44, L"SPACE"},  {45, L"-_"},
    {46, L"+="},      {47, L"[{"},     {48, L"]}"},        {49, L"\\"},    {51, L";:"},     {52, L"'"},
    {53, L"~`"},      {54, L"<,"},     {55, L">."},        {56, L"/?"},    {57, L"CAPS"},   {70, L"PRTSC"},
    {71, L"SCRLK"},   {72, L"PASE"},   {73, L"INS"},       {74, L"HOME"},  {75, L"PG UP"},  {76, L"DEL"},
    {77, L"END"},     {78, L"PG DN"},  {79, L"RIGHT"},     {80, L"LEFT"},  {81, L"DOWN"},   {82, L"UP"},
    {83, L"NumLock"}, {84, L"/"},      {85, L"*"},         {86, L"-"},     {87, L"+"},      {88, L"Enter"},
    {99, L"."},       {101, L"MENU"},  {175, L"FN"},       {224, L"CTRL"}, {225, L"SHIFT"}, {226, L"ALT"},
    {227, L"WIN"},    {228, L"RCTRL"}, {229, L"RSHIFT"},   {230, L"RALT"},
};

struct VirtualName {
    int vk;
    const wchar_t* name;
};

constexpr VirtualName kFixedVirtualNames[] = {
    {19, L"Pause"},       {44, L"Print Screen"}, {91, L"Windows"}, {92, L"RWindows"},
    {93, L"Application"}, {144, L"Num Lock"},    {160, L"Shift"},  {161, L"RShift"},
    {162, L"Ctrl"},       {163, L"RCtrl"},       {164, L"Alt"},    {165, L"RAlt"},
};

} // namespace

int KeyCodeFromVirtualKey(int vk) {
    if (vk >= 65 && vk <= 90)
        return vk - 61;
    if (vk >= 49 && vk <= 57)
        return vk - 19;
    if (vk >= 112 && vk <= 123)
        return vk - 54;
    if (vk >= 124 && vk <= 135)
        return vk - 20;
    if (vk >= 97 && vk <= 105)
        return vk - 8;
    if (vk == 0)
        return 0;
    for (const auto& [virtualKey, code] : kVirtualKeys) {
        if (virtualKey == vk)
            return code;
    }
    return 0;
}

std::wstring KeyCodeName(int code) {
    if (code >= 4 && code <= 29)
        return std::wstring(1, static_cast<wchar_t>(L'A' + (code - 4)));
    if ((code >= 30 && code <= 38) || (code >= 89 && code <= 97))
        return std::wstring(1, static_cast<wchar_t>(L'1' + (code <= 38 ? code - 30 : code - 89)));
    if (code == 39 || code == 98)
        return L"0";
    if (code >= 58 && code <= 69)
        return L"F" + std::to_wstring(code - 57);
    for (const CodeName& entry : kCodeNames) {
        if (entry.code == code)
            return entry.name;
    }
    return {};
}

NamedVirtualKey VirtualKeyName(int vk, const KeyLayoutNames* names) {
    NamedVirtualKey result;
    // The generic modifiers stand for the left ones.
    if (vk == 16)
        vk = 160;
    else if (vk == 17)
        vk = 162;
    else if (vk == 18)
        vk = 164;
    result.vk = vk;
    for (const VirtualName& entry : kFixedVirtualNames) {
        if (entry.vk == vk) {
            result.name = entry.name;
            return result;
        }
    }
    const int code = KeyCodeFromVirtualKey(vk);
    int evdevCode = 0;
    if (code >= 232 && code <= 249)
        evdevCode = EvdevCodeFromConsumerUsage(ConsumerUsageFromValue(code));
    else if (code > 0 && code < 256)
        evdevCode = EvdevCodeFromUsage(code);
    if (evdevCode == 0)
        return result;
    const KeyLayoutNames& layout = names != nullptr ? *names : X11KeyLayoutNames::Instance();
    result.name = layout.KeyName(evdevCode);
    return result;
}

} // namespace kw
