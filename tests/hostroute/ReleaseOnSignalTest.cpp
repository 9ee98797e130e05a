#include "app/device/ReleaseOnSignal.h"
#include "app/device/InMemoryVirtualBackend.h"
#include "app/device/Kbvirt.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kw {
namespace {

// A signal ending the program first releases what the virtual device holds. The child process
// of the death test holds A and is ended with SIGTERM; its frames come back through a pipe.
void HoldAThenTerminate(int writeFd) {
    auto backend = std::make_unique<InMemoryVirtualBackend>();
    backend->SetObserver([writeFd](const InMemoryVirtualBackend::Frame& frame) {
        [[maybe_unused]] const ssize_t written = ::write(writeFd, frame.data(), frame.size());
    });
    static std::unique_ptr<Kbvirt> kbvirt; // ends with the process
    kbvirt = std::make_unique<Kbvirt>(std::move(backend));
    ReleaseKeysOnSignal(*kbvirt);
    kbvirt->SetKey(4, true);
    ::kill(::getpid(), SIGTERM);
    for (;;)
        ::pause();
}

TEST(ReleaseOnSignalDeathTest, SigtermReleasesHeldKeysBeforeTheProcessEnds) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    EXPECT_EXIT(HoldAThenTerminate(fds[1]), ::testing::KilledBySignal(SIGTERM), "");
    ::close(fds[1]);
    std::vector<InMemoryVirtualBackend::Frame> frames;
    InMemoryVirtualBackend::Frame frame{};
    while (::read(fds[0], frame.data(), frame.size()) == static_cast<ssize_t>(frame.size()))
        frames.push_back(frame);
    ::close(fds[0]);
    ASSERT_EQ(frames.size(), 5u); // A down, then reports 1 to 4 zeroed
    EXPECT_EQ(frames[0][3], 0x10);
    for (size_t i = 1; i < 5; ++i) {
        EXPECT_EQ(frames[i][1], i);
        EXPECT_EQ(frames[i][3], 0);
    }
}

} // namespace
} // namespace kw
