#include "app/shell/StartUp.h"

#include "app/device/DeviceCatalog.h"
#include "app/shell/Language.h"
#include "app/shell/Paths.h"
#include "app/store/XmlDocument.h"
#include "ui/framework/Manager.h"

namespace kw {

StartUp::StartUp(BringForward bringForward) : bringForward_(std::move(bringForward)) {}

StartUpState StartUp::Run() {
    StartUpState state;
    state.programFolder = ProgramFolder();

    // 1. The product's name; without it the library's default name stands.
    if (const std::wstring name = DeviceCatalog::ReadSoftwareName(state.programFolder / "config.xml");
        !name.empty()) {
        vellum::Manager::SetDeviceName(name);
    }
    state.deviceName = vellum::Manager::GetDeviceName();

    // 2-3. One copy per user and product name.
    state.lockFile = InstanceLockFile();
    if (instance_.Acquire(state.lockFile) == SingleInstance::Result::kAlreadyRunning) {
        state.alreadyRunning = true;
        state.broughtForward = bringForward_ && bringForward_(state.deviceName);
        return state;
    }

    // 4.3 The language: the stored one, else the user's, stored for the next start.
    int id = ReadLanguageId();
    state.languageStored = id != 0;
    if (id == 0) {
        id = FirstStartLanguageId(UserDefaultLanguageId());
        WriteLanguageId(id);
    }
    SetLanguageId(id);
    XmlDocument::SetLegacyEncoding(XmlDocument::LegacyEncodingForLanguage(id));
    state.languageId = id;
    state.settingsFile = SettingsFile();

    // 4.5 The data folder with its database folder; a failure is met later by the store.
    state.dataFolder = DataFolder();
    state.dataFolderReady = CreateFolderTree(state.dataFolder / "db");
    return state;
}

} // namespace kw
