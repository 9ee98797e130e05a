#include "app/shell/Paths.h"

#include "tests/shell/ShellFixture.h"

namespace kw {
namespace {

using test::ScopedEnv;
using test::WriteFile;

class PathsTest : public test::ShellFixture {};

TEST_F(PathsTest, FoldersFollowTheProductNameAndXdg) {
    EXPECT_EQ(DataFolder(), dir / "data" / "TestProduct Files");
    EXPECT_EQ(SettingsFile(), Settings());
    EXPECT_EQ(AutostartFile(), dir / "config" / "autostart" / "TestProduct.desktop");
    EXPECT_EQ(InstanceLockFile(), dir / "run" / "TestProduct.lock");
    EXPECT_EQ(ProgramFolder(), dir / "product");
    EXPECT_EQ(SkinFolder(), dir / "product" / "skins" / "theme1");

    // A second product beside the first has folders of its own.
    vellum::Manager::SetDeviceName(L"Other/Brand");
    EXPECT_EQ(DataFolder(), dir / "data" / "Other_Brand Files");
    EXPECT_EQ(SettingsFile(), dir / "config" / "Other_Brand" / "settings.ini");
}

TEST_F(PathsTest, RelativeOrMissingXdgValuesFallBackToHome) {
    ScopedEnv home("HOME", dir.path().string());
    ScopedEnv relative("XDG_DATA_HOME", std::string("relative/data"));
    ScopedEnv unset("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", std::nullopt);
    EXPECT_EQ(DataFolder(), dir / ".local/share" / "TestProduct Files");
    EXPECT_EQ(SettingsFile(), dir / ".config" / "TestProduct" / "settings.ini");
    EXPECT_EQ(InstanceLockFile(), DataFolder() / "TestProduct.lock");
}

TEST_F(PathsTest, ProductFileNamesUseSlashes) {
    struct Case {
        const wchar_t* name;
        const char* expected;
    };
    const Case cases[] = {
        {L"icon\\tab_home.png", "icon/tab_home.png"},
        {L"icon//icon_pc.png", "icon/icon_pc.png"},
        {L"\\keyboard\\\\k.png", "keyboard/k.png"},
        {L"plain.png", "plain.png"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProductFile("/p", c.name), std::filesystem::path("/p") / c.expected);
    }
}

TEST_F(PathsTest, CreateFolderTreeMakesEveryParent) {
    const auto deep = dir / "a" / "b" / "c";
    EXPECT_TRUE(CreateFolderTree(deep));
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_TRUE(CreateFolderTree(deep)) << "an existing folder is success";
    WriteFile(dir / "file", "x");
    EXPECT_FALSE(CreateFolderTree(dir / "file" / "sub"));
    EXPECT_FALSE(CreateFolderTree(dir / "file"));
}

TEST_F(PathsTest, ProgramFolderFallsBackToTheInstalledLayout) {
    // The test binary lives in <build>/bin and the build copies the product files to
    // <build>/share/keywright, the way an installation puts them in <prefix>/share/keywright.
    const auto exeFolder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    ASSERT_FALSE(std::filesystem::exists(exeFolder / "config.xml")) << "product files beside the tests";
    const auto shared = exeFolder.parent_path() / "share" / "keywright";
    // Unset and empty overrides alike are ignored.
    const std::optional<std::string> overrides[] = {std::nullopt, std::string()};
    for (const std::optional<std::string>& value : overrides) {
        ScopedEnv override("KEYWRIGHT_PRODUCT_DIR", value);
        EXPECT_EQ(ProgramFolder(), shared);
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(shared / "config.xml"));
}

} // namespace
} // namespace kw
