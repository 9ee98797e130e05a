#include "app/device/HostRouteStart.h"
#include "app/device/InMemoryVirtualBackend.h"
#include "app/device/SetupToolInstaller.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace kw {
namespace {

class RecordingRunner : public ProcessRunner {
public:
    bool RunAndWait(const std::vector<std::string>& argv) override {
        runs.push_back(argv);
        if (onRun)
            onRun();
        return starts;
    }
    bool Start(const std::vector<std::string>& argv) override {
        runs.push_back(argv);
        return starts;
    }
    std::vector<std::vector<std::string>> runs;
    std::function<void()> onRun;
    bool starts = true;
};

class RecordingFailure : public InstallFailure {
public:
    void ShowInstallError() override { steps.push_back("message"); }
    void Exit(int code) override { steps.push_back("exit " + std::to_string(code)); }
    std::vector<std::string> steps;
};

class HostRouteStartTest : public ::testing::Test {
protected:
    HostRouteStartTest() {
        auto backend = std::make_unique<InMemoryVirtualBackend>();
        device = backend.get();
        kbvirt = std::make_unique<Kbvirt>(std::move(backend));
    }

    InMemoryVirtualBackend* device = nullptr;
    std::unique_ptr<Kbvirt> kbvirt;
    RecordingRunner runner;
    RecordingFailure failure;
};

TEST_F(HostRouteStartTest, DevicePresentNeedsNoInstallation) {
    SetupToolInstaller installer(*kbvirt, runner, "/opt/kw/keywright-setup", {{0x1209, 0x0001}});
    EXPECT_TRUE(StartHostRoute(*kbvirt, installer, failure));
    EXPECT_TRUE(runner.runs.empty());
    EXPECT_TRUE(failure.steps.empty());
    // Keys are released once the device is there.
    const auto frames = device->Frames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0][1], 1);
    EXPECT_EQ(frames[3][1], 4);
}

TEST_F(HostRouteStartTest, MissingDeviceIsInstalledWithTheSetupToolThroughPkexec) {
    device->SetOpenFails(true);
    runner.onRun = [this] { device->SetOpenFails(false); }; // the rules now grant access
    SetupToolInstaller installer(*kbvirt, runner, "/opt/kw/keywright-setup",
                                 {{0x1209, 0x0001}, {0x258A, 0x00FE}});
    EXPECT_TRUE(StartHostRoute(*kbvirt, installer, failure));
    ASSERT_EQ(runner.runs.size(), 1u);
    const std::vector<std::string> expected = {
        "pkexec", "/opt/kw/keywright-setup", "--keyboard", "1209:0001", "--keyboard", "258A:00FE"};
    EXPECT_EQ(runner.runs[0], expected);
    EXPECT_TRUE(failure.steps.empty());
    EXPECT_TRUE(kbvirt->IsOpen());
}

TEST_F(HostRouteStartTest, InstallationThatDoesNotHelpShowsTheMessageAndEnds) {
    struct Case {
        const char* name;
        bool toolStarts;
        std::filesystem::path tool;
    };
    const Case cases[] = {{"tool runs, device still missing", true, "/opt/kw/keywright-setup"},
                          {"tool cannot be started", false, "/opt/kw/keywright-setup"},
                          {"no tool shipped", true, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device->SetOpenFails(true);
        RecordingRunner localRunner;
        localRunner.starts = c.toolStarts;
        RecordingFailure localFailure;
        SetupToolInstaller installer(*kbvirt, localRunner, c.tool, {{0x1209, 0x0001}});
        EXPECT_FALSE(StartHostRoute(*kbvirt, installer, localFailure));
        EXPECT_EQ(localFailure.steps, (std::vector<std::string>{"message", "exit 0"}));
        EXPECT_EQ(device->FrameCount(), 0u);
    }
}

TEST_F(HostRouteStartTest, ToolExitCodeIsNotTrusted) {
    // The tool "succeeds" but nothing changed: the device decides.
    device->SetOpenFails(true);
    SetupToolInstaller installer(*kbvirt, runner, "/opt/kw/keywright-setup", {});
    EXPECT_FALSE(installer.InstallVirtualDevice());
    EXPECT_EQ(runner.runs.size(), 1u);
    device->SetOpenFails(false);
    EXPECT_TRUE(installer.InstallVirtualDevice());
    EXPECT_EQ(runner.runs.size(), 1u); // found at once: nothing run
}

TEST(SetupToolLocation, NextToTheProgramOrInLibexec) {
    test::TempDir dir;
    std::filesystem::create_directories(dir / "bin");
    EXPECT_TRUE(SetupToolInstaller::FindTool(dir / "bin").empty());
    std::filesystem::create_directories(dir / "libexec" / "keywright");
    test::WriteFile(dir / "libexec" / "keywright" / "keywright-setup", "#!/bin/sh\n");
    EXPECT_EQ(SetupToolInstaller::FindTool(dir / "bin"),
              std::filesystem::weakly_canonical(dir / "libexec" / "keywright" / "keywright-setup"));
    test::WriteFile(dir / "bin" / "keywright-setup", "#!/bin/sh\n");
    EXPECT_EQ(SetupToolInstaller::FindTool(dir / "bin"),
              std::filesystem::weakly_canonical(dir / "bin" / "keywright-setup"));
}

} // namespace
} // namespace kw
