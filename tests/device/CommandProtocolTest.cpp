// The frames of the device queries and the factory reset, byte for byte as the simulated keyboard
// received and decoded them, with their pacing, for both protocol families, wired and wireless.

#include "tests/device/LinkRig.h"

#include "app/device/CommandFrames.h"

#include <gtest/gtest.h>

namespace kw::test {
namespace {

using namespace std::chrono_literals;
using Kind = SimReport::Kind;

struct Frame {
    Kind kind;
    std::vector<uint8_t> head;       // leading bytes; the rest of the report is 0
    std::chrono::milliseconds after; // time since the previous frame (the first: since the job started)
};

std::vector<uint8_t> Padded(const Frame& frame) {
    std::vector<uint8_t> bytes = frame.head;
    bytes.resize(frame.kind == Kind::Output ? 65 : frame.kind == Kind::Feature ? 8 : 1, 0);
    return bytes;
}

TEST(CommandProtocol, FamilyFollowsTheDeviceType) {
    struct Case {
        int deviceType;
        ProtocolFamily family;
    };
    for (const Case c :
         {Case{0, ProtocolFamily::A}, Case{101, ProtocolFamily::A}, Case{200, ProtocolFamily::A},
          Case{201, ProtocolFamily::B}, Case{299, ProtocolFamily::B}, Case{300, ProtocolFamily::None},
          Case{1000, ProtocolFamily::None}}) {
        EXPECT_EQ(FamilyOf(c.deviceType), c.family) << c.deviceType;
    }
}

TEST(CommandProtocol, FrameBuilders) {
    const OutputReport part = MakeOutputPart(0x8D, 40, 0x01B4, std::vector<uint8_t>(70, 0xEE));
    EXPECT_EQ(part[0], 0);
    EXPECT_EQ(part[1], 0x8D);
    EXPECT_EQ(part[2], 40);
    EXPECT_EQ(part[3], 0xB4);
    EXPECT_EQ(part[4], 0x01);
    EXPECT_EQ(part[5], 0xEE);
    EXPECT_EQ(part[64], 0xEE) << "payload beyond the report is cut";
    const OutputPayload wireless = MakeWirelessCommand(0xAA, {1, 2});
    EXPECT_EQ(std::vector<uint8_t>(wireless.begin(), wireless.begin() + 8),
              (std::vector<uint8_t>{0xBB, 0xAA, 0x99, 0x88, 0xAA, 1, 2, 0}));
    const FeatureReport feature = MakeFeatureCommand(0xFA, {1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(feature, (FeatureReport{7, 0xFA, 1, 2, 3, 4, 5, 6})) << "parameters beyond byte 7 are cut";
}

TEST(CommandProtocol, JobsSendTheFramesOfTheirFamilyAndConnection) {
    struct Case {
        const char* name;
        ModeEntry plugged;
        int deviceType;
        int job;
        std::vector<Frame> frames;
        int resets; // decoded factory resets afterwards
    };
    const std::vector<uint8_t> wirelessFirst = {0,    0xBB, 0xAA, 0x99, 0x88, 0xAA,
                                                0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    const std::vector<uint8_t> wirelessSecond = {0, 0xBB, 0xAA, 0x99, 0x88};
    const Case cases[] = {
        {"B cable version",
         Cable201(),
         201,
         13,
         {{Kind::Feature, {7, 0xFD}, 16ms}, {Kind::FeatureRead, {7}, 16ms}},
         0},
        {"B receiver version",
         Receiver201(),
         201,
         13,
         {{Kind::Feature, {7, 0xFD}, 16ms}, {Kind::FeatureRead, {7}, 16ms}},
         0},
        {"A cable version",
         Cable101(),
         101,
         13,
         {{Kind::Feature, {7, 0xFD}, 16ms}, {Kind::FeatureRead, {7}, 16ms}},
         0},
        {"B cable reset", Cable201(), 201, 10, {{Kind::Feature, {7, 0xF0, 0xAA}, 16ms}}, 1},
        {"B receiver reset",
         Receiver201(),
         201,
         10,
         {{Kind::Output, wirelessFirst, 0ms}, {Kind::Output, wirelessSecond, 1600ms}},
         1},
        {"B Bluetooth reset",
         Bluetooth201(),
         201,
         10,
         {{Kind::Output, wirelessFirst, 0ms}, {Kind::Output, wirelessSecond, 1600ms}},
         1},
        {"A cable reset", Cable101(), 101, 10, {{Kind::Output, {0, 0xFF, 0xFE, 0xAA, 0xFF}, 0ms}}, 1},
        {"no family", Cable201(), 300, 10, {}, 0},
    };
    for (const Case& c : cases) {
        LinkRig rig;
        rig.link.SetDeviceType(c.deviceType);
        auto keyboard = rig.Connect(c.plugged);
        keyboard->ClearReports();
        const auto start = rig.clock->Now();
        rig.link.PostJob(c.job);
        rig.link.RunPass();
        const auto reports = keyboard->Reports();
        ASSERT_EQ(reports.size(), c.frames.size()) << c.name;
        auto previous = start;
        for (size_t i = 0; i < reports.size(); ++i) {
            EXPECT_EQ(reports[i].kind, c.frames[i].kind) << c.name << " frame " << i;
            EXPECT_EQ(reports[i].bytes, Padded(c.frames[i])) << c.name << " frame " << i;
            EXPECT_EQ(reports[i].time - previous, c.frames[i].after) << c.name << " frame " << i;
            EXPECT_FALSE(reports[i].secondary) << c.name;
            previous = reports[i].time;
        }
        const SimFirmwareState state = keyboard->State();
        EXPECT_EQ(state.factoryResets, c.resets) << c.name;
        EXPECT_EQ(state.undecoded, 0) << c.name;
        if (c.job == 10) {
            EXPECT_EQ(rig.window.Count("refresh-after-reset"), c.deviceType < 300 ? 1 : 0) << c.name;
            EXPECT_EQ(rig.window.Count("close-wait"), 1) << c.name;
        }
    }
}

TEST(CommandProtocol, FactoryResetClearsWhatTheKeyboardHeld) {
    LinkRig rig;
    auto keyboard = rig.Connect(Cable201());
    std::array<uint8_t, 28> table{};
    table[1] = 0x04;
    table[14] = 0x05;
    keyboard->SetSlotTable(table);
    DeviceCommands commands(rig.manager, *rig.clock);
    SlotTable read{};
    ASSERT_TRUE(commands.QuerySlots(read));
    EXPECT_EQ(read, table);
    ASSERT_TRUE(commands.FactoryReset(201));
    ASSERT_TRUE(commands.QuerySlots(read));
    EXPECT_EQ(read, SlotTable{}) << "all slots free";
}

TEST(CommandProtocol, QuerySlotsWithoutAnswerGivesAnEmptyTableAndFalse) {
    LinkRig rig;
    auto keyboard = rig.Connect(Cable201());
    keyboard->SetNoAnswer(true);
    DeviceCommands commands(rig.manager, *rig.clock);
    SlotTable read;
    read.fill(0x33);
    EXPECT_FALSE(commands.QuerySlots(read));
    EXPECT_EQ(read, SlotTable{}) << "the request bytes are not mistaken for slot keys";
}

} // namespace
} // namespace kw::test
