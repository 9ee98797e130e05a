#pragma once

// The first steps of every start: the product's name, one copy per user, the language and the
// data folder. The main window is built on what this settles.

#include "app/shell/SingleInstance.h"

#include <filesystem>
#include <functional>
#include <string>

namespace kw {

struct StartUpState {
    bool alreadyRunning = false; // another copy holds the lock; this one is to exit with 0
    bool broughtForward = false; // ... and its window was found and brought forward
    std::wstring deviceName;
    int languageId = 0;
    bool languageStored = false; // the id came from the user's settings
    std::filesystem::path programFolder;
    std::filesystem::path dataFolder;
    std::filesystem::path settingsFile;
    std::filesystem::path lockFile;
    bool dataFolderReady = false;
};

class StartUp {
public:
    // Finds the running copy's main window and brings it forward; true when one was found.
    using BringForward = std::function<bool(const std::wstring& deviceName)>;

    explicit StartUp(BringForward bringForward = {});

    // Runs the steps up to the data folder. The instance lock stays held by this object.
    StartUpState Run();

private:
    BringForward bringForward_;
    SingleInstance instance_;
};

} // namespace kw
