#include "app/device/HidUsageTable.h"

#include <array>
#include <cstddef>
#include <linux/input-event-codes.h>

namespace kw {

namespace {

// Usage 0x00 to 0xFF of the keyboard page, as the kernel's HID input layer maps them.
constexpr std::array<unsigned char, 256> kKeyboard = {
    0,   0,   0,   0,   30,  48,  46,  32,  18,  33,  34,  35,  23,  36,  37,  38,  // 0x00
    50,  49,  24,  25,  16,  19,  31,  20,  22,  47,  17,  45,  21,  44,  2,   3,   // 0x10
    4,   5,   6,   7,   8,   9,   10,  11,  28,  1,   14,  15,  57,  12,  13,  26,  // 0x20
    27,  43,  43,  39,  40,  41,  51,  52,  53,  58,  59,  60,  61,  62,  63,  64,  // 0x30
    65,  66,  67,  68,  87,  88,  99,  70,  119, 110, 102, 104, 111, 107, 109, 106, // 0x40
    105, 108, 103, 69,  98,  55,  74,  78,  96,  79,  80,  81,  75,  76,  77,  71,  // 0x50
    72,  73,  82,  83,  86,  127, 116, 117, 183, 184, 185, 186, 187, 188, 189, 190, // 0x60
    191, 192, 193, 194, 134, 138, 130, 132, 128, 129, 131, 137, 133, 135, 136, 113, // 0x70
    115, 114, 0,   0,   0,   121, 0,   89,  93,  124, 92,  94,  95,  0,   0,   0,   // 0x80
    122, 123, 90,  91,  85,  0,   0,   0,   0,   0,   0,   0,   111, 0,   0,   0,   // 0x90
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   // 0xA0
    0,   0,   0,   0,   0,   0,   179, 180, 0,   0,   0,   0,   0,   0,   0,   0,   // 0xB0
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   // 0xC0
    0,   0,   0,   0,   0,   0,   0,   0,   111, 0,   0,   0,   0,   0,   0,   0,   // 0xD0
    29,  42,  56,  125, 97,  54,  100, 126, 164, 166, 165, 163, 161, 115, 114, 113, // 0xE0
    150, 158, 159, 128, 136, 177, 178, 176, 142, 152, 173, 140, 0,   0,   0,   0,   // 0xF0
};

struct ConsumerKey {
    int value;
    int usage;
    int code;
};

constexpr std::array<ConsumerKey, 18> kConsumer = {{
    {232, 0x183, KEY_CONFIG},
    {233, 0xEA, KEY_VOLUMEDOWN},
    {234, 0xE9, KEY_VOLUMEUP},
    {235, 0xE2, KEY_MUTE},
    {236, 0xB7, KEY_STOPCD},
    {237, 0xB6, KEY_PREVIOUSSONG},
    {238, 0xCD, KEY_PLAYPAUSE},
    {239, 0xB5, KEY_NEXTSONG},
    {240, 0x18A, KEY_MAIL},
    {241, 0x223, KEY_HOMEPAGE},
    {242, 0x192, KEY_CALC},
    {243, 0x224, KEY_BACK},
    {244, 0x225, KEY_FORWARD},
    {245, 0x226, KEY_STOP},
    {246, 0x227, KEY_REFRESH},
    {247, 0x221, KEY_SEARCH},
    {248, 0x22A, KEY_BOOKMARKS},
    {249, 0x194, KEY_FILE},
}};

} // namespace

int EvdevCodeFromUsage(int usage) {
    if (usage < 0 || usage >= static_cast<int>(kKeyboard.size()))
        return 0;
    return kKeyboard[static_cast<size_t>(usage)];
}

int UsageFromEvdevCode(int code) {
    if (code <= 0)
        return 0;
    for (size_t usage = 0; usage < kKeyboard.size(); ++usage) {
        if (kKeyboard[usage] == code)
            return static_cast<int>(usage);
    }
    return 0;
}

int ConsumerUsageFromValue(int value) {
    for (const ConsumerKey& key : kConsumer) {
        if (key.value == value)
            return key.usage;
    }
    return 0;
}

int EvdevCodeFromConsumerUsage(int usage) {
    if (usage == 0)
        return 0;
    for (const ConsumerKey& key : kConsumer) {
        if (key.usage == usage)
            return key.code;
    }
    return 0;
}

int KeyCodeFromEvdevCode(int code) {
    if (code <= 0)
        return 0;
    for (const ConsumerKey& key : kConsumer) {
        if (key.code == code)
            return key.value;
    }
    const int usage = UsageFromEvdevCode(code);
    // Usages 232 and above of the keyboard page are the kernel's media extensions; our key codes
    // use those numbers for consumer functions, so they are not reported as keyboard usages.
    return usage < 232 ? usage : 0;
}

} // namespace kw
