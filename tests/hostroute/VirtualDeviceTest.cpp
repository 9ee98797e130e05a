#include "app/device/Kbvirt.h"
#include "app/device/UhidBackend.h"
#include "app/device/UinputBackend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace kw {
namespace {

// Whether the system lists an input device with our ids (vendor 0xDEED, product 0xFEED).
bool VirtualDeviceListed() {
    std::ifstream devices("/proc/bus/input/devices");
    std::string line;
    while (std::getline(devices, line)) {
        if (line.find("Vendor=deed Product=feed") != std::string::npos)
            return true;
    }
    return false;
}

bool WaitListed(bool listed) {
    for (int i = 0; i < 100; ++i) {
        if (VirtualDeviceListed() == listed)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

TEST(UhidDevice, CreatedWithOurIdsAndGoneWhenClosed) {
    if (::access("/dev/uhid", W_OK) != 0)
        GTEST_SKIP() << "/dev/uhid is absent or not writable here: the uhid device cannot be created";
    auto backend = std::make_unique<UhidBackend>();
    UhidBackend* uhid = backend.get();
    Kbvirt kbvirt(std::move(backend));
    ASSERT_TRUE(kbvirt.FindVirtualDevice());
    ASSERT_TRUE(WaitListed(true));
    kbvirt.SetKey(0xE1, true);
    kbvirt.SetConsumer(234, true);
    kbvirt.ReleaseAll();
    EXPECT_TRUE(uhid->IsOpen());
    // Closing the descriptor removes the device, and its keys with it.
    kbvirt.SetKey(4, true);
    kbvirt.CloseDevice();
    EXPECT_TRUE(WaitListed(false));
}

TEST(UinputDevice, CreatedWithOurIdsAndGoneWhenClosed) {
    if (::access("/dev/uinput", W_OK) != 0)
        GTEST_SKIP() << "/dev/uinput is absent or not writable here: the uinput device cannot be created";
    Kbvirt kbvirt(std::make_unique<UinputBackend>());
    ASSERT_TRUE(kbvirt.FindVirtualDevice());
    ASSERT_TRUE(WaitListed(true));
    kbvirt.SetKey(4, true);
    kbvirt.SetMouseButton(1, true);
    kbvirt.ReleaseAll();
    kbvirt.CloseDevice();
    EXPECT_TRUE(WaitListed(false));
}

TEST(VirtualDevice, MissingNodesMeanNoDevice) {
    Kbvirt uhid(std::make_unique<UhidBackend>("/nonexistent/uhid"));
    Kbvirt uinput(std::make_unique<UinputBackend>("/nonexistent/uinput"));
    EXPECT_FALSE(uhid.FindVirtualDevice());
    EXPECT_FALSE(uinput.FindVirtualDevice());
    const uint8_t data[2] = {};
    EXPECT_FALSE(uhid.Send(data, 2, 4));
}

} // namespace
} // namespace kw
