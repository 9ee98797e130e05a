#pragma once

// A private home for one test: product folder, XDG folders and locale all point into a temporary
// folder, and the process-wide name and language are put back afterwards.

#include "app/shell/Language.h"
#include "tests/support/TestSupport.h"
#include "ui/framework/Manager.h"

#include <gtest/gtest.h>

namespace kw::test {

class ShellFixture : public ::testing::Test {
protected:
    TempDir dir;
    ScopedEnv product{"KEYWRIGHT_PRODUCT_DIR", (dir / "product").string()};
    ScopedEnv data{"XDG_DATA_HOME", (dir / "data").string()};
    ScopedEnv config{"XDG_CONFIG_HOME", (dir / "config").string()};
    ScopedEnv runtime{"XDG_RUNTIME_DIR", (dir / "run").string()};
    ScopedEnv lcAll{"LC_ALL", std::nullopt};
    ScopedEnv lcMessages{"LC_MESSAGES", std::nullopt};
    ScopedEnv lang{"LANG", std::string("en_US.UTF-8")};

    ShellFixture() {
        std::filesystem::create_directories(dir / "product");
        std::filesystem::create_directories(dir / "run");
        vellum::Manager::SetDeviceName(L"TestProduct");
    }
    ~ShellFixture() override {
        vellum::Manager::SetDeviceName(vellum::Manager::kDefaultDeviceName);
        SetLanguageId(kLanguageEnglish);
    }

    std::filesystem::path Settings() const { return dir / "config" / "TestProduct" / "settings.ini"; }
};

} // namespace kw::test
