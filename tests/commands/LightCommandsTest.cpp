// Lighting mode commands of both families (job 7) and the custom set selection, byte for byte
// against the simulated keyboard's decoded records.

#include "app/device/LightCommands.h"
#include "app/device/InMemoryKeyColourView.h"
#include "app/lighting/LightingJobs.h"
#include "tests/commands/CommandRig.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kw::test {
namespace {

using Bytes = std::vector<uint8_t>;

LightRecord Row(int mode, int brightness, int speed, int colorindex, int direction, int configFunc = 0) {
    LightRecord row;
    row.profile = LightingState::kProfile;
    row.mode = mode;
    row.brightness = brightness;
    row.speed = speed;
    row.colorindex = colorindex;
    row.direction = direction;
    row.config_func = configFunc;
    return row;
}

struct ModeCase {
    std::string name;
    LightRecord row;
    int selector;
    Bytes setLightMode;      // mode', brightness', cs', S, direction
    Bytes selectCustomLight; // the whole feature report
};

const ModeCase kModeCases[] = {
    {"brightness 0 stays 0 in both", Row(3, 0, 1, 0, 1), 0, {2, 0, 0, 0, 1}, {7, 0xFF, 0xFF, 2, 0, 1, 0, 0}},
    {"brightness 5 is 4 in SetLightMode and 5 in SelectCustomLight",
     Row(3, 5, 1, 0, 1),
     0,
     {2, 4, 0, 0, 1},
     {7, 0xFF, 0xFF, 2, 5, 1, 0, 0}},
    {"speed 0 with colour index 2: cs 0x20, cs' 0x1F",
     Row(1, 1, 0, 2, 2),
     0,
     {0, 0, 0x1F, 0, 2},
     {7, 0xFF, 0xFF, 0, 1, 0, 0, 0}},
    {"colour index 1 and speed 3: cs' 0x12",
     Row(7, 4, 3, 1, 2),
     0,
     {6, 3, 0x12, 0, 2},
     {7, 0xFF, 0xFF, 6, 4, 3, 0, 0}},
    {"the selector travels in the per-key mode",
     Row(9, 2, 2, 0, 1, kLightPerKey | kLightBrightness),
     2,
     {8, 1, 1, 2, 1},
     {7, 0xFF, 0xFF, 8, 2, 2, 0, 2}},
    {"outside the per-key mode the selector is 0",
     Row(9, 2, 2, 0, 1, kLightMusic),
     2,
     {8, 1, 1, 0, 1},
     {7, 0xFF, 0xFF, 8, 2, 2, 0, 0}},
    {"everything 0", Row(0, 0, 0, 0, 0), 0, {0, 0, 0, 0, 0}, {7, 0xFF, 0xFF, 0, 0, 0, 0, 0}},
};

TEST(LightCommands, SetLightModeWiredAfter16Ms) {
    CommandRig rig(Cable201());
    for (const ModeCase& c : kModeCases) {
        SCOPED_TRACE(c.name);
        rig.keyboard->ClearReports();
        const long long start = rig.NowMs();
        bool modeSent = true;
        EXPECT_TRUE(LightCommands(rig.manager).SendLightMode(201, c.row, c.selector, modeSent));
        const SimCommandLog log = rig.Log();
        ASSERT_EQ(log.lightModesB.size(), 1u);
        EXPECT_FALSE(log.lightModesB[0].wireless);
        EXPECT_EQ(Bytes(log.lightModesB[0].values.begin(), log.lightModesB[0].values.end()), c.setLightMode);
        EXPECT_EQ(Ms(log.lightModesB[0].time) - start, 16);
    }
}

TEST(LightCommands, SetLightModeWirelessWithoutPause) {
    CommandRig rig(Receiver201());
    ASSERT_EQ(rig.manager.ConnectionKind(), 1);
    for (const ModeCase& c : kModeCases) {
        SCOPED_TRACE(c.name);
        rig.keyboard->ClearReports();
        const long long start = rig.NowMs();
        bool modeSent = true;
        EXPECT_TRUE(LightCommands(rig.manager).SendLightMode(201, c.row, c.selector, modeSent));
        const std::vector<SimReport> reports = rig.keyboard->Reports();
        ASSERT_EQ(reports.size(), 1u);
        Bytes expected(65, 0);
        const Bytes head = {0x00,
                            0xBB,
                            0xAA,
                            0x99,
                            0x88,
                            0xAA,
                            c.setLightMode[0],
                            c.setLightMode[1],
                            c.setLightMode[2],
                            0x00,
                            c.setLightMode[3],
                            c.setLightMode[4]};
        std::copy(head.begin(), head.end(), expected.begin());
        EXPECT_EQ(reports[0].bytes, expected);
        EXPECT_EQ(rig.NowMs(), start);
        EXPECT_EQ(rig.keyboard->State().light.wireless, true);
    }
}

TEST(LightCommands, SelectCustomLightOnFamilyA) {
    CommandRig rig(Cable101());
    for (const ModeCase& c : kModeCases) {
        SCOPED_TRACE(c.name);
        rig.keyboard->ClearReports();
        const long long start = rig.NowMs();
        EXPECT_TRUE(LightCommands(rig.manager).SelectCustomLight(101, c.row, c.selector));
        const SimCommandLog log = rig.Log();
        ASSERT_EQ(log.customLights.size(), 1u);
        EXPECT_EQ(Bytes(log.customLights[0].bytes.begin(), log.customLights[0].bytes.end()),
                  c.selectCustomLight);
        EXPECT_EQ(Ms(log.customLights[0].time) - start, 16);
    }
    EXPECT_FALSE(LightCommands(rig.manager).SelectCustomLight(200, kModeCases[0].row, 0));
}

// Job 7 and the custom set through the lighting jobs, reading the rows of a real store.
class LightingJobTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store.OpenStore(dir.path(), L"K1")); }

    void Use(const ModeEntry& entry) {
        rig = std::make_unique<CommandRig>(entry);
        jobs = std::make_unique<LightingJobs>(rig->manager, *rig->clock, store, state, layout, view, begun);
        jobs->Register(rig->link);
    }
    void AddRow(LightRecord row) { ASSERT_NE(store.AddLightMode(row), 0); }

    TempDir dir;
    ConfigStore store;
    LightingState state;
    DeviceDefinition layout;
    InMemoryKeyColourView view;
    std::atomic<bool> begun{false};
    std::unique_ptr<CommandRig> rig;
    std::unique_ptr<LightingJobs> jobs;
};

TEST_F(LightingJobTest, FamilyASendsTheModeFirstThenTheParameters) {
    Use(Cable101());
    LightRecord row = Row(4, 3, 3, 0, 1);
    row.colorful = 1;
    row.color_value = 0x563412;
    AddRow(row);
    state.selectedMode = 4;
    state.modeSent = false; // a mode was just selected

    rig->RunJob(kJobDownloadLighting);
    rig->RunJob(kJobDownloadLighting);
    row.colorful = 0;
    row.direction = 6; // only its two low bits travel
    row.speed = 0x13;  // only its low nibble travels
    ASSERT_TRUE(store.UpdateLightMode(LightingState::kProfile, 4, row));
    rig->RunJob(kJobDownloadLighting);

    const SimCommandLog log = rig->Log();
    ASSERT_EQ(log.lightModesA.size(), 1u);
    EXPECT_EQ(Bytes(log.lightModesA[0].bytes.begin(), log.lightModesA[0].bytes.begin() + 5),
              (Bytes{0x00, 0x88, 0x00, 4, 0}));
    ASSERT_EQ(log.lightParams.size(), 2u);
    EXPECT_EQ(Bytes(log.lightParams[0].bytes.begin(), log.lightParams[0].bytes.begin() + 9),
              (Bytes{0x00, 0x89, 0x00, 0x53, 0x12, 0x34, 0x56, 3, 0}));
    EXPECT_EQ(Bytes(log.lightParams[1].bytes.begin(), log.lightParams[1].bytes.begin() + 9),
              (Bytes{0x00, 0x89, 0x00, 0x23, 0x12, 0x34, 0x56, 3, 0}));
    EXPECT_TRUE(log.lightModesA[0].time < log.lightParams[0].time);
    EXPECT_TRUE(state.modeSent.load());
    EXPECT_EQ(rig->window.Count("close-wait"), 3);
}

TEST_F(LightingJobTest, NothingIsSentWithoutARowOrForDeviceTypesFrom300) {
    Use(Cable101());
    AddRow(Row(4, 3, 3, 0, 1));
    state.selectedMode = 5; // no row
    rig->RunJob(kJobDownloadLighting);
    EXPECT_TRUE(rig->keyboard->Reports().empty());

    Use(Cable301());
    state.selectedMode = 4;
    rig->RunJob(kJobDownloadLighting);
    rig->RunJob(kJobDownloadKeyColours);
    EXPECT_TRUE(rig->keyboard->Reports().empty());
    EXPECT_EQ(rig->window.Count("close-wait"), 2);
}

TEST_F(LightingJobTest, FamilyBPicksTheFrameByConnection) {
    AddRow(Row(2, 5, 0, 2, 1, kLightPerKey));
    state.selectedMode = 2;
    state.selector = 1;
    for (const ModeEntry& entry : {Cable201(), Receiver201(), Bluetooth201()}) {
        Use(entry);
        rig->RunJob(kJobDownloadLighting);
        const SimCommandLog log = rig->Log();
        ASSERT_EQ(log.lightModesB.size(), 1u) << entry.mode;
        EXPECT_EQ(log.lightModesB[0].wireless, entry.mode != 0);
        EXPECT_EQ(Bytes(log.lightModesB[0].values.begin(), log.lightModesB[0].values.end()),
                  (Bytes{1, 4, 0x1F, 1, 1}));
    }
}

TEST_F(LightingJobTest, SelectCustomLightShowsTheSlotsColours) {
    Use(Cable101());
    KeyItem a, b;
    a.code = 4;
    b.code = 5;
    view.SetKeys({a, b});
    view.ResetAllItemsColor(0x123456);
    AddRow(Row(6, 2, 1, 0, 0, kLightPerKey));
    ASSERT_EQ(store.AddKeyLights({{0, 1, 128, 4, 0x0000FF}, {0, 1, 130, 5, 0x00FF00}}), 2);
    state.selectedMode = 6;
    state.selector = 2;
    EXPECT_TRUE(jobs->SelectCustomLight(101));
    EXPECT_EQ(view.GetKeyItems(), (std::vector<KeyColour>{{4, 0}, {5, 0x00FF00}}));
    const SimCommandLog log = rig->Log();
    ASSERT_EQ(log.customLights.size(), 1u);
    EXPECT_EQ(log.customLights[0].bytes[7], 2);

    rig->keyboard->ClearReports();
    EXPECT_FALSE(jobs->SelectCustomLight(201));
    EXPECT_TRUE(rig->keyboard->Reports().empty());
}

} // namespace
} // namespace kw::test
