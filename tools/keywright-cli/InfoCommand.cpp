#include "tools/keywright-cli/Commands.h"

#include <cstdio>

namespace kw::cli {

int RunInfo(CliContext& context, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "usage: keywright-cli info\n");
        return 2;
    }
    if (!context.LoadProduct()) {
        return 2;
    }
    const DeviceCatalog& catalog = context.Catalog();
    const DeviceDefinition& definition = catalog.Definition();
    if (context.Options().json) {
        std::printf("{\"software\":%s,\"version\":%s,\"models\":[",
                    JsonString(Utf8(catalog.Software().name)).c_str(),
                    JsonString(Utf8(catalog.Software().version)).c_str());
        const char* separator = "";
        for (const KeyboardEntry& keyboard : catalog.Keyboards()) {
            std::printf("%s{\"name\":%s,\"device_type\":%d,\"layout\":%s}", separator,
                        JsonString(Utf8(keyboard.name)).c_str(), keyboard.device_type,
                        JsonString(Utf8(keyboard.device_info)).c_str());
            separator = ",";
        }
        std::printf(
            "],\"selected\":{\"name\":%s,\"device_type\":%d,\"keys\":%zu,\"light_modes\":%zu,\"menu\":%d}}\n",
            JsonString(Utf8(context.Model().name)).c_str(), catalog.CurrentDeviceType(),
            definition.keys.size(), definition.lightModes.size(), definition.menuFlags);
        return 0;
    }
    std::printf("%s %s\n", Utf8(catalog.Software().name).c_str(), Utf8(catalog.Software().version).c_str());
    for (const KeyboardEntry& keyboard : catalog.Keyboards()) {
        std::printf("  model %-20s device type %3d  layout %s\n", Utf8(keyboard.name).c_str(),
                    keyboard.device_type, Utf8(keyboard.device_info).c_str());
    }
    std::printf("selected: %s (device type %d): %zu keys, %zu lighting modes, menu flags 0x%02x\n",
                Utf8(context.Model().name).c_str(), catalog.CurrentDeviceType(), definition.keys.size(),
                definition.lightModes.size(), definition.menuFlags);
    return 0;
}

} // namespace kw::cli
