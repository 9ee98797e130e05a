#include "tools/keywright-cli/Commands.h"

#include "app/shell/Paths.h"
#include "app/store/ConfigStore.h"

#include <cstdio>
#include <filesystem>

namespace kw::cli {

// Opens the selected model's configuration file in the user's data folder, creating it with its
// tables when it is missing, and prints where it is, so it can be read with the sqlite3 shell.
int RunStore(CliContext& context, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "usage: keywright-cli store\n");
        return 2;
    }
    if (!context.LoadProduct()) {
        return 2;
    }
    const std::wstring& model = context.Model().name;
    const std::filesystem::path dataFolder = DataFolder();
    std::error_code ec;
    const bool existed = std::filesystem::exists(ConfigStore::StorePath(dataFolder, model), ec);

    ConfigStore& store = ConfigStore::Instance();
    const bool opened = store.OpenStore(dataFolder, model);
    if (opened) {
        store.SetDeviceType(context.Catalog().CurrentDeviceType());
    }
    const std::string path = store.Path();
    store.Close();

    if (context.Options().json) {
        std::printf("{\"model\":%s,\"path\":%s,\"opened\":%s,\"created\":%s}\n",
                    JsonString(Utf8(model)).c_str(), JsonString(path).c_str(), opened ? "true" : "false",
                    opened && !existed ? "true" : "false");
    } else if (opened) {
        std::printf("%s\n", path.c_str());
    }
    if (!opened) {
        std::fprintf(stderr, "keywright-cli: cannot open the store %s\n", path.c_str());
        return 1;
    }
    return 0;
}

} // namespace kw::cli
