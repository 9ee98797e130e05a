#include "app/keys/X11Clipboard.h"
#include "app/device/InMemoryVirtualBackend.h"
#include "app/keys/HostFunctions.h"
#include "tests/keys/HostFakes.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace kw::test {
namespace {

// A private X server for the clipboard tests.
class XvfbServer {
public:
    XvfbServer() {
        for (int number = 87; number < 120 && pid_ == 0; ++number) {
            if (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)) ||
                std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock"))
                continue;
            const std::string display = ":" + std::to_string(number);
            std::vector<std::string> args = {"Xvfb",    display, "-nolisten", "tcp",
                                             "-screen", "0",     "320x240x24"};
            std::vector<char*> argv;
            for (auto& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            pid_t pid = 0;
            if (::posix_spawnp(&pid, "Xvfb", nullptr, nullptr, argv.data(), environ) != 0)
                return;
            for (int i = 0; i < 200; ++i) {
                if (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number))) {
                    pid_ = pid;
                    display_ = display;
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }
    ~XvfbServer() {
        if (pid_ != 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    const char* Display() const { return display_.empty() ? nullptr : display_.c_str(); }

private:
    pid_t pid_ = 0;
    std::string display_;
};

class X11ClipboardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = std::make_unique<XvfbServer>(); }
    static void TearDownTestSuite() { server.reset(); }
    void SetUp() override {
        if (server->Display() == nullptr)
            GTEST_SKIP() << "no Xvfb could be started: the X clipboard cannot be exercised";
    }
    static std::unique_ptr<XvfbServer> server;
};

std::unique_ptr<XvfbServer> X11ClipboardTest::server;

TEST_F(X11ClipboardTest, TextGoesFromOneProgramToAnother) {
    X11Clipboard first(server->Display());
    X11Clipboard second(server->Display());
    ASSERT_TRUE(first.Connected());
    std::wstring text;
    EXPECT_FALSE(second.GetText(text)); // nobody owns it yet
    ASSERT_TRUE(first.SetText(L"Grüße, 你好"));
    ASSERT_TRUE(second.GetText(text));
    EXPECT_EQ(text, L"Grüße, 你好");
    // The second takes the selection; the first now reads from it.
    ASSERT_TRUE(second.SetText(L"other"));
    ASSERT_TRUE(first.GetText(text));
    EXPECT_EQ(text, L"other");
    second.Clear();
    EXPECT_FALSE(first.GetText(text));
}

TEST_F(X11ClipboardTest, TypeTextPutsBackWhatAnotherProgramHeld) {
    X11Clipboard other(server->Display());
    X11Clipboard ours(server->Display());
    ASSERT_TRUE(other.SetText(L"copied before"));

    Kbvirt kbvirt(std::make_unique<InMemoryVirtualBackend>());
    FakeHostKeyStore store;
    FakeShell shell;
    FakeWindow window;
    HostFunctions functions(store, shell, ours, kbvirt, window, {});
    functions.SetPasteSettleTime(std::chrono::milliseconds(0));
    functions.TypeText(L"typed");

    std::wstring text;
    ASSERT_TRUE(other.GetText(text));
    EXPECT_EQ(text, L"copied before");
}

TEST(X11ClipboardWithoutServer, EveryOperationFails) {
    X11Clipboard clipboard("unix:nonexistent-display-99");
    EXPECT_FALSE(clipboard.Connected());
    std::wstring text;
    EXPECT_FALSE(clipboard.GetText(text));
    EXPECT_FALSE(clipboard.SetText(L"x"));
    clipboard.Clear();
}

} // namespace
} // namespace kw::test
