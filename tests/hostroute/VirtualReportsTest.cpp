#include "app/device/VirtualReports.h"
#include "app/device/HidUsageTable.h"
#include "app/device/ReportToEvents.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <map>

namespace kw {
namespace {

// What a HID report descriptor declares: input bits per report id, and whether it has output or
// feature items or items the parser does not know.
struct DescriptorSummary {
    std::map<int, int> inputBits;
    int outputOrFeatureItems = 0;
    int openCollections = 0;
    bool malformed = false;
    std::vector<std::pair<int, int>> collections; // usage page, usage of each application collection
};

DescriptorSummary Summarise(std::span<const uint8_t> bytes) {
    DescriptorSummary summary;
    int reportId = 0, reportSize = 0, reportCount = 0, usagePage = 0, usage = 0;
    size_t at = 0;
    while (at < bytes.size()) {
        const uint8_t prefix = bytes[at];
        size_t size = prefix & 3;
        if (size == 3)
            size = 4;
        if (at + 1 + size > bytes.size()) {
            summary.malformed = true;
            break;
        }
        uint32_t value = 0;
        for (size_t i = 0; i < size; ++i)
            value |= static_cast<uint32_t>(bytes[at + 1 + i]) << (8 * i);
        switch (prefix & 0xFC) {
        case 0x04:
            usagePage = static_cast<int>(value);
            break;
        case 0x08:
            usage = static_cast<int>(value);
            break;
        case 0x84:
            reportId = static_cast<int>(value);
            break;
        case 0x74:
            reportSize = static_cast<int>(value);
            break;
        case 0x94:
            reportCount = static_cast<int>(value);
            break;
        case 0x80:
            summary.inputBits[reportId] += reportSize * reportCount;
            break;
        case 0x90:
        case 0xB0:
            ++summary.outputOrFeatureItems;
            break;
        case 0xA0:
            if (value == 1)
                summary.collections.emplace_back(usagePage, usage);
            ++summary.openCollections;
            break;
        case 0xC0:
            --summary.openCollections;
            break;
        case 0x14:
        case 0x24:
        case 0x18:
        case 0x28:
            break; // logical range, usage range
        default:
            summary.malformed = true;
            break;
        }
        at += 1 + size;
    }
    return summary;
}

TEST(VirtualReportDescriptor, DeclaresExactlyTheFourInputReports) {
    const DescriptorSummary summary = Summarise(VirtualReportDescriptor());
    EXPECT_FALSE(summary.malformed);
    EXPECT_EQ(summary.openCollections, 0);
    EXPECT_EQ(summary.outputOrFeatureItems, 0);
    const std::map<int, int> expected = {{1, 33 * 8}, {2, 4 * 8}, {3, 2 * 8}, {4, 2 * 8}};
    EXPECT_EQ(summary.inputBits, expected);
    for (int id = 1; id <= 4; ++id)
        EXPECT_EQ(static_cast<int>(InputReportLength(id)) * 8, expected.at(id));
    // Keyboard, mouse, consumer control and a vendor collection.
    const std::vector<std::pair<int, int>> collections = {{1, 6}, {1, 2}, {0x0C, 1}, {0xFF00, 1}};
    EXPECT_EQ(summary.collections, collections);
}

TEST(VirtualReportDescriptor, FrameGivesTheInputReport) {
    std::array<uint8_t, 64> frame{};
    frame[0] = 5;
    frame[1] = 3;
    frame[2] = 0xE9;
    const auto report = InputReportFromFrame(frame);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->id, 3);
    EXPECT_EQ(report->data, (std::vector<uint8_t>{0xE9, 0}));

    frame[1] = 1;
    ASSERT_TRUE(InputReportFromFrame(frame).has_value());
    EXPECT_EQ(InputReportFromFrame(frame)->data.size(), 33u);

    for (uint8_t id : {0, 5, 9}) {
        frame[1] = id;
        EXPECT_FALSE(InputReportFromFrame(frame).has_value()) << int(id);
    }
    frame[1] = 1;
    frame[0] = 4;
    EXPECT_FALSE(InputReportFromFrame(frame).has_value());
    EXPECT_FALSE(InputReportFromFrame(std::span<const uint8_t>(frame.data(), 10)).has_value());
}

TEST(HidUsageTable, KeyboardUsagesAndEvdevCodes) {
    struct Case {
        int usage;
        int code;
    };
    const Case cases[] = {
        {0x04, KEY_A},        {0x1D, KEY_Z},         {0x1E, KEY_1},         {0x27, KEY_0},
        {0x28, KEY_ENTER},    {0x29, KEY_ESC},       {0x2C, KEY_SPACE},     {0x39, KEY_CAPSLOCK},
        {0x3A, KEY_F1},       {0x45, KEY_F12},       {0x46, KEY_SYSRQ},     {0x4C, KEY_DELETE},
        {0x4F, KEY_RIGHT},    {0x52, KEY_UP},        {0x53, KEY_NUMLOCK},   {0x58, KEY_KPENTER},
        {0x62, KEY_KP0},      {0x64, KEY_102ND},     {0x65, KEY_COMPOSE},   {0x68, KEY_F13},
        {0x73, KEY_F24},      {0xE0, KEY_LEFTCTRL},  {0xE1, KEY_LEFTSHIFT}, {0xE2, KEY_LEFTALT},
        {0xE3, KEY_LEFTMETA}, {0xE4, KEY_RIGHTCTRL}, {0xE7, KEY_RIGHTMETA}, {0x00, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(EvdevCodeFromUsage(c.usage), c.code) << c.usage;
        if (c.code != 0) {
            EXPECT_EQ(UsageFromEvdevCode(c.code), c.usage) << c.usage;
        }
    }
    EXPECT_EQ(EvdevCodeFromUsage(256), 0);
    EXPECT_EQ(EvdevCodeFromUsage(-1), 0);
    // Both backslash usages give one code; the lower usage is the answer back.
    EXPECT_EQ(UsageFromEvdevCode(KEY_BACKSLASH), 0x31);
}

TEST(HidUsageTable, EveryKeyboardUsageComesBackToAUsageWithTheSameCode) {
    for (int usage = 0; usage < 232; ++usage) {
        const int code = EvdevCodeFromUsage(usage);
        if (code == 0)
            continue;
        EXPECT_EQ(EvdevCodeFromUsage(UsageFromEvdevCode(code)), code) << usage;
    }
}

TEST(HidUsageTable, ConsumerFunctionsAndTheirKeys) {
    struct Case {
        int value;
        int usage;
        int code;
    };
    const Case cases[] = {
        {232, 0x183, KEY_CONFIG},   {233, 0xEA, KEY_VOLUMEDOWN}, {234, 0xE9, KEY_VOLUMEUP},
        {235, 0xE2, KEY_MUTE},      {236, 0xB7, KEY_STOPCD},     {237, 0xB6, KEY_PREVIOUSSONG},
        {238, 0xCD, KEY_PLAYPAUSE}, {239, 0xB5, KEY_NEXTSONG},   {240, 0x18A, KEY_MAIL},
        {241, 0x223, KEY_HOMEPAGE}, {242, 0x192, KEY_CALC},      {243, 0x224, KEY_BACK},
        {244, 0x225, KEY_FORWARD},  {245, 0x226, KEY_STOP},      {246, 0x227, KEY_REFRESH},
        {247, 0x221, KEY_SEARCH},   {248, 0x22A, KEY_BOOKMARKS}, {249, 0x194, KEY_FILE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ConsumerUsageFromValue(c.value), c.usage);
        EXPECT_EQ(EvdevCodeFromConsumerUsage(c.usage), c.code);
        // A media key of the watched keyboard is reported with its consumer function value.
        EXPECT_EQ(KeyCodeFromEvdevCode(c.code), c.value);
    }
    EXPECT_EQ(ConsumerUsageFromValue(231), 0);
    EXPECT_EQ(ConsumerUsageFromValue(250), 0);
    EXPECT_EQ(KeyCodeFromEvdevCode(KEY_A), 4);
    EXPECT_EQ(KeyCodeFromEvdevCode(KEY_RIGHTMETA), 231);
    EXPECT_EQ(KeyCodeFromEvdevCode(KEY_SLEEP), 0); // only the kernel's media extension has it
    EXPECT_EQ(KeyCodeFromEvdevCode(0), 0);
}

TEST(ReportToEvents, KeyboardBitChangesBecomeKeyEvents) {
    ReportToEvents translator;
    std::array<uint8_t, 33> report{};
    report[29] = 0x02; // left shift
    report[1] = 0x10;  // A
    auto events = translator.Translate(1, report);
    const std::vector<InputEventSpec> pressed = {
        {EV_KEY, KEY_A, 1}, {EV_KEY, KEY_LEFTSHIFT, 1}, {EV_SYN, SYN_REPORT, 0}};
    EXPECT_EQ(events, pressed);
    // The same report again changes nothing.
    EXPECT_TRUE(translator.Translate(1, report).empty());
    report[1] = 0;
    events = translator.Translate(1, report);
    const std::vector<InputEventSpec> released = {{EV_KEY, KEY_A, 0}, {EV_SYN, SYN_REPORT, 0}};
    EXPECT_EQ(events, released);
}

TEST(ReportToEvents, ButtonsAndConsumerUsages) {
    ReportToEvents translator;
    const std::array<uint8_t, 4> mouse = {0x15, 0, 0, 0}; // left, middle, fifth
    const std::vector<InputEventSpec> buttons = {
        {EV_KEY, BTN_LEFT, 1}, {EV_KEY, BTN_MIDDLE, 1}, {EV_KEY, BTN_EXTRA, 1}, {EV_SYN, SYN_REPORT, 0}};
    EXPECT_EQ(translator.Translate(2, mouse), buttons);

    const std::array<uint8_t, 2> volumeUp = {0xE9, 0x00};
    const std::array<uint8_t, 2> home = {0x23, 0x02};
    const std::array<uint8_t, 2> none = {0, 0};
    EXPECT_EQ(translator.Translate(3, volumeUp),
              (std::vector<InputEventSpec>{{EV_KEY, KEY_VOLUMEUP, 1}, {EV_SYN, SYN_REPORT, 0}}));
    EXPECT_EQ(translator.Translate(3, home),
              (std::vector<InputEventSpec>{
                  {EV_KEY, KEY_VOLUMEUP, 0}, {EV_KEY, KEY_HOMEPAGE, 1}, {EV_SYN, SYN_REPORT, 0}}));
    EXPECT_EQ(translator.Translate(3, none),
              (std::vector<InputEventSpec>{{EV_KEY, KEY_HOMEPAGE, 0}, {EV_SYN, SYN_REPORT, 0}}));
    const std::array<uint8_t, 2> spare = {1, 1};
    EXPECT_TRUE(translator.Translate(4, spare).empty());
}

TEST(ReportToEvents, DeviceKeyListCoversEverythingTranslated) {
    const std::vector<int> codes = ReportToEvents::KeyCodes();
    for (int code : {KEY_A, KEY_LEFTSHIFT, KEY_F24, KEY_VOLUMEUP, KEY_FILE, BTN_LEFT, BTN_EXTRA})
        EXPECT_TRUE(std::binary_search(codes.begin(), codes.end(), code)) << code;
}

} // namespace
} // namespace kw
