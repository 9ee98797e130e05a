// Per-key colours (job 8), light frames (StreamFrame) and music levels against the simulated
// keyboard.

#include "app/device/FrameStreamer.h"
#include "app/device/InMemoryKeyColourView.h"
#include "app/device/KeyColourDownload.h"
#include "app/device/KeyGridSampling.h"
#include "app/device/MusicLevel.h"
#include "app/lighting/LightingJobs.h"
#include "tests/commands/CommandRig.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kw::test {
namespace {

using Bytes = std::vector<uint8_t>;

KeyLightRecord Colour(int code, int rgb) {
    KeyLightRecord row;
    row.profile = 1;
    row.light_id = KeyColourDownload::kLightSet;
    row.key_code = code;
    row.key_rgb = rgb;
    return row;
}

// A small layout: keys 4 to 9 on one grid row, with their colour indexes.
DeviceDefinition SmallLayout() {
    DeviceDefinition layout;
    const int indexes[] = {0, 1, 2, 109, 110, 199};
    for (int i = 0; i < 6; ++i) {
        KeyItem key;
        key.code = 4 + i;
        layout.keys.push_back(key);
        layout.colourIndex[key.code] = indexes[i];
        layout.grid[1][i] = static_cast<uint8_t>(key.code);
    }
    layout.rowCount = 2;
    layout.colCount = 6;
    return layout;
}

TEST(KeyColours, BlockByKeyIndex) {
    const std::map<int, int> map{{4, 0}, {5, 109}, {6, 110}, {7, 3}, {8, 3}};
    const KeyColourBlock block =
        KeyColourDownload::BuildBlock({Colour(4, 0x0000FF), Colour(5, 0xFF0000), Colour(6, 0x00FF00),
                                       Colour(7, 0x111111), Colour(8, 0), Colour(99, 0x222222)},
                                      map);
    KeyColourBlock expected{};
    const Bytes index0 = {0xFF, 0, 0, 0xFF}, index3 = {0, 0, 0, 0xFF}, index109 = {0, 0, 0xFF, 0xFF};
    std::copy(index0.begin(), index0.end(), expected.begin());
    std::copy(index3.begin(), index3.end(), expected.begin() + 12); // the later row of index 3, unpainted
    std::copy(index109.begin(), index109.end(), expected.begin() + 436); // index 110 and code 99 skipped
    EXPECT_EQ(block, expected);

    // Without a colour map every key lands on index 0; the last one wins.
    const KeyColourBlock unmapped =
        KeyColourDownload::BuildBlock({Colour(4, 0x0000FF), Colour(5, 0x030201)}, {});
    EXPECT_EQ(Bytes(unmapped.begin(), unmapped.begin() + 8), (Bytes{1, 2, 3, 0xFF, 0, 0, 0, 0}));
}

TEST(KeyColours, EightPartsOneMsApartFromTheStore) {
    TempDir dir;
    ConfigStore store;
    ASSERT_TRUE(store.OpenStore(dir.path(), L"K1"));
    ASSERT_EQ(store.AddKeyLights({Colour(4, 0x030201), Colour(7, 0x0C0B0A), Colour(8, 0x0F0E0D)}), 3);
    LightingState state;
    DeviceDefinition layout = SmallLayout();
    InMemoryKeyColourView view(layout.keys);
    std::atomic<bool> begun{false};
    CommandRig rig(Cable101());
    LightingJobs jobs(rig.manager, *rig.clock, store, state, layout, view, begun);
    jobs.Register(rig.link);
    const long long start = rig.NowMs();
    rig.RunJob(kJobDownloadKeyColours);

    const SimCommandLog log = rig.Log();
    ASSERT_EQ(log.colourWrites.size(), 1u);
    const std::vector<SimPart>& parts = log.colourWrites[0].parts;
    ASSERT_EQ(parts.size(), 8u);
    for (size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i].offset, static_cast<int>(60 * i));
        EXPECT_EQ(parts[i].length, i < 7 ? 60 : 20);
        EXPECT_EQ(Ms(parts[i].time) - start, static_cast<long long>(i + 1)) << "part " << i;
    }
    const Bytes payload = log.colourWrites[0].Payload();
    ASSERT_EQ(payload.size(), 440u);
    EXPECT_EQ(Bytes(payload.begin(), payload.begin() + 4), (Bytes{1, 2, 3, 0xFF}));
    EXPECT_EQ(Bytes(payload.begin() + 436, payload.end()), (Bytes{10, 11, 12, 0xFF}));
    EXPECT_EQ(rig.keyboard->State().keyColours[436], 10);
}

TEST(KeyColours, AFailedPartEndsTheTransfer) {
    CommandRig rig(Cable101());
    rig.keyboard->FailWrites(3, 2);
    KeyColourDownload download(rig.manager, *rig.clock);
    EXPECT_FALSE(download.Send(KeyColourBlock{}));
    const SimCommandLog log = rig.Log();
    ASSERT_EQ(log.colourWrites.size(), 1u);
    EXPECT_EQ(log.colourWrites[0].parts.size(), 2u);
}

TEST(KeyGridSampling, RowsAndColumnsOfThePicture) {
    const KeyGridSampling six(6, 21);
    const int rows[] = {7, 17, 27, 37, 47, 57};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(six.PictureRow(i), rows[i]);
    }
    for (int j = 0; j < 21; ++j) {
        EXPECT_EQ(six.PictureColumn(j), 12 * j);
    }
    const KeyGridSampling full(8, 32); // 62 div 8 = 7: 5, 12, ...; 255 div 32 = 7
    EXPECT_EQ(full.PictureRow(0), 5);
    EXPECT_EQ(full.PictureRow(7), 54);
    EXPECT_EQ(full.PictureColumn(31), 217);
    EXPECT_EQ(KeyGridSampling(12, 40).Rows(), 8);
    EXPECT_EQ(KeyGridSampling(12, 40).Columns(), 32);
    EXPECT_EQ(KeyGridSampling(0, 21).Rows(), 0); // nothing to sample, no division by zero
    EXPECT_EQ(KeyGridSampling(6, 0).Columns(), 0);

    std::vector<uint32_t> picture(kPictureRows * kPictureColumns, 0);
    picture[17 * kPictureColumns + 24] = 0xABCDEF;
    EXPECT_EQ(
        six.Sample(std::span<const uint32_t, kPictureRows * kPictureColumns>(picture.data(), picture.size()),
                   1, 2),
        0xABCDEFu);
}

class StreamFrameTest : public ::testing::Test {
protected:
    FrameStreamer::Outcome Stream(uint32_t colour) {
        return streamer.StreamFrame(
            layout, [colour](int, int column) { return column == 0 ? colour : 0u; }, view);
    }

    CommandRig rig{Cable101()};
    DeviceDefinition layout = SmallLayout();
    InMemoryKeyColourView view{layout.keys};
    std::atomic<bool> begun{false};
    FrameStreamer streamer{rig.manager, *rig.clock, begun};
};

TEST_F(StreamFrameTest, SendsOnlyWhenAColourValueIs2OrMore) {
    struct Case {
        uint32_t colour;
        FrameStreamer::Outcome outcome;
    };
    const Case cases[] = {{0, FrameStreamer::Outcome::Dark},
                          {1, FrameStreamer::Outcome::Dark},
                          {2, FrameStreamer::Outcome::Sent},
                          {0x000100, FrameStreamer::Outcome::Sent}};
    for (const Case& c : cases) {
        rig.keyboard->ClearReports();
        EXPECT_EQ(Stream(c.colour), c.outcome) << c.colour;
        EXPECT_EQ(view.GetKeyItems()[0].colour, c.colour); // the view shows it either way
        EXPECT_EQ(rig.keyboard->Reports().empty(), c.outcome == FrameStreamer::Outcome::Dark) << c.colour;
    }
}

TEST_F(StreamFrameTest, FrameBytesAndPacing) {
    const long long start = rig.NowMs();
    ASSERT_EQ(
        streamer.StreamFrame(
            layout, [](int, int column) { return 0x010203u * static_cast<uint32_t>(column + 1); }, view),
        FrameStreamer::Outcome::Sent);
    const SimCommandLog log = rig.Log();
    ASSERT_EQ(log.streamingBegins.size(), 1u);
    EXPECT_EQ(Ms(log.streamingBegins[0]), start);
    ASSERT_EQ(log.streamFrames.size(), 1u);
    const std::vector<SimPart>& parts = log.streamFrames[0].parts;
    ASSERT_EQ(parts.size(), 6u);
    for (size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i].offset, static_cast<int>(60 * i));
        EXPECT_EQ(parts[i].length, i < 5 ? 60 : 30);
        EXPECT_EQ(Ms(parts[i].time) - start, static_cast<long long>(i + 1));
    }
    Bytes expected(330, 0);
    const Bytes first = {3, 2, 1, 6, 4, 2, 9, 6, 3}; // key indexes 0, 1 and 2
    std::copy(first.begin(), first.end(), expected.begin());
    const Bytes last = {12, 8, 4}; // key index 109; indexes 110 and 199 are not sent
    std::copy(last.begin(), last.end(), expected.begin() + 327);
    EXPECT_EQ(log.streamFrames[0].Payload(), expected);
}

TEST_F(StreamFrameTest, BeginStreamingOncePerRunAlsoAcrossAReplug) {
    ASSERT_EQ(Stream(0xFF), FrameStreamer::Outcome::Sent);
    ASSERT_EQ(Stream(0xFF), FrameStreamer::Outcome::Sent);
    rig.hid->Unplug(rig.keyboard);
    rig.Refresh();
    EXPECT_EQ(Stream(0xFF), FrameStreamer::Outcome::NotWired); // nothing to send to
    rig.keyboard = rig.Connect(Cable101());
    rig.keyboard->ClearReports();
    ASSERT_EQ(Stream(0xFF), FrameStreamer::Outcome::Sent);
    const SimCommandLog log = rig.Log();
    EXPECT_TRUE(log.streamingBegins.empty());
    EXPECT_EQ(log.streamFrames.size(), 1u);
    EXPECT_TRUE(begun.load());
}

TEST_F(StreamFrameTest, NothingIsSentOffTheCable) {
    // A family-A model reached through a receiver: the view still shows the colours.
    CommandRig wireless(Mode(101, 1, 0x1209, 0x0005, L"VID_1209&PID_0005&MI_02"));
    FrameStreamer offCable(wireless.manager, *wireless.clock, begun);
    EXPECT_EQ(offCable.StreamFrame(
                  layout, [](int, int) { return 0xFFu; }, view),
              FrameStreamer::Outcome::NotWired);
    EXPECT_TRUE(wireless.keyboard->Reports().empty());
    EXPECT_EQ(view.GetKeyItems()[5].colour, 0xFFu);
}

TEST_F(StreamFrameTest, AFailedPartEndsTheFrameAndTheNextIsWhole) {
    ASSERT_EQ(Stream(0xFF), FrameStreamer::Outcome::Sent);
    rig.keyboard->ClearReports();
    rig.keyboard->FailWrites(2, 2);
    EXPECT_EQ(Stream(0xFF), FrameStreamer::Outcome::Failed);
    EXPECT_EQ(rig.Log().streamFrames[0].parts.size(), 1u);
    rig.keyboard->ClearReports();
    EXPECT_EQ(Stream(0xFF), FrameStreamer::Outcome::Sent);
    EXPECT_EQ(rig.Log().streamFrames[0].parts.size(), 6u);
}

TEST_F(StreamFrameTest, TheWorkerStreamsInTheMusicModeOnTheLightingPage) {
    TempDir dir;
    ConfigStore store;
    ASSERT_TRUE(store.OpenStore(dir.path(), L"K1"));
    LightingState state;
    LightingJobs jobs(rig.manager, *rig.clock, store, state, layout, view, begun);
    jobs.Register(rig.link);
    jobs.SetCellColourSource([](int, int) { return 0x00FF00u; });
    rig.window.lightingShown = true;

    rig.link.RunPass(); // no music or screen mode selected
    EXPECT_TRUE(rig.keyboard->Reports().empty());
    state.featureBits = kLightMusic;
    rig.window.lightingShown = false;
    rig.link.RunPass(); // another page is shown
    EXPECT_TRUE(rig.keyboard->Reports().empty());
    rig.window.lightingShown = true;
    rig.link.RunPass();
    EXPECT_EQ(rig.Log().streamFrames.size(), 1u);
    state.featureBits = kLightScreen;
    rig.link.RunPass();
    EXPECT_EQ(rig.Log().streamFrames.size(), 2u);
}

struct LevelCase {
    std::optional<int16_t> sample;
    float sensitivity;
    uint8_t level;
};

TEST(MusicLevel, LevelRuleAndFrame) {
    const LevelCase cases[] = {
        {32767, 2.0f, 254},      {-32768, 2.0f, 255}, {-32768, 1.0f, 128}, {255, 4.0f, 0},
        {256, 1.0f, 1},          {-512, 1.5f, 3},     {1000, 0.0f, 0},     {1000, -1.0f, 0},
        {std::nullopt, 2.0f, 0}, {32767, 4.0f, 255},
    };
    CommandRig rig(Cable201());
    for (const LevelCase& c : cases) {
        const uint8_t level = MusicLevel::Level(c.sample, c.sensitivity);
        EXPECT_EQ(level, c.level) << (c.sample ? *c.sample : 0) << " × " << c.sensitivity;
        rig.keyboard->ClearReports();
        const long long start = rig.NowMs();
        EXPECT_TRUE(MusicLevel::Send(rig.manager, 2, level));
        const SimCommandLog log = rig.Log();
        ASSERT_EQ(log.musicLevels.size(), 1u);
        EXPECT_EQ(Bytes(log.musicLevels[0].bytes.begin(), log.musicLevels[0].bytes.end()),
                  (Bytes{7, 0x23, 0x45, 0x67, 0x89, 2, c.level, 0}));
        EXPECT_EQ(rig.NowMs(), start); // no pause
    }
}

TEST(MusicLevel, SentFromTheLightingPageInTheMusicModeOnly) {
    TempDir dir;
    ConfigStore store;
    ASSERT_TRUE(store.OpenStore(dir.path(), L"K1"));
    LightingState state;
    DeviceDefinition layout = SmallLayout();
    InMemoryKeyColourView view(layout.keys);
    std::atomic<bool> begun{false};
    CommandRig rig(Cable201());
    LightingJobs jobs(rig.manager, *rig.clock, store, state, layout, view, begun);
    state.sensitivity = 2.0f;
    state.musicMode = 1;

    EXPECT_FALSE(jobs.SendMusicLevel(int16_t{32767}, true)); // not the music mode
    state.featureBits = kLightMusic;
    EXPECT_FALSE(jobs.SendMusicLevel(int16_t{32767}, false)); // another page
    EXPECT_TRUE(rig.keyboard->Reports().empty());
    EXPECT_TRUE(jobs.SendMusicLevel(int16_t{32767}, true));
    EXPECT_TRUE(jobs.SendMusicLevel(std::nullopt, true));
    const SimFirmwareState firmware = rig.keyboard->State();
    EXPECT_EQ(firmware.musicReports, 2);
    EXPECT_EQ(firmware.musicColour, 1);
    EXPECT_EQ(firmware.musicLevel, 0);
    EXPECT_EQ(view.GetKeyItems()[0].colour, 0xFFFF00u);
}

} // namespace
} // namespace kw::test
