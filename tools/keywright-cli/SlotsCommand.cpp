// keywright-cli slots: the keyboard's slot table (family B keyboards).

#include "app/device/DeviceCommands.h"
#include "tools/keywright-cli/Commands.h"
#include "tools/keywright-cli/LinkSession.h"

#include <cstdio>

namespace kw::cli {

int RunSlots(CliContext& context, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "usage: keywright-cli slots\n");
        return 2;
    }
    LinkSession session(context);
    if (const int status = session.OpenConnected(); status != 0) {
        return status;
    }
    if (FamilyOf(session.DeviceType()) != ProtocolFamily::B) {
        return LinkSession::Fail("device type " + std::to_string(session.DeviceType()) +
                                 " keeps no slot table");
    }
    DeviceCommands commands(session.Manager(), session.Clock());
    SlotTable table{};
    if (!commands.QuerySlots(table)) {
        return LinkSession::Fail("the keyboard did not answer the slot query");
    }
    if (context.Options().json) {
        std::printf("{\"shortcut_slots\":[");
        for (int slot = 1; slot <= 13; ++slot) {
            std::printf("%s%d", slot == 1 ? "" : ",", table[slot]);
        }
        std::printf("],\"key_slots\":[");
        for (int slot = 1; slot <= 10; ++slot) {
            std::printf("%s%d", slot == 1 ? "" : ",", table[13 + slot]);
        }
        std::printf("],\"raw\":\"");
        for (uint8_t byte : table) {
            std::printf("%02x", byte);
        }
        std::printf("\"}\n");
        return 0;
    }
    int used = 0;
    for (int slot = 1; slot <= 13; ++slot) {
        if (table[slot]) {
            std::printf("shortcut slot %2d: key 0x%02x\n", slot, table[slot]);
            ++used;
        }
    }
    for (int slot = 1; slot <= 10; ++slot) {
        if (table[13 + slot]) {
            std::printf("key slot %2d: key 0x%02x\n", slot, table[13 + slot]);
            ++used;
        }
    }
    std::printf("%d of 23 slots in use\n", used);
    return 0;
}

} // namespace kw::cli
