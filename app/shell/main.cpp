// Keywright: configuration tool for RGB mechanical keyboards.

#include "app/shell/StartUp.h"
#include "ui/framework/TextConvert.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void PrintHelp() {
    std::printf("Usage: keywright [OPTION]\n"
                "Configure keys, macros and lighting of an RGB mechanical keyboard.\n\n"
                "  --simulate   use the simulated keyboard instead of the attached one\n"
                "  --help       show this help and exit\n"
                "  --version    show the version and exit\n\n"
                "Product files are read from the program's folder, from ../share/keywright beside it,\n"
                "or from $KEYWRIGHT_PRODUCT_DIR.\n");
}

std::string Utf8(const std::wstring& text) {
    return vellum::ToUtf8(text);
}

} // namespace

int main(int argc, char** argv) {
    bool simulate = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintHelp();
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("keywright %s\n", KEYWRIGHT_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--simulate") == 0) {
            simulate = true;
            continue;
        }
        std::fprintf(stderr, "keywright: unknown option '%s' (see --help)\n", argv[i]);
        return 2;
    }

    kw::StartUp startUp;
    const kw::StartUpState state = startUp.Run();
    if (state.alreadyRunning) {
        std::printf("%s is already running%s.\n", Utf8(state.deviceName).c_str(),
                    state.broughtForward ? "; its window was brought forward" : "");
        return 0;
    }

    std::printf("Product:        %s\n", Utf8(state.deviceName).c_str());
    std::printf("Product files:  %s\n", state.programFolder.c_str());
    std::printf("Language:       %d%s\n", state.languageId, state.languageStored ? "" : " (first start)");
    std::printf("Settings:       %s\n", state.settingsFile.c_str());
    std::printf("Data folder:    %s%s\n", state.dataFolder.c_str(),
                state.dataFolderReady ? "" : " (cannot be created)");
    if (simulate) {
        std::printf("Keyboard:       simulated\n");
    }
    return 0;
}
