#include "app/keys/X11Clipboard.h"
#include "app/device/InMemoryVirtualBackend.h"
#include "app/keys/HostFunctions.h"
#include "tests/keys/HostFakes.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <memory>

namespace kw::test {
namespace {

class X11ClipboardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = std::make_unique<XvfbServer>("320x240x24"); }
    static void TearDownTestSuite() { server.reset(); }
    void SetUp() override {
        if (!XvfbServer::Installed())
            GTEST_SKIP() << "Xvfb is not installed: the X clipboard cannot be exercised";
        ASSERT_NE(server->Display(), nullptr) << "Xvfb did not start";
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
