// keywright-cli factory-reset --yes: restores the keyboard's factory settings (device job 10's
// frames for the keyboard's protocol family and connection).

#include "app/device/DeviceCommands.h"
#include "tools/keywright-cli/Commands.h"
#include "tools/keywright-cli/LinkSession.h"

#include <cstdio>

namespace kw::cli {

int RunFactoryReset(CliContext& context, const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0] != "--yes") {
        std::fprintf(stderr, "usage: keywright-cli factory-reset --yes   (erases the keyboard's settings)\n");
        return 2;
    }
    LinkSession session(context);
    if (const int status = session.OpenConnected(); status != 0) {
        return status;
    }
    if (FamilyOf(session.DeviceType()) == ProtocolFamily::None) {
        return LinkSession::Fail("device type " + std::to_string(session.DeviceType()) +
                                 " has no factory reset");
    }
    DeviceCommands commands(session.Manager(), session.Clock());
    if (!commands.FactoryReset(session.DeviceType())) {
        return LinkSession::Fail("transfer failed: the reset did not reach the keyboard");
    }
    const int kind = session.Link().ConnectionKind();
    if (context.Options().json) {
        std::printf("{\"reset\":true,\"device_type\":%d,\"connection_kind\":%d}\n", session.DeviceType(),
                    kind);
    } else {
        std::printf("factory settings restored (device type %d, %s)\n", session.DeviceType(),
                    kind == 0 ? "cable" : "wireless");
    }
    return 0;
}

} // namespace kw::cli
