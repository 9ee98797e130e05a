#include "tests/keys/HostPlaybackFixture.h"

namespace kw::test {
namespace {

using Strings = std::vector<std::string>;

TEST_F(HostPlaybackTest, ApplyProfileReleasesRestartsAndLoadsTheCurrentLayer) {
    store.AddKey(1, 0, 4, 2, 5);    // A gives B
    store.AddKey(1, 0, 0xE1, 7, 1); // left shift plays Ctrl+A
    store.AddKey(1, 1, 6, 2, 7);    // Fn layer
    store.AddKey(2, 0, 8, 2, 9);    // another profile
    kbvirt->SetKey(4, true);
    device->ClearFrames();

    handler->ApplyProfile();

    EXPECT_EQ(Frames(), kReleaseAll);
    const auto calls = filter->Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].code, kFilterSetKeys);
    EXPECT_EQ(calls[0].input, std::vector<uint8_t>(256, 0));
    EXPECT_EQ(calls[1].code, kFilterSetKeys);
    EXPECT_EQ(calls[1].input, HidUsbFilter::FilterMonitor::BuildKeyList({4, 0xE1}));
    EXPECT_EQ(calls[2].code, kFilterPrepare);
    EXPECT_EQ(calls[3].code, kFilterActivate);
    EXPECT_TRUE(monitor->IsListening());
    EXPECT_EQ(filter->WatchedKeys(), (std::vector<int>{4, 0xE1}));
    EXPECT_TRUE(handler->MappedFunction(4).has_value());
    EXPECT_FALSE(handler->MappedFunction(6).has_value());

    // Another layer replaces the map and the list.
    window.layer = 1;
    handler->ApplyProfile();
    EXPECT_EQ(filter->WatchedKeys(), (std::vector<int>{6}));
    EXPECT_FALSE(handler->MappedFunction(4).has_value());
    EXPECT_TRUE(handler->MappedFunction(6).has_value());
}

TEST_F(HostPlaybackTest, MoreThan256FunctionsWatchOnlyTheFirst256) {
    for (int code = 1; code <= 300; ++code)
        store.AddKey(1, 0, code, 1, 1);
    handler->ApplyProfile();
    EXPECT_EQ(filter->WatchedKeys().size(), 256u);
    EXPECT_EQ(filter->WatchedKeys().back(), 256);
}

TEST_F(HostPlaybackTest, ListenRegistersTheHandlerOnce) {
    const size_t before = monitor->ListenerCount();
    handler->Listen();
    handler->Listen();
    EXPECT_EQ(monitor->ListenerCount(), before + 1);
}

TEST_F(HostPlaybackTest, KeyAndConsumerAndMouseFunctionsFollowPressAndRelease) {
    struct Case {
        const char* name;
        int type;
        int value;
        int value2;
        Strings frames; // press, then release
    };
    const Case cases[] = {
        {"key B", 2, 5, 0, {"kbd 5", "kbd"}},
        {"left shift", 2, 0xE1, 0, {"kbd 225", "kbd"}},
        {"modifier bits are not sent", 2, 5, 1 | 2, {"kbd 5", "kbd"}},
        {"volume up", 2, 234, 0, {"consumer 0xe9", "consumer"}},
        {"mute", 2, 235, 0, {"consumer 0xe2", "consumer"}},
        {"left button", 5, 1, 0, {"mouse 1", "mouse"}},
        {"middle button", 5, 2, 0, {"mouse 4", "mouse"}},
        {"right button", 5, 3, 0, {"mouse 2", "mouse"}},
        {"fifth button", 5, 7, 0, {"mouse 16", "mouse"}},
        {"fourth button", 5, 8, 0, {"mouse 8", "mouse"}},
        {"mouse value 4", 5, 4, 0, {}},
        {"mouse value 6", 5, 6, 0, {}},
        {"disabled", 1, 1, 0, {}},
        {"media function", 6, 3, 0, {}},
        {"picker item", 12, 600, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store.keys.clear();
        store.AddKey(1, 0, 30, c.type, c.value);
        store.keys.back().macro_value2 = c.value2;
        Apply();
        Key(30, true);
        Key(30, false);
        EXPECT_EQ(Frames(), c.frames);
        EXPECT_EQ(filter->PassedOn(), 0); // the key itself never reaches the system
    }
}

TEST_F(HostPlaybackTest, TwoKeysOnOneUsageReleaseItWithTheFirstRelease) {
    store.AddKey(1, 0, 30, 2, 5);
    store.AddKey(1, 0, 31, 2, 5);
    Apply();
    Key(30, true);
    Key(31, true);
    Key(30, false);
    EXPECT_EQ(Frames(), (Strings{"kbd 5", "kbd 5", "kbd"}));
}

TEST_F(HostPlaybackTest, ShortcutPresetPlaysOnPressWithTenMillisecondSteps) {
    store.AddKey(1, 0, 30, 7, 1); // Ctrl+A
    Apply();
    Key(30, true);
    Strings expected = {"kbd 224", "kbd 4 224", "kbd 224", "kbd"};
    expected.insert(expected.end(), kReleaseAll.begin(), kReleaseAll.end());
    EXPECT_EQ(Frames(), expected);
    const auto records = device->Records();
    for (size_t i = 1; i < 4; ++i)
        EXPECT_GE(records[i].time - records[i - 1].time, KeyHandler::kShortcutStep);
    device->ClearFrames();
    Key(30, false);
    EXPECT_TRUE(Frames().empty());
}

TEST_F(HostPlaybackTest, WithoutTheVirtualDeviceKeyFunctionsSendNothing) {
    store.AddKey(1, 0, 30, 2, 5);
    store.AddKey(1, 0, 31, 5, 1);
    store.AddKey(1, 0, 32, 7, 2);
    Apply();
    device->SetOpenFails(true);
    kbvirt->CloseDevice();
    for (int code : {30, 31, 32}) {
        Key(code, true);
        Key(code, false);
    }
    EXPECT_EQ(device->FrameCount(), 0u);
}

TEST_F(HostPlaybackTest, KeyEventsDoNotReopenAnOpenDevice) {
    store.AddKey(1, 0, 30, 2, 5);
    Apply();
    const int opens = device->OpenCount();
    for (int i = 0; i < 20; ++i)
        Key(30, i % 2 == 0);
    EXPECT_EQ(device->OpenCount(), opens);
    EXPECT_EQ(device->CloseCount(), 0);
}

TEST_F(HostPlaybackTest, MacroKeyQueuesOnPressOnlyWhenTheQueueIsEmpty) {
    store.AddKey(1, 0, 30, 3, 7);
    store.AddKey(1, 0, 31, 3, 8);
    Apply();
    Key(30, true);
    Key(30, false);
    Key(31, true); // the first macro is still waiting for the worker
    EXPECT_EQ(queue.Posted(), 1);
    EXPECT_FALSE(queue.Empty());
    EXPECT_EQ(device->FrameCount(), 0u);
}

TEST_F(HostPlaybackTest, HostFunctionsRunOnTheUserInterfaceThreadOnPress) {
    store.extras[11] = {11, L"", L"/usr/bin/true", 8};
    store.extras[12] = {12, L"example.com", L"", 9};
    store.AddKey(1, 0, 30, 8, 11);
    store.AddKey(1, 0, 31, 9, 12);
    Apply();
    Key(30, true);
    Key(30, false);
    Key(31, true);
    Key(31, false);
    // Nothing ran on the listener thread.
    EXPECT_TRUE(shell.programs.empty());
    EXPECT_EQ(window.RunUiTasks(), 2u);
    EXPECT_EQ(shell.programs, (std::vector<std::wstring>{L"/usr/bin/true"}));
    EXPECT_EQ(shell.addresses, (std::vector<std::wstring>{L"https://www.example.com"}));
}

TEST_F(HostPlaybackTest, KeysWithoutAFunctionAreNotWatched) {
    store.AddKey(1, 0, 30, 2, 5);
    Apply();
    filter->Inject(31, true);
    filter->Inject(31, false);
    EXPECT_EQ(filter->PassedOn(), 2);
    EXPECT_EQ(handler->OnKey(7, 31, true), 0);
    EXPECT_EQ(handler->OnKey(7, 30, false), 1);
}

TEST_F(HostPlaybackTest, ShutdownReleasesStopsAndClearsTheList) {
    store.AddKey(1, 0, 30, 2, 5);
    Apply();
    Key(30, true);
    device->ClearFrames();
    handler->Shutdown();
    EXPECT_EQ(Frames(), kReleaseAll);
    EXPECT_FALSE(monitor->IsListening());
    EXPECT_TRUE(filter->WatchedKeys().empty());
}

} // namespace
} // namespace kw::test
