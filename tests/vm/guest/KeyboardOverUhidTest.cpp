// The simulated keyboard's firmware served as real HID devices through /dev/uhid, found and driven
// by the program's own hidapi backend through hidraw, and hot-plugged under the device monitor.

#include "app/device/DeviceCatalog.h"
#include "app/device/DeviceCommands.h"
#include "app/device/DeviceLink.h"
#include "app/device/FrameStreamer.h"
#include "app/device/HidPath.h"
#include "app/device/HidapiBackend.h"
#include "app/device/KeyColourDownload.h"
#include "app/device/KeyDownload.h"
#include "app/device/LightCommands.h"
#include "app/device/LightFrame.h"
#include "app/device/SystemClock.h"
#include "app/device/UdevDeviceMonitor.h"
#include "tests/commands/CommandRig.h"
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

    // Runs `commands` on the keyboard served through uhid and, for reference, on the simulated
    // keyboard in this process: both firmware models must receive the same reports and end in the
    // same state. Returns the state for further checks.
    using Commands = std::function<void(HidDeviceManager& hid, LinkClock& clock)>;
    SimFirmwareState CompareWithModel(int deviceType, const std::string& tag, const Commands& commands) {
        const ModeEntry& entry = ModeOf(deviceType, 0);
        auto keyboard = Plug(entry, tag);
        if (!keyboard) {
            return {};
        }
        Refresh();
        manager.SetCurrentType(deviceType);
        keyboard->ClearReports();
        commands(manager, *clock);

        test::LinkRig reference({entry});
        reference.link.SetDeviceType(deviceType);
        auto model = reference.Connect(entry);
        reference.manager.SetCurrentType(deviceType);
        model->ClearReports();
        commands(reference.manager, *reference.clock);

        // In order on each interface; the two interfaces are separate devices, so the order
        // between them is not kept.
        std::vector<std::vector<uint8_t>> sent[2], expected[2];
        size_t count = 0;
        for (const SimReport& report : model->Reports()) {
            if (report.kind != SimReport::Kind::FeatureRead) {
                expected[report.secondary].push_back(report.bytes);
                ++count;
            }
        }
        EXPECT_TRUE(keyboard->WaitReports(count));
        for (const auto& report : keyboard->Reports()) {
            sent[report.secondary].push_back(report.bytes);
        }
        EXPECT_EQ(sent[0], expected[0]) << "the reports that crossed the kernel to the vendor interface";
        EXPECT_EQ(sent[1], expected[1]) << "the reports that crossed the kernel to the streaming interface";
        const SimFirmwareState got = keyboard->State();
        const SimFirmwareState want = model->State();
        EXPECT_EQ(got.slotTable, want.slotTable);
        EXPECT_EQ(got.keySlots, want.keySlots);
        EXPECT_EQ(got.shortcutSlots, want.shortcutSlots);
        EXPECT_EQ(got.light, want.light);
        EXPECT_EQ(got.keyMatrix, want.keyMatrix);
        EXPECT_EQ(got.macroSlots, want.macroSlots);
        EXPECT_EQ(got.lightModeA, want.lightModeA);
        EXPECT_EQ(got.lightParams.flags, want.lightParams.flags);
        EXPECT_EQ(got.lightParams.brightness, want.lightParams.brightness);
        EXPECT_EQ(got.keyColours, want.keyColours);
        EXPECT_EQ(got.streaming, want.streaming);
        EXPECT_EQ(got.streamFrame, want.streamFrame);
        EXPECT_EQ(got.streamParts, want.streamParts);
        EXPECT_EQ(got.factoryResets, want.factoryResets);
        EXPECT_EQ(got.undecoded, 0);
        EXPECT_EQ(want.undecoded, 0);
        return got;
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
    ASSERT_TRUE(keyboard->WaitReports(2));
    const auto reports = keyboard->Reports();
    ASSERT_EQ(reports.size(), 2u);
    // Two devices: the order between them is not kept.
    const bool streamFirst = reports[0].secondary;
    const auto& vendorReport = reports[streamFirst ? 1 : 0];
    const auto& streamReport = reports[streamFirst ? 0 : 1];
    EXPECT_FALSE(vendorReport.feature);
    EXPECT_FALSE(vendorReport.secondary);
    EXPECT_EQ(vendorReport.bytes, std::vector<uint8_t>(frame.begin(), frame.end()));
    EXPECT_TRUE(streamReport.secondary);
    EXPECT_EQ(streamReport.bytes, std::vector<uint8_t>(stream.begin(), stream.end()));
}

TEST_F(KeyboardOverUhid, FamilyAFactoryResetAndVersion) {
    auto keyboard = Plug(ModeOf(101, 0), "a-cable");
    ASSERT_TRUE(keyboard);
    keyboard->SetVersion(0x0311);
    Refresh();
    manager.SetCurrentType(101);
    keyboard->ClearReports();
    EXPECT_EQ(manager.ConnectionKind(), 0);
    DeviceCommands commands(manager, *clock);
    int version = 0;
    ASSERT_TRUE(commands.ReadVersion(version));
    EXPECT_EQ(version, 0x0311);
    ASSERT_TRUE(commands.FactoryReset(101));
    ASSERT_TRUE(keyboard->WaitReports(2)) << "the version request and the reset";
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

TEST_F(KeyboardOverUhid, FamilyBKeyDownloadAndLightingModeMatchTheModel) {
    test::MemorySource source;
    source.AddFunction(0x04, 2, 0x1E); // key slot: another key
    source.AddFunction(0x05, 7, 1);    // shortcut slot: a preset
    source.AddFunction(0x08, 3, 42);   // shortcut slot: a macro
    source.AddMacro(42, 0x103, {test::Press('B', 10), test::Release('B', 120)});
    LightRecord row;
    row.mode = 3;
    row.brightness = 4;
    row.speed = 2;
    row.direction = 1;
    row.colorindex = 5;
    const SimFirmwareState state =
        CompareWithModel(201, "b-download", [&](HidDeviceManager& hid, LinkClock& c) {
            EXPECT_TRUE(KeyDownload(hid, c).Run(201, source, {}));
            bool modeSent = true;
            EXPECT_TRUE(LightCommands(hid).SendLightMode(201, row, 0, modeSent));
        });
    EXPECT_EQ(state.slotTable[13 + 1], 0x04) << "key slot 1 holds key 4";
    EXPECT_EQ(state.slotTable[1], 0x05);
    EXPECT_EQ(state.slotTable[2], 0x08);
    EXPECT_EQ(state.shortcutSlots.size(), 2u);
    EXPECT_EQ(state.light.mode, 2) << "the mode is sent as mode - 1";
}

TEST_F(KeyboardOverUhid, FamilyAKeyDownloadLightingKeyColoursAndStreamMatchTheModel) {
    test::MemorySource source;
    source.AddMacro(11, 1, {test::Press('A', 5), test::Release('A', 30)});
    source.AddFunction(0x04, 2, 0x1E);
    source.AddFunction(0x05, 3, 11);
    source.AddFunction(0x06, 7, 3);
    const std::map<int, int> matrixIndex{{4, 0}, {5, 1}, {6, 2}};
    LightRecord row;
    row.mode = 7;
    row.brightness = 3;
    row.speed = 2;
    row.colorful = 1;
    row.color_value = 0x00336699;
    std::vector<KeyLightRecord> colours(3);
    for (size_t i = 0; i < colours.size(); ++i) {
        colours[i].key_code = static_cast<int>(4 + i);
        colours[i].key_rgb = static_cast<int>(0x102030 * (i + 1));
    }
    const std::map<int, int> colourIndex{{4, 0}, {5, 1}, {6, 2}};
    const SimFirmwareState state =
        CompareWithModel(101, "a-download", [&](HidDeviceManager& hid, LinkClock& c) {
            EXPECT_TRUE(KeyDownload(hid, c).Run(101, source, matrixIndex));
            bool modeSent = false;
            LightCommands light(hid);
            EXPECT_TRUE(light.SendLightMode(101, row, 0, modeSent)); // the mode
            EXPECT_TRUE(light.SendLightMode(101, row, 0, modeSent)); // then its parameters
            EXPECT_TRUE(KeyColourDownload(hid, c).Send(KeyColourDownload::BuildBlock(colours, colourIndex)));
            std::atomic<bool> begun{false};
            FrameStreamer streamer(hid, c, begun);
            for (uint8_t frame = 1; frame <= 3; ++frame) {
                std::vector<KeyColour> keys;
                for (int code = 4; code < 40; ++code) {
                    keys.push_back({code, static_cast<uint32_t>(frame * 0x010101 + code)});
                }
                std::map<int, int> index;
                for (int code = 4; code < 40; ++code) {
                    index[code] = code - 4;
                }
                EXPECT_EQ(streamer.SendFrame(LightFrame::Build(keys, index)), FrameStreamer::Outcome::Sent);
            }
        });
    EXPECT_NE(state.lightModeA, -1);
    EXPECT_FALSE(state.macroSlots.empty());
    EXPECT_NE(state.keyColours, decltype(state.keyColours){});
    EXPECT_TRUE(state.streaming);
    EXPECT_GT(state.streamParts, 0);
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
