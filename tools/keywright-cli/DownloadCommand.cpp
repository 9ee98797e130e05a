// keywright-cli download: device job 6 for the active profile and Fn layer 0: the key functions,
// macros and preset shortcuts into the keyboard's on-board memory.

#include "app/device/KeyDownload.h"
#include "app/device/StoreDownloadSource.h"
#include "app/keys/KeyNames.h"
#include "tools/keywright-cli/Commands.h"
#include "tools/keywright-cli/ModelSession.h"

#include <cstdio>

namespace kw::cli {

int RunDownload(CliContext& context, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "usage: keywright-cli download\n");
        return 2;
    }
    ModelSession session(context);
    if (const int status = session.Open(true); status != 0) {
        return status;
    }
    const int deviceType = session.DeviceType();
    const ProtocolFamily family = FamilyOf(deviceType);
    if (family == ProtocolFamily::None) {
        return LinkSession::Fail("device type " + std::to_string(deviceType) + " keeps no key assignments");
    }
    ConfigStore& store = session.Store();
    const int profile = store.GetActiveProfile();
    if (profile == 0) {
        std::fprintf(
            stderr,
            "keywright-cli: the store has no active profile; the keyboard's assignments are cleared\n");
    }
    StoreDownloadSource source(store, profile, 0, KeyCodeFromVirtualKey);
    const std::vector<KeyFunction> functions = source.KeyFunctions();
    int macros = 0;
    int shortcuts = 0;
    int keys = 0;
    for (const KeyFunction& function : functions) {
        if (function.macro_type == kFunctionMacro) {
            ++macros;
        } else if (function.macro_type == kFunctionPreset) {
            ++shortcuts;
        } else if (function.macro_type != 0) {
            ++keys;
        }
    }

    bool complete = false;
    KeyDownload download(session.Link().Manager(), session.Link().Clock());
    session.Link().Link().SetJobHandler(kJobDownloadKeys, [&](const JobContext& job) {
        complete = download.Run(job.deviceType, source, session.Layout().matrixIndex);
    });
    session.RunJob(kJobDownloadKeys);

    if (context.Options().json) {
        std::printf(
            "{\"profile\":%d,\"fn_layer\":0,\"device_type\":%d,\"family\":\"%s\",\"keys\":%d,\"macros\":%d,"
            "\"shortcuts\":%d,\"complete\":%s}\n",
            profile, deviceType, family == ProtocolFamily::A ? "A" : "B", keys, macros, shortcuts,
            complete ? "true" : "false");
    } else {
        std::printf("profile %d, layer 0 → %s (device type %d): %d keys, %d macros, %d shortcuts\n", profile,
                    Utf8(session.ModelName()).c_str(), deviceType, keys, macros, shortcuts);
    }
    if (!complete) {
        return LinkSession::Fail("the download was abandoned: a report could not be written");
    }
    return 0;
}

} // namespace kw::cli
