#include "app/device/EvdevFilterBackend.h"
#include "app/device/FilterMonitor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <linux/input-event-codes.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace kw {
namespace {

TEST(EvdevFilter, WatchedKeysAreReportedWithTheKeyboardsCodes) {
    std::bitset<256> watched;
    watched.set(4);    // A
    watched.set(0xE1); // left shift
    watched.set(234);  // volume up
    struct Case {
        int code;
        int value;
        bool reported;
        FilterEntry entry;
    };
    const Case cases[] = {
        {KEY_A, 1, true, {4, 0, 7, 1}},
        {KEY_A, 0, true, {4, 0, 7, 0}},
        {KEY_A, 2, true, {4, 0, 7, 1}}, // an autorepeat is held back, not passed on
        {KEY_LEFTSHIFT, 1, true, {0xE1, 0, 7, 1}},
        {KEY_VOLUMEUP, 1, true, {234, 0, 7, 1}},
        {KEY_B, 1, false, {}},
        {KEY_RIGHTSHIFT, 1, false, {}},
        {BTN_LEFT, 1, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        FilterEntry entry{};
        EXPECT_EQ(EvdevFilterBackend::IsReported(watched, c.code, c.value, entry), c.reported);
        if (c.reported) {
            EXPECT_EQ(entry, c.entry);
        }
    }
}

TEST(EvdevFilter, AKeyPressedThroughTheCloneIsReleasedThereAfterTheListChanges) {
    std::bitset<256> onlyA;
    onlyA.set(4);
    std::bitset<256> aAndB = onlyA;
    aAndB.set(5);
    const std::bitset<256> none;
    struct Step {
        const std::bitset<256>* watched;
        int code;
        int value;
        bool reported;
    };
    const Step steps[] = {
        {&onlyA, KEY_B, 1, false}, // B goes down for the system
        {&aAndB, KEY_B, 2, false}, // now watched: its autorepeat still follows the press
        {&aAndB, KEY_B, 0, false}, // and so does its release
        {&aAndB, KEY_B, 1, true},  // the next press is the filter's
        {&aAndB, KEY_B, 0, true},  //
        {&onlyA, KEY_A, 1, true},  // A goes down for the filter
        {&none, KEY_A, 0, false},  // no longer watched: the release goes on to the clone
        {&onlyA, KEY_C, 1, false}, // C down and up for the system
        {&onlyA, KEY_C, 0, false}, //
        {&aAndB, KEY_C, 0, false}, // a stray release changes nothing
    };
    std::bitset<KEY_CNT> heldInClone;
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        FilterEntry entry{};
        EXPECT_EQ(EvdevFilterBackend::RouteKey(*steps[i].watched, heldInClone, steps[i].code, steps[i].value,
                                               entry),
                  steps[i].reported);
    }
    EXPECT_TRUE(heldInClone.none());
    FilterEntry entry{};
    EXPECT_FALSE(EvdevFilterBackend::RouteKey(aAndB, heldInClone, KEY_CNT, 1, entry));
    EXPECT_FALSE(EvdevFilterBackend::RouteKey(aAndB, heldInClone, -1, 1, entry));
}

TEST(EvdevFilter, KeyListSetsTheWatchedKeysAndCancelEndsAWait) {
    EvdevFilterBackend backend({{0x1209, 0x0001}});
    EXPECT_TRUE(backend.Control(kFilterSetKeys, HidUsbFilter::FilterMonitor::BuildKeyList({4})));
    EXPECT_TRUE(backend.Control(kFilterPrepare, {}));
    EXPECT_TRUE(backend.Control(kFilterActivate, {}));
    EXPECT_FALSE(backend.Control(0x123456, {}));
    std::thread canceller([&backend] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        backend.Cancel();
    });
    FilterEntry event{};
    EXPECT_FALSE(backend.WaitEvent(event));
    canceller.join();
}

TEST(EvdevFilter, NoNodesForAKeyboardThatIsNotThere) {
    EXPECT_TRUE(EvdevFilterBackend::FindEventNodes({{0xDEAD, 0xBEEF}}).empty());
    EvdevFilterBackend backend({{0xDEAD, 0xBEEF}});
    EXPECT_FALSE(backend.Open());
}

TEST(EvdevFilter, ClonesAreRecognisedByName) {
    EXPECT_EQ(EvdevFilterBackend::CloneName("KW-104"), "KW-104 (keywright)");
}

// A keyboard made with uinput stands in for the configured one: its watched key is reported and
// its other keys come out of the clone.
TEST(EvdevFilterDevice, GrabsTheKeyboardAndReportsWatchedKeys) {
    if (::access("/dev/uinput", W_OK) != 0)
        GTEST_SKIP() << "/dev/uinput is absent or not writable here: no keyboard can be made to grab";
    const int fd = ::open("/dev/uinput", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ::ioctl(fd, UI_SET_EVBIT, EV_KEY);
    ::ioctl(fd, UI_SET_KEYBIT, KEY_A);
    ::ioctl(fd, UI_SET_KEYBIT, KEY_B);
    uinput_setup setup{};
    setup.id.bustype = BUS_USB;
    setup.id.vendor = 0x1209;
    setup.id.product = 0x7A7A;
    std::snprintf(setup.name, sizeof(setup.name), "keywright test keyboard");
    ASSERT_EQ(::ioctl(fd, UI_DEV_SETUP, &setup), 0);
    ASSERT_EQ(::ioctl(fd, UI_DEV_CREATE), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    EvdevFilterBackend backend({{0x1209, 0x7A7A}});
    ASSERT_TRUE(backend.Open());
    backend.Control(kFilterSetKeys, HidUsbFilter::FilterMonitor::BuildKeyList({4}));
    auto emit = [fd](int type, int code, int value) {
        input_event event{};
        event.type = static_cast<__u16>(type);
        event.code = static_cast<__u16>(code);
        event.value = value;
        ASSERT_EQ(::write(fd, &event, sizeof(event)), static_cast<ssize_t>(sizeof(event)));
    };
    emit(EV_KEY, KEY_A, 1);
    emit(EV_SYN, SYN_REPORT, 0);
    FilterEntry event{};
    ASSERT_TRUE(backend.WaitEvent(event));
    EXPECT_EQ(event, (FilterEntry{4, 0, 7, 1}));
    backend.Close();
    ::ioctl(fd, UI_DEV_DESTROY);
    ::close(fd);
}

} // namespace
} // namespace kw
