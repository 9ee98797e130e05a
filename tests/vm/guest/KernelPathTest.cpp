// The kernel's own paths with little of the program: a uhid device with a vendor descriptor shows
// up as hidraw and is listed and driven by the program's hidapi backend; a uinput keyboard's
// events come back through evdev.

#include "app/device/HidapiBackend.h"
#include "tests/vm/guest/KernelNodes.h"
#include "tests/vm/guest/UhidDevice.h"
#include "tests/vm/guest/UinputKeyboard.h"

#include <gtest/gtest.h>
#include <linux/input.h>

#include <algorithm>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace kw::vmtest {
namespace {

constexpr uint16_t kProbeVid = 0x1209;
constexpr uint16_t kProbePid = 0x00F0;

TEST(KernelPath, UhidVendorDeviceIsListedAndDrivenThroughHidapi) {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<std::vector<uint8_t>> features, outputs;
    UhidDevice device;
    device.OnSetReport([&](std::span<const uint8_t> report) {
        std::lock_guard lock(mutex);
        features.emplace_back(report.begin(), report.end());
        return true;
    });
    device.OnGetReport([](uint8_t id, std::vector<uint8_t>& answer) {
        answer = {id, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
        return 8;
    });
    device.OnOutput([&](std::span<const uint8_t> report) {
        std::lock_guard lock(mutex);
        outputs.emplace_back(report.begin(), report.end());
        arrived.notify_all();
    });
    ASSERT_TRUE(
        device.Create({"KW probe", "kwvm-probe/input2", 0x03, kProbeVid, kProbePid, VendorDescriptor()}))
        << "no driver started the uhid device (hid-generic not loaded?)";
    const std::string node = WaitHidrawNode("kwvm-probe/input2");
    ASSERT_FALSE(node.empty()) << "no hidraw node for the uhid device";

    HidapiBackend backend;
    const auto interfaces = backend.Enumerate();
    const auto found = std::find_if(interfaces.begin(), interfaces.end(), [&](const HidInterfaceInfo& info) {
        return info.vid == kProbeVid && info.pid == kProbePid;
    });
    ASSERT_NE(found, interfaces.end()) << "hidapi did not list the device";
    EXPECT_EQ(found->usagePage, 0xFF01);
    EXPECT_EQ(found->usage, 1);
    EXPECT_EQ(found->productString, L"KW probe");
    // A device without a USB parent has no interface number, so the path has no "&MI_" part.
    EXPECT_EQ(found->interfaceNumber, -1);
    EXPECT_EQ(found->path, "HID\\VID_1209&PID_00F0\\" + node);

    auto handle = backend.Open(found->path);
    ASSERT_TRUE(handle);
    const uint8_t feature[8] = {7, 0xFB, 1, 0, 0, 0, 0, 0};
    EXPECT_EQ(handle->SendFeatureReport(feature), 8);
    uint8_t answer[8] = {7};
    EXPECT_EQ(handle->GetFeatureReport(answer), 8);
    EXPECT_EQ(std::vector<uint8_t>(answer, answer + 8),
              (std::vector<uint8_t>{7, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}));
    uint8_t output[65] = {0, 0xA5};
    output[64] = 0x5A;
    EXPECT_EQ(handle->WriteOutputReport(output), 65);

    std::unique_lock lock(mutex);
    ASSERT_TRUE(arrived.wait_for(lock, std::chrono::seconds(3), [&] { return !outputs.empty(); }));
    ASSERT_EQ(features.size(), 1u);
    EXPECT_EQ(features[0], std::vector<uint8_t>(feature, feature + 8));
    EXPECT_EQ(outputs[0], std::vector<uint8_t>(output, output + 65)) << "the report number byte is passed on";
}

TEST(KernelPath, UhidDeviceFeatureReadErrorFailsTheRead) {
    UhidDevice device;
    device.OnGetReport([](uint8_t, std::vector<uint8_t>&) { return -1; });
    ASSERT_TRUE(device.Create(
        {"KW probe", "kwvm-probe-err/input2", 0x03, kProbeVid, kProbePid + 1, VendorDescriptor()}));
    const std::string node = WaitHidrawNode("kwvm-probe-err/input2");
    ASSERT_FALSE(node.empty());
    HidapiBackend backend;
    auto handle = backend.Open("HID\\VID_1209&PID_00F1\\" + node);
    ASSERT_TRUE(handle);
    uint8_t answer[8] = {7};
    EXPECT_EQ(handle->GetFeatureReport(answer), -1);
}

TEST(KernelPath, UinputKeyboardEventsAreReadBackThroughEvdev) {
    UinputKeyboard keyboard("KW stand-in probe", 0x1209, 0x00F2);
    ASSERT_TRUE(keyboard.Created());
    const auto nodes = WaitEventNodes(0x1209, 0x00F2);
    ASSERT_EQ(nodes.size(), 1u);
    EventReader reader(nodes);
    ASSERT_TRUE(reader.Opened());
    ASSERT_TRUE(keyboard.Key(KEY_A, 1));
    ASSERT_TRUE(keyboard.Key(KEY_LEFTSHIFT, 1));
    EXPECT_EQ(KeysDown(nodes[0]), (std::vector<int>{KEY_A, KEY_LEFTSHIFT}));
    ASSERT_TRUE(keyboard.Key(KEY_LEFTSHIFT, 0));
    ASSERT_TRUE(keyboard.Key(KEY_A, 0));
    const auto events = reader.Read(4, std::chrono::milliseconds(2000));
    EXPECT_EQ(events, (std::vector<InputEvent>{{EV_KEY, KEY_A, 1, {}},
                                               {EV_KEY, KEY_LEFTSHIFT, 1, {}},
                                               {EV_KEY, KEY_LEFTSHIFT, 0, {}},
                                               {EV_KEY, KEY_A, 0, {}}}));
    EXPECT_TRUE(KeysDown(nodes[0]).empty());
}

} // namespace
} // namespace kw::vmtest
