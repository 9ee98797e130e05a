// The lighting rows created for a model the first time, and the direction values.

#include "app/lighting/LightRows.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace kw::test {
namespace {

DeviceDefinition TwoModes() {
    DeviceDefinition layout;
    layout.lightModes = {{L"1001", 1, 0x031}, {L"1006", 6, 0x100}};
    layout.defaultMode = 6;
    layout.defaultBrightness = 5;
    layout.defaultSpeed = 2;
    return layout;
}

TEST(LightRows, CreatedOnceWithTheLayoutDefaults) {
    for (const auto& [deviceType, direction] : {std::pair{201, 2}, {101, 0}, {301, 0}}) {
        TempDir dir;
        ConfigStore store;
        ASSERT_TRUE(store.OpenStore(dir.path(), L"K1"));
        ASSERT_TRUE(CreateLightRows(store, 1, TwoModes(), deviceType));
        LightRecord row;
        ASSERT_TRUE(store.GetLightMode(1, 1, row));
        EXPECT_EQ(row.name, L"1001");
        EXPECT_EQ(row.config_func, 0x031);
        EXPECT_EQ(row.brightness, 5);
        EXPECT_EQ(row.speed, 2);
        EXPECT_EQ(row.direction, direction) << deviceType;
        EXPECT_EQ(row.colorful, 1);
        EXPECT_EQ(row.color_value, 255);
        EXPECT_EQ(store.GetActiveLightMode(1), 6);

        row.brightness = 1;
        ASSERT_TRUE(store.UpdateLightMode(1, 1, row));
        ASSERT_TRUE(CreateLightRows(store, 1, TwoModes(), deviceType)); // rows exist: left alone
        EXPECT_EQ(store.CountLightModes(1), 2);
        ASSERT_TRUE(store.GetLightMode(1, 1, row));
        EXPECT_EQ(row.brightness, 1);
    }
}

TEST(LightRows, DirectionValuesOfTheDeviceTypes) {
    EXPECT_EQ(LeftDirection(200), 1);
    EXPECT_EQ(RightDirection(299), 2);
    EXPECT_EQ(LeftDirection(101), 0);
    EXPECT_EQ(RightDirection(101), 1);
    EXPECT_EQ(RightDirection(300), 1);
}

} // namespace
} // namespace kw::test
