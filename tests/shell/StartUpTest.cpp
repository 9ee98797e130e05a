#include "app/shell/StartUp.h"

#include "app/shell/Paths.h"
#include "app/store/XmlDocument.h"
#include "tests/shell/ShellFixture.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace kw {
namespace {

using test::ReadFile;
using test::ScopedEnv;
using test::WriteFile;

class StartUpTest : public test::ShellFixture {
protected:
    void WriteConfig(const std::string& name) {
        WriteFile(dir / "product" / "config.xml",
                  "<config><device.info/><software name=\"" + name + "\" version=\"1\"/></config>");
    }
    ~StartUpTest() override { XmlDocument::SetLegacyEncoding("CP1252"); }
};

TEST_F(StartUpTest, FirstStartSettlesNameLanguageAndFolders) {
    WriteConfig("Acme Keys");
    ScopedEnv lang("LANG", std::string("fr_FR.UTF-8"));
    StartUp startUp;
    const StartUpState state = startUp.Run();
    EXPECT_FALSE(state.alreadyRunning);
    EXPECT_EQ(state.deviceName, L"Acme Keys");
    EXPECT_EQ(vellum::Manager::GetDeviceName(), L"Acme Keys");
    EXPECT_EQ(state.languageId, 2052) << "neither English nor Chinese: Chinese";
    EXPECT_FALSE(state.languageStored);
    EXPECT_EQ(LanguageId(), 2052);
    EXPECT_EQ(XmlDocument::GetLegacyEncoding(), "GBK");
    EXPECT_EQ(ReadFile(dir / "config" / "Acme Keys" / "settings.ini"), "[settings]\nLCID=2052\n");
    EXPECT_TRUE(state.dataFolderReady);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "data" / "Acme Keys Files" / "db"));
}

TEST_F(StartUpTest, StoredLanguageWinsOverTheUsersLanguage) {
    WriteConfig("Acme");
    WriteFile(dir / "config" / "Acme" / "settings.ini", "[settings]\nLCID=1033\n");
    ScopedEnv lang("LANG", std::string("zh_CN.UTF-8"));
    StartUp startUp;
    const StartUpState state = startUp.Run();
    EXPECT_EQ(state.languageId, 1033);
    EXPECT_TRUE(state.languageStored);
}

TEST_F(StartUpTest, WithoutConfigTheLibraryNameStands) {
    vellum::Manager::SetDeviceName(vellum::Manager::kDefaultDeviceName);
    StartUp startUp;
    EXPECT_EQ(startUp.Run().deviceName, vellum::Manager::kDefaultDeviceName);
}

TEST_F(StartUpTest, SecondStartFindsTheFirstAndAsksItForward) {
    WriteConfig("Acme");
    StartUp first;
    ASSERT_FALSE(first.Run().alreadyRunning);

    std::wstring askedFor;
    StartUp second([&](const std::wstring& name) {
        askedFor = name;
        return true;
    });
    const StartUpState state = second.Run();
    EXPECT_TRUE(state.alreadyRunning);
    EXPECT_TRUE(state.broughtForward);
    EXPECT_EQ(askedFor, L"Acme");

    // Another product runs beside it.
    WriteConfig("Other");
    StartUp other;
    EXPECT_FALSE(other.Run().alreadyRunning);
}

TEST_F(StartUpTest, LockIsReleasedWhenTheHolderEnds) {
    WriteConfig("Acme");
    {
        StartUp first;
        ASSERT_FALSE(first.Run().alreadyRunning);
    }
    StartUp next;
    EXPECT_FALSE(next.Run().alreadyRunning);
}

// The program itself: a second process exits with 0 while the first holds the lock.
TEST_F(StartUpTest, SecondProcessExitsWithZero) {
    WriteConfig("Acme");
    StartUp holder;
    ASSERT_FALSE(holder.Run().alreadyRunning);

    const std::string command = std::string(KW_KEYWRIGHT_BINARY) + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    std::array<char, 256> buffer{};
    while (fgets(buffer.data(), buffer.size(), pipe)) {
        output += buffer.data();
    }
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(output.find("already running"), std::string::npos) << output;
}

} // namespace
} // namespace kw
