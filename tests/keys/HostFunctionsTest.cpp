#include "app/device/ProcessRunner.h"
#include "tests/keys/HostPlaybackFixture.h"
#include "tests/support/TestSupport.h"
#include "ui/framework/TextConvert.h"

namespace kw::test {
namespace {

using Strings = std::vector<std::string>;

TEST(AddressToOpen, SchemesStayAndOtherAddressesGetTheWwwRuleAndHttps) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"example.com", L"https://www.example.com"},
        {L"www.example.com", L"https://www.example.com"},
        {L"news.www.example.com", L"https://news.www.example.com"},
        {L"example.com/www.x", L"https://example.com/www.x"},
        {L"https://example.com/a?b=c", L"https://example.com/a?b=c"},
        {L"http://example.com", L"http://example.com"},
        {L"HTTPS://EXAMPLE.COM", L"HTTPS://EXAMPLE.COM"},
        {L"mailto:someone@example.com", L"mailto:someone@example.com"},
        {L"ftp://files.example.com", L"ftp://files.example.com"},
        {L"localhost:8080", L"https://www.localhost:8080"},
        {L"", L""},
    };
    for (const auto& [address, opened] : cases)
        EXPECT_EQ(HostFunctions::AddressToOpen(address), opened);
}

TEST_F(HostPlaybackTest, ProgramsAddressesAndMissingRows) {
    store.extras[1] = {1, L"", L"/opt/tools/run me", 8};
    store.extras[2] = {2, L"www.example.org/x", L"", 9};
    store.extras[3] = {3, L"", L"", 9}; // empty address: nothing
    store.extras[4] = {4, L"irrelevant", L"", 6};
    for (int id : {1, 2, 3, 4, 99})
        functions->RunHostFunction(id);
    EXPECT_EQ(shell.programs, (std::vector<std::wstring>{L"/opt/tools/run me"}));
    EXPECT_EQ(shell.addresses, (std::vector<std::wstring>{L"https://www.example.org/x"}));
    EXPECT_EQ(device->FrameCount(), 0u);
}

TEST_F(HostPlaybackTest, TypeTextPastesWithCtrlVAndPutsTheClipboardBack) {
    clipboard.SetText(L"what the user copied");
    clipboard.history.clear();
    store.extras[5] = {5, L"Grüße, 你好", L"", 10};
    functions->RunHostFunction(5);
    EXPECT_EQ(Frames(), (Strings{"kbd 224", "kbd 25 224", "kbd 224", "kbd"}));
    const auto records = device->Records();
    EXPECT_GE(records[2].time - records[1].time, std::chrono::milliseconds(100));
    EXPECT_EQ(clipboard.history, (std::vector<std::wstring>{L"Grüße, 你好", L"what the user copied"}));
    EXPECT_EQ(clipboard.text, L"what the user copied");
}

TEST_F(HostPlaybackTest, TypeTextLeavesAnEmptyClipboardEmpty) {
    functions->TypeText(L"hello");
    EXPECT_EQ(clipboard.history, (std::vector<std::wstring>{L"hello", L"<cleared>"}));
    EXPECT_FALSE(clipboard.hasText);
    // An empty text row types nothing at all.
    store.extras[6] = {6, L"", L"", 10};
    device->ClearFrames();
    functions->RunHostFunction(6);
    EXPECT_EQ(device->FrameCount(), 0u);
}

TEST_F(HostPlaybackTest, SwitchProfileMakesTheNewProfilesKeysWatched) {
    store.AddKey(1, 0, 30, 2, 5);
    store.AddKey(2, 0, 31, 2, 6);
    store.extras[7] = {7, L"Gaming", L"2", 11};
    store.extras[8] = {8, L"Broken", L"two", 11};
    store.AddKey(1, 0, 32, 11, 7);
    Apply();
    Key(32, true);
    EXPECT_EQ(window.RunUiTasks(), 1u);
    EXPECT_EQ(window.switched, (std::vector<int>{2}));
    EXPECT_EQ(filter->WatchedKeys(), (std::vector<int>{31}));
    functions->RunHostFunction(8); // not a number: stays
    EXPECT_EQ(window.switched, (std::vector<int>{2}));
}

class RecordingRunner : public ProcessRunner {
public:
    bool RunAndWait(const std::vector<std::string>& argv) override { return Start(argv); }
    bool Start(const std::vector<std::string>& argv) override {
        runs.push_back(argv);
        return argv[0] == "xdg-open" || argv[0].find('/') != std::string::npos || pathPrograms;
    }
    std::vector<std::vector<std::string>> runs;
    bool pathPrograms = false;
};

TEST(SpawnHostShell, ProgramsStartDirectlyEverythingElseThroughXdgOpen) {
    TempDir dir;
    const std::string document = (dir / "notes.txt").string();
    WriteFile(document, "text");
    std::filesystem::permissions(document,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    RecordingRunner runner;
    SpawnHostShell shell(runner);
    EXPECT_TRUE(shell.StartProgram(L"/bin/sh"));
    EXPECT_TRUE(shell.StartProgram(vellum::FromUtf8(document))); // a document
    EXPECT_TRUE(shell.StartProgram(L"-rf"));                     // no folder, not on PATH
    EXPECT_TRUE(shell.OpenAddress(L"https://example.com/ä"));
    EXPECT_FALSE(shell.OpenAddress(L"--help"));
    EXPECT_FALSE(shell.StartProgram(L""));
    const std::vector<std::vector<std::string>> expected = {
        {"/bin/sh"},
        {"xdg-open", document},
        {"-rf"},
        {"xdg-open", "./-rf"},
        {"xdg-open", "https://example.com/ä"},
    };
    EXPECT_EQ(runner.runs, expected);
}

} // namespace
} // namespace kw::test
