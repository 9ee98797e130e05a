// The worker pass, the rescan and connection update, and the jobs carried out by the link, on the
// simulated keyboard.

#include "tests/device/LinkRig.h"

#include "app/device/DeviceWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <thread>

namespace kw::test {
namespace {

using namespace std::chrono_literals;

// Registers a handler for every code that records the codes it ran.
struct HandlerLog {
    explicit HandlerLog(DeviceLink& link) {
        for (int code = 1; code <= 15; ++code) {
            link.SetJobHandler(code, [this](const JobContext& context) {
                std::lock_guard lock(mutex);
                codes.push_back(context.code);
                contexts.push_back(context);
            });
        }
    }
    std::vector<int> Codes() {
        std::lock_guard lock(mutex);
        return codes;
    }
    std::mutex mutex;
    std::vector<int> codes;
    std::vector<JobContext> contexts;
};

TEST(DeviceLink, WithoutKeyboardOnlyCodesOneTwoThreeAndTwelveRun) {
    for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 13, 14, 15}) {
        LinkRig rig;
        HandlerLog log(rig.link);
        rig.link.PostJob(code);
        rig.link.RunPass();
        EXPECT_EQ(rig.link.PendingJobs(), 0u) << "job " << code << " is taken, run or dropped";
        const bool scans = code == 1 || code == 2 || code == 3;
        EXPECT_EQ(rig.window.Count("reset-devices"), scans ? 1 : 0) << code;
        EXPECT_EQ(rig.window.Count("show no-keyboard -1"), scans ? 1 : 0) << code;
        EXPECT_EQ(log.Codes(), code == 12 ? std::vector<int>{12} : std::vector<int>{}) << code;
        EXPECT_EQ(rig.window.Count("disable"), 0) << code;
        EXPECT_EQ(rig.window.Count("close-wait"), (code == 6 || code == 7 || code == 8 || code == 10) ? 1 : 0)
            << "a dropped job still releases the page waiting for it: " << code;
    }
}

TEST(DeviceLink, FirstConnectionRunsOncePerRun) {
    LinkRig rig;
    rig.hid->PlugIn(Cable201());
    rig.link.PostJob(1);
    rig.link.PostJob(1);
    rig.link.RunPass();
    EXPECT_TRUE(rig.link.FirstConnectionDone());
    EXPECT_EQ(rig.window.Count("visualiser"), 1);
    rig.link.RunPass();
    EXPECT_EQ(rig.window.Count("reset-devices"), 1);
    EXPECT_EQ(rig.window.Count("visualiser"), 1);
}

TEST(DeviceLink, RescanMarksConnectedModesAndUpdateConnectionPostsFirmwareThenRefresh) {
    LinkRig rig;
    rig.hid->PlugIn(Receiver201());
    rig.hid->PlugIn(Bluetooth201());
    rig.link.PostJob(2);
    rig.link.RunPass();
    EXPECT_TRUE(rig.link.InterfacesFound());
    EXPECT_TRUE(rig.link.ModeMatched());
    EXPECT_EQ(rig.link.ConnectionKind(), 2);
    const auto modes = rig.link.Modes();
    EXPECT_EQ(modes[0].connected, 0);
    EXPECT_EQ(modes[1].connected, 1);
    EXPECT_EQ(modes[2].connected, 1);
    EXPECT_EQ(modes[3].connected, 0);
    const std::vector<std::string> expected = {"reset-devices", "device 201 1",     "device 201 1",
                                               "hide-popups",   "show connected 2", "disable",
                                               "enable"};
    EXPECT_EQ(rig.window.Calls(), expected);
    HandlerLog log(rig.link);
    rig.link.RunPass();
    rig.link.RunPass();
    EXPECT_EQ(log.Codes(), (std::vector<int>{13, 5}));
}

// The window may look at the modes (from any thread) while it is told a model is connected.
TEST(DeviceLink, RescanTellsTheWindowWithoutHoldingTheModes) {
    struct ModesReadingWindow : WorkerWindow {
        void SetDeviceState(int deviceType, int state) override {
            // Kept until the test ends: a read still blocked must not block the rescan too.
            reads.push_back(std::async(std::launch::async, [this] { return link->Modes(); }));
            readable.push_back(reads.back().wait_for(2s) == std::future_status::ready);
            states.push_back({deviceType, state});
        }
        DeviceLink* link = nullptr;
        std::vector<std::future<std::vector<ModeEntry>>> reads;
        std::vector<bool> readable;
        std::vector<std::pair<int, int>> states;
    };
    auto clock = std::make_shared<VirtualClock>();
    auto hid = std::make_shared<SimulatedHid>(clock);
    HidDeviceManager manager(hid, clock);
    for (const ModeEntry& entry : ProductModes()) {
        manager.AddKnown(Known(entry));
    }
    ModesReadingWindow window;
    DeviceLink link(manager, *clock, window);
    window.link = &link;
    link.SetModes(ProductModes());
    hid->PlugIn(Cable201());
    hid->PlugIn(Cable101());
    link.Rescan();
    EXPECT_TRUE(link.ModeMatched());
    EXPECT_EQ(window.states, (std::vector<std::pair<int, int>>{{201, 1}, {101, 1}}));
    EXPECT_EQ(window.readable, (std::vector<bool>{true, true}));
    for (auto& read : window.reads) {
        read.wait(); // before the link goes
    }
}

TEST(DeviceLink, WirelessInterfaceWithoutMatchingModeShowsTheReceiverAlone) {
    // The receiver is known without a product name, but the mode entry wants one it does not give.
    LinkRig rig({Mode(201, 1, 0x1209, 0x0002, L"VID_1209&PID_0002&MI_02")});
    std::vector<ModeEntry> modes = {Mode(201, 1, 0x1209, 0x0002, L"VID_1209&PID_0002&MI_02", L"KW-104")};
    rig.link.SetModes(modes);
    rig.hid->PlugIn(Receiver201());
    rig.link.Rescan();
    rig.link.UpdateConnection();
    EXPECT_TRUE(rig.link.InterfacesFound());
    EXPECT_FALSE(rig.link.ModeMatched());
    EXPECT_EQ(rig.window.Calls().back(), "show receiver-only 1");
    EXPECT_EQ(rig.link.PendingJobs(), 0u);
    rig.link.PostJob(7);
    rig.link.RunPass();
    EXPECT_EQ(rig.link.PendingJobs(), 0u);
    EXPECT_EQ(rig.window.Count("disable"), 0) << "dropped without a matching mode";
}

TEST(DeviceLink, OneJobPerPassThenTheMacroQueue) {
    LinkRig rig;
    rig.Connect(Cable201());
    rig.window.Clear();
    HandlerLog log(rig.link);
    std::vector<int> played;
    rig.link.SetMacroPlayer([&](int id) {
        played.push_back(id);
        rig.window.Add("macro " + std::to_string(id));
    });
    rig.link.PostJob(4);
    rig.link.PostJob(5);
    rig.link.PostParamJob(9);
    rig.link.PostParamJob(10);
    rig.link.RunPass();
    EXPECT_EQ(rig.link.PendingJobs(), 1u);
    EXPECT_EQ(rig.link.PendingMacros(), 1u);
    EXPECT_EQ(rig.window.Calls(), (std::vector<std::string>{"disable", "enable", "macro 9"}));
    EXPECT_EQ(log.Codes(), std::vector<int>{}) << "job 4 does nothing but the frame";
    rig.link.RunPass();
    rig.link.RunPass();
    EXPECT_EQ(played, (std::vector<int>{9, 10}));
    EXPECT_EQ(log.Codes(), (std::vector<int>{5}));
}

TEST(DeviceLink, DroppedJobEndsThePassBeforeTheMacroQueue) {
    LinkRig rig;
    int played = 0;
    rig.link.SetMacroPlayer([&](int) { ++played; });
    rig.link.PostJob(5);
    rig.link.PostParamJob(1);
    rig.link.RunPass();
    EXPECT_EQ(played, 0);
    rig.link.RunPass(); // nothing queued, no interface: the pass ends before the macro queue too
    EXPECT_EQ(played, 0);
    rig.Connect(Cable201());
    rig.link.RunPass();
    EXPECT_EQ(played, 1);
}

TEST(DeviceLink, DownloadJobsCloseTheWaitDialogAndPause) {
    for (int code : {4, 5, 6, 7, 8, 10, 13}) {
        LinkRig rig;
        rig.Connect(Cable201());
        rig.window.Clear();
        const auto start = rig.clock->Now();
        rig.link.PostJob(code);
        rig.link.RunPass();
        const bool closes = code == 6 || code == 7 || code == 8 || code == 10;
        EXPECT_EQ(rig.window.Count("close-wait"), closes ? 1 : 0) << code;
        if (closes) {
            EXPECT_GE(rig.clock->Now() - start, 100ms) << code;
        }
        EXPECT_EQ(rig.window.Calls().front(), "disable") << code;
        EXPECT_EQ(rig.window.Calls().back(), "enable") << code;
    }
}

TEST(DeviceLink, FirmwareVersionJobReadsTheVersion) {
    struct Case {
        bool answers;
        bool handler;
        int version;
    };
    for (const Case c : {Case{true, false, 0x0105}, Case{false, false, -1}, Case{true, true, 0x0105},
                         Case{false, true, -1}}) {
        LinkRig rig;
        auto keyboard = rig.Connect(Cable201());
        keyboard->SetNoAnswer(!c.answers);
        keyboard->ClearReports();
        int handed = -2;
        if (c.handler) {
            // The firmware check reads the version itself, after asking the server.
            rig.link.SetJobHandler(13, [&](const JobContext& context) {
                EXPECT_EQ(context.family, ProtocolFamily::B);
                EXPECT_EQ(context.connectionKind, 0);
                EXPECT_TRUE(keyboard->Reports().empty());
                handed = context.readFirmwareVersion();
            });
        }
        rig.link.PostJob(13);
        rig.link.RunPass();
        EXPECT_EQ(rig.link.FirmwareVersion(), c.version);
        EXPECT_EQ(handed, c.handler ? c.version : -2);
    }
}

TEST(DeviceLink, ReceiverWithoutItsKeyboardGivesNoVersion) {
    LinkRig rig;
    auto receiver = rig.hid->Create(Receiver201());
    receiver->SetKeyboardPresent(false);
    rig.hid->Plug(receiver);
    rig.Refresh();
    EXPECT_TRUE(rig.link.InterfacesFound());
    EXPECT_EQ(rig.link.FirmwareVersion(), -1);
    EXPECT_TRUE(receiver->Reports().empty());
}

TEST(DeviceLink, StreamingRunsOnlyWhenIdleOnTheLightingPageOfAFamilyAKeyboard) {
    struct Case {
        ModeEntry plugged;
        int deviceType;
        bool lightingShown;
        bool jobQueued;
        bool streams;
    };
    const Case cases[] = {
        {Cable101(), 101, true, false, true},
        {Cable101(), 101, false, false, false},
        {Cable101(), 101, true, true, false},
        {Cable201(), 201, true, false, false},
    };
    for (const Case& c : cases) {
        LinkRig rig;
        rig.link.SetDeviceType(c.deviceType);
        rig.Connect(c.plugged);
        rig.window.lightingShown = c.lightingShown;
        int frames = 0;
        rig.link.SetFrameStreamer([&] { ++frames; });
        if (c.jobQueued) {
            rig.link.PostJob(4);
        }
        rig.link.RunPass();
        EXPECT_EQ(frames, c.streams ? 1 : 0) << c.deviceType << " " << c.lightingShown << " " << c.jobQueued;
    }
}

TEST(DeviceLink, UnplugInTheMiddleOfAWirelessResetPostsTheRemovalAndTheNextRescanSeesIt) {
    LinkRig rig;
    auto keyboard = rig.Connect(Receiver201());
    rig.Monitor();
    keyboard->ClearReports();
    keyboard->UnplugAfterReports(1);
    rig.link.PostJob(10);
    rig.link.RunPass();
    const auto reports = keyboard->Reports();
    ASSERT_EQ(reports.size(), 1u) << "the second frame never arrives";
    EXPECT_FALSE(keyboard->Plugged());
    EXPECT_EQ(rig.link.PendingJobs(), 1u) << "one removal job for the connected receiver";
    rig.link.RunPass();
    EXPECT_FALSE(rig.link.InterfacesFound());
    EXPECT_EQ(rig.window.Calls().back(), "show no-keyboard -1");
}

TEST(DeviceLink, StalledWriteDoesNotHoldTheWorker) {
    LinkRig rig;
    rig.link.SetDeviceType(101);
    auto keyboard = rig.Connect(Cable101());
    keyboard->StallWrites(true);
    HandlerLog log(rig.link);
    rig.link.PostJob(10);
    rig.link.PostJob(5);
    rig.link.RunPass(); // the reset's write fails after the bound
    EXPECT_EQ(rig.window.Count("refresh-after-reset"), 1);
    rig.link.RunPass();
    EXPECT_EQ(log.Codes(), std::vector<int>{5});
    keyboard->StallWrites(false);
}

TEST(DeviceLink, StormOfPlugEventsWhileTheWorkerRuns) {
    LinkRig rig;
    rig.Monitor();
    DeviceWorker worker(rig.link);
    worker.SetInterval(1ms);
    ASSERT_TRUE(worker.Start());
    auto cable = rig.hid->Create(Cable201());
    auto bluetooth = rig.hid->Create(Bluetooth201());
    std::thread plugger([&] {
        for (int i = 0; i < 1000; ++i) {
            rig.hid->Plug(i % 2 ? cable : bluetooth);
            rig.hid->Unplug(i % 3 ? cable : bluetooth);
        }
    });
    std::thread ui([&] {
        for (int i = 0; i < 500; ++i) {
            rig.manager.SendFeatureDelayedEx(MakeFeatureCommand(0xFF, {0xFF}));
        }
    });
    plugger.join();
    ui.join();
    worker.Stop();
    rig.hid->Plug(cable);
    rig.link.Rescan();
    std::vector<DeviceRecord> records;
    rig.manager.Records(records);
    const bool bluetoothPlugged = bluetooth->Plugged();
    EXPECT_EQ(records.size(), bluetoothPlugged ? 2u : 1u);
    EXPECT_TRUE(rig.link.InterfacesFound());
    EXPECT_TRUE(rig.link.ModeMatched());
}

TEST(CThreadBasic, RunsUntilStoppedAndCanStartAgain) {
    struct Counter : CThreadBasic {
        ~Counter() override { Stop(); }
        void Run() override {
            std::lock_guard lock(mutex);
            ++runs;
            changed.notify_all();
        }
        void WaitFor(int count) {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return runs >= count; });
        }
        std::mutex mutex;
        std::condition_variable changed;
        int runs = 0;
    } counter;
    counter.SetInterval(1ms);
    ASSERT_TRUE(counter.Start());
    EXPECT_FALSE(counter.Start());
    counter.WaitFor(3);
    counter.Stop();
    EXPECT_FALSE(counter.IsRunning());
    ASSERT_TRUE(counter.Start());
    counter.WaitFor(5);
    counter.Stop();
}

} // namespace
} // namespace kw::test
