// Windows-style interface paths built for hidraw devices, the hidapi enumeration entry, and the
// udev HID id.

#include "app/device/HidPath.h"
#include "app/device/HidapiBackend.h"
#include "app/device/UdevDeviceMonitor.h"

#include <hidapi/hidapi.h>

#include <gtest/gtest.h>

namespace kw {
namespace {

TEST(HidPath, SynthesisedPathsAndTheirNativePart) {
    struct Case {
        uint16_t vid;
        uint16_t pid;
        int interfaceNumber;
        const char* native;
        const char* path;
        bool secondary;
    };
    const Case cases[] = {
        {0x1209, 0x0001, 2, "/dev/hidraw3", "HID\\VID_1209&PID_0001&MI_02\\/dev/hidraw3", false},
        {0x1209, 0x0001, 3, "/dev/hidraw4", "HID\\VID_1209&PID_0001&MI_03\\/dev/hidraw4", true},
        {0xabcd, 0xef01, 0x1a, "/dev/hidraw0", "HID\\VID_ABCD&PID_EF01&MI_1A\\/dev/hidraw0", false},
        {0x1209, 0x0003, -1, "/dev/hidraw9", "HID\\VID_1209&PID_0003\\/dev/hidraw9", false},
        {0x1209, 0x0003, 300, "/dev/hidraw9", "HID\\VID_1209&PID_0003\\/dev/hidraw9", false},
    };
    for (const Case& c : cases) {
        const std::string path = SynthesiseInterfacePath(c.vid, c.pid, c.interfaceNumber, c.native);
        EXPECT_EQ(path, c.path);
        EXPECT_EQ(NativePathOf(path), c.native);
        EXPECT_EQ(IsSecondaryInterfacePath(path), c.secondary) << path;
    }
}

TEST(HidPath, NativePathOfRejectsOtherForms) {
    EXPECT_EQ(NativePathOf("/dev/hidraw3"), "");
    EXPECT_EQ(NativePathOf("HID\\VID_1209&PID_0001"), "");
    EXPECT_EQ(NativePathOf(""), "");
    EXPECT_EQ(NativePathOf("hid\\vid_1209&pid_0001&mi_02\\/dev/hidraw1"), "/dev/hidraw1");
}

TEST(HidPath, SecondaryMarkerIsFoundInAnyLetterCase) {
    EXPECT_TRUE(IsSecondaryInterfacePath("hid\\vid_1209&pid_0001&mi_03\\x"));
    EXPECT_TRUE(IsSecondaryInterfacePath("HID\\VID_1209&PID_0001&Mi_03\\x"));
    EXPECT_FALSE(IsSecondaryInterfacePath("HID\\VID_1209&PID_0001&MI_02\\mi_03")); // no '&' before it
    EXPECT_EQ(UpperCaseAscii("a&b\xc3\xa9z"), "A&B\xc3\xa9Z");
}

TEST(HidapiBackend, EnumerationEntryBecomesAnInterfaceWithSynthesisedPath) {
    char path[] = "/dev/hidraw5";
    wchar_t product[] = L"KW-104";
    hid_device_info device{};
    device.path = path;
    device.vendor_id = 0x1209;
    device.product_id = 0x0002;
    device.release_number = 0x0110;
    device.usage_page = 0xFF01;
    device.usage = 1;
    device.interface_number = 2;
    device.product_string = product;
    const HidInterfaceInfo info = HidapiBackend::ToInterfaceInfo(device);
    EXPECT_EQ(info.path, "HID\\VID_1209&PID_0002&MI_02\\/dev/hidraw5");
    EXPECT_EQ(info.vid, 0x1209);
    EXPECT_EQ(info.pid, 0x0002);
    EXPECT_EQ(info.release, 0x0110);
    EXPECT_EQ(info.usagePage, 0xFF01);
    EXPECT_EQ(info.usage, 1);
    EXPECT_EQ(info.interfaceNumber, 2);
    EXPECT_EQ(info.productString, L"KW-104");

    device.product_string = nullptr;
    device.path = nullptr;
    device.interface_number = -1;
    const HidInterfaceInfo bare = HidapiBackend::ToInterfaceInfo(device);
    EXPECT_EQ(bare.path, "HID\\VID_1209&PID_0002\\");
    EXPECT_EQ(bare.productString, L"");
}

TEST(HidapiBackend, OpeningAPathOfAnotherFormFails) {
    HidapiBackend backend;
    EXPECT_EQ(backend.Open("/dev/hidraw0"), nullptr);
    EXPECT_EQ(backend.Open("HID\\VID_1209&PID_0001&MI_02\\/nonexistent/hidraw"), nullptr);
}

TEST(UdevDeviceMonitor, HidIdParsing) {
    struct Case {
        const char* text;
        bool ok;
        uint16_t vid;
        uint16_t pid;
    };
    const Case cases[] = {
        {"0003:00001209:00000001", true, 0x1209, 0x0001},
        {"0005:0000ABCD:0000ef01", true, 0xABCD, 0xEF01},
        {"0003:00011209:00000001", false, 0, 0}, // beyond 16 bits
        {"0003:1209", false, 0, 0},
        {"", false, 0, 0},
        {"0003::0001", false, 0, 0},
        {"0003:12x9:0001", false, 0, 0},
    };
    for (const Case& c : cases) {
        const auto id = UdevDeviceMonitor::ParseHidId(c.text);
        ASSERT_EQ(id.has_value(), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(id->vid, c.vid) << c.text;
            EXPECT_EQ(id->pid, c.pid) << c.text;
        }
    }
}

TEST(UdevDeviceMonitor, StartsAndStopsCleanly) {
    // Containers may have no udev netlink socket: then Start fails; either way Stop returns at once
    // and may be repeated.
    UdevDeviceMonitor monitor;
    const bool started = monitor.Start([](DeviceEvent, const std::string&) {});
    if (started) {
        EXPECT_FALSE(monitor.Start([](DeviceEvent, const std::string&) {})) << "already running";
    }
    monitor.Stop();
    monitor.Stop();
    EXPECT_EQ(monitor.Start([](DeviceEvent, const std::string&) {}), started) << "restartable";
}

} // namespace
} // namespace kw
