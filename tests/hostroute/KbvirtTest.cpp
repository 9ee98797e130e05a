#include "app/device/Kbvirt.h"
#include "app/device/InMemoryVirtualBackend.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

using Frame = InMemoryVirtualBackend::Frame;

class KbvirtTest : public ::testing::Test {
protected:
    KbvirtTest() {
        auto backend = std::make_unique<InMemoryVirtualBackend>();
        device = backend.get();
        kbvirt = std::make_unique<Kbvirt>(std::move(backend));
    }

    Frame LastFrame() const {
        const auto frames = device->Frames();
        return frames.empty() ? Frame{} : frames.back();
    }

    InMemoryVirtualBackend* device = nullptr;
    std::unique_ptr<Kbvirt> kbvirt;
};

TEST_F(KbvirtTest, ControlFrameCarriesReportIdThenData) {
    const uint8_t data[] = {0x11, 0x22, 0x33};
    ASSERT_TRUE(kbvirt->Send(data, sizeof(data), 3));
    Frame expected{};
    expected[0] = 5;
    expected[1] = 3;
    expected[2] = 0x11;
    expected[3] = 0x22;
    expected[4] = 0x33;
    EXPECT_EQ(LastFrame(), expected);

    // Without a report id the data start at byte 1.
    ASSERT_TRUE(kbvirt->Send(data, sizeof(data), 0));
    expected = Frame{};
    expected[0] = 5;
    expected[1] = 0x11;
    expected[2] = 0x22;
    expected[3] = 0x33;
    EXPECT_EQ(LastFrame(), expected);
}

TEST_F(KbvirtTest, ControlFrameCutsDataToTheRoomLeft) {
    std::vector<uint8_t> data(100);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i + 1);
    ASSERT_TRUE(kbvirt->Send(data.data(), data.size(), 2));
    Frame frame = LastFrame();
    EXPECT_EQ(frame[1], 2);
    EXPECT_EQ(frame[2], 1);
    EXPECT_EQ(frame[63], 62); // 62 data bytes fit after the id

    ASSERT_TRUE(kbvirt->Send(data.data(), data.size(), 0));
    frame = LastFrame();
    EXPECT_EQ(frame[1], 1);
    EXPECT_EQ(frame[63], 63);
}

TEST_F(KbvirtTest, KeyUsagesAreBitsOfTheKeyboardBitmap) {
    struct Case {
        int usage;
        size_t byte; // in the 33-byte report
        int bit;
    };
    const Case cases[] = {{0xE1, 29, 1}, {0x04, 1, 4},  {0x00, 1, 0},
                          {0xFF, 32, 7}, {0xE0, 29, 0}, {0x28, 6, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.usage);
        kbvirt->SetKey(c.usage, true);
        auto report = kbvirt->KeyboardReport();
        std::array<uint8_t, 33> expected{};
        expected[c.byte] = static_cast<uint8_t>(1 << c.bit);
        EXPECT_EQ(report, expected);
        // The frame carries report 1 with the report's byte 0 (always 0) first.
        const Frame frame = LastFrame();
        EXPECT_EQ(frame[0], 5);
        EXPECT_EQ(frame[1], 1);
        EXPECT_EQ(frame[2], 0);
        EXPECT_EQ(frame[2 + c.byte], expected[c.byte]);
        kbvirt->SetKey(c.usage, false);
        EXPECT_EQ(kbvirt->KeyboardReport(), (std::array<uint8_t, 33>{}));
    }
}

TEST_F(KbvirtTest, UsagesOutsideTheBitmapSendNothing) {
    kbvirt->SetKey(256, true);
    kbvirt->SetKey(-1, true);
    EXPECT_EQ(device->FrameCount(), 0u);
}

TEST_F(KbvirtTest, TwoKeysOnOneUsageShareOneBit) {
    // Two physical keys mapped to A: the first release clears A although the other is held.
    kbvirt->SetKey(4, true);
    kbvirt->SetKey(4, true);
    kbvirt->SetKey(4, false);
    EXPECT_EQ(kbvirt->KeyboardReport()[1], 0);
    EXPECT_EQ(device->FrameCount(), 3u);
}

TEST_F(KbvirtTest, ConsumerUsageOnPressAndZeroOnRelease) {
    struct Case {
        int value;
        int usage;
    };
    const Case cases[] = {{232, 0x183}, {233, 0xEA},  {234, 0xE9},  {235, 0xE2}, {238, 0xCD},
                          {240, 0x18A}, {241, 0x223}, {248, 0x22A}, {249, 0x194}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        kbvirt->SetConsumer(c.value, true);
        Frame frame = LastFrame();
        EXPECT_EQ(frame[1], 3);
        EXPECT_EQ(frame[2] | (frame[3] << 8), c.usage);
        kbvirt->SetConsumer(c.value, false);
        frame = LastFrame();
        EXPECT_EQ(frame[1], 3);
        EXPECT_EQ(frame[2] | (frame[3] << 8), 0);
    }
    const size_t before = device->FrameCount();
    kbvirt->SetConsumer(231, true);
    kbvirt->SetConsumer(250, true);
    EXPECT_EQ(device->FrameCount(), before);
}

TEST_F(KbvirtTest, MouseValuesMapToButtonBits) {
    struct Case {
        int value;
        int bits; // -1: nothing is sent
    };
    const Case cases[] = {{1, 0x01}, {2, 0x04}, {3, 0x02}, {7, 0x10}, {8, 0x08},
                          {4, -1},   {5, -1},   {6, -1},   {0, -1},   {9, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        device->ClearFrames();
        kbvirt->SetMouseButton(c.value, true);
        if (c.bits < 0) {
            EXPECT_EQ(device->FrameCount(), 0u);
            EXPECT_EQ(kbvirt->MouseReport(), (std::array<uint8_t, 4>{}));
            continue;
        }
        Frame frame = LastFrame();
        EXPECT_EQ(frame[1], 2);
        EXPECT_EQ(frame[2], c.bits);
        kbvirt->SetMouseButton(c.value, false);
        EXPECT_EQ(LastFrame()[2], 0);
    }
}

TEST_F(KbvirtTest, ReleaseAllZeroesAndSendsReportsOneToFour) {
    kbvirt->SetKey(4, true);
    kbvirt->SetMouseButton(1, true);
    kbvirt->SetConsumer(234, true);
    device->ClearFrames();
    kbvirt->ReleaseAll();
    const auto frames = device->Frames();
    ASSERT_EQ(frames.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(frames[i][0], 5);
        EXPECT_EQ(frames[i][1], i + 1);
        for (size_t b = 2; b < frames[i].size(); ++b)
            ASSERT_EQ(frames[i][b], 0) << "report " << i + 1 << " byte " << b;
    }
    EXPECT_EQ(kbvirt->KeyboardReport(), (std::array<uint8_t, 33>{}));
}

TEST_F(KbvirtTest, DeviceStaysOpenBetweenEvents) {
    ASSERT_TRUE(kbvirt->FindVirtualDevice());
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(kbvirt->FindVirtualDevice());
        kbvirt->SetKey(4, i % 2 == 0);
    }
    EXPECT_EQ(device->OpenCount(), 1);
    EXPECT_EQ(device->CloseCount(), 0);
}

TEST_F(KbvirtTest, FailedWriteClosesAndTheNextEventReopens) {
    ASSERT_TRUE(kbvirt->FindVirtualDevice());
    device->SetWriteFails(true);
    kbvirt->SetKey(4, true);
    EXPECT_FALSE(device->IsOpen());
    device->SetWriteFails(false);
    kbvirt->SetKey(4, false);
    EXPECT_TRUE(device->IsOpen());
    EXPECT_EQ(device->OpenCount(), 2);
    EXPECT_EQ(device->FrameCount(), 1u);
}

TEST_F(KbvirtTest, NoDeviceMeansNothingSentAndNoSuccess) {
    device->SetOpenFails(true);
    EXPECT_FALSE(kbvirt->FindVirtualDevice());
    const uint8_t data[2] = {};
    EXPECT_FALSE(kbvirt->Send(data, 2, 4));
    kbvirt->SetKey(4, true);
    EXPECT_EQ(device->FrameCount(), 0u);
    // The report still remembers the key, so the next frame after a reopen is complete.
    device->SetOpenFails(false);
    kbvirt->SetKey(5, true);
    EXPECT_EQ(LastFrame()[3], 0x30);
}

TEST_F(KbvirtTest, DestroyingReleasesHeldInput) {
    kbvirt->SetKey(4, true);
    device->ClearFrames();
    auto* backend = device;
    std::vector<Frame> frames;
    backend->SetObserver([&frames](const Frame& frame) { frames.push_back(frame); });
    kbvirt.reset();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0][1], 1);
    EXPECT_EQ(frames[0][3], 0);
}

} // namespace
} // namespace kw
