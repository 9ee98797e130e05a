// The simulated keyboard's firmware model: what each command of the command list sets, and the
// two answers it gives.

#include "sim/SimFirmware.h"

#include <gtest/gtest.h>

#include <vector>

namespace kw {
namespace {

std::vector<uint8_t> Feature(std::initializer_list<int> head) {
    std::vector<uint8_t> out(8, 0);
    size_t i = 0;
    for (int v : head) {
        out[i++] = static_cast<uint8_t>(v);
    }
    return out;
}

std::vector<uint8_t> Output(std::initializer_list<int> head, size_t payloadFrom = 0, int fill = -1) {
    std::vector<uint8_t> out(65, 0);
    size_t i = 0;
    for (int v : head) {
        out[i++] = static_cast<uint8_t>(v);
    }
    if (fill >= 0) {
        for (size_t j = payloadFrom; j < out.size(); ++j) {
            out[j] = static_cast<uint8_t>(fill);
        }
    }
    return out;
}

TEST(SimFirmware, FamilyBFeatureCommands) {
    SimFirmware firmware(201);
    ASSERT_TRUE(firmware.FamilyB());
    firmware.OnFeatureReport(Feature({7, 0xFA, 1, 3, 0x2C, 1, 0x05, 1})); // SetKeySlot key 0x2C → 5 in slot 3
    firmware.OnFeatureReport(Feature({7, 0xFF, 0xFF, 2, 4, 0x1F, 1, 2}));   // SetLightMode wired
    firmware.OnFeatureReport(Feature({7, 0x23, 0x45, 0x67, 0x89, 2, 200})); // MusicLevel
    const SimFirmwareState& s = firmware.State();
    EXPECT_EQ(s.slotTable[16], 0x2C);
    EXPECT_EQ(s.keySlots[3], (SimFirmwareState::KeySlot{0x2C, 0x05}));
    EXPECT_EQ(s.light, (SimFirmwareState::LightB{2, 4, 0x1F, 1, 2, false}));
    EXPECT_EQ(s.musicColour, 2);
    EXPECT_EQ(s.musicLevel, 200);
    EXPECT_EQ(s.musicReports, 1);
    EXPECT_EQ(s.undecoded, 0);
}

TEST(SimFirmware, ShortcutSlotBlockOfTwentyEightReports) {
    SimFirmware firmware(201);
    std::array<uint8_t, 168> block{};
    block[0] = 1;
    block[1] = 4;    // slot
    block[2] = 0x3A; // key
    block[3] = 1;
    for (size_t i = 4; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i);
    }
    firmware.OnFeatureReport(Feature({7, 0xF1, block[0], block[1], block[2], block[3], block[4], block[5]}));
    for (int n = 1; n < 28; ++n) {
        std::vector<uint8_t> report = {7, 0};
        report.insert(report.end(), block.begin() + 6 * n, block.begin() + 6 * n + 6);
        EXPECT_TRUE(firmware.State().shortcutSlots.empty()) << "not before the last report";
        firmware.OnFeatureReport(report);
    }
    EXPECT_EQ(firmware.State().shortcutSlots.at(4), block);
    EXPECT_EQ(firmware.State().slotTable[4], 0x3A);
}

TEST(SimFirmware, AnswersSlotTableInFourSlicesAndTheVersion) {
    SimFirmware firmware(201);
    for (size_t i = 0; i < 28; ++i) {
        firmware.State().slotTable[i] = static_cast<uint8_t>(i + 1);
    }
    firmware.State().version = 0x0312;
    firmware.OnFeatureReport(Feature({7, 0xFB, 1}));
    for (int pass = 0; pass < 4; ++pass) {
        std::array<uint8_t, 8> answer{};
        ASSERT_EQ(firmware.Answer(answer), 8);
        EXPECT_EQ(answer[0], 7);
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(answer[1 + i], 7 * pass + i + 1);
        }
    }
    firmware.OnFeatureReport(Feature({7, 0xFD}));
    std::array<uint8_t, 8> answer{};
    firmware.Answer(answer);
    EXPECT_EQ(answer[1], 0x03);
    EXPECT_EQ(answer[2], 0x12);
}

TEST(SimFirmware, FamilyAOutputCommands) {
    SimFirmware firmware(101);
    ASSERT_FALSE(firmware.FamilyB());
    firmware.OnOutputReport(Output({0, 0x8D, 40, 180, 0}, 5, 0x21), false);   // last key-matrix part
    firmware.OnOutputReport(Output({0, 0x8E, 59, 59, 0, 2}, 6, 0x44), false); // second macro part, slot 2
    firmware.OnOutputReport(Output({0, 0x88, 0, 5}), false);
    firmware.OnOutputReport(Output({0, 0x89, 0, 0x52, 10, 20, 30, 4}), false);
    firmware.OnOutputReport(Output({0, 0x8B, 20, 0xA4, 0x01}, 5, 0x77), false); // colours at 420
    firmware.OnOutputReport(Output({0, 0xF0, 0xF4, 1}), false);
    firmware.OnOutputReport(Output({0, 0xF1, 30, 0x2C, 0x01}, 5, 0x99), true); // stream part at 300
    firmware.OnFeatureReport(Feature({7, 0xFF, 0xFF, 3, 5, 2, 0, 1}));         // SelectCustomLight
    const SimFirmwareState& s = firmware.State();
    EXPECT_EQ(s.keyMatrix[179], 0);
    EXPECT_EQ(s.keyMatrix[180], 0x21);
    EXPECT_EQ(s.keyMatrix[219], 0x21);
    EXPECT_EQ(s.keyMatrix[220], 0);
    ASSERT_EQ(s.macroSlots.at(2).size(), 118u);
    EXPECT_EQ(s.macroSlots.at(2)[59], 0x44);
    EXPECT_EQ(s.lightModeA, 5);
    EXPECT_EQ(s.lightParams.flags, 0x52);
    EXPECT_EQ(s.lightParams.blue, 30);
    EXPECT_EQ(s.lightParams.brightness, 4);
    EXPECT_EQ(s.keyColours[420], 0x77);
    EXPECT_EQ(s.keyColours[439], 0x77);
    EXPECT_EQ(s.keyColours[440], 0);
    EXPECT_TRUE(s.streaming);
    EXPECT_EQ(s.streamFrame[300], 0x99);
    EXPECT_EQ(s.streamFrame[329], 0x99);
    EXPECT_EQ(s.streamFrame[330], 0);
    EXPECT_EQ(s.streamParts, 1);
    EXPECT_EQ(s.customLight.mode, 3);
    EXPECT_EQ(s.customLight.brightness, 5);
    EXPECT_EQ(s.customLight.selector, 1);
    EXPECT_EQ(s.undecoded, 0);
}

TEST(SimFirmware, WirelessLightModeAndTheTwoFrameReset) {
    SimFirmware firmware(201);
    firmware.OnFeatureReport(Feature({7, 0xFA, 1, 1, 0x04, 1, 0x05, 1}));
    firmware.OnOutputReport(Output({0, 0xBB, 0xAA, 0x99, 0x88, 0xAA, 2, 3, 0x1F, 0, 1, 2}), false);
    EXPECT_EQ(firmware.State().light, (SimFirmwareState::LightB{2, 3, 0x1F, 1, 2, true}));
    firmware.OnOutputReport(Output({0, 0xBB, 0xAA, 0x99, 0x88, 0x00}), false);
    EXPECT_EQ(firmware.State().factoryResets, 0) << "the second frame alone resets nothing";
    firmware.OnOutputReport(Output({0, 0xBB, 0xAA, 0x99, 0x88, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}), false);
    EXPECT_EQ(firmware.State().factoryResets, 0);
    firmware.OnOutputReport(Output({0, 0xBB, 0xAA, 0x99, 0x88, 0x00}), false);
    EXPECT_EQ(firmware.State().factoryResets, 1);
    EXPECT_EQ(firmware.State().slotTable[14], 0);
    EXPECT_EQ(firmware.State().light.mode, -1);
}

TEST(SimFirmware, GarbageIsCountedNotDecoded) {
    SimFirmware firmware(201);
    firmware.OnFeatureReport(std::vector<uint8_t>{});
    firmware.OnFeatureReport(std::vector<uint8_t>{7, 0xFA});
    firmware.OnFeatureReport(Feature({5, 0xFD}));
    firmware.OnFeatureReport(Feature({7, 0x42}));
    firmware.OnFeatureReport(Feature({7, 0xFA, 1, 200, 1, 1, 1, 1})); // slot beyond 10
    firmware.OnOutputReport(std::vector<uint8_t>(10, 0), false);
    firmware.OnOutputReport(Output({0, 0x8D, 255, 0xFF, 0xFF}, 5, 1), false); // far beyond the matrix
    firmware.OnOutputReport(Output({0, 0x55}), true);
    EXPECT_EQ(firmware.State().undecoded, 7);
    EXPECT_EQ(firmware.State().keyMatrix, (std::array<uint8_t, 360>{}));
}

} // namespace
} // namespace kw
