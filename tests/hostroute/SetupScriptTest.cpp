#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Result {
    int status = -1;
    std::string output;
};

Result RunSetup(const std::string& arguments) {
    Result result;
    const std::string command = std::string(KW_SETUP_TOOL) + " " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
        result.output += buffer.data();
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

TEST(SetupScript, PrintsRulesForTheUserOnlyAndInstallsNothing) {
    const Result result = RunSetup("--print-rules --keyboard 1209:00ab --keyboard 258A:0001");
    ASSERT_EQ(result.status, 0) << result.output;
    const std::string& rules = result.output;
    EXPECT_NE(rules.find("KERNEL==\"uhid\", SUBSYSTEM==\"misc\", TAG+=\"uaccess\""), std::string::npos);
    EXPECT_NE(rules.find("KERNEL==\"uinput\", SUBSYSTEM==\"misc\", TAG+=\"uaccess\""), std::string::npos);
    EXPECT_NE(rules.find("SUBSYSTEM==\"hidraw\", KERNELS==\"*:1209:00AB.*\", TAG+=\"uaccess\""),
              std::string::npos);
    EXPECT_NE(
        rules.find("SUBSYSTEM==\"input\", KERNEL==\"event*\", KERNELS==\"*:258A:0001.*\", TAG+=\"uaccess\""),
        std::string::npos);
    // Nothing is opened to everyone.
    EXPECT_EQ(rules.find("MODE"), std::string::npos);
    EXPECT_EQ(rules.find("GROUP"), std::string::npos);
}

TEST(SetupScript, RefusesIdsThatAreNotFourHexDigits) {
    for (const char* id :
         {"1209", "1209:1", "12G9:0001", "1209:0001\\\"", "\"1209:0001 --remove\"", "'x:y'"}) {
        SCOPED_TRACE(id);
        const Result result = RunSetup(std::string("--print-rules --keyboard ") + id);
        EXPECT_EQ(result.status, 2) << result.output;
        EXPECT_EQ(result.output.find("TAG+="), std::string::npos);
    }
    EXPECT_EQ(RunSetup("--bogus").status, 2);
}

TEST(SetupScript, InstallingNeedsRoot) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root: installing would change this machine's udev rules";
    const Result result = RunSetup("--keyboard 1209:0001");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("must run as root"), std::string::npos);
}

} // namespace
