// The host route on the real kernel: the virtual device on uhid turns Kbvirt's reports into evdev
// events, the key filter grabs a uinput stand-in keyboard through evdev, and the keys a killed
// process held are released.

#include "app/device/EvdevFilterBackend.h"
#include "app/device/Kbvirt.h"
#include "app/device/UhidBackend.h"
#include "tests/vm/guest/KernelNodes.h"
#include "tests/vm/guest/UinputKeyboard.h"

#include <gtest/gtest.h>
#include <linux/input.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <future>
#include <optional>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kw::vmtest {
namespace {

using namespace std::chrono_literals;

// The event nodes of the virtual device once the kernel has made all of them.
std::vector<std::string> VirtualDeviceNodes() {
    std::vector<std::string> nodes = WaitEventNodes(UhidBackend::kVendor, UhidBackend::kProduct);
    for (int i = 0; i < 20; ++i) { // the input devices of one HID device appear one after another
        std::this_thread::sleep_for(25ms);
        const auto now = EventNodesOf(UhidBackend::kVendor, UhidBackend::kProduct);
        if (now == nodes && !nodes.empty() && i >= 4) {
            break;
        }
        nodes = now;
    }
    return nodes;
}

std::vector<InputEvent> WithoutNodes(std::vector<InputEvent> events) {
    for (InputEvent& event : events) {
        event.node.clear();
    }
    return events;
}

TEST(HostRoute, KbvirtReportsArriveAsEvdevEvents) {
    Kbvirt kbvirt(std::make_unique<UhidBackend>());
    ASSERT_TRUE(kbvirt.FindVirtualDevice()) << "the virtual device could not be created on /dev/uhid";
    const auto nodes = VirtualDeviceNodes();
    ASSERT_FALSE(nodes.empty()) << "the virtual device has no event node";
    EventReader reader(nodes);
    ASSERT_TRUE(reader.Opened());

    struct Case {
        const char* what;
        std::function<void(bool)> act;
        int code;
    };
    const Case cases[] = {
        {"key A", [&](bool down) { kbvirt.SetKey(0x04, down); }, KEY_A},
        {"key Enter", [&](bool down) { kbvirt.SetKey(0x28, down); }, KEY_ENTER},
        {"key F1", [&](bool down) { kbvirt.SetKey(0x3A, down); }, KEY_F1},
        {"left shift", [&](bool down) { kbvirt.SetKey(0xE1, down); }, KEY_LEFTSHIFT},
        {"right alt", [&](bool down) { kbvirt.SetKey(0xE6, down); }, KEY_RIGHTALT},
        {"volume up", [&](bool down) { kbvirt.SetConsumer(234, down); }, KEY_VOLUMEUP},
        {"play/pause", [&](bool down) { kbvirt.SetConsumer(238, down); }, KEY_PLAYPAUSE},
        {"calculator", [&](bool down) { kbvirt.SetConsumer(242, down); }, KEY_CALC},
        {"home page", [&](bool down) { kbvirt.SetConsumer(241, down); }, KEY_HOMEPAGE},
        {"left button", [&](bool down) { kbvirt.SetMouseButton(1, down); }, BTN_LEFT},
        {"middle button", [&](bool down) { kbvirt.SetMouseButton(2, down); }, BTN_MIDDLE},
        {"right button", [&](bool down) { kbvirt.SetMouseButton(3, down); }, BTN_RIGHT},
        {"fourth button", [&](bool down) { kbvirt.SetMouseButton(8, down); }, BTN_SIDE},
        {"fifth button", [&](bool down) { kbvirt.SetMouseButton(7, down); }, BTN_EXTRA},
    };
    for (const Case& c : cases) {
        c.act(true);
        c.act(false);
        EXPECT_EQ(WithoutNodes(reader.Read(2, 1000ms)),
                  (std::vector<InputEvent>{{EV_KEY, c.code, 1, {}}, {EV_KEY, c.code, 0, {}}}))
            << c.what;
    }

    // A chord, then everything released at once.
    kbvirt.SetKey(0xE0, true); // left control
    kbvirt.SetKey(0x06, true); // C
    kbvirt.SetMouseButton(1, true);
    const auto held = WithoutNodes(reader.Read(3, 1000ms));
    EXPECT_EQ(held, (std::vector<InputEvent>{
                        {EV_KEY, KEY_LEFTCTRL, 1, {}}, {EV_KEY, KEY_C, 1, {}}, {EV_KEY, BTN_LEFT, 1, {}}}));
    kbvirt.ReleaseAll();
    auto released = WithoutNodes(reader.Read(3, 1000ms));
    std::sort(released.begin(), released.end(),
              [](const InputEvent& a, const InputEvent& b) { return a.code < b.code; });
    EXPECT_EQ(released,
              (std::vector<InputEvent>{
                  {EV_KEY, KEY_LEFTCTRL, 0, {}}, {EV_KEY, KEY_C, 0, {}}, {EV_KEY, BTN_LEFT, 0, {}}}));
    for (const std::string& node : nodes) {
        EXPECT_TRUE(KeysDown(node).empty()) << node;
    }
    kbvirt.CloseDevice();
    EXPECT_TRUE(EventNodesOf(UhidBackend::kVendor, UhidBackend::kProduct).empty())
        << "closing removes the device";
}

// The device is usable as soon as Kbvirt has it: what is sent right away is not lost while the
// kernel is still adding the device.
TEST(HostRoute, KeysPressedRightAfterCreationArrive) {
    Kbvirt kbvirt(std::make_unique<UhidBackend>());
    ASSERT_TRUE(kbvirt.FindVirtualDevice());
    kbvirt.SetKey(0x04, true); // A
    const auto nodes = VirtualDeviceNodes();
    ASSERT_FALSE(nodes.empty());
    std::vector<int> down;
    for (const std::string& node : nodes) {
        for (int code : KeysDown(node)) {
            down.push_back(code);
        }
    }
    EXPECT_EQ(down, std::vector<int>{KEY_A}) << "the press sent right after the device was created was lost";
    kbvirt.ReleaseAll();
}

// The next event the filter reports, or nothing within `bound` (the wait is cancelled then).
std::optional<FilterEntry> NextFilterEvent(EvdevFilterBackend& filter, std::chrono::milliseconds bound) {
    auto pending = std::async(std::launch::async, [&] {
        FilterEntry event{};
        return filter.WaitEvent(event) ? std::optional<FilterEntry>(event) : std::nullopt;
    });
    if (pending.wait_for(bound) != std::future_status::ready) {
        filter.Cancel();
    }
    return pending.get();
}

TEST(HostRoute, KeyFilterReportsWatchedKeysAndPassesTheRestThroughItsClone) {
    const std::string name = "KW stand-in keyboard";
    UinputKeyboard keyboard(name, 0x1209, 0x0001);
    ASSERT_TRUE(keyboard.Created());
    const auto original = WaitEventNodes(0x1209, 0x0001, name);
    ASSERT_EQ(original.size(), 1u);

    EvdevFilterBackend filter({{0x1209, 0x0001}});
    ASSERT_TRUE(filter.Open()) << "the filter could not grab the stand-in keyboard";
    const auto clone = WaitEventNodesNamed(EvdevFilterBackend::CloneName(name));
    ASSERT_EQ(clone.size(), 1u) << "no uinput clone of the grabbed keyboard";
    const std::vector<uint8_t> keys = {0x3A, 0x00, 7, 2,  // F1
                                       0x05, 0x00, 7, 2,  // B
                                       0xE4, 0x00, 7, 2}; // right control
    ASSERT_TRUE(filter.Control(kFilterSetKeys, keys));
    ASSERT_TRUE(filter.Control(kFilterPrepare, {}));
    ASSERT_TRUE(filter.Control(kFilterActivate, {}));

    EventReader originalReader(original);
    EventReader cloneReader(clone);
    ASSERT_TRUE(originalReader.Opened());
    ASSERT_TRUE(cloneReader.Opened());

    struct Case {
        int evdevCode;
        uint8_t keyCode;
    };
    for (const Case c : {Case{KEY_F1, 0x3A}, Case{KEY_B, 0x05}, Case{KEY_RIGHTCTRL, 0xE4}}) {
        ASSERT_TRUE(keyboard.Key(c.evdevCode, 1));
        ASSERT_TRUE(keyboard.Key(c.evdevCode, 0));
        const auto press = NextFilterEvent(filter, 2000ms);
        const auto release = NextFilterEvent(filter, 2000ms);
        ASSERT_TRUE(press && release) << "watched key " << c.evdevCode << " not reported";
        EXPECT_EQ(*press, (FilterEntry{c.keyCode, 0, 7, 1}));
        EXPECT_EQ(*release, (FilterEntry{c.keyCode, 0, 7, 0}));
    }
    // Every other key passes through the clone unchanged, autorepeat included.
    const std::vector<InputEvent> passed = {{EV_KEY, KEY_A, 1, {}},        {EV_KEY, KEY_A, 2, {}},
                                            {EV_KEY, KEY_A, 0, {}},        {EV_KEY, KEY_LEFTSHIFT, 1, {}},
                                            {EV_KEY, KEY_VOLUMEUP, 1, {}}, {EV_KEY, KEY_VOLUMEUP, 0, {}},
                                            {EV_KEY, KEY_LEFTSHIFT, 0, {}}};
    for (const InputEvent& event : passed) {
        ASSERT_TRUE(keyboard.Key(event.code, event.value));
    }
    EXPECT_EQ(WithoutNodes(cloneReader.Read(passed.size() + 1, 1000ms)), passed)
        << "the watched keys must not reach the clone, the others must";
    EXPECT_TRUE(originalReader.Read(1, 200ms).empty())
        << "the grabbed keyboard's events reached other readers";

    // Stopping releases the grab and removes the clone.
    filter.Close();
    ASSERT_TRUE(keyboard.Key(KEY_F1, 1));
    ASSERT_TRUE(keyboard.Key(KEY_F1, 0));
    EXPECT_EQ(WithoutNodes(originalReader.Read(2, 1000ms)),
              (std::vector<InputEvent>{{EV_KEY, KEY_F1, 1, {}}, {EV_KEY, KEY_F1, 0, {}}}));
    EXPECT_TRUE(WaitEventNodesNamed(EvdevFilterBackend::CloneName(name), 0ms).empty());
}

TEST(HostRoute, NoKeyStaysDownAfterTheHolderIsKilled) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        Kbvirt kbvirt(std::make_unique<UhidBackend>());
        // Pressed once the system has the device (see KeysPressedRightAfterCreationArrive).
        if (kbvirt.FindVirtualDevice() && !VirtualDeviceNodes().empty()) {
            kbvirt.SetKey(0xE0, true); // left control
            kbvirt.SetKey(0x04, true); // A
            kbvirt.SetMouseButton(1, true);
            kbvirt.SetConsumer(234, true); // volume up
            const char byte = 1;
            [[maybe_unused]] ssize_t written = write(ready[1], &byte, 1);
        }
        for (;;) {
            pause();
        }
    }
    close(ready[1]);
    pollfd wait{ready[0], POLLIN, 0};
    char byte = 0;
    const bool holding = poll(&wait, 1, 5000) == 1 && read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    std::vector<std::string> nodes;
    std::vector<int> down;
    if (holding) {
        nodes = VirtualDeviceNodes();
        for (const std::string& node : nodes) {
            for (int code : KeysDown(node)) {
                down.push_back(code);
            }
        }
    }
    EventReader reader(nodes);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(holding) << "the child could not hold keys through the virtual device";
    std::sort(down.begin(), down.end());
    ASSERT_EQ(down, (std::vector<int>{KEY_LEFTCTRL, KEY_A, KEY_VOLUMEUP, BTN_LEFT}));

    // The device goes with its owner: its readers are told so (the input core releases the held
    // keys to its handlers as it disconnects the device; evdev readers see ENODEV, not the releases).
    reader.Read(64, 2000ms);
    EXPECT_TRUE(reader.Removed()) << "the virtual device outlived the process that held its keys";
    EXPECT_TRUE(EventNodesOf(UhidBackend::kVendor, UhidBackend::kProduct).empty());
    for (const std::string& node : AllEventNodes()) {
        EXPECT_TRUE(KeysDown(node).empty()) << node << " reports a key down";
    }
}

} // namespace
} // namespace kw::vmtest
