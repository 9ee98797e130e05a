// keywright-cli firmware-version: reads the keyboard's firmware version (device job 13).

#include "tools/keywright-cli/Commands.h"
#include "tools/keywright-cli/LinkSession.h"

#include <cstdio>

namespace kw::cli {

int RunFirmwareVersion(CliContext& context, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "usage: keywright-cli firmware-version\n");
        return 2;
    }
    LinkSession session(context);
    if (const int status = session.OpenConnected(); status != 0) {
        return status;
    }
    DeviceLink& link = session.Link();
    while (link.PendingJobs() > 0 && link.FirmwareVersion() < 0) {
        link.RunPass(); // the connection update queued job 13 first
    }
    const int version = link.FirmwareVersion();
    if (version < 0) {
        return LinkSession::Fail("the keyboard did not answer the version query");
    }
    if (context.Options().json) {
        std::printf("{\"device_type\":%d,\"version\":%d,\"hex\":\"%04x\"}\n", session.DeviceType(), version,
                    version);
    } else {
        std::printf("firmware version %x.%02x (0x%04x)\n", version >> 8, version & 0xFF, version);
    }
    return 0;
}

} // namespace kw::cli
