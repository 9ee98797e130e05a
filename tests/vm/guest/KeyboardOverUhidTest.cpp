// The simulated keyboard's firmware served as real HID devices through /dev/uhid, found and driven
// by the program's own hidapi backend through hidraw, and hot-plugged under the device monitor.

#include "app/device/DeviceCatalog.h"
#include "app/device/DeviceCommands.h"
#include "app/device/DeviceLink.h"
#include "app/device/HidPath.h"
#include "app/device/HidapiBackend.h"
#include "app/device/SystemClock.h"
#include "app/device/UdevDeviceMonitor.h"
#include "tests/device/LinkRig.h"
#include "tests/device/RecordingCatalogView.h"
#include "tests/vm/guest/KernelNodes.h"
#include "tests/vm/guest/PhysInterfaceBackend.h"
#include "tests/vm/guest/UeventRelay.h"
#include "tests/vm/guest/UhidKeyboard.h"
#include "ui/framework/TextConvert.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>

namespace kw::vmtest {
namespace {

using namespace std::chrono_literals;

std::filesystem::path ProductFolder() {
    const char* folder = std::getenv("KW_VM_PRODUCT_DIR");
    return folder ? folder : "/guest/product";
}

class KeyboardOverUhid : public ::testing::Test {
protected:
    void SetUp() override {
        catalog.LoadProductDescription();
        ASSERT_FALSE(catalog.Modes().empty()) << "config.xml not found in " << ProductFolder();
        for (const KnownDevice& known : catalog.KnownDevices()) {
            manager.AddKnown(known);
        }
        link.SetModes(catalog.Modes());
    }

    const ModeEntry& ModeOf(int deviceType, int mode) {
        for (const ModeEntry& entry : catalog.Modes()) {
            if (entry.device_type == deviceType && entry.mode == mode) {
                return entry;
            }
        }
        ADD_FAILURE() << "config.xml has no mode " << mode << " of device type " << deviceType;
        static const ModeEntry none;
        return none;
    }

    // Plugs the keyboard and waits until the kernel shows its hidraw nodes.
    std::unique_ptr<UhidKeyboard> Plug(const ModeEntry& entry, const std::string& tag) {
        auto keyboard = std::make_unique<UhidKeyboard>(entry, tag);
        if (!keyboard->Plug() || WaitHidrawNode(keyboard->Phys(keyboard->VendorInterface())).empty()) {
            ADD_FAILURE() << "the keyboard " << tag << " did not appear as hidraw";
            return nullptr;
        }
        return keyboard;
    }

    void Refresh() {
        link.Rescan();
        link.UpdateConnection();
        Drain();
    }
    // Runs the queued jobs and those they post.
    void Drain() {
        for (int pass = 0; pass < 16 && link.PendingJobs() > 0; ++pass) {
            link.RunPass();
        }
    }

    test::RecordingCatalogView view;
    DeviceCatalog catalog{ProductFolder(), view};
    std::shared_ptr<SystemClock> clock = std::make_shared<SystemClock>();
    HidDeviceManager manager{std::make_shared<PhysInterfaceBackend>(std::make_shared<HidapiBackend>()),
                             clock};
    test::RecordingWindow window;
    DeviceLink link{manager, *clock, window};
};

TEST_F(KeyboardOverUhid, FamilyBCableIsFoundAndAnswersItsQueries) {
    const ModeEntry& cable = ModeOf(201, 0);
    auto keyboard = Plug(cable, "b-cable");
    ASSERT_TRUE(keyboard);
    std::array<uint8_t, 28> table{};
    for (size_t i = 1; i < 24; ++i) {
        table[i] = static_cast<uint8_t>(0x04 + i);
    }
    keyboard->SetSlotTable(table);
    keyboard->SetVersion(0x0207);

    Refresh();
    std::vector<DeviceRecord> records;
    ASSERT_TRUE(manager.Records(records));
    ASSERT_EQ(records.size(), 1u)
        << "one vendor interface; the boot keyboard and the streaming interface are no records";
    EXPECT_EQ(records[0].vid, cable.vid);
    EXPECT_EQ(records[0].pid, cable.pid);
    EXPECT_EQ(records[0].deviceType, 201);
    EXPECT_EQ(records[0].mode, 0);
    EXPECT_NE(records[0].path.find("&MI_02\\/dev/hidraw"), std::string::npos) << records[0].path;
    EXPECT_TRUE(manager.HasSecondary());
    EXPECT_TRUE(link.InterfacesFound());
    EXPECT_EQ(link.ConnectionKind(), 0);

    manager.SetCurrentType(201);
    keyboard->ClearReports(); // the connection update read the version
    DeviceCommands commands(manager, *clock);
    SlotTable read{};
    ASSERT_TRUE(commands.QuerySlots(read));
    for (size_t i = 1; i < 24; ++i) {
        EXPECT_EQ(read[i], table[i]) << "slot table byte " << i;
    }
    int version = 0;
    ASSERT_TRUE(commands.ReadVersion(version));
    EXPECT_EQ(version, 0x0207);

    ASSERT_TRUE(commands.FactoryReset(201));
    const SimFirmwareState state = keyboard->State();
    EXPECT_EQ(state.factoryResets, 1);
    EXPECT_EQ(state.undecoded, 0);

    // The frames crossed the kernel whole: feature reports through UHID_SET_REPORT.
    const auto reports = keyboard->Reports();
    ASSERT_FALSE(reports.empty());
    const FeatureReport query = QuerySlotsRequest();
    EXPECT_TRUE(reports.front().feature);
    EXPECT_EQ(reports.front().bytes, std::vector<uint8_t>(query.begin(), query.end()));
    const FeatureReport reset = FactoryResetWired();
    EXPECT_EQ(reports.back().bytes, std::vector<uint8_t>(reset.begin(), reset.end()));
}

TEST_F(KeyboardOverUhid, OutputReportsReachTheVendorAndStreamingInterfaces) {
    auto keyboard = Plug(ModeOf(201, 0), "b-out");
    ASSERT_TRUE(keyboard);
    Refresh();
    manager.SetCurrentType(201);
    keyboard->ClearReports();
    OutputReport frame = MakeOutputPart(0x21, 61, 0x0102, std::vector<uint8_t>(61, 0x3C));
    ASSERT_TRUE(manager.WriteReport(frame));
    OutputReport stream = MakeOutputPart(0x22, 61, 0, std::vector<uint8_t>(61, 0xC3));
    ASSERT_TRUE(manager.WriteSecondary(stream));
    const auto reports = keyboard->Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_FALSE(reports[0].feature);
    EXPECT_FALSE(reports[0].secondary);
    EXPECT_EQ(reports[0].bytes, std::vector<uint8_t>(frame.begin(), frame.end()));
    EXPECT_TRUE(reports[1].secondary);
    EXPECT_EQ(reports[1].bytes, std::vector<uint8_t>(stream.begin(), stream.end()));
}

TEST_F(KeyboardOverUhid, FamilyAFactoryResetAndVersion) {
    auto keyboard = Plug(ModeOf(101, 0), "a-cable");
    ASSERT_TRUE(keyboard);
    keyboard->SetVersion(0x0311);
    Refresh();
    manager.SetCurrentType(101);
    EXPECT_EQ(manager.ConnectionKind(), 0);
    DeviceCommands commands(manager, *clock);
    int version = 0;
    ASSERT_TRUE(commands.ReadVersion(version));
    EXPECT_EQ(version, 0x0311);
    ASSERT_TRUE(commands.FactoryReset(101));
    EXPECT_EQ(keyboard->State().factoryResets, 1);
    const OutputReport reset = FactoryResetA();
    ASSERT_FALSE(keyboard->Reports().empty());
    EXPECT_EQ(keyboard->Reports().back().bytes, std::vector<uint8_t>(reset.begin(), reset.end()));
}

TEST_F(KeyboardOverUhid, ConnectionKindFollowsThePluggedModes) {
    struct Case {
        std::vector<int> modes;
        int kind;
    };
    const Case cases[] = {{{1}, 1}, {{2}, 2}, {{1, 2}, 2}, {{2, 0}, 0}};
    int serial = 0;
    for (const Case& c : cases) {
        std::vector<std::unique_ptr<UhidKeyboard>> plugged;
        for (int mode : c.modes) {
            plugged.push_back(Plug(ModeOf(201, mode), "kind" + std::to_string(serial++)));
            ASSERT_TRUE(plugged.back());
        }
        Refresh();
        manager.SetCurrentType(201);
        EXPECT_EQ(manager.ConnectionKind(), c.kind) << "plugged modes " << ::testing::PrintToString(c.modes);
        plugged.clear(); // removed synchronously: their hidraw nodes are gone
    }
}

TEST_F(KeyboardOverUhid, HotPlugThroughTheDeviceMonitorPostsArrivalAndRemovalJobs) {
    UeventRelay relay;
    ASSERT_TRUE(relay.Start());
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<DeviceEvent, std::string>> events;
    std::map<std::string, std::string> paths; // native node → path with its interface number
    std::vector<ModeEntry> modes = catalog.Modes();
    std::vector<int> jobs; // what the device-change rule makes of each event
    UdevDeviceMonitor monitor;
    ASSERT_TRUE(monitor.Start([&](DeviceEvent event, const std::string& path) {
        std::lock_guard lock(mutex);
        const std::string native = NativePathOf(path);
        std::string named = event == DeviceEvent::Arrival ? WithPhysInterfaceNumber(path) : paths[native];
        if (event == DeviceEvent::Arrival) {
            paths[native] = named;
        }
        if (named.empty()) {
            named = path;
        }
        events.emplace_back(event, named);
        if (const int job = MatchDeviceChange(modes, event, named)) {
            jobs.push_back(job);
        }
        link.OnDeviceChange(event, named);
        changed.notify_all();
    }));
    auto waitFor = [&](DeviceEvent event, const std::string& pattern) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s, [&] {
            for (const auto& [e, path] : events) {
                if (e == event && UpperCaseAscii(path).find(pattern) != std::string::npos) {
                    return true;
                }
            }
            return false;
        });
    };

    const ModeEntry& cable = ModeOf(201, 0);
    const std::string pattern = UpperCaseAscii(vellum::ToUtf8(cable.hid_interface));
    auto keyboard = Plug(cable, "hotplug");
    ASSERT_TRUE(keyboard);
    ASSERT_TRUE(waitFor(DeviceEvent::Arrival, pattern))
        << "no arrival of " << pattern << " (relayed " << relay.Relayed() << " kernel events)";
    EXPECT_EQ(link.PendingJobs(), 1u) << "one job 2 for the vendor interface; the others match no mode";
    Drain();
    EXPECT_EQ(link.ConnectionKind(), 0);
    EXPECT_TRUE(manager.HasSecondary());
    {
        std::lock_guard lock(mutex);
        modes = link.Modes(); // with the connected mark the rescan set, as the removal rule needs
    }

    keyboard->Unplug();
    ASSERT_TRUE(waitFor(DeviceEvent::Removal, pattern));
    EXPECT_EQ(link.PendingJobs(), 1u) << "one job 3";
    Drain();
    EXPECT_EQ(link.ConnectionKind(), -1);
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(jobs, (std::vector<int>{kJobArrival, kJobRemoval}));
    }

    // Plugged again, the device is found again.
    {
        std::lock_guard lock(mutex);
        events.clear();
    }
    keyboard = Plug(cable, "hotplug");
    ASSERT_TRUE(keyboard);
    ASSERT_TRUE(waitFor(DeviceEvent::Arrival, pattern));
    Drain();
    EXPECT_EQ(link.ConnectionKind(), 0);
    monitor.Stop();
    relay.Stop();
}

} // namespace
} // namespace kw::vmtest
