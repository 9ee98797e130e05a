#include "tests/keys/HostPlaybackFixture.h"

namespace kw::test {
namespace {

using Strings = std::vector<std::string>;

constexpr int kDown = 2;
constexpr int kUp = 3;
constexpr int kPause = 1;
constexpr int kVkA = 65;
constexpr int kVkB = 66;

// Frames of one pass of the macro "A down, A up" followed by the release of everything.
Strings PassOfA() {
    Strings pass = {"kbd 4", "kbd"};
    pass.insert(pass.end(), kReleaseAll.begin(), kReleaseAll.end());
    return pass;
}

size_t CountPasses(const Strings& frames) {
    size_t passes = 0;
    for (size_t i = 0; i + 4 <= frames.size(); ++i) {
        if (Strings(frames.begin() + i, frames.begin() + i + 4) == kReleaseAll)
            ++passes;
    }
    return passes;
}

TEST_F(HostPlaybackTest, PlayTimesPassesEachEndingWithReleaseAll) {
    store.AddMacro(7, 0, 3, {{kDown, kVkA}, {kUp, kVkA}});
    player->PlayMacro(7);
    Strings expected;
    for (int i = 0; i < 3; ++i) {
        const Strings pass = PassOfA();
        expected.insert(expected.end(), pass.begin(), pass.end());
    }
    EXPECT_EQ(Frames(), expected);
    EXPECT_EQ(store.ItemReads(), 3); // items are read afresh for every pass
    EXPECT_EQ(player->PlayingLoopType(), 0);
    EXPECT_FALSE(player->StopRequested());
}

TEST_F(HostPlaybackTest, NothingPlaysWithoutPassesMacroOrDevice) {
    store.AddMacro(7, 0, 0, {{kDown, kVkA}});
    store.AddMacro(8, 0, -2, {{kDown, kVkA}});
    player->PlayMacro(7);
    player->PlayMacro(8);
    player->PlayMacro(99); // no such macro
    EXPECT_EQ(device->FrameCount(), 0u);
    store.AddMacro(9, 0, 1, {{kDown, kVkA}});
    device->SetOpenFails(true);
    kbvirt->CloseDevice();
    player->PlayMacro(9);
    EXPECT_EQ(device->FrameCount(), 0u);
    EXPECT_EQ(store.ItemReads(), 0);
}

TEST_F(HostPlaybackTest, EventTypesAndConsumerKeys) {
    // Only type 2 presses; a pause item releases its key; a consumer key goes to report 3.
    store.AddMacro(7, 0, 1, {{kDown, kVkA}, {kPause, kVkA}, {kDown, 175}, {kUp, 175}, {kDown, kVkB}});
    player->PlayMacro(7);
    Strings expected = {"kbd 4", "kbd", "consumer 0xe9", "consumer", "kbd 5"};
    expected.insert(expected.end(), kReleaseAll.begin(), kReleaseAll.end());
    EXPECT_EQ(Frames(), expected);
}

TEST_F(HostPlaybackTest, EveryEventIsFollowedByItsDelayAndAtLeastFiveMilliseconds) {
    store.AddMacro(7, 0, 1, {{kDown, kVkA}, {kUp, kVkA}, {kDown, kVkB}}, 0);
    store.items[1].delay_time = 30;
    const auto start = std::chrono::steady_clock::now();
    player->PlayMacro(7);
    const auto records = device->Records();
    ASSERT_EQ(records.size(), 3u + 4u);
    // Each event waits for its deadline planned from the start: the first event's pause (delay
    // 0) lasts 5 ms, the second's 30 ms, the third's 5 ms before everything is released.
    EXPECT_GE(records[1].time - start, std::chrono::milliseconds(5));
    EXPECT_GE(records[2].time - start, std::chrono::milliseconds(35));
    EXPECT_GE(records[3].time - start, std::chrono::milliseconds(40));
}

TEST_F(HostPlaybackTest, HeldMacroRepeatsWhileItsKeyIsDown) {
    store.AddMacro(7, MacroPlayer::kLoopHeld, 1, {{kDown, kVkA}, {kUp, kVkA}});
    store.AddKey(1, 0, 30, 3, 7);
    Apply();
    queue.RunWorker(*player);
    Key(30, true);
    ASSERT_TRUE(WaitFrames(3 * PassOfA().size()));
    EXPECT_EQ(player->PlayingLoopType(), MacroPlayer::kLoopHeld);
    Key(30, false);
    ASSERT_TRUE(queue.WaitPlayed(1));
    const Strings frames = Frames();
    // Stopped after the event in progress; everything released at the end.
    ASSERT_GE(frames.size(), 4u);
    EXPECT_EQ(Strings(frames.end() - 4, frames.end()), kReleaseAll);
    EXPECT_GE(CountPasses(frames), 3u);
    EXPECT_EQ(player->PlayingLoopType(), 0);
    EXPECT_FALSE(player->StopRequested());
    const size_t after = device->FrameCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(device->FrameCount(), after);
}

TEST_F(HostPlaybackTest, HeldMacroWhoseKeyIsUpBeforeItStartsPlaysOnePass) {
    store.AddMacro(7, MacroPlayer::kLoopHeld, 1, {{kDown, kVkA}, {kUp, kVkA}});
    store.AddKey(1, 0, 30, 3, 7);
    Apply();
    // A quick tap: the release arrives before the worker has started the macro.
    Key(30, true);
    Key(30, false);
    queue.RunWorker(*player);
    ASSERT_TRUE(queue.WaitPlayed(1)) << "the macro kept repeating after its key had come up";
    EXPECT_EQ(Frames(), PassOfA());
    EXPECT_EQ(player->PlayingLoopType(), 0);
}

TEST_F(HostPlaybackTest, ToggledMacroRepeatsUntilAnyWatchedKeyIsPressed) {
    store.AddMacro(7, MacroPlayer::kLoopToggle, 1, {{kDown, kVkA}, {kUp, kVkA}});
    store.AddKey(1, 0, 30, 3, 7);
    store.AddKey(1, 0, 31, 1, 1); // a disabled key is still watched
    Apply();
    queue.RunWorker(*player);
    Key(30, true);
    Key(30, false); // releasing does not stop a toggled macro
    ASSERT_TRUE(WaitFrames(3 * PassOfA().size()));
    EXPECT_EQ(player->PlayingLoopType(), MacroPlayer::kLoopToggle);
    Key(31, true);
    ASSERT_TRUE(queue.WaitPlayed(1));
    EXPECT_EQ(player->PlayingLoopType(), 0);
    EXPECT_EQ(queue.Posted(), 1);
}

TEST_F(HostPlaybackTest, ToggledMacroStoppedByItsOwnKeyDoesNotStartAgain) {
    store.AddMacro(7, MacroPlayer::kLoopToggle, 1, {{kDown, kVkA}, {kUp, kVkA}});
    store.AddKey(1, 0, 30, 3, 7);
    Apply();
    queue.RunWorker(*player);
    Key(30, true);
    Key(30, false);
    ASSERT_TRUE(WaitFrames(2 * PassOfA().size()));
    Key(30, true); // stops it; the queue still holds the playing macro, so nothing is queued
    ASSERT_TRUE(queue.WaitPlayed(1));
    EXPECT_EQ(queue.Posted(), 1);
    EXPECT_TRUE(queue.Empty());
}

TEST_F(HostPlaybackTest, RepeatingMacroWithoutEventsEndsAfterOnePass) {
    store.AddMacro(7, MacroPlayer::kLoopHeld, 1, {});
    player->PlayMacro(7); // would spin for ever sending releases
    EXPECT_EQ(Frames(), kReleaseAll);
    EXPECT_EQ(player->PlayingLoopType(), 0);
}

TEST_F(HostPlaybackTest, CountedMacroPlaysAllItsPassesWhateverKeysDo) {
    store.AddMacro(7, 0, 3, {{kDown, kVkA}, {kUp, kVkA}});
    store.AddKey(1, 0, 30, 3, 7);
    store.AddKey(1, 0, 31, 1, 1);
    Apply();
    queue.RunWorker(*player);
    Key(30, true);
    Key(31, true);
    Key(30, false);
    ASSERT_TRUE(queue.WaitPlayed(1));
    EXPECT_EQ(CountPasses(Frames()), 3u);
}

} // namespace
} // namespace kw::test
