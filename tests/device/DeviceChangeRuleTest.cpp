// Which job an arrival or removal posts: GATT paths ignored, upper-cased paths against patterns
// written in upper case, first entry wins, removals only for connected entries.

#include "tests/device/LinkRig.h"

#include "app/device/DeviceChangeRule.h"

#include <gtest/gtest.h>

namespace kw::test {
namespace {

TEST(DeviceChangeRule, ArrivalsAndRemovals) {
    const std::string cable = "HID\\VID_1209&PID_0001&MI_02\\/dev/hidraw3";
    const std::string bluetooth = "HID\\VID_1209&PID_0003\\/dev/hidraw7";
    const std::string gatt = "HID\\VID_1209&PID_0003\\{00001812-0000-1000-8000-00805f9b34fb}_dev";
    struct Case {
        const char* name;
        std::vector<ModeEntry> modes;
        std::vector<int> connected; // indexes marked connected before the event
        DeviceEvent event;
        std::string path;
        int job;
        int clearedIndex; // entry whose mark the event clears, -1 none
    };
    const Case cases[] = {
        {"cable arrival", ProductModes(), {}, DeviceEvent::Arrival, cable, 2, -1},
        {"lower-case path arrival",
         ProductModes(),
         {},
         DeviceEvent::Arrival,
         "hid\\vid_1209&pid_0001&mi_02\\/dev/hidraw3",
         2,
         -1},
        {"Bluetooth HID arrival", ProductModes(), {}, DeviceEvent::Arrival, bluetooth, 2, -1},
        {"GATT service arrival ignored", ProductModes(), {}, DeviceEvent::Arrival, gatt, 0, -1},
        {"GATT service removal ignored", ProductModes(), {2}, DeviceEvent::Removal, gatt, 0, -1},
        {"unknown device",
         ProductModes(),
         {},
         DeviceEvent::Arrival,
         "HID\\VID_046D&PID_C52B&MI_02\\x",
         0,
         -1},
        {"lower-case pattern never matches",
         {Mode(201, 0, 0x1209, 0x0001, L"vid_1209&pid_0001&mi_02")},
         {},
         DeviceEvent::Arrival,
         cable,
         0,
         -1},
        {"empty pattern never matches",
         {Mode(201, 0, 0x1209, 0x0001, L"")},
         {},
         DeviceEvent::Arrival,
         cable,
         0,
         -1},
        {"removal of a connected entry", ProductModes(), {0}, DeviceEvent::Removal, cable, 3, 0},
        {"removal of an entry never connected", ProductModes(), {1}, DeviceEvent::Removal, cable, 0, -1},
        {"first entry wins on removal",
         {Mode(201, 0, 0x1209, 0x0001, L"VID_1209&PID_0001"), Mode(101, 0, 0x1209, 0x0001, L"VID_1209")},
         {0, 1},
         DeviceEvent::Removal,
         cable,
         3,
         0},
        {"a later connected entry when the first is not",
         {Mode(201, 0, 0x1209, 0x0001, L"VID_1209&PID_0001"), Mode(101, 0, 0x1209, 0x0001, L"VID_1209")},
         {1},
         DeviceEvent::Removal,
         cable,
         3,
         1},
    };
    for (const Case& c : cases) {
        std::vector<ModeEntry> modes = c.modes;
        for (int index : c.connected) {
            modes[index].connected = 1;
        }
        EXPECT_EQ(MatchDeviceChange(modes, c.event, c.path), c.job) << c.name;
        for (size_t i = 0; i < modes.size(); ++i) {
            const bool wasConnected =
                std::find(c.connected.begin(), c.connected.end(), int(i)) != c.connected.end();
            const int expected = static_cast<int>(i) == c.clearedIndex ? 0 : (wasConnected ? 1 : 0);
            EXPECT_EQ(modes[i].connected, expected) << c.name << " entry " << i;
        }
    }
}

TEST(DeviceChangeRule, OneRemovalIsActedOnOncePerConnection) {
    std::vector<ModeEntry> modes = ProductModes();
    modes[0].connected = 1;
    const std::string path = "HID\\VID_1209&PID_0001&MI_02\\/dev/hidraw3";
    EXPECT_EQ(MatchDeviceChange(modes, DeviceEvent::Removal, path), 3);
    EXPECT_EQ(MatchDeviceChange(modes, DeviceEvent::Removal, path), 0);
}

} // namespace
} // namespace kw::test
